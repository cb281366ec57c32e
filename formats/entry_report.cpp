// SPDX-License-Identifier: MIT
#include "formats/entry_report.h"

#include <map>

#include "archive/entry_check.h"
#include "archive/lgp_snapshot.h"
#include "archive/lgp_soundness.h"

namespace {

std::string Num(uint64_t v) {
    return std::to_string(v);
}

std::string Whole(const EntryCheck& check) {
    return check.Whole() ? "yes" : std::string("no: ") + DescribeEntryProblem(check.problem);
}

// The bytes as the kinds' decoders take them: an address even for none.
const uint8_t* DataOf(const std::vector<uint8_t>& bytes) {
    static const uint8_t kNone = 0;
    return bytes.empty() ? &kNone : bytes.data();
}

void AddStream(const IEntrySource& source, EntryId id, PropertyList& out) {
    const EntryCheck check = source.Check(id, true);
    out.emplace_back("stream length", Num(check.streamLength));
    out.emplace_back("decoded size", Num(check.decodedSize));
    out.emplace_back("stream whole", Whole(check));
}

// Where the file holds the entry: the catalogue's table says; an archive with changes
// not saved yet has no table for them until the save lays it out.
std::string Offset(const IEntrySource& source, EntryId id) {
    const CLgpArchive* catalogue = source.Catalogue();
    if (catalogue == nullptr) {
        return "decided when saved";
    }
    return Num(catalogue->GetEntryOffset(static_cast<uint16_t>(source.PositionOf(id))));
}

void AddKindProperties(const IEntrySource& source, EntryId id, PropertyList& out) {
    const EntryKind& kind = KindOf(source.Type(id));
    if (kind.properties == nullptr) {
        return;
    }
    std::vector<uint8_t> bytes;  // as its kind reads them: decoded when compressed
    source.Read(id, IsCompressedType(source.Type(id)), &bytes);
    kind.properties(DataOf(bytes), bytes.size(), &out);
}

// What decoding finds wrong with a whole entry, read as its kind reads it; "" when
// nothing.
std::string DecodeProblem(const IEntrySource& source, EntryId id,
                          const std::vector<uint8_t>& bytes) {
    const EntryCheckFunction check = CheckFor(source.Type(id), source.Name(id));
    return check == nullptr ? "" : check(DataOf(bytes), bytes.size());
}

}  // namespace

const char* DescribeEntryType(uint8_t type) {
    return KindOf(type).name;
}

PropertyList EntryProperties(const IEntrySource& source, EntryId id) {
    const SourceReadScope scope(source);
    PropertyList out;
    const uint8_t type = source.Type(id);
    out.emplace_back("name", source.Name(id));
    if (!source.Folder(id).empty()) {
        out.emplace_back("folder", source.Folder(id));  // shares its name
    }
    out.emplace_back("index", Num(source.PositionOf(id)));
    out.emplace_back("type", std::string(DescribeEntryType(type)) + " (" + Num(type) + ")");
    out.emplace_back("extension", source.Extension(id));
    out.emplace_back("offset", Offset(source, id));
    out.emplace_back("stored size", Num(source.Size(id)));
    out.emplace_back("whole", Whole(source.Check(id, false)));
    if (IsCompressedType(type)) {
        AddStream(source, id, out);
    }
    AddKindProperties(source, id, out);
    return out;
}

PropertyList ArchiveProperties(const IEntrySource& source) {
    PropertyList out;
    out.emplace_back("path", source.ArchivePath());
    out.emplace_back("file size", Num(source.ArchiveLength()));
    out.emplace_back("entries", Num(source.Count()));
    std::map<uint8_t, std::pair<uint64_t, uint64_t>> types;  // count, bytes
    for (size_t i = 0; i < source.Count(); ++i) {
        auto& [count, bytes] = types[source.Type(source.IdAt(i))];
        ++count;
        bytes += source.Size(source.IdAt(i));
    }
    for (const auto& [type, totals] : types) {
        out.emplace_back(std::string(DescribeEntryType(type)) + " entries",
                         Num(totals.first) + " (" + Num(totals.second) + " bytes)");
    }
    return out;
}

namespace {

// The rules the game relies on are the catalogue's tables; a source without one has none
// to break yet.
void AddSoundFaults(const IEntrySource& source, std::vector<EntryFault>& faults) {
    if (source.Catalogue() == nullptr) {
        return;
    }
    for (const SoundFault& sound : CheckSoundArchive(*source.Catalogue())) {
        EntryFault fault{sound.index, source.IdAt(sound.index), sound.problem,
                         RunReason::GameCannotFind};
        fault.damage = true;
        fault.wholeArchive = sound.wholeArchive;
        faults.push_back(fault);
    }
}

// The entry read once, as its kind reads it: damage when the archive does not hold it
// whole, else what decoding finds. An empty problem: nothing wrong.
EntryFault CheckOneEntry(IEntryReader& reader, const IEntrySource& source, size_t position) {
    const EntryId id = source.IdAt(position);
    std::vector<uint8_t> bytes;
    const EntryCheck check = reader.Read(id, true, &bytes);
    EntryFault fault{position, id, DescribeEntryProblem(check.problem), ReasonOf(check.problem)};
    if (check.Whole()) {
        fault.problem = DecodeProblem(source, id, bytes);
        fault.code = RunReason::CannotDecode;
    }
    fault.damage = !check.Whole();
    return fault;
}

}  // namespace

std::vector<EntryFault> VerifyArchive(const IEntrySource& source, const RunHooks& run,
                                      bool* cancelled) {
    const SourceReadScope scope(source);
    RunState state(run);
    std::vector<EntryFault> faults;
    AddSoundFaults(source, faults);
    const std::unique_ptr<IEntryReader> reader = source.OpenReader();
    const size_t total = source.Count();
    for (size_t i = 0; i < total && state.Continue(i, total, source.IdAt(i)); ++i) {
        EntryFault fault = CheckOneEntry(*reader, source, i);
        if (!fault.problem.empty()) {
            state.Failed({fault.entry, fault.code, fault.problem});
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
