// SPDX-License-Identifier: MIT
#include "formats/entry_report.h"

#include <map>

#include "archive/entry_buffer.h"
#include "archive/entry_check.h"
#include "archive/lgp_soundness.h"

namespace {

std::string Num(uint64_t v) {
    return std::to_string(v);
}

std::string Whole(const EntryCheck& check) {
    return check.Whole() ? "yes" : std::string("no: ") + DescribeEntryProblem(check.problem);
}

void AddStream(const CLgpArchive& archive, uint16_t index, PropertyList& out) {
    const EntryCheck check = CheckEntry(archive, index, true);
    out.emplace_back("stream length", Num(check.streamLength));
    out.emplace_back("decoded size", Num(check.decodedSize));
    out.emplace_back("stream whole", Whole(check));
}

// The entry's bytes as its kind reads them: decoded when it is compressed.
void ReadForKind(const CLgpArchive& archive, uint16_t index, EntryBuffer* bytes, uint32_t* size) {
    *size = IsCompressedType(archive.GetEntryType(index))
                ? archive.ReadEntryDecompressed(index, bytes->Address(), 0)
                : archive.ReadEntry(index, bytes->Address());
}

void AddKindProperties(const CLgpArchive& archive, uint16_t index, PropertyList& out) {
    const EntryKind& kind = KindOf(archive.GetEntryType(index));
    if (kind.properties == nullptr) {
        return;
    }
    EntryBuffer bytes;
    uint32_t size = 0;
    ReadForKind(archive, index, &bytes, &size);
    kind.properties(bytes.Data(), size, &out);
}

// What decoding finds wrong with a whole entry; "" when nothing.
std::string DecodeProblem(const CLgpArchive& archive, uint16_t index) {
    const EntryKind& kind = KindOf(archive.GetEntryType(index));
    if (kind.check == nullptr) {
        return "";
    }
    EntryBuffer bytes;
    uint32_t size = 0;
    ReadForKind(archive, index, &bytes, &size);
    return kind.check(bytes.Data(), size);
}

}  // namespace

const char* DescribeEntryType(uint8_t type) {
    return KindOf(type).name;
}

PropertyList EntryProperties(const CLgpArchive& archive, uint16_t index) {
    const CLgpArchive::ReadScope scope(archive);
    PropertyList out;
    const uint8_t type = archive.GetEntryType(index);
    out.emplace_back("name", archive.GetEntryName(index));
    if (*archive.GetEntryFolder(index) != '\0') {
        out.emplace_back("folder", archive.GetEntryFolder(index));  // shares its name
    }
    out.emplace_back("index", Num(index));
    out.emplace_back("type", std::string(DescribeEntryType(type)) + " (" + Num(type) + ")");
    out.emplace_back("extension", archive.GetEntryExtension(index));
    out.emplace_back("offset", Num(archive.GetEntryOffset(index)));
    out.emplace_back("stored size", Num(archive.GetEntrySize(index)));
    out.emplace_back("whole", Whole(CheckEntry(archive, index, false)));
    if (IsCompressedType(type)) {
        AddStream(archive, index, out);
    }
    AddKindProperties(archive, index, out);
    return out;
}

PropertyList ArchiveProperties(const CLgpArchive& archive) {
    PropertyList out;
    out.emplace_back("path", archive.GetArchivePath());
    out.emplace_back("file size", Num(archive.GetArchiveLength()));
    out.emplace_back("entries", Num(archive.GetEntryCount()));
    std::map<uint8_t, std::pair<uint64_t, uint64_t>> types;  // count, bytes
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        auto& [count, bytes] = types[archive.GetEntryType(i)];
        ++count;
        bytes += archive.GetEntrySize(i);
    }
    for (const auto& [type, totals] : types) {
        out.emplace_back(std::string(DescribeEntryType(type)) + " entries",
                         Num(totals.first) + " (" + Num(totals.second) + " bytes)");
    }
    return out;
}

std::vector<EntryFault> VerifyArchive(const CLgpArchive& archive, const RunHooks& run,
                                      bool* cancelled) {
    const CLgpArchive::ReadScope scope(archive);
    RunState state(run);
    std::vector<EntryFault> faults;
    for (const SoundFault& sound : CheckSoundArchive(archive)) {
        EntryFault fault{sound.index, sound.problem, RunReason::GameCannotFind};
        fault.damage = true;
        fault.wholeArchive = sound.wholeArchive;
        faults.push_back(fault);
    }
    const size_t total = archive.GetEntryCount();
    for (size_t i = 0; i < total && state.Continue(i, total, EntryId{static_cast<uint32_t>(i)});
         ++i) {
        const auto index = static_cast<uint16_t>(i);
        const EntryCheck check = CheckEntry(archive, index, true);
        EntryFault fault{index, DescribeEntryProblem(check.problem), ReasonOf(check.problem)};
        if (check.Whole()) {
            fault.problem = DecodeProblem(archive, index);
            fault.code = RunReason::CannotDecode;
        }
        fault.damage = !check.Whole();
        if (!fault.problem.empty()) {
            state.Failed({EntryId{fault.index}, fault.code, fault.problem});
            faults.push_back(fault);
        }
    }
    if (!state.Cancelled() && run.progress) {
        run.progress(total, total, EntryId{});
    }
    if (cancelled) {
        *cancelled = state.Cancelled();
    }
    return faults;
}
