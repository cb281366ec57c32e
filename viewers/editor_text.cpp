// SPDX-License-Identifier: MIT
#include "viewers/editor_text.h"

#include <QPainter>

#include "platform/prompts.h"

CEditorText::CEditorText(QWidget* parent) : CImageFrame(parent) {}

CEditorText::~CEditorText() = default;

bool CEditorText::LoadEntryData(const unsigned char* pData, uint32_t nSize) {
    SetImage(QImage(), false);
    m_bitmap = QImage();  // it must never outlive the pixels it points at
    if (pData && nSize > 0) {
        m_data.assign(pData, pData + nSize);
    }
    // The renderer refuses an empty or hostile file and bounds every read and write.
    FieldError error = RenderFieldBackground(m_data.data(), m_data.size(), m_image);
    if (error != FieldError::None) {
        platform::MessageRequest request;
        request.text = tr("Error").toStdString();
        request.detail = DescribeFieldError(error);
        request.buttons = platform::MessageButtons::Ok;
        request.icon = platform::MessageIcon::None;
        request.owner = this;
        platform::Prompts().ShowMessage(request);
        CloseFrame();
        return false;
    }
    // The renderer's pixels already have the layout of a 5-5-5 image with 4-byte rows, so
    // the image is a view of them: nothing is copied, and each paint just draws it.
    const auto* bits = reinterpret_cast<const uchar*>(m_image.pixels.data());
    m_bitmap = QImage(bits, m_image.width, m_image.height,
                      static_cast<qsizetype>(m_image.strideBytes), QImage::Format_RGB555);
    SetImage(m_bitmap, false);
    SizeToImage();
    return true;
}
