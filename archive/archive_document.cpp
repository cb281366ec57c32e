// SPDX-License-Identifier: MIT
// The open archive and its observers.
#include "archive/archive_document.h"

#include <algorithm>

template <class Tell>
void ArchiveDocument::TellObservers(Tell tell) {
    // An observer may add or remove observers while it is told: walk a copy, and skip
    // those removed meanwhile.
    const std::vector<IEntrySourceObserver*> observers = m_observers;
    for (IEntrySourceObserver* observer : observers) {
        if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end()) {
            tell(*observer);
        }
    }
}

void ArchiveDocument::SetSource(EntrySourcePtr source) {
    m_source = std::move(source);
    const EntrySourcePtr current = m_source;
    TellObservers([&](IEntrySourceObserver& observer) { observer.OnSourceReplaced(current); });
}

void ArchiveDocument::ChangeEntries(EntrySourcePtr source, const std::vector<EntryId>& ids) {
    m_source = std::move(source);
    const EntrySourcePtr current = m_source;
    TellObservers([&](IEntrySourceObserver& observer) { observer.OnEntriesChanged(current, ids); });
}

void ArchiveDocument::AddObserver(IEntrySourceObserver* observer) {
    if (!observer ||
        std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end()) {
        return;
    }
    m_observers.push_back(observer);
}

void ArchiveDocument::RemoveObserver(IEntrySourceObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}
