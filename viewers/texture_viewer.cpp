// SPDX-License-Identifier: MIT
#include "viewers/texture_viewer.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/prompts.h"

namespace {

// Palettes past those whose first colour is stored cannot decode at all, so a header
// claiming millions of palettes offers only the ones there are.
constexpr uint32_t kMaxChoices = 4096;

void Report(QWidget* owner, TextureError error) {
    platform::MessageRequest request;
    request.text = CTextureViewer::tr("Cannot show the texture: %1.")
                       .arg(QString::fromUtf8(DescribeTextureError(error)))
                       .toStdString();
    request.icon = platform::MessageIcon::Exclamation;
    request.owner = owner;
    platform::Prompts().ShowMessage(request);
}

}  // namespace

CTextureViewer::CTextureViewer(QWidget* parent) : CImageFrame(parent) {}

CTextureViewer::~CTextureViewer() = default;

bool CTextureViewer::LoadEntryData(const unsigned char* pData, uint32_t nSize) {
    if (pData && nSize > 0) {
        m_data.assign(pData, pData + nSize);
    }
    const TextureError error = DecodeTexture(m_data.data(), m_data.size(), 0, m_image);
    if (error != TextureError::None) {
        Report(this, error);
        CloseFrame();
        return false;
    }
    TextureHeader header;
    ReadTextureHeader(m_data.data(), m_data.size(), header);
    if (header.IsPaletted() && header.paletteCount > 1) {
        const uint64_t reachable = (uint64_t{header.paletteSize} + header.coloursPerPalette - 1) /
                                   header.coloursPerPalette;
        AddPaletteChooser(static_cast<uint32_t>(
            std::min<uint64_t>({header.paletteCount, reachable, kMaxChoices})));
    }
    SetImage(QImage(m_image.rgba.data(), static_cast<int>(m_image.width),
                    static_cast<int>(m_image.height), static_cast<qsizetype>(m_image.width) * 4,
                    QImage::Format_RGBA8888),
             true);
    SizeToImage(m_pChooser ? m_pChooser->parentWidget()->sizeHint().height() : 0);
    return true;
}

bool CTextureViewer::SetPalette(uint32_t palette) {
    TextureImage decoded;
    const TextureError error = DecodeTexture(m_data.data(), m_data.size(), palette, decoded);
    if (error != TextureError::None) {
        Report(this, error);
        if (m_pChooser) {
            m_pChooser->setCurrentIndex(static_cast<int>(m_nPalette));
        }
        return false;
    }
    m_image = std::move(decoded);
    m_nPalette = palette;
    SetImage(QImage(m_image.rgba.data(), static_cast<int>(m_image.width),
                    static_cast<int>(m_image.height), static_cast<qsizetype>(m_image.width) * 4,
                    QImage::Format_RGBA8888),
             true);
    if (m_pChooser && m_pChooser->currentIndex() != static_cast<int>(palette)) {
        m_pChooser->setCurrentIndex(static_cast<int>(palette));
    }
    return true;
}

void CTextureViewer::AddPaletteChooser(uint32_t palettes) {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(new QLabel(tr("Palette:")));
    m_pChooser = new QComboBox;
    for (uint32_t p = 0; p < palettes; ++p) {
        m_pChooser->addItem(QString::number(p));
    }
    row->addWidget(m_pChooser);
    row->addStretch();
    ClientLayout()->insertWidget(0, bar);
    connect(m_pChooser, &QComboBox::activated, this,
            [this](int index) { SetPalette(static_cast<uint32_t>(index)); });
}
