// SPDX-License-Identifier: MIT
#pragma once
// The entries of an archive, as everything above the catalogue reads them: extraction,
// Properties and Verify, the viewers, the index and lumo-cli.
//
// An entry is known by an EntryId that the source hands out. An id is not a table
// position: it stays the same while the source lives, whatever the index shows or how it
// is sorted, and an entry that exists only in a change list (added, not yet saved) has
// one as well. Ids mean something only to the source that issued them.
//
// A source never changes under its reader: the loaded catalogue's source is a snapshot
// of its table and of the file it was read from, so a window holding it goes on reading
// that archive after File > Open has loaded another one (and reads nothing once the file
// itself has changed on disk: ArchiveChanged). What changes is which source a document
// holds; its observers are told (archive/archive_document.h).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/entry_check.h"
#include "platform/host_file.h"

class CLgpArchive;

struct EntryId {
    static constexpr uint32_t kNone = UINT32_MAX;
    uint32_t value = kNone;

    bool Valid() const { return value != kNone; }
    bool operator==(EntryId other) const { return value == other.value; }
    bool operator!=(EntryId other) const { return value != other.value; }
    bool operator<(EntryId other) const { return value < other.value; }
};

// Ids of entries a change list adds start here, above every table position, so that
// they never meet the ids of the loaded entries.
constexpr uint32_t kFirstAddedEntryId = 0x10000;

// Receives an entry's bytes piece by piece; false stops the copy (a full disk).
using EntrySink = std::function<bool(const uint8_t* data, size_t size)>;

// Many entries read from one open of the source's file, as a run that writes them out
// needs. Ask StillUnchanged() before trusting what was read: bytes of an archive
// rewritten in the middle of the run are never taken for the entries of the old one.
class IEntryReader {
public:
    virtual ~IEntryReader() = default;
    // None, CannotRead (no file) or ArchiveChanged (another file, or rewritten).
    virtual EntryProblem OpenProblem() const = 0;
    virtual bool StillUnchanged() const = 0;
    // The entry as stored, or with `decoded` and a compressed entry, as its stream
    // decodes; `out` gets what can be recovered also when it is not whole, nothing when
    // the file cannot be read or changed. An unknown id reads as CannotRead.
    virtual EntryCheck Read(EntryId id, bool decoded, std::vector<uint8_t>* out) = 0;
};

// Where an entry stands against the archive's file: as saved, changed (replaced or
// renamed) or added by changes not saved yet.
enum class EntryState { Saved, Changed, Added };

class IEntrySource {
public:
    virtual ~IEntrySource() = default;

    // Entries in archive order: IdAt(0) .. IdAt(Count() - 1).
    virtual size_t Count() const = 0;
    // kNone past the end.
    virtual EntryId IdAt(size_t position) const = 0;
    // Where the entry stands in archive order; Count() for an id the source does not have.
    virtual size_t PositionOf(EntryId id) const = 0;
    bool Contains(EntryId id) const { return PositionOf(id) < Count(); }

    // What the table says. An unknown id has name "", size 0 and type 0.
    virtual std::string Name(EntryId id) const = 0;       // the stored bytes (Latin-1)
    virtual std::string Extension(EntryId id) const = 0;  // after the first '.', or ""
    // The folder the archive's name table files the entry under, for entries whose names
    // occur more than once; "" for the others (and for every entry until that table is
    // read).
    virtual std::string Folder(EntryId id) const = 0;
    virtual uint8_t Type(EntryId id) const = 0;  // LGP_TYPE_*
    virtual uint32_t Size(EntryId id) const = 0;

    // The first entry of that name: exactly as stored, else ignoring ASCII letter case;
    // kNone when there is none.
    virtual EntryId Find(std::string_view name) const = 0;

    // Whether the entry is whole as stored, or with `decoded` and a compressed entry, as
    // a stream (archive/entry_check.h), without handing out its bytes.
    virtual EntryCheck Check(EntryId id, bool decoded) const = 0;

    virtual std::unique_ptr<IEntryReader> OpenReader() const = 0;
    // Saved for every entry of a source read from its file.
    virtual EntryState State(EntryId id) const {
        (void)id;
        return EntryState::Saved;
    }
    // What a list of every entry shows, in archive order, position by position: the same
    // answers IdAt, Name, Size, Type and State give, in one pass that a source may make
    // cheaper than asking for each. The name is valid during the call only.
    struct Listing {
        EntryId id;
        std::string_view name;
        uint32_t size = 0;
        uint8_t type = 0;
        EntryState state = EntryState::Saved;
    };
    virtual void ListEntries(const std::function<void(const Listing&)>& visit) const;

    // One entry from a reader of its own (see IEntryReader::Read).
    EntryCheck Read(EntryId id, bool decoded, std::vector<uint8_t>* out) const;
    // Passes the stored bytes the file holds to `sink`, in pieces; the check says whether
    // that was the whole entry. A sink that refuses stops the copy: CannotRead.
    EntryCheck CopyStored(EntryId id, const EntrySink& sink) const;

    // The archive file the entries come from: what no writer may ever replace.
    virtual const std::string& ArchivePath() const = 0;
    virtual const FileIdentity& ArchiveIdentity() const = 0;
    virtual uint64_t ArchiveLength() const = 0;

    // The catalogue behind the source, for what reads the archive's own layout (offsets,
    // stream lengths: Properties, Verify, lumo-cli's long listing); null for a source that
    // has no loaded catalogue behind it.
    virtual const CLgpArchive* Catalogue() const = 0;
};

// Passes an entry's bytes to `sink` in pieces, as stored or, with `decoded` and a
// compressed entry, as its stream decodes, without ever holding the decoded whole: the
// stream is checked first (a walk over it, no decoding), and nothing reaches the sink
// unless the entry is whole or `partial` asks for what it holds. A sink that refuses
// stops the copy: CannotRead.
EntryCheck CopyEntryOut(IEntryReader& reader, const IEntrySource& source, EntryId id, bool decoded,
                        bool partial, const EntrySink& sink);

using EntrySourcePtr = std::shared_ptr<const IEntrySource>;

// Told when the entries a document offers change.
class IEntrySourceObserver {
public:
    virtual ~IEntrySourceObserver() = default;
    // Another source (another archive, or none: null): whatever was listed is gone.
    virtual void OnSourceReplaced(const EntrySourcePtr& source) = 0;
    // The same archive, some of its entries changed (added, renamed or removed by a
    // change list): `source` is what the document offers now, with the ids of the
    // untouched entries as they were.
    virtual void OnEntriesChanged(const EntrySourcePtr& source, const std::vector<EntryId>& ids) {
        OnSourceReplaced(source);
        (void)ids;
    }
};
