// SPDX-License-Identifier: MIT
#pragma once
// The MDI child in which an opened archive entry is shown, and the base of every typed
// entry viewer. It shows no content of its own, only a placeholder line. A viewer
// derives from it and replaces PaintFrame and LoadEntryData; closing and painting are
// reached only through the virtual operations.
#include <QMdiSubWindow>
#include <cstdint>

#include "archive/archive_document.h"
#include "archive/entry_buffer.h"
#include "archive/entry_source.h"
#include "framework/command_target.h"
#include "platform/host_file.h"

class QLabel;
class QVBoxLayout;

class CChildFrame : public QMdiSubWindow, public CCmdTarget, public IEntrySourceObserver {
    Q_OBJECT
public:
    explicit CChildFrame(QWidget* parent = nullptr);
    ~CChildFrame() override;

    // Closes the window now; the object is deleted once control is back in the event
    // loop, so a caller inside one of its own handlers may still return through it.
    virtual void CloseFrame();
    // Paints the client area; called from the client widget's paint event, so a
    // QPainter on GetClientWidget() may be opened here.
    virtual void PaintFrame();
    // Receives the entry's bytes once, right after creation and titling. The caller
    // frees them when this returns: keep a copy of whatever is needed. pData may be null
    // with nSize 0. The plain frame ignores the data and returns false.
    virtual bool LoadEntryData(const unsigned char* pData, uint32_t nSize);
    // The same, for a caller that owns the bytes in a buffer: a viewer that keeps them
    // whole may take the block instead of copying it (a 64 MiB entry would otherwise
    // cost a second 64 MiB). By default the bytes are passed to LoadEntryData.
    virtual bool LoadEntryBuffer(EntryBuffer& buffer, uint32_t nSize);
    // Shows entry `id` of `source`, right after creation and titling. By default it reads
    // the entry (decoded when ReadsDecoded()) and hands the bytes to LoadEntryBuffer, so
    // a viewer of one entry's bytes needs nothing more; a viewer that needs other entries
    // of the archive too keeps the source, which stays readable after another archive
    // is opened. The frame may close itself in here, as in LoadEntryData.
    virtual bool LoadEntryFrom(const EntrySourcePtr& source, EntryId id);
    // Whether LoadEntryFrom reads a compressed entry decoded rather than as stored: as
    // the viewer table's row of this class says (viewers/viewer_table.h).
    virtual bool ReadsDecoded() const;

    bool OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) override;
    void OnFileClose();

    // The archive the entry was read from, which nothing the window writes may replace.
    void SetSourceFile(const FileIdentity& file) { m_source = file; }
    const FileIdentity& GetSourceFile() const { return m_source; }

    // The entry the window shows and the archive it came from, set by the opener before
    // LoadEntryFrom. The title names both ("md1stin — flevel.lgp"). With `document`, the
    // window follows which archive is open and says so in its title once its own is not;
    // it keeps its source either way, so its entry commands still act on its archive.
    void SetEntry(const EntrySourcePtr& source, EntryId id, ArchiveDocument* document);
    const EntrySourcePtr& GetEntrySource() const { return m_entrySource; }
    EntryId GetEntry() const { return m_entry; }
    // The entry's name; the window title for a window that shows no archive entry.
    QString GetEntryName() const;
    bool IsArchiveOpen() const { return m_bArchiveOpen; }
    void OnSourceReplaced(const EntrySourcePtr& source) override;
    // A line above the content saying what is wrong with the entry; empty hides it.
    void ShowNotice(const QString& text);
    QString GetNotice() const;

    // Commands a window carries out on its own entry (Extract, Properties). Their
    // handlers belong to the archive commands, which install them here.
    using EntryCommand = void (*)(CChildFrame& frame);
    static void SetEntryCommand(int id, EntryCommand command);

    QWidget* GetClientWidget() const { return m_pClient; }
    // Resizes the frame so that its client widget is exactly width x height, as far as
    // the MDI area holds it: the frame never opens larger than the area.
    void SetClientSize(int width, int height);
    // The room the MDI area gives a window; empty outside an area.
    QSize AreaSize() const;
    // True once the window has been closed (its deletion may still be pending).
    bool IsClosed() const { return m_bClosed; }

    static const char* const kPlaceholderText;

signals:
    // The window has been closed and left the MDI area.
    void frameClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    // True when the keyboard is with the index list or another window: Edit > Copy then
    // belongs to whatever has it, not to this window.
    bool FocusElsewhere() const;

private:
    void UpdateTitle();
    bool OnEntryCommand(int id, CommandQuery query, CCmdUI* ui);

    QLabel* m_pNotice = nullptr;
    QVBoxLayout* m_pLayout;
    QWidget* m_pClient;
    EntrySourcePtr m_entrySource;
    EntryId m_entry{};
    ArchiveDocument* m_pDocument = nullptr;
    bool m_bArchiveOpen = true;
    bool m_bClosed = false;
    FileIdentity m_source;
};

// Entry window classes by name, so that the frame can create one knowing only its name.
using ChildFrameFactory = CChildFrame* (*)();
void RegisterChildFrameClass(const char* className, ChildFrameFactory factory);
// A new frame of the registered class, or null for an unknown name.
CChildFrame* CreateChildFrameByName(const char* className);
