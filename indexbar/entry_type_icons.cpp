#include "indexbar/entry_type_icons.h"

#include <QPixmap>

// Resources compiled into a static library must be registered by hand, outside any
// namespace.
static void RegisterEntryTypeResource() {
    Q_INIT_RESOURCE(entry_types);
}

static constexpr QRgb kTransparentKey = qRgb(255, 0, 255);

QImage LoadEntryTypeStrip() {
    RegisterEntryTypeResource();
    QImage strip(QStringLiteral(":/indexbar/entry_types.png"));
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

std::vector<QIcon> LoadEntryTypeIcons() {
    std::vector<QIcon> icons;
    for (const QImage& image : SplitEntryTypeStrip(LoadEntryTypeStrip())) {
        icons.emplace_back(QPixmap::fromImage(image));
    }
    return icons;
}
