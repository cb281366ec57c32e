// SPDX-License-Identifier: MIT
#include "cli/cli_common.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "archive/lgp_snapshot.h"
#include "extract/extract_engine.h"
#include "extract/host_names.h"
#include "platform/ascii.h"
#include "platform/file_output.h"

void ReportError(const std::string& subject, const std::string& problem) {
    std::cerr << kErrorPrefix << EscapePathForMessage(subject) << ": " << problem << '\n';
}

namespace {

// Why a file could not be opened, as far as the file system tells: "cannot open file"
// alone leaves the user guessing between a typing mistake and a pipe.
std::string OpenProblem(const std::string& path) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(HostPath(path), ec);
    if (ec) {
        return ": " + ec.message();
    }
    if (!std::filesystem::is_regular_file(status)) {
        return ": not a regular file";
    }
    return std::string();
}

bool OpenArchive(CLgpArchive& archive, const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(HostPath(path), ec)) {
        ReportError(path, "is a folder, not an archive");
        return false;
    }
    archive.Load(path.c_str());
    const LgpLoadStatus status = archive.GetLastLoadStatus();
    if (status != LgpLoadStatus::Ok) {
        std::string problem = DescribeLoadStatus(status);
        if (status == LgpLoadStatus::CannotOpen) {
            problem += OpenProblem(path);
        }
        ReportError(path, problem);
        return false;
    }
    return true;
}

}  // namespace

EntrySourcePtr OpenSource(const std::string& path) {
    CLgpArchive archive;
    if (!OpenArchive(archive, path)) {
        return nullptr;
    }
    return archive.Snapshot();  // a copy of its own: it outlives `archive`
}

namespace {

std::optional<uint32_t> ParseIndex(const std::string& wanted) {
    if (wanted.size() < 2 || wanted[0] != '#') {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (size_t i = 1; i < wanted.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(wanted[i]))) {
            return std::nullopt;
        }
        // Indices past 65,535 name no entry; saturate so long digit strings cannot wrap.
        value = std::min<uint32_t>(value * 10 + static_cast<uint32_t>(wanted[i] - '0'), 0x10000);
    }
    return value;
}

}  // namespace

namespace {

// Whether `wanted` names the entry: by the name list, JSON and the desktop program show
// (the one mapping of name bytes to text), as is or as list escapes it. Not by the raw
// bytes: a Latin-1 name whose bytes read as other UTF-8 text would answer to a name that
// list shows for another entry.
bool NamesEntry(const IEntrySource& source, EntryId id, const std::string& wanted,
                bool ignoreCase) {
    const std::string shown = extract::EntryHostName(source, id);
    for (const std::string& name : {shown, PrintableName(shown)}) {
        if (ignoreCase ? SameIgnoringCase(name, wanted) : name == wanted) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<EntryId> FindEntry(const IEntrySource& source, const std::string& wanted) {
    const size_t count = source.Count();
    if (std::optional<uint32_t> index = ParseIndex(wanted)) {
        if (*index >= count) {
            return std::nullopt;
        }
        return source.IdAt(*index);
    }
    for (bool ignoreCase : {false, true}) {
        for (size_t i = 0; i < count; ++i) {
            if (NamesEntry(source, source.IdAt(i), wanted, ignoreCase)) {
                return source.IdAt(i);
            }
        }
    }
    return std::nullopt;
}

std::string NoEntryProblem(const IEntrySource& source, const std::string& wanted) {
    if (ParseIndex(wanted)) {
        return "no entry " + PrintableName(wanted) + " (the archive has " +
               std::to_string(source.Count()) + " entries)";
    }
    return "no entry named " + PrintableName(wanted);
}

std::string ShownName(const IEntrySource& source, EntryId id) {
    return PrintableName(extract::EntryHostName(source, id));
}

std::string PrintableName(const std::string& name) {
    // The engine's messages and ours escape names alike.
    return EscapeForMessage(name);
}

std::string DescribeEntry(const IEntrySource& source, EntryId id) {
    return "entry #" + std::to_string(source.PositionOf(id)) + " (" + ShownName(source, id) + ")";
}
