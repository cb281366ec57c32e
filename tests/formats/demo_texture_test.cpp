// SPDX-License-Identifier: MIT
// The demo archives' textures: what a new user opens first must show as images.
#include <gtest/gtest.h>

#include <string>

#include "archive/entry_buffer.h"
#include "archive/lgp_archive.h"
#include "formats/texture.h"

TEST(DemoTextures, EveryTextureDecodesAndTheyCoverEachLayout) {
    int paletted = 0, direct = 0, transparent = 0;
    for (const char* name : {"/demo.lgp", "/flevel.lgp"}) {
        CLgpArchive archive;
        ASSERT_GT(archive.Load((std::string(LUMO_DEMO_DIR) + name).c_str()), 0);
        for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
            if (archive.GetEntryType(i) != LGP_TYPE_TEX) {
                continue;
            }
            SCOPED_TRACE(archive.GetEntryName(i));
            EntryBuffer bytes;
            const uint32_t size = archive.ReadEntry(i, bytes.Address());
            ASSERT_EQ(CheckTexture(bytes.Data(), size), TextureError::None);
            TextureHeader header;
            ReadTextureHeader(bytes.Data(), size, header);
            (header.IsPaletted() ? paletted : direct) += 1;
            TextureImage image;
            ASSERT_EQ(DecodeTexture(bytes.Data(), size, 0, image), TextureError::None);
            EXPECT_GE(image.width, 16u);
            for (size_t p = 3; p < image.rgba.size(); p += 4) {
                if (image.rgba[p] == 0) {
                    ++transparent;
                    break;
                }
            }
        }
    }
    EXPECT_GE(paletted, 1);
    EXPECT_GE(direct, 2);
    EXPECT_GE(transparent, 2);
}
