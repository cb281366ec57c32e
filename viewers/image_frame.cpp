// SPDX-License-Identifier: MIT
#include "viewers/image_frame.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>

#include "res/resource.h"
#include "viewers/frame_output.h"

namespace {

const QColor kLightGray(192, 192, 192);
constexpr double kZoomSteps[] = {0.0625, 0.125, 0.25, 0.5, 1, 2, 3, 4, 6, 8, 12, 16};
constexpr int kChecker = 8;

const CommandMapEntry<CImageFrame> kImageCommands[] = {
    {ID_VIEW_ZOOM_IN, &CImageFrame::OnViewZoomIn, &CImageFrame::OnUpdateNeedsImage},
    {ID_VIEW_ZOOM_OUT, &CImageFrame::OnViewZoomOut, &CImageFrame::OnUpdateNeedsImage},
    {ID_VIEW_ZOOM_ACTUAL, &CImageFrame::OnViewZoomActual, &CImageFrame::OnUpdateNeedsImage},
    {ID_VIEW_ZOOM_FIT, &CImageFrame::OnViewZoomFit, &CImageFrame::OnUpdateNeedsImage},
    {ID_EDIT_COPY, &CImageFrame::OnEditCopy, &CImageFrame::OnUpdateNeedsImage},
    {ID_FILE_EXPORT_IMAGE, &CImageFrame::OnFileExportImage, &CImageFrame::OnUpdateNeedsImage},
};

}  // namespace

// Paints the image at the frame's zoom from its top-left corner, gray beyond it.
class CImageCanvas : public QWidget {
public:
    explicit CImageCanvas(QWidget* parent) : QWidget(parent) {}
    void Show(const QImage* image, bool checkerboard, double zoom) {
        m_pImage = image;
        m_bChecker = checkerboard;
        m_zoom = zoom;
        resize(ShownSize());  // the scroll area's bars follow at once
        update();
    }
    QSize ShownSize() const {
        if (!m_pImage || m_pImage->isNull()) {
            return {0, 0};
        }
        return {static_cast<int>(m_pImage->width() * m_zoom + 0.5),
                static_cast<int>(m_pImage->height() * m_zoom + 0.5)};
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter dc(this);
        dc.fillRect(event->rect(), kLightGray);
        const QRect target(QPoint(0, 0), ShownSize());
        if (target.isEmpty()) {
            return;
        }
        if (m_bChecker) {
            const QRect area = target & event->rect();
            for (int y = area.top() / kChecker * kChecker; y <= area.bottom(); y += kChecker) {
                for (int x = area.left() / kChecker * kChecker; x <= area.right(); x += kChecker) {
                    const bool dark = ((x + y) / kChecker) % 2 != 0;
                    dc.fillRect(QRect(x, y, kChecker, kChecker) & target,
                                dark ? QColor(204, 204, 204) : QColor(255, 255, 255));
                }
            }
        }
        if (m_zoom == 1.0) {
            dc.drawImage(QPoint(0, 0), *m_pImage);
        } else {
            dc.drawImage(target, *m_pImage);
        }
    }

private:
    const QImage* m_pImage = nullptr;
    bool m_bChecker = false;
    double m_zoom = 1.0;
};

CImageFrame::CImageFrame(QWidget* parent)
    : CChildFrame(parent),
      m_pLayout(new QVBoxLayout(GetClientWidget())),
      m_pScroll(new QScrollArea),
      m_pCanvas(new CImageCanvas(m_pScroll)),
      m_pZoomLabel(new QLabel(m_pScroll)) {
    m_pLayout->setContentsMargins(0, 0, 0, 0);
    m_pLayout->setSpacing(0);
    m_pScroll->setFrameShape(QFrame::NoFrame);
    // The canvas is exactly the shown image; the viewport's gray lies beyond it.
    m_pScroll->setWidgetResizable(false);
    m_pScroll->setWidget(m_pCanvas);
    QWidget* viewport = m_pScroll->viewport();
    QPalette gray = viewport->palette();
    gray.setColor(QPalette::Window, kLightGray);
    viewport->setPalette(gray);
    viewport->setBackgroundRole(QPalette::Window);
    viewport->setAutoFillBackground(true);
    viewport->installEventFilter(this);
    m_pCanvas->installEventFilter(this);
    m_pLayout->addWidget(m_pScroll);
    m_pZoomLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pZoomLabel->setMargin(2);
    m_pZoomLabel->setStyleSheet(QStringLiteral("background: #ffffe1; color: black;"));
    m_pZoomLabel->hide();
    m_pCanvas->Show(nullptr, false, 1.0);
}

CImageFrame::~CImageFrame() = default;

bool CImageFrame::OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) {
    if (id == ID_EDIT_COPY && FocusElsewhere()) {
        return false;
    }
    return DispatchCommand(*this, kImageCommands, id, query, ui) ||
           CChildFrame::OnCmdMsg(id, query, ui);
}

QSize CImageFrame::UsableFrameSize() {
    // What the style itself needs for a title bar with its icon and buttons, measured on
    // a bare subwindow so that no client widget's own minimum counts.
    static const QSize usable = [] {
        QMdiSubWindow probe;
        return probe.minimumSizeHint();
    }();
    return usable;
}

void CImageFrame::SetImage(const QImage& image, bool checkerboard) {
    m_shown = image;
    m_bChecker = checkerboard;
    m_pCanvas->Show(&m_shown, checkerboard, m_zoom);
}

