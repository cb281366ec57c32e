// SPDX-License-Identifier: MIT
#pragma once
// The archive index: the bar docked at the left of the main frame with a gripper, a
// caption naming the open archive, etched edges, and the entry list below them.
//
// Construction makes the caption font and the sort state only; Create(parent) builds the
// list, its columns and its icons, so GetListCtrl() is null until then. The bar is always
// m_nBarWidth pixels wide; whoever lays out the frame gives it its height.
#include <QFont>
#include <QIcon>
#include <QString>
#include <QWidget>
#include <vector>

#include "archive/entry_source.h"
#include "indexbar/list_ctrl.h"

class CFindField;
class CLgpArchive;

class CIndexBar : public QWidget, public IEntrySourceObserver {
    Q_OBJECT
public:
    explicit CIndexBar(QWidget* parent = nullptr);
    ~CIndexBar() override;

    // Builds the list, its columns and icons under this bar and puts the bar into parent
    // (when given). Returns false when the bar cannot be built. A second call does nothing.
    bool Create(QWidget* parent);
    CListCtrl* GetListCtrl() const { return m_wndList; }
    // The find field that filters the list; the frame puts it in its tool bar row.
    // Null until Create.
    CFindField* GetFindField() const { return m_wndFind; }
    // Narrows the list to the entries whose names contain the text; then filterChanged.
    void SetFilterText(const QString& text);

    // Sets the archive name shown in the caption and repaints the bar.
    void SetArchiveName(const QString& name);
    QString CaptionText() const;
    const QFont& GetCaptionFont() const { return m_fontCaption; }

    // Follows the open archive's document: lists the new source's entries in archive
    // order (whatever sort mode is stored; the next sort command applies it), rows
    // carrying their entry's position, and sorts by its catalogue. The list is disabled
    // while it is refilled, so nothing acts on a half-built index. Null empties it.
    void OnSourceReplaced(const EntrySourcePtr& source) override;
    // The same archive with changes: the rows follow the new source with their marks
    // (changed, added), keep the order the list was sorted in and the filter, and the
    // entries that were selected and marked stay so, the marked one in view.
    void OnEntriesChanged(const EntrySourcePtr& source, const std::vector<EntryId>& ids) override;

    // The catalogue the sort comparators look entries up in.
    void SetCatalogue(const CLgpArchive* catalogue) { m_pCatalogue = catalogue; }
    // Re-orders the rows by m_nSortMode and m_bSortReverse: by the catalogue, or by the
    // listed source's own keys when it has none (changes waiting).
    void SortList();

    // Reactions of the list; they never run while the list is disabled (no archive open).
    // Activation sends IDC_INDEXLIST (res/resource.h) to the frame when rows are selected. A right
    // click inside a window that is a menu host (framework/menu_host.h) shows the context menu
    // (indexbar/index_context_menu.h); elsewhere it only emits contextMenuRequested with the
    // click's screen position.
    void OnListActivate();
    void OnListRClick(const QPoint& globalPos);
    // The menu key or Shift+F10: the same menu, beside the focused row.
    void OnListKeyboardMenu();
    void OnHeaderItemClick(int column);

    // The bar's width: 205 at first; the user drags the right edge to widen it, never
    // below that. The Size column follows the width.
    void SetBarWidth(int width);
    static constexpr int kMinBarWidth = 205;

    QString m_szArchiveName;  // file name of the open archive; empty: none
    int m_nSortMode = 0;      // 0 archive order, 1 name, 2 type, 3 size
    bool m_bSortReverse = false;
    int m_nBarWidth = 205;

signals:
    // A command for the main frame's routing, e.g. IDC_INDEXLIST on activation.
    void commandSent(int id);
    // A right click in the list, for the context menu.
    void contextMenuRequested(const QPoint& globalPos);
    // The find field's text changed: `shown` of `total` entries are listed.
    void filterChanged(const QString& text, int shown, int total);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetUpColumns();
    void ShowSortArrow();
    bool OnEdge(int x) const;

    std::vector<QIcon> m_imageList;
    CListCtrl* m_wndList = nullptr;
    CFindField* m_wndFind = nullptr;
    bool m_bDragging = false;  // the right edge is being dragged
    int m_nDragOffset = 0;     // meanwhile: pointer x minus bar width
    QFont m_fontCaption;
    const CLgpArchive* m_pCatalogue = nullptr;
    EntrySourcePtr m_source;     // keeps m_pCatalogue alive while it is listed
    bool m_bListSorted = false;  // a sort command ordered the rows since they were listed
};
