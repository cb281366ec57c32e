// SPDX-License-Identifier: MIT
#include "archive/lgp_writer.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "archive/lgp_rules.h"
#include "platform/byte_cursor.h"

const char kWriteCancelled[] = "cancelled";

namespace {

constexpr size_t kPiece = size_t{1} << 20;

std::string Refusal(const WriterEntry& entry, const std::string& rule) {
    std::string who = "entry `" + entry.name + "`";
    if (!entry.folder.empty()) {
        who += " in folder `" + entry.folder + "`";
    }
    return who + ": " + rule;
}

// The rules each entry must meet on its own.
std::string CheckEntries(const std::vector<WriterEntry>& entries) {
    if (entries.size() > lgp::kMaxEntries) {
        return std::to_string(entries.size()) + " entries: an archive holds at most " +
               std::to_string(lgp::kMaxEntries);
    }
    for (const WriterEntry& entry : entries) {
        std::string why = lgp::NameRefusal(entry.name, entry.isNew);
        if (why.empty()) {
            why = lgp::FolderRefusal(entry.folder);
        }
        if (why.empty() && entry.folder != lgp::NormalFolder(entry.folder)) {
            why = "the folder name must use '/' between levels, with none at either end";
        }
        if (!why.empty()) {
            return Refusal(entry, why);
        }
    }
    return "";
}

struct Run {
    int slot;
    std::vector<size_t> members;
};

// Kept entries in their given order, grouped so each slot's records are contiguous (a
// list that already is stays as it is); the others in canonical order, each at the end
// of its slot's run, or in a new run before the first run of a higher slot.
std::vector<size_t> Arrange(const std::vector<WriterEntry>& entries) {
    std::vector<Run> runs;
    std::map<int, size_t> runOfSlot;
    std::vector<size_t> added;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].keepPlace) {
            added.push_back(i);
            continue;
        }
        const int slot = lgp::SlotOf(entries[i].name);
        auto found = runOfSlot.find(slot);
        if (found == runOfSlot.end()) {
            found = runOfSlot.emplace(slot, runs.size()).first;
            runs.push_back({slot, {}});
        }
        runs[found->second].members.push_back(i);
    }
    std::stable_sort(added.begin(), added.end(), [&entries](size_t a, size_t b) {
        return lgp::CanonicalBefore(entries[a].name, entries[a].folder, entries[b].name,
                                    entries[b].folder);
    });
    for (size_t i : added) {
        const int slot = lgp::SlotOf(entries[i].name);
        auto run =
            std::find_if(runs.begin(), runs.end(), [slot](const Run& r) { return r.slot >= slot; });
        if (run == runs.end() || run->slot != slot) {
            run = runs.insert(run, Run{slot, {}});
        }
        run->members.push_back(i);
    }
    std::vector<size_t> order;
    order.reserve(entries.size());
    for (const Run& run : runs) {
        order.insert(order.end(), run.members.begin(), run.members.end());
    }
    return order;
}

// Entries that share a name get conflict records, in the table order of their first
// entry; the folder of any other entry is not kept.
std::string PlanConflicts(const std::vector<WriterEntry>& entries, LgpPlan& plan) {
    std::map<std::string, std::vector<uint16_t>> byName;
    for (size_t pos = 0; pos < plan.order.size(); ++pos) {
        byName[entries[plan.order[pos]].name].push_back(static_cast<uint16_t>(pos));
    }
    plan.conflict.assign(plan.order.size(), 0);
    plan.folders.assign(plan.order.size(), std::string());
    for (size_t pos = 0; pos < plan.order.size(); ++pos) {
        const std::vector<uint16_t>& shared = byName[entries[plan.order[pos]].name];
        if (shared.size() < 2 || shared.front() != pos) {
            continue;
        }
        std::set<std::string> folders;
        for (uint16_t member : shared) {
            const WriterEntry& entry = entries[plan.order[member]];
            if (!folders.insert(entry.folder).second) {
                return Refusal(entry, "another entry has the same name and folder");
            }
            plan.conflict[member] = static_cast<uint16_t>(plan.conflictRecords.size() + 1);
            plan.folders[member] = entry.folder;
        }
        plan.conflictRecords.push_back(shared);
    }
    if (plan.conflictRecords.size() > lgp::kMaxEntries) {
        return "more conflict records than the table can count";
    }
    return "";
}

