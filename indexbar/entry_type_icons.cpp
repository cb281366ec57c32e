// SPDX-License-Identifier: MIT
#include "indexbar/entry_type_icons.h"

#include <QPixmap>

#include "res/scaled_icons.h"

// Resources compiled into a static library must be registered by hand, outside any
// namespace.
static void RegisterEntryTypeResource() {
    Q_INIT_RESOURCE(entry_types);
}

static constexpr QRgb kTransparentKey = qRgb(255, 0, 255);

// A strip with magenta turned transparent; null when it is missing.
static QImage KeyedStrip(const QString& path) {
    RegisterEntryTypeResource();
    QImage strip = ReadPng(path);
    if (strip.isNull()) {
        return {};
    }
    strip = strip.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < strip.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x) {
            if ((line[x] & 0xFFFFFFu) == (kTransparentKey & 0xFFFFFFu)) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return strip;
}

QImage LoadEntryTypeStrip() {
    return KeyedStrip(QStringLiteral(":/indexbar/entry_types.png"));
}

std::vector<QImage> SplitEntryTypeStrip(const QImage& strip) {
    if (strip.width() != kEntryTypeIconSize * kEntryTypeIconCount ||
        strip.height() != kEntryTypeIconSize) {
        return {};
    }
    std::vector<QImage> images;
    for (int n = 0; n < kEntryTypeIconCount; ++n) {
        images.push_back(
            strip.copy(n * kEntryTypeIconSize, 0, kEntryTypeIconSize, kEntryTypeIconSize));
    }
    return images;
}

// The pictures drawn for screens scaled to 150 % and 200 % join each icon, so the list
// never shows an enlarged 14-pixel picture there.
std::vector<QIcon> LoadEntryTypeIcons() {
    std::vector<QIcon> icons;
    for (const QImage& image : SplitEntryTypeStrip(LoadEntryTypeStrip())) {
        icons.emplace_back(QPixmap::fromImage(image));
    }
    for (const char* suffix : {"@1.5x", "@2x"}) {
        QImage strip =
            KeyedStrip(QStringLiteral(":/indexbar/entry_types%1.png").arg(QLatin1String(suffix)));
        const int size = strip.height();
        if (strip.width() != size * kEntryTypeIconCount || icons.size() != kEntryTypeIconCount) {
            continue;
        }
        strip.setDevicePixelRatio(1);  // matched by pixel size, whatever the name says
        for (int n = 0; n < kEntryTypeIconCount; ++n) {
            icons[static_cast<size_t>(n)].addPixmap(
                QPixmap::fromImage(strip.copy(n * size, 0, size, size)));
        }
    }
    return icons;
}
