// SPDX-License-Identifier: MIT
#pragma once
// The entry-type icons: one 14x14 image per entry type code, cut from a strip of eleven
// that is compiled into the program. Magenta pixels of the strip are transparent.
#include <QIcon>
#include <QImage>
#include <vector>

constexpr int kEntryTypeIconCount = 11;
constexpr int kEntryTypeIconSize = 14;

// The whole strip with magenta turned transparent, or a null image when it is missing.
QImage LoadEntryTypeStrip();
// One image per type code, or none when the strip is missing or of the wrong size.
std::vector<QImage> SplitEntryTypeStrip(const QImage& strip);
std::vector<QIcon> LoadEntryTypeIcons();
