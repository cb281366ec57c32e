// SPDX-License-Identifier: MIT
// The demo archives written at build time: what a new user opens first must load, and
// every field in it must render edge to edge.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "archive/lgp_archive.h"
#include "formats/field_renderer.h"

namespace {

const std::string kDemoDir = LUMO_DEMO_DIR;

TEST(DemoArchives, GenericArchiveHasEveryEntryKind) {
    CLgpArchive archive;
    ASSERT_GT(archive.Load((kDemoDir + "/demo.lgp").c_str()), 0);
    std::set<int> types;
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        types.insert(archive.GetEntryType(i));
    }
    EXPECT_EQ(types, (std::set<int>{0, 1, 2, 4, 5, 6, 7, 8, 9}));
}

TEST(DemoArchives, EveryFieldRendersWithoutGaps) {
    CLgpArchive archive;
    ASSERT_GT(archive.Load((kDemoDir + "/flevel.lgp").c_str()), 0);
    int fields = 0;
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        if (archive.GetEntryType(i) != LGP_TYPE_FIELD) {
            continue;
        }
        SCOPED_TRACE(archive.GetEntryName(i));
        ++fields;
        unsigned char* bytes = nullptr;
        const uint32_t size = archive.ReadEntryDecompressed(i, &bytes, 0);
        FieldImage image;
        const FieldError error = RenderFieldBackground(bytes, size, image);
        std::free(bytes);
        ASSERT_EQ(error, FieldError::None) << DescribeFieldError(error);
        EXPECT_GE(image.width, 320);
        EXPECT_GE(image.height, 200);
        int black = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                black += image.PixelAt(x, y) == 0;
            }
        }
        EXPECT_EQ(black, 0);
    }
    EXPECT_EQ(fields, 3);
}

}  // namespace
