// SPDX-License-Identifier: MIT
#pragma once
// The field background viewer: an entry window that shows the background image of a
// field file (the decompressed bytes of a "flevel.lgp" entry), rendered once from its
// tiles and drawn unscaled at the client area's top-left corner.
#include <QImage>
#include <vector>

#include "formats/field_renderer.h"
#include "viewers/image_frame.h"

class CEditorText : public CImageFrame {
    Q_OBJECT
public:
    explicit CEditorText(QWidget* parent = nullptr);
    ~CEditorText() override;

    // Copies the bytes, renders the background and sizes the window so that its client
    // area is exactly the background's size. On a file it cannot show it tells the user,
    // closes itself and returns false: the caller must not touch the frame afterwards.
    bool LoadEntryData(const unsigned char* pData, uint32_t nSize) override;

    // The rendered background; null until a load has succeeded.
    const QImage& GetImage() const { return m_bitmap; }

private:
    std::vector<unsigned char> m_data;  // our own copy of the field file
    FieldImage m_image;                 // the rendered pixels, 5-5-5, rows padded to 4 bytes
    QImage m_bitmap;                    // a view of m_image's pixels; owns nothing
};
