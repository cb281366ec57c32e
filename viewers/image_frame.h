// SPDX-License-Identifier: MIT
#pragma once
// The base of the entry windows that show an image (field backgrounds, textures): the
// image at the client area's top-left corner, scroll bars once it is larger than the
// window, zoom (the menu, Ctrl+wheel, a corner label saying how much), Edit > Copy of
// the image, and File > Export image... as PNG. An image that fits the MDI area opens at
// 100 % with the client area exactly the image; a larger one opens scaled to fit. The
// window never shrinks below a frame whose title, close button and controls can be seen.
#include <QImage>

#include "viewers/child_frame.h"

class QLabel;
class QScrollArea;
class QVBoxLayout;
class CImageCanvas;

class CImageFrame : public CChildFrame {
    Q_OBJECT
public:
    explicit CImageFrame(QWidget* parent = nullptr);
    ~CImageFrame() override;

    bool OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) override;
    // The canvas paints; the client area under it has nothing of its own to show.
    void PaintFrame() override {}

    // The image as shown at 100 %; null until one is set.
    const QImage& GetShownImage() const { return m_shown; }
    double GetZoom() const { return m_zoom; }
    void SetZoom(double zoom);
    QScrollArea* GetScrollArea() const { return m_pScroll; }
    // What the corner label says ("50 %"); empty while it is hidden, at 100 %.
    QString GetZoomText() const;
    // Zooms one step in (steps > 0) or out, keeping the image's point under `at` (a point
    // of the scroll area's viewport) where it is.
    void ZoomAt(int steps, const QPoint& at);
    // The smallest frame a viewer window takes: title, icon and close button visible.
    static QSize UsableFrameSize();

    void OnViewZoomIn();
    void OnViewZoomOut();
    void OnViewZoomActual();
    void OnViewZoomFit();
    void OnEditCopy();
    void OnFileExportImage();
    void OnUpdateNeedsImage(CCmdUI* pCmdUI);

protected:
    // Shows `image` (shared, not copied: it must stay valid while shown); a checkerboard
    // shows through where it is transparent when `checkerboard` is set.
    void SetImage(const QImage& image, bool checkerboard);
    // Sizes the window so the client area is the image (plus `extraHeight` for a bar
    // above it), never below the usable frame; a maximized window stays maximized.
    void SizeToImage(int extraHeight = 0);
    // Widgets placed above the image (the texture's palette chooser) go here.
    QVBoxLayout* ClientLayout() const { return m_pLayout; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The smallest frame that shows the title bar and the controls above the image whole.
    QSize MinimumFrameSize() const;
    void PlaceZoomLabel();

    QVBoxLayout* m_pLayout;
    QScrollArea* m_pScroll;
    CImageCanvas* m_pCanvas;
    QLabel* m_pZoomLabel;
    QImage m_shown;
    double m_zoom = 1.0;
    bool m_bChecker = false;
};
