// SPDX-License-Identifier: MIT
#include "indexbar/index_bar.h"

#include <QCursor>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>

#include "archive/lgp_archive.h"
#include "environment/game_environment.h"
#include "framework/menu_host.h"
#include "indexbar/entry_type_icons.h"
#include "indexbar/find_field.h"
#include "indexbar/index_context_menu.h"
#include "indexbar/index_sort.h"
#include "res/resource.h"

namespace {

// Wine ships a Tahoma outside the folders fontconfig searches; make it known once.
void RegisterShippedTahoma() {
    static bool tried = false;
    if (tried) {
        return;
    }
    tried = true;
    const QString path = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (!QFontDatabase::hasFamily(QStringLiteral("Tahoma")) && QFile::exists(path)) {
        QFontDatabase::addApplicationFont(path);
    }
}

// Whether a face of this family can be had. Arial is rarely installed under its own name
// off Windows, but fontconfig hands out its metric twin for it.
bool FamilyAvailable(const QString& family) {
    if (QFontDatabase::hasFamily(family)) {
        return true;
    }
    return family == QLatin1String("Arial") &&
           QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"));
}

// Tahoma, else Arial, else the general system font; QFont itself never fails, so the
// chain asks the font database which families exist.
QFont MakeCaptionFont() {
    RegisterShippedTahoma();
    for (const char* name : {"Tahoma", "Arial"}) {
        const QString family = QString::fromLatin1(name);
        if (FamilyAvailable(family)) {
            QFont font(family);
            font.setPixelSize(12);
            return font;
        }
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

// A 3-D frame one pixel thick: top and left edges in one colour, right and bottom edges
// in the other, the latter taking both corners they share with the former.
void Draw3dRect(QPainter& painter, int x, int y, int width, int height, const QColor& topLeft,
                const QColor& bottomRight) {
    painter.fillRect(x, y, width - 1, 1, topLeft);
    painter.fillRect(x, y, 1, height - 1, topLeft);
    painter.fillRect(x + width - 1, y, 1, height, bottomRight);
    painter.fillRect(x, y + height - 1, width, 1, bottomRight);
}

}  // namespace

CIndexBar::CIndexBar(QWidget* parent) : QWidget(parent), m_fontCaption(MakeCaptionFont()) {
    setObjectName(QStringLiteral("LumoIndexBar"));
    setWindowTitle(QStringLiteral("LumoIndexBar"));
    setFixedWidth(m_nBarWidth);
    setMouseTracking(true);  // the resize cursor over the right edge
}

CIndexBar::~CIndexBar() = default;

bool CIndexBar::Create(QWidget* parent) {
    if (m_wndList != nullptr) {
        return true;
    }
    if (parent != nullptr) {
        setParent(parent);
    }
    m_imageList = LoadEntryTypeIcons();
    m_wndList = new CListCtrl(this);
    m_wndList->setObjectName(QStringLiteral("IndexList"));
    m_wndList->GetModel()->SetIcons(m_imageList);
    // Nothing to act on until an archive has been listed.
    m_wndList->setEnabled(false);
    SetUpColumns();
    // Margins of 5 left, 29 top (below the caption), 13 right (clear of the etched line)
    // and 10 bottom.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 29, 13, 10);
    layout->setSpacing(0);
    layout->addWidget(m_wndList);

    m_wndFind = new CFindField(this);
    m_wndFind->hide();
    connect(m_wndFind, &QLineEdit::textChanged, this, &CIndexBar::SetFilterText);
    connect(m_wndFind, &CFindField::leaveRequested, m_wndList,
            [this] { m_wndList->setFocus(Qt::ShortcutFocusReason); });
    // So that a second Enter opens what the search found.
    connect(m_wndFind, &CFindField::acceptRequested, m_wndList, [this] {
        if (m_wndList->GetItemCount() != 0) {
            m_wndList->SelectRows({0});
            m_wndList->SetSelectionMark(0);
        }
        m_wndList->setFocus(Qt::ShortcutFocusReason);
    });

    connect(m_wndList, &CListCtrl::activateRequested, this, [this] {
        if (m_wndList->isEnabled()) {
            OnListActivate();
        }
    });
    connect(m_wndList, &CListCtrl::rightClicked, this, [this](const QPoint& globalPos) {
        if (m_wndList->isEnabled()) {
            OnListRClick(globalPos);
        }
    });
    connect(m_wndList, &CListCtrl::keyboardMenuRequested, this, [this] {
        if (m_wndList->isEnabled()) {
            OnListKeyboardMenu();
        }
    });
    connect(m_wndList->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (m_wndList->isEnabled()) {
            OnHeaderItemClick(column);
        }
    });

    m_wndList->show();
    if (parent != nullptr) {
        show();
    }
    return true;
}

void CIndexBar::SetUpColumns() {
    const int scrollBarExtent =
        m_wndList->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_wndList);
    QHeaderView* header = m_wndList->header();
    header->setMinimumSectionSize(0);
    // Size keeps the width it has in a bar of the first width; Name has the rest, so that
    // names show whole and a bar widened by the user gives its room to them.
    header->resizeSection(IndexListModel::NameColumn, 106);
    header->setSectionResizeMode(IndexListModel::NameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(IndexListModel::SizeColumn, QHeaderView::Fixed);
    header->resizeSection(IndexListModel::SizeColumn, kMinBarWidth - scrollBarExtent - 128);
}

void CIndexBar::SetBarWidth(int width) {
    m_nBarWidth = std::max(width, kMinBarWidth);
    setFixedWidth(m_nBarWidth);
    if (m_wndList != nullptr) {
        SetUpColumns();
    }
    update();
}

void CIndexBar::SetFilterText(const QString& text) {
    if (m_wndList == nullptr) {
        return;
    }
    m_wndList->SetFilterText(text);
    emit filterChanged(text, m_wndList->GetItemCount(), m_wndList->GetTotalCount());
}

void CIndexBar::SetArchiveName(const QString& name) {
    m_szArchiveName = name;
    update();
}

QString CIndexBar::CaptionText() const {
    if (m_szArchiveName.isEmpty()) {
        return tr("Archive index");
    }
    return tr("Archive index - %1").arg(m_szArchiveName);
}

namespace {

// One row per entry in archive order, built first and handed to the list in one go, so
// the view sees one insertion.
std::vector<IndexRow> RowsOf(const IEntrySource& source) {
    std::vector<IndexRow> rows;
    rows.reserve(source.Count());
    source.ListEntries([&rows](const IEntrySource::Listing& entry) {
        // Names are single bytes per character on the archives' home platform.
        rows.push_back(
            {static_cast<uint16_t>(rows.size()),
             QString::fromLatin1(entry.name.data(), static_cast<qsizetype>(entry.name.size())),
             entry.size, entry.type, entry.state});
    });
    return rows;
}

}  // namespace

void CIndexBar::OnSourceReplaced(const EntrySourcePtr& source) {
    m_source = source;
    m_bListSorted = false;
    m_pCatalogue = source ? source->Catalogue() : nullptr;
    if (m_wndList == nullptr) {
        return;
    }
    m_wndList->setEnabled(false);
    m_wndList->DeleteAllItems();
    if (source) {
        m_wndList->AppendRows(RowsOf(*source));
        m_wndList->setEnabled(true);
        m_wndList->FocusFirstRow();
    }
}

// Entries are known to the rows by position, which a change moves: what was selected
// is carried across by id.
void CIndexBar::OnEntriesChanged(const EntrySourcePtr& source, const std::vector<EntryId>&) {
    if (m_wndList == nullptr || !m_source || !source) {
        OnSourceReplaced(source);
        return;
    }
    std::vector<EntryId> selected;
    for (uint16_t entry : m_wndList->SelectedEntries()) {
        selected.push_back(m_source->IdAt(entry));
    }
    const int marked = m_wndList->MarkedEntry();
    const EntryId markedId = marked >= 0 ? m_source->IdAt(static_cast<size_t>(marked)) : EntryId{};
    const bool sorted = m_bListSorted;
    OnSourceReplaced(source);
    if (sorted) {
        SortList();
    }
    std::vector<uint16_t> entries;
    for (EntryId id : selected) {
        const size_t position = source->PositionOf(id);
        if (position < source->Count()) {
            entries.push_back(static_cast<uint16_t>(position));
        }
    }
    const size_t markedAt = source->PositionOf(markedId);
    m_wndList->SelectEntries(entries, markedAt < source->Count() ? static_cast<int>(markedAt) : -1,
                             true);
}

void CIndexBar::OnListActivate() {
    if (m_wndList != nullptr && m_wndList->GetSelectedCount() != 0) {
        emit commandSent(IDC_INDEXLIST);
    }
}

// The menu comes from the window's menu host (the main frame), whose routing carries the
// chosen command. A bar outside such a window only reports the click.
void CIndexBar::OnListRClick(const QPoint& globalPos) {
    if (auto* host = dynamic_cast<CMenuHost*>(window())) {
        ShowIndexContextMenu(*this, *host, QCursor::pos());
        return;
    }
    emit contextMenuRequested(globalPos);
}

// From the keyboard there is no pointer to open at: the menu opens a little below and
// right of the focused row, as beside the marked row after a click.
void CIndexBar::OnListKeyboardMenu() {
    const QPoint at = m_wndList->FocusedRowCorner() + QPoint(14, 14);
    if (auto* host = dynamic_cast<CMenuHost*>(window())) {
        ShowIndexContextMenu(*this, *host, at);
        return;
    }
    emit contextMenuRequested(at);
}

// The Name heading sorts by name, the Size heading by size; clicking the heading of the
// current mode again turns the order round.
void CIndexBar::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor light = pal.color(QPalette::Light);
    const QColor shadow = pal.color(QPalette::Dark);