void CImageFrame::SetZoom(double zoom) {
    m_zoom = std::clamp(zoom, kZoomSteps[0], kZoomSteps[std::size(kZoomSteps) - 1]);
    m_pCanvas->Show(&m_shown, m_bChecker, m_zoom);
    const double percent = m_zoom * 100;
    m_pZoomLabel->setText(tr("%1 %").arg(QString::number(percent, 'f', percent < 10 ? 1 : 0)));
    m_pZoomLabel->adjustSize();
    m_pZoomLabel->setVisible(m_zoom != 1.0 && !m_shown.isNull());
    PlaceZoomLabel();
}

QString CImageFrame::GetZoomText() const {
    return m_pZoomLabel->isHidden() ? QString() : m_pZoomLabel->text();
}

// Over the viewport's top right corner, clear of the scroll bars.
void CImageFrame::PlaceZoomLabel() {
    const QRect viewport = m_pScroll->viewport()->geometry();
    m_pZoomLabel->move(viewport.right() + 1 - m_pZoomLabel->width(), viewport.top());
    m_pZoomLabel->raise();
}

QSize CImageFrame::MinimumFrameSize() const {
    int controls = 0;
    for (int i = 0; i < m_pLayout->count(); ++i) {
        const QWidget* widget = m_pLayout->itemAt(i)->widget();
        if (widget && widget != m_pScroll) {
            controls = std::max(controls, widget->minimumSizeHint().width());
        }
    }
    const QSize extra = size() - GetClientWidget()->size();
    return UsableFrameSize().expandedTo(QSize(controls + extra.width(), 0));
}

void CImageFrame::SizeToImage(int extraHeight) {
    const bool maximized = isMaximized();
    if (maximized) {
        showNormal();  // resizing a maximized window would leave it frameless
    }
    const QSize minimum = MinimumFrameSize();
    setMinimumSize(minimum);
    // An image larger than the area opens scaled to fit it, 100 % being a scroll away.
    const QSize room = AreaSize() - (size() - GetClientWidget()->size()) - QSize(0, extraHeight);
    double zoom = 1.0;
    if (!AreaSize().isEmpty() && !m_shown.isNull() &&
        (m_shown.width() > room.width() || m_shown.height() > room.height())) {
        zoom = std::min(double(std::max(room.width(), 1)) / m_shown.width(),
                        double(std::max(room.height(), 1)) / m_shown.height());
    }
    SetZoom(zoom);
    // Even at the smallest zoom, an image may still overflow: room for the bar it needs.
    QSize client = m_pCanvas->ShownSize();
    const int barHeight =
        client.width() > room.width() ? m_pScroll->horizontalScrollBar()->sizeHint().height() : 0;
    const int barWidth =
        client.height() > room.height() ? m_pScroll->verticalScrollBar()->sizeHint().width() : 0;
    client += QSize(barWidth, barHeight + extraHeight);
    SetClientSize(client.width(), client.height());
    resize(size().expandedTo(minimum));
    if (maximized) {
        showMaximized();
    }
}

void CImageFrame::ZoomAt(int steps, const QPoint& at) {
    QScrollBar* h = m_pScroll->horizontalScrollBar();
    QScrollBar* v = m_pScroll->verticalScrollBar();
    const QPointF image = (QPointF(at) + QPointF(h->value(), v->value())) / m_zoom;
    for (; steps > 0; --steps) {
        OnViewZoomIn();
    }
    for (; steps < 0; ++steps) {
        OnViewZoomOut();
    }
    const QPointF scrolled = image * m_zoom - QPointF(at);
    h->setValue(static_cast<int>(scrolled.x() + 0.5));
    v->setValue(static_cast<int>(scrolled.y() + 0.5));
}

bool CImageFrame::eventFilter(QObject* watched, QEvent* event) {
    QWidget* viewport = m_pScroll->viewport();
    if (watched == viewport && event->type() == QEvent::Resize) {
        PlaceZoomLabel();
    }
    // Over the image or beyond it: each is the widget under the pointer.
    if ((watched == viewport || watched == m_pCanvas) && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        if ((wheel->modifiers() & Qt::ControlModifier) && delta != 0 && !m_shown.isNull()) {
            const QPoint at = wheel->position().toPoint();
            ZoomAt(delta > 0 ? 1 : -1, watched == viewport ? at : m_pCanvas->mapTo(viewport, at));
            return true;
        }
    }
    return CChildFrame::eventFilter(watched, event);
}

void CImageFrame::OnViewZoomIn() {
    for (double step : kZoomSteps) {
        if (step > m_zoom * 1.001) {
            SetZoom(step);
            return;
        }
    }
}

void CImageFrame::OnViewZoomOut() {
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it) {
        if (*it < m_zoom * 0.999) {
            SetZoom(*it);
            return;
        }
    }
}

void CImageFrame::OnViewZoomActual() {
    SetZoom(1.0);
}

void CImageFrame::OnViewZoomFit() {
    if (m_shown.isNull() || m_shown.width() == 0 || m_shown.height() == 0) {
        return;
    }
    const QSize room = m_pScroll->maximumViewportSize();
    SetZoom(
        std::min(double(room.width()) / m_shown.width(), double(room.height()) / m_shown.height()));
}

void CImageFrame::OnEditCopy() {
    QGuiApplication::clipboard()->setImage(m_shown);
}

void CImageFrame::OnFileExportImage() {
    ExportImageAsPng(*this, m_shown);
}

void CImageFrame::OnUpdateNeedsImage(CCmdUI* pCmdUI) {
    pCmdUI->Enable(!m_shown.isNull());
}
