// SPDX-License-Identifier: MIT
#include "res/scaled_icons.h"

#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QString>

namespace {

QString ScaledPath(const char* path, const char* suffix) {
    QString scaled = QString::fromUtf8(path);
    const qsizetype dot = scaled.lastIndexOf(QLatin1Char('.'));
    scaled.insert(dot < 0 ? scaled.size() : dot, QLatin1String(suffix));
    return scaled;
}

}  // namespace

QImage ReadPng(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QImageReader reader(&file, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QIcon ToolBarButtonIcon(const char* stripPath, int index, int count) {
    QIcon icon;
    if (count <= 0) {
        return icon;
    }
    for (const char* suffix : {"", "@1.5x", "@2x"}) {
        const QPixmap strip = QPixmap::fromImage(ReadPng(ScaledPath(stripPath, suffix)));
        const int width = strip.width() / count;
        if (!strip.isNull() && width > 0) {
            QPixmap button = strip.copy(index * width, 0, width, strip.height());
            // Matched by its pixel size; Qt would take "@2x" in the name as a ratio.
            button.setDevicePixelRatio(1);
            icon.addPixmap(button);
        }
    }
    return icon;
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        const QImage image =
            ReadPng(QStringLiteral(":/desktop/icons/%1x%1/apps/lumo.png").arg(size));
        if (!image.isNull()) {
            icon.addPixmap(QPixmap::fromImage(image));
        }
    }
    return icon;
}
