// SPDX-License-Identifier: MIT
#include "commands/run_reason_text.h"

#include <QCoreApplication>

namespace {

// The codes whose text says all; the others carry their details in the English text.
const char* FixedText(RunReason code) {
    switch (code) {
        case RunReason::HeaderMissing:
            return QT_TRANSLATE_NOOP("RunReason", "its data lies past the end of the archive");
        case RunReason::CutShort:
            return QT_TRANSLATE_NOOP("RunReason", "cut short");
        case RunReason::StreamLengthMissing:
            return QT_TRANSLATE_NOOP("RunReason", "too short to hold its compressed length");
        case RunReason::StreamPastEntry:
            return QT_TRANSLATE_NOOP("RunReason",
                                     "its compressed length runs past the end of the entry");
        case RunReason::StreamCutShort:
            return QT_TRANSLATE_NOOP("RunReason", "its compressed data ends inside an item");
        case RunReason::DecodedTooLarge:
            return QT_TRANSLATE_NOOP("RunReason", "it decodes to 4 GiB or more");
        case RunReason::ArchiveChanged:
            return QT_TRANSLATE_NOOP("RunReason",
                                     "the archive changed on disk since it was opened");
        case RunReason::CannotRead:
            return QT_TRANSLATE_NOOP("RunReason", "cannot read the archive");
        case RunReason::NotPlainName:
            return QT_TRANSLATE_NOOP("RunReason", "not a plain file name");
        case RunReason::SameTargetInRun:
            return QT_TRANSLATE_NOOP("RunReason",
                                     "another entry of this run was written to that file");
        case RunReason::TargetIsArchive:
            return QT_TRANSLATE_NOOP("RunReason", "that file is the archive being read");
        case RunReason::TargetWriteProtected:
            return QT_TRANSLATE_NOOP("RunReason",
                                     "the file there is write-protected; not replaced");
        case RunReason::TargetTaken:
            return QT_TRANSLATE_NOOP("RunReason", "a file is in the way; not written over it");
        case RunReason::TargetNotAFile:
            return QT_TRANSLATE_NOOP("RunReason", "that is not a regular file; not replaced");
        case RunReason::None:
        case RunReason::NotOverExisting:
        case RunReason::CannotWrite:
        case RunReason::CannotDecode:
        case RunReason::GameCannotFind:
            break;
    }
    return nullptr;
}

}  // namespace

QString RunReasonText(RunReason code, const std::string& english) {
    const char* fixed = FixedText(code);
    return fixed != nullptr ? QCoreApplication::translate("RunReason", fixed)
                            : QString::fromStdString(english);
}
