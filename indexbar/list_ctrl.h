// SPDX-License-Identifier: MIT
#pragma once
// The report-style entry list inside the index bar. It owns its row model and gives the
// archive commands what they need: the rows, their item data (entry indices), the
// selection and the selection mark.
#include <QList>
#include <QPoint>
#include <QStringList>
#include <QTreeView>
#include <QUrl>
#include <functional>
#include <vector>

#include "indexbar/index_list_model.h"
#include "indexbar/name_editor.h"

class CListCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit CListCtrl(QWidget* parent = nullptr);

    IndexListModel* GetModel() const { return m_model; }

    void DeleteAllItems();
    void AppendRows(std::vector<IndexRow> rows);
    int GetItemCount() const;
    // Entry index carried by a row, or -1 when there is no such row.
    int GetItemData(int row) const;

    int GetSelectedCount() const;
    // Selected rows in list order, top to bottom.
    std::vector<int> GetSelectedRows() const;
    // The row last clicked or moved to (the current row), or -1. A row that only holds
    // the keyboard focus since the list was filled (FocusFirstRow) is no mark yet.
    int GetSelectionMark() const;
    // Gives the first row the keyboard focus without selecting or marking it, so that the
    // arrow keys and the menu key have a row to start from.
    void FocusFirstRow();
    void SetSelectionMark(int row);
    // Replaces the selection with the given rows; rows outside the list are ignored.
    void SelectRows(const std::vector<int>& rows);
    // Top-left corner of a row in the viewport's coordinates; (0, 0) for no such row.
    QPoint GetItemPosition(int row) const;

    void SortItems(const EntryComparator& compare, const std::vector<uint64_t>* prefixes = nullptr);
    // Screen position of the focused row's top-left corner; the list's top-left corner
    // when no row has the focus.
    QPoint FocusedRowCorner() const;

    // The same in entry indices, whatever rows the filter shows: the entries of the
    // selected rows, top to bottom, and the entry of the marked row (-1 for none).
    std::vector<uint16_t> SelectedEntries() const;
    int MarkedEntry() const;
    // Shows only the entries whose names contain the text (see NameFilter). Entries that
    // stay shown keep their selection and the mark.
    void SetFilterText(const QString& text);
    // Rows of the archive, shown or not.
    int GetTotalCount() const { return m_model->TotalCount(); }
    // Selects the shown rows of these entries and marks the row of `marked` (-1: none),
    // with `reveal` scrolling it into view; entries not shown are left out.
    void SelectEntries(const std::vector<uint16_t>& entries, int marked, bool reveal);

    // Opens the name editor on a row (see indexbar/name_editor.h); false when there is no
    // such row.
    bool EditName(int row, NameEdit edit);

    // Dragging selected rows out of the list: the provider writes the entries somewhere
    // and gives their files, which the drag carries to the file manager. Without a
    // provider, or when it gives no file, no drag starts.
    using DragFileProvider = std::function<QList<QUrl>(const std::vector<uint16_t>& entries)>;
    void SetDragFileProvider(DragFileProvider provider);
    // What a drag of the selected rows would carry; null when it would not start. Besides
    // the files it says, under kRowsMimeType, that these are this program's own rows (the
    // process id as text), so that a drop back on the program can open them instead.
    QMimeData* MakeDragData();
    static constexpr char kRowsMimeType[] = "application/x-lumo-index-rows";
    // Whether `data` carries rows dragged out of this process's index.
    static bool CarriesOwnRows(const QMimeData* data);

    // Files dropped on the list from a file manager (list_drop.cpp). The handler is asked
    // with `drop` false while the drag passes over (true: the list takes them), and told
    // with `drop` true once they are dropped, after the drop itself has returned, so that
    // the source of the drag is not kept waiting by what the handler asks. Without a
    // handler the list takes no drop.
    using FileDropHandler = std::function<bool(const QStringList& paths, bool drop)>;
    void SetFileDropHandler(FileDropHandler handler);
    // The local files `data` carries; empty when it carries anything else too, or rows of
    // this list.
    static QStringList DroppedFiles(const QMimeData* data);

signals:
    // Double-click anywhere in the list, or Enter / Return.
    void activateRequested();
    // A drag of rows out of the list has ended, dropped or not.
    void dragEnded();
    // Right click in the list, at this screen position.
    void rightClicked(const QPoint& globalPos);
    // The menu key or Shift+F10: the context menu, at the focused row.
    void keyboardMenuRequested();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    IndexListModel* m_model;
    CNameEditor* m_nameEditor;
    bool m_bFocusOnly = false;  // the current row was placed by FocusFirstRow
    bool m_bPlacingFocus = false;
    DragFileProvider m_dragFiles;
    FileDropHandler m_fileDrops;
};
