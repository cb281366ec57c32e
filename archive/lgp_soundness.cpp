// SPDX-License-Identifier: MIT
#include "archive/lgp_soundness.h"

#include <map>
#include <set>

#include "archive/lgp_rules.h"

namespace {

std::string Quoted(const CLgpArchive& archive, uint16_t index) {
    return std::string("`") + archive.GetEntryName(index) + "`";
}

std::string DescribeRun(int slot, const LgpSlotRecord& run) {
    if (run.count == 0) {
        return "slot " + std::to_string(slot) + " is empty";
    }
    return "slot " + std::to_string(slot) + " says records " + std::to_string(run.first - 1) + "-" +
           std::to_string(run.first - 1 + run.count - 1);
}

bool InRun(const LgpSlotRecord& run, uint32_t index) {
    return run.first != 0 && index + 1 >= run.first && index + 1 < uint32_t{run.first} + run.count;
}

void CheckPlacement(const CLgpArchive& archive, std::vector<SoundFault>& faults) {
    const uint64_t length = archive.GetArchiveLength();
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        const uint64_t end =
            uint64_t{archive.GetEntryOffset(i)} + lgp::kDataHeaderSize + archive.GetEntrySize(i);
        if (end > length) {
            faults.push_back(
                {false, i,
                 "the data block of " + Quoted(archive, i) + " runs past the end of the file"});
        }
    }
}

void CheckLookup(const CLgpArchive& archive, std::vector<SoundFault>& faults) {
    const LgpTables& tables = archive.GetTables();
    const uint32_t count = archive.GetEntryCount();
    if (!tables.lookupWhole) {
        faults.push_back({true, 0, "the archive ends before its lookup table"});
        return;
    }
    // Which run covers each record, so that every record is looked at once.
    std::vector<int> runOf(count, -1);
    int outside = 0;  // a table of garbage is told once, not 900 times
    for (uint32_t s = 0; s < lgp::kLookupSlots; ++s) {
        const LgpSlotRecord& run = tables.lookup[s];
        if ((run.first == 0) != (run.count == 0) ||
            (run.count != 0 && uint32_t{run.first} + run.count - 1 > count)) {
            if (outside++ == 0) {
                faults.push_back(
                    {true, 0,
                     DescribeRun(static_cast<int>(s), run) + ", outside the table of contents"});
            }
            continue;
        }
        for (uint32_t i = run.first; i != 0 && i < uint32_t{run.first} + run.count; ++i) {
            runOf[i - 1] = runOf[i - 1] < 0 ? static_cast<int>(s) : runOf[i - 1];
        }
    }
    if (outside > 1) {
        faults.back().problem += " (and " + std::to_string(outside - 1) + " slots more)";
    }
    for (uint16_t i = 0; i < count; ++i) {
        const int slot = lgp::SlotOf(archive.GetEntryName(i));
        if (slot < 0) {
            faults.push_back(
                {false, i,
                 "the game will not find " + Quoted(archive, i) + ": its name has no lookup slot"});
        } else if (!InRun(tables.lookup[static_cast<size_t>(slot)], i)) {
            faults.push_back({false, i,
                              "the game will not find " + Quoted(archive, i) + ": " +
                                  DescribeRun(slot, tables.lookup[slot]) + ", " +
                                  Quoted(archive, i) + " is record " + std::to_string(i)});
        }
        if (runOf[i] >= 0 && runOf[i] != slot) {
            faults.push_back({false, i,
                              Quoted(archive, i) + " lies in the run of slot " +
                                  std::to_string(runOf[i]) + ", not in its own"});
        }
    }
}

void CheckConflicts(const CLgpArchive& archive, std::vector<SoundFault>& faults) {
    const LgpTables& tables = archive.GetTables();
    if (!tables.lookupWhole) {
        return;  // already reported: nothing after the table of contents can be read
    }
    if (!tables.conflictProblem.empty()) {
        faults.push_back({true, 0, "the conflict table cannot be used: " + tables.conflictProblem});
        return;
    }
    std::map<std::string, std::vector<uint16_t>> byName;
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        byName[archive.GetEntryName(i)].push_back(i);
    }
    for (const auto& [name, entries] : byName) {
        std::set<std::string> folders;
        for (uint16_t i : entries) {
            const bool listed = archive.GetEntryConflictIndex(i) != 0;
            if (entries.size() == 1 && listed) {
                faults.push_back({false, i,
                                  Quoted(archive, i) +
                                      " is in the conflict table, but no other entry "
                                      "has its name"});
            } else if (entries.size() > 1 &&
                       (!listed || !folders.insert(archive.GetEntryFolder(i)).second)) {
                faults.push_back({false, i,
                                  "the game cannot tell " + Quoted(archive, i) +
                                      " from the other " + std::to_string(entries.size() - 1) +
                                      " of that name: no folder of its own"});
            }
        }
    }
}

}  // namespace

std::vector<SoundFault> CheckSoundArchive(const CLgpArchive& archive) {
    std::vector<SoundFault> faults;
    CheckPlacement(archive, faults);
    CheckLookup(archive, faults);
    CheckConflicts(archive, faults);
    return faults;
}