    // Clear first: a shorter new caption must not leave the end of the old one behind.
    painter.fillRect(event->rect(), face);

    // Gripper: two raised bars.
    Draw3dRect(painter, 5, 6, 3, 19, light, shadow);
    Draw3dRect(painter, 9, 6, 3, 19, light, shadow);

    // The caption's top edge sits at y = 8. The whole text is drawn; whatever does not fit
    // is cut off at the bar's edge.
    painter.setFont(m_fontCaption);
    painter.setPen(pal.color(QPalette::WindowText));
    painter.drawText(QPoint(16, 8 + QFontMetrics(m_fontCaption).ascent()), CaptionText());

    // Etched lines along the top, the bottom and the right.
    const int w = m_nBarWidth;
    const int h = height();
    Draw3dRect(painter, 0, 0, w - 5, 2, shadow, light);
    Draw3dRect(painter, 0, h - 2, w - 5, 2, shadow, light);
    Draw3dRect(painter, w - 6, 0, 2, h, shadow, light);
}

// The strip right of the etched line is the bar's edge: dragging it sets the width.
bool CIndexBar::OnEdge(int x) const {
    return x >= width() - 6;
}

void CIndexBar::mousePressEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (event->button() == Qt::LeftButton && OnEdge(x)) {
        m_bDragging = true;
        m_nDragOffset = x - width();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CIndexBar::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (m_bDragging || OnEdge(x)) {
        setCursor(Qt::SizeHorCursor);
    } else {
        unsetCursor();
    }
    if (m_bDragging) {
        // Leave the entry windows some room.
        const int most = parentWidget() ? parentWidget()->width() - 100 : QWIDGETSIZE_MAX;
        SetBarWidth(std::min(x - m_nDragOffset, std::max(most, kMinBarWidth)));
    }
    QWidget::mouseMoveEvent(event);
}

void CIndexBar::mouseReleaseEvent(QMouseEvent* event) {
    m_bDragging = false;
    QWidget::mouseReleaseEvent(event);
}
