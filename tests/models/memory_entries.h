// SPDX-License-Identifier: MIT
#pragma once
// Model entries held in memory, counting how often each is read.
#include <map>
#include <utility>

#include "models/model_entries.h"
#include "models/model_text.h"
#include "tests/support/model_builder.h"

class MemoryEntries : public ModelEntries {
public:
    explicit MemoryEntries(std::vector<std::pair<std::string, std::vector<uint8_t>>> entries)
        : m_entries(std::move(entries)) {}

    size_t Count() const override { return m_entries.size(); }
    std::string Name(size_t id) const override { return m_entries[id].first; }
    std::optional<size_t> Find(std::string_view name) const override {
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (LowerAscii(m_entries[i].first) == LowerAscii(name)) {
                return i;
            }
        }
        return std::nullopt;
    }
    bool Read(size_t id, std::vector<uint8_t>& bytes, std::string*) const override {
        ++reads[id];
        bytes = m_entries[id].second;
        return true;
    }

    void Remove(const std::string& name) {
        m_entries.erase(m_entries.begin() + static_cast<long>(*Find(name)));
    }
    void Replace(const std::string& name, std::vector<uint8_t> bytes) {
        m_entries[*Find(name)].second = std::move(bytes);
    }

    mutable std::map<size_t, int> reads;

private:
    std::vector<std::pair<std::string, std::vector<uint8_t>>> m_entries;
};
