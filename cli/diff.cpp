// SPDX-License-Identifier: MIT
// diff A B: what one archive holds that the other does not, entry by entry (name and
// folder), comparing sizes and content hashes as stored and, for fields, decoded.
#include <iostream>
#include <map>
#include <memory>

#include "archive/entry_source.h"
#include "archive/lgp_archive.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/json_writer.h"

namespace {

constexpr int kExitDiffer = 1;
constexpr int kExitError = 2;

struct Facts {
    uint64_t size = 0;
    std::string hash;
    bool field = false;
    uint64_t decodedSize = 0;
    std::string decodedHash;
};

// FNV-1a, 64-bit, in hex: enough to tell contents apart in a listing.
std::string Hash(const std::vector<uint8_t>& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (uint8_t b : bytes) {
        h = (h ^ b) * 1099511628211ull;
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4) {
        text[static_cast<size_t>(i)] = kDigits[h & 15];
    }
    return text;
}

using Key = std::pair<std::string, std::string>;  // name, folder

bool Collect(const IEntrySource& source, std::map<Key, Facts>* out) {
    const std::unique_ptr<IEntryReader> reader = source.OpenReader();
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < source.Count(); ++i) {
        const EntryId id = source.IdAt(i);
        Facts facts;
        reader->Read(id, false, &bytes);
        facts.size = bytes.size();
        facts.hash = Hash(bytes);
        facts.field = IsCompressedType(source.Type(id));
        if (facts.field) {
            reader->Read(id, true, &bytes);
            facts.decodedSize = bytes.size();
            facts.decodedHash = Hash(bytes);
        }
        (*out)[{source.Name(id), source.Folder(id)}] = facts;
    }
    return reader->StillUnchanged();
}

std::string JsonFacts(const Facts& f) {
    std::string text = "{\"size\":" + std::to_string(f.size) + ",\"hash\":\"" + f.hash + "\"";
    if (f.field) {
        text += ",\"decodedSize\":" + std::to_string(f.decodedSize) + ",\"decodedHash\":\"" +
                f.decodedHash + "\"";
    }
    return text + "}";
}

std::string TextFacts(const Facts& f) {
    std::string text = std::to_string(f.size) + " " + f.hash;
    if (f.field) {
        text += " (decoded " + std::to_string(f.decodedSize) + " " + f.decodedHash + ")";
    }
    return text;
}

std::string Named(const Key& key) {
    return PrintableName(key.first) + '\t' + PrintableName(key.second);
}

std::string JsonKey(const Key& key) {
    return "\"name\":" + JsonString(key.first) + ",\"folder\":" + JsonString(key.second);
}

}  // namespace

int RunDiff(const CliRequest& request) {
    const std::string& pathB = request.entries[0];
    const EntrySourcePtr a = OpenSource(request.archive);
    const EntrySourcePtr b = a ? OpenSource(pathB) : nullptr;
    if (!a || !b) {
        return kExitError;
    }
    std::map<Key, Facts> inA;
    std::map<Key, Facts> inB;
    if (!Collect(*a, &inA) || !Collect(*b, &inB)) {
        ReportError(request.archive, "an archive changed on disk while it was compared");
        return kExitError;
    }
    std::vector<std::string> text;
    std::vector<std::string> onlyA, onlyB, changed;
    for (const auto& [key, facts] : inA) {
        const auto other = inB.find(key);
        if (other == inB.end()) {
            text.push_back("only in A\t" + Named(key) + '\t' + TextFacts(facts));
            onlyA.push_back("{" + JsonKey(key) + ",\"a\":" + JsonFacts(facts) + "}");
        } else if (other->second.hash != facts.hash || other->second.size != facts.size) {
            text.push_back("changed\t" + Named(key) + '\t' + TextFacts(facts) + " -> " +
                           TextFacts(other->second));
            changed.push_back("{" + JsonKey(key) + ",\"a\":" + JsonFacts(facts) +
                              ",\"b\":" + JsonFacts(other->second) + "}");
        }
    }
    for (const auto& [key, facts] : inB) {
        if (inA.count(key) == 0) {
            text.push_back("only in B\t" + Named(key) + '\t' + TextFacts(facts));
            onlyB.push_back("{" + JsonKey(key) + ",\"b\":" + JsonFacts(facts) + "}");
        }
    }
    if (request.json) {
        const auto list = [](const std::vector<std::string>& items) {
            std::string out = "[";
            for (size_t i = 0; i < items.size(); ++i) {
                out += (i == 0 ? "" : ",") + items[i];
            }
            return out + "]";
        };
        std::cout << "{\"a\":" << JsonString(request.archive) << ",\"b\":" << JsonString(pathB)
                  << ",\"onlyInA\":" << list(onlyA) << ",\"onlyInB\":" << list(onlyB)
                  << ",\"changed\":" << list(changed) << "}\n";
    } else {
        for (const std::string& line : text) {
            std::cout << line << '\n';
        }
    }
    std::cout << std::flush;
    if (!std::cout) {
        return kExitError;
    }
    return text.empty() ? kExitOk : kExitDiffer;
}