std::string PlanOffsets(const std::vector<WriterEntry>& entries, LgpPlan& plan) {
    uint64_t at = lgp::LookupTableOffset(plan.order.size()) + lgp::kLookupTableSize + 2;
    for (const auto& record : plan.conflictRecords) {
        at += 2 + uint64_t{lgp::kConflictItemSize} * record.size();
    }
    plan.offsets.clear();
    for (size_t pos = 0; pos < plan.order.size(); ++pos) {
        const WriterEntry& entry = entries[plan.order[pos]];
        if (at > lgp::kMaxArchiveSize || entry.source.size > lgp::kMaxArchiveSize) {
            return Refusal(entry, "the archive would reach 4 GiB, more than offsets can address");
        }
        plan.offsets.push_back(static_cast<uint32_t>(at));
        at += lgp::kDataHeaderSize + entry.source.size;
    }
    plan.size = at + lgp::kTerminatorSize;
    if (plan.size > lgp::kMaxArchiveSize) {
        return "the archive would reach 4 GiB, more than offsets can address";
    }
    return "";
}

void PutName(std::vector<uint8_t>& out, const std::string& name, size_t field) {
    const size_t at = out.size();
    out.resize(at + field, 0);
    std::memcpy(out.data() + at, name.data(), std::min(name.size(), field));
}

void Put16(std::vector<uint8_t>& out, uint16_t value) {
    out.resize(out.size() + 2);
    StoreLe16(out.data() + out.size() - 2, value);
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    out.resize(out.size() + 4);
    StoreLe32(out.data() + out.size() - 4, value);
}

// Header, table of contents, lookup table and conflict table.
std::vector<uint8_t> Tables(const std::vector<WriterEntry>& entries, const LgpPlan& plan) {
    std::vector<uint8_t> out(lgp::kCreatorSize - std::strlen(lgp::kSignature), 0);
    out.insert(out.end(), lgp::kSignature, lgp::kSignature + std::strlen(lgp::kSignature));
    Put32(out, static_cast<uint32_t>(plan.order.size()));
    for (size_t pos = 0; pos < plan.order.size(); ++pos) {
        const WriterEntry& entry = entries[plan.order[pos]];
        PutName(out, entry.name, lgp::kNameSize);
        Put32(out, plan.offsets[pos]);
        out.push_back(entry.checkCode);
        Put16(out, plan.conflict[pos]);
    }
    for (const LgpSlotRecord& slot : plan.lookup) {
        Put16(out, slot.first);
        Put16(out, slot.count);
    }
    Put16(out, static_cast<uint16_t>(plan.conflictRecords.size()));
    for (const auto& record : plan.conflictRecords) {
        Put16(out, static_cast<uint16_t>(record.size()));
        for (uint16_t member : record) {
            PutName(out, plan.folders[member], lgp::kConflictFolderSize);
            Put16(out, member);
        }
    }
    return out;
}

// A small host file goes through memory, where its digest is taken on the way.
std::string WriteDigested(const ReadOnlyFile& file, uint64_t size, LgpSink& sink,
                          std::optional<uint64_t>& digest) {
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (file.ReadAt(0, bytes.data(), bytes.size()) != bytes.size()) {
        return "cannot read the bytes to copy: the file ended or failed";
    }
    digest = ContentDigest(bytes.data(), bytes.size());
    return sink.Write(bytes.data(), bytes.size()) ? "" : sink.Error();
}

std::string WriteSource(const WriterEntry& entry, LgpSink& sink, const WriteOptions& options,
                        std::optional<uint64_t>* digest) {
    const EntrySource& source = entry.source;
    switch (source.kind) {
        case EntrySource::Kind::Memory:
            if (!source.bytes) {
                return "";
            }
            return sink.Write(source.bytes->data(), source.bytes->size()) ? "" : sink.Error();
        case EntrySource::Kind::Archive:
            if (options.archive == nullptr) {
                return Refusal(entry, "the archive it comes from is not open");
            }
            return sink.Copy(*options.archive, source.offset, source.size) ? "" : sink.Error();
        case EntrySource::Kind::HostFile: {
            ReadOnlyFile file(source.path);
            if (!file.IsOpen()) {
                return source.path + ": the file is gone or cannot be read since it was added";
            }
            if (!file.Identity().Unchanged(source.identity)) {
                return source.path + ": the file changed since it was added";
            }
            if (digest != nullptr && source.size < kDigestedFileSize) {
                return WriteDigested(file, source.size, sink, *digest);
            }
            return sink.Copy(file, 0, source.size) ? "" : sink.Error();
        }
    }
    return "";
}

}  // namespace

