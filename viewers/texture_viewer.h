// SPDX-License-Identifier: MIT
#pragma once
// The texture viewer: a ".tex" entry decoded to RGBA and shown at its real size on a
// checkerboard where it is transparent, with a palette chooser above it when the
// texture has several palettes.
#include <vector>

#include "formats/texture.h"
#include "viewers/image_frame.h"

class QComboBox;

class CTextureViewer : public CImageFrame {
    Q_OBJECT
public:
    explicit CTextureViewer(QWidget* parent = nullptr);
    ~CTextureViewer() override;

    // Decodes palette 0 and sizes the window to the image. A texture it cannot decode is
    // reported in one message saying why; the window then closes and false is returned.
    bool LoadEntryData(const unsigned char* pData, uint32_t nSize) override;

    uint32_t GetPalette() const { return m_nPalette; }
    // Shows another palette; false (reported, the shown one kept) when it cannot decode.
    bool SetPalette(uint32_t palette);
    // The chooser; null when the texture has a single palette.
    QComboBox* GetPaletteChooser() const { return m_pChooser; }

private:
    void AddPaletteChooser(uint32_t palettes);

    std::vector<unsigned char> m_data;
    TextureImage m_image;
    uint32_t m_nPalette = 0;
    QComboBox* m_pChooser = nullptr;
};
