// SPDX-License-Identifier: MIT
#include "viewers/camera_viewer.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "viewers/hex_viewer.h"

namespace {

// The frames as rows of ten columns, formatted only as the view asks for them: a
// movie's track may hold thousands of frames.
class CameraModel : public QAbstractTableModel {
public:
    CameraModel(const CameraTrack& track, QObject* parent)
        : QAbstractTableModel(parent), m_track(track) {}
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_track.frames.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(kCameraValuesPerFrame);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::TextAlignmentRole) {
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        }
        if (role != Qt::DisplayRole || !index.isValid()) {
            return {};
        }
        return m_track
            .frames[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())];
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) {
            return {};
        }
        return orientation == Qt::Horizontal ? QString("v%1").arg(section)
                                             : QString::number(section);
    }

private:
    const CameraTrack& m_track;
};

// Values 0 and 2 seen from above, 0 and 1 from the side, each scaled to its half.
class PathPlot : public QWidget {
public:
    PathPlot(const CameraTrack& track, QWidget* parent) : QWidget(parent), m_track(track) {
        setMinimumSize(240, 120);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter dc(this);
        dc.fillRect(rect(), Qt::white);
        dc.setRenderHint(QPainter::Antialiasing);
        const int half = width() / 2;
        Draw(dc, QRect(0, 0, half, height()).adjusted(8, 16, -8, -8), 2, tr("from above (v0, v2)"));
        Draw(dc, QRect(half, 0, width() - half, height()).adjusted(8, 16, -8, -8), 1,
             tr("from the side (v0, v1)"));
    }

private:
    void Draw(QPainter& dc, const QRect& area, size_t yValue, const QString& caption) {
        dc.setPen(Qt::darkGray);
        dc.drawText(area.left(), area.top() - 4, caption);
        dc.drawRect(area);
        if (m_track.frames.empty()) {
            return;
        }
        double x0 = m_track.frames[0][0], x1 = x0, y0 = m_track.frames[0][yValue], y1 = y0;
        for (const CameraFrame& f : m_track.frames) {
            x0 = std::min<double>(x0, f[0]);
            x1 = std::max<double>(x1, f[0]);
            y0 = std::min<double>(y0, f[yValue]);
            y1 = std::max<double>(y1, f[yValue]);
        }
        const double scale = std::min((area.width() - 1) / std::max(x1 - x0, 1.0),
                                      (area.height() - 1) / std::max(y1 - y0, 1.0));
        QPainterPath path;
        for (size_t i = 0; i < m_track.frames.size(); ++i) {
            const CameraFrame& f = m_track.frames[i];
            const QPointF p(area.left() + (f[0] - x0) * scale,
                            area.bottom() - (f[yValue] - y0) * scale);
            i == 0 ? path.moveTo(p) : path.lineTo(p);
        }
        dc.setPen(QPen(QColor(30, 90, 200), 1.5));
        dc.drawPath(path);
        dc.setBrush(QColor(200, 40, 40));
        dc.drawEllipse(path.elementAt(0), 3, 3);  // where the movie starts
    }

    const CameraTrack& m_track;
};

}  // namespace

CCameraViewer::CCameraViewer(QWidget* parent) : CChildFrame(parent), m_pNotice(new QLabel) {
    auto* layout = new QVBoxLayout(GetClientWidget());
    layout->addWidget(m_pNotice);
}

CCameraViewer::~CCameraViewer() = default;

bool CCameraViewer::LoadEntryData(const unsigned char* pData, uint32_t nSize) {
    m_data.assign(pData, pData + (pData ? nSize : 0));
    std::string reason;
    auto* layout = static_cast<QVBoxLayout*>(GetClientWidget()->layout());
    if (!ReadCameraTrack(m_data.data(), m_data.size(), m_track, &reason)) {
        m_pNotice->setText(tr("No frame table: %1.").arg(QString::fromStdString(reason)));
        m_pHex = new CHexView;
        m_pHex->SetData(m_data.data(), m_data.size());
        layout->addWidget(m_pHex, 1);
        return true;
    }
    m_pNotice->setText(
        tr("%n frame(s) of ten values", nullptr, static_cast<int>(m_track.frames.size())));
    auto* splitter = new QSplitter(Qt::Vertical);
    m_pTable = new QTableView;
    m_pTable->setModel(new CameraModel(m_track, m_pTable));
    m_pTable->verticalHeader()->setDefaultSectionSize(m_pTable->fontMetrics().height() + 4);
    splitter->addWidget(new PathPlot(m_track, splitter));
    splitter->addWidget(m_pTable);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);
    return true;
}

QString CCameraViewer::GetNotice() const {
    return m_pNotice->text();
}