EntrySource MemorySource(std::vector<uint8_t> bytes) {
    EntrySource source;
    source.size = bytes.size();
    source.bytes = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    return source;
}

EntrySource HostFileSource(const std::string& path, std::string* error) {
    EntrySource source;
    source.kind = EntrySource::Kind::HostFile;
    source.path = path;
    // Looked at, not opened: the writer opens it once, when its bytes are needed.
    source.identity = IdentifyFile(path);
    if (!source.identity.known) {
        if (error) {
            *error = path + ": cannot open file";
        }
        return source;
    }
    source.size = source.identity.size;
    return source;
}

EntrySource ArchiveSource(const CLgpArchive& archive, uint16_t index) {
    EntrySource source;
    source.kind = EntrySource::Kind::Archive;
    source.index = index;
    source.offset = uint64_t{archive.GetEntryOffset(index)} + lgp::kDataHeaderSize;
    source.size = archive.GetEntrySize(index);
    return source;
}

bool LgpSink::Copy(const ReadOnlyFile& file, uint64_t offset, uint64_t length) {
    std::vector<uint8_t> piece(static_cast<size_t>(std::min<uint64_t>(length, kPiece)));
    while (length > 0) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(length, piece.size()));
        if (file.ReadAt(offset, piece.data(), want) != want) {
            return Fail("cannot read the bytes to copy: the file ended or failed");
        }
        if (!Write(piece.data(), want)) {
            return false;
        }
        offset += want;
        length -= want;
    }
    return true;
}

uint64_t ContentDigest(const uint8_t* data, size_t size, uint64_t digest) {
    for (size_t i = 0; i < size; ++i) {
        digest = (digest ^ data[i]) * 0x100000001B3u;
    }
    return digest;
}

bool MemorySink::Write(const uint8_t* data, size_t size) {
    bytes.insert(bytes.end(), data, data + size);
    return true;
}

std::string PlanArchive(const std::vector<WriterEntry>& entries, LgpPlan* plan) {
    *plan = LgpPlan();
    std::string why = CheckEntries(entries);
    if (!why.empty()) {
        return why;
    }
    plan->order = Arrange(entries);
    for (size_t pos = 0; pos < plan->order.size(); ++pos) {
        LgpSlotRecord& slot =
            plan->lookup[static_cast<size_t>(lgp::SlotOf(entries[plan->order[pos]].name))];
        if (slot.count++ == 0) {
            slot.first = static_cast<uint16_t>(pos + 1);
        }
    }
    why = PlanConflicts(entries, *plan);
    return why.empty() ? PlanOffsets(entries, *plan) : why;
}

std::string WriteArchive(const std::vector<WriterEntry>& entries, const LgpPlan& plan,
                         LgpSink& sink, const WriteOptions& options) {
    const std::vector<uint8_t> tables = Tables(entries, plan);
    if (!sink.Write(tables.data(), tables.size())) {
        return sink.Error();
    }
    uint64_t done = tables.size();
    for (size_t pos = 0; pos < plan.order.size(); ++pos) {
        if (options.progress && !options.progress(done, plan.size)) {
            return kWriteCancelled;
        }
        const WriterEntry& entry = entries[plan.order[pos]];
        std::vector<uint8_t> header;
        PutName(header, entry.name, lgp::kNameSize);
        Put32(header, static_cast<uint32_t>(entry.source.size));
        if (!sink.Write(header.data(), header.size())) {
            return sink.Error();
        }
        std::optional<uint64_t>* digest = nullptr;
        if (options.digests != nullptr && plan.order[pos] < options.digests->size()) {
            digest = &(*options.digests)[plan.order[pos]];
        }
        const std::string why = WriteSource(entry, sink, options, digest);
        if (!why.empty()) {
            return why;
        }
        done += header.size() + entry.source.size;
    }
    if (!sink.Write(reinterpret_cast<const uint8_t*>(lgp::kTerminator), lgp::kTerminatorSize)) {
        return sink.Error();
    }
    return "";
}
