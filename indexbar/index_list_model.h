#pragma once
// The rows of the archive index, held in one vector so that filling, clearing and
// re-ordering tens of thousands of rows costs one model signal, not one per row.
#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

struct IndexRow {
    uint16_t entryIndex = 0;  // position of the entry in the archive: the row's item data
    QString name;             // column 0
    QString sizeText;         // column 1, already formatted
    uint8_t typeCode = 0;     // entry type code: index of the row's icon
};

// Returns < 0 when entry a goes first, 0 when their keys are equal, > 0 when b goes first.
using EntryComparator = std::function<int(uint16_t a, uint16_t b)>;

class IndexListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn = 0, SizeColumn = 1, ColumnCount = 2 };

    explicit IndexListModel(QObject* parent = nullptr);

    // Icons by type code; a code without an icon shows none.
    void SetIcons(std::vector<QIcon> icons);

    void AppendRows(std::vector<IndexRow> rows);
    void Clear();
    const IndexRow& Row(int row) const { return m_rows[static_cast<size_t>(row)]; }
    // Entry index of a row, or -1 when there is no such row.
    int ItemData(int row) const;
    // Re-orders every row at once; selection and current row follow their rows.
    void SortRows(const EntryComparator& compare);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<IndexRow> m_rows;
    std::vector<QIcon> m_icons;
};
