// SPDX-License-Identifier: MIT
#pragma once
// The open archive as the program works on it: which entry source it offers now, and
// who follows it. File > Open hands it a new source; the index, and anything else that
// shows entries, is an observer and is told, so no command refills them by hand.
// Changes the user makes to the archive before saving it belong here too, next to the
// source they apply to.
#include <string>
#include <vector>

#include "archive/entry_source.h"

class ArchiveDocument {
public:
    ArchiveDocument() = default;
    ArchiveDocument(const ArchiveDocument&) = delete;
    ArchiveDocument& operator=(const ArchiveDocument&) = delete;

    // Null while no archive is open.
    const EntrySourcePtr& Source() const { return m_source; }
    bool HasEntries() const { return m_source && m_source->Count() != 0; }

    // Offers `source` from now on and tells every observer, in the order they came.
    void SetSource(EntrySourcePtr source);
    // `source` replaces the current one with the same archive behind it; `ids` are the
    // entries that differ.
    void ChangeEntries(EntrySourcePtr source, const std::vector<EntryId>& ids);

    // Observers are not owned; one must be removed before it is destroyed. Adding one
    // twice adds it once. An observer hears of the next change, not of the current
    // source: ask Source() for that.
    void AddObserver(IEntrySourceObserver* observer);
    void RemoveObserver(IEntrySourceObserver* observer);

private:
    template <class Tell>
    void TellObservers(Tell tell);

    EntrySourcePtr m_source;
    std::vector<IEntrySourceObserver*> m_observers;
};
