// SPDX-License-Identifier: MIT
#include "viewers/frame_output.h"

#include <QBuffer>
#include <QImageWriter>

#include "platform/file_output.h"
#include "platform/prompts.h"
#include "viewers/child_frame.h"

bool WriteFrameOutput(const CChildFrame& frame, const std::string& path, const void* data,
                      size_t size, std::string* error) {
    // The save dialog's own overwrite question may have been answered for the archive.
    PlaceRules rules;
    rules.protect = frame.GetSourceFile();
    const AtomicWriteResult written = WriteOutputFile(path, data, size, rules);
    *error = written.message;
    return written.Ok();
}

void ExportImageAsPng(CChildFrame& frame, const QImage& image) {
    platform::SaveFileRequest request;
    request.fileName = frame.GetEntryName().section('.', 0, 0).toStdString() + ".png";
    request.defaultExtension = "png";
    request.filter = CChildFrame::tr("PNG images (*.png)|*.png|").toStdString();
    request.owner = &frame;
    const std::optional<std::string> path = platform::Prompts().SaveFile(request);
    if (!path) {
        return;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    std::string error = CChildFrame::tr("Cannot encode the image as PNG.").toStdString();
    if (QImageWriter(&buffer, "png").write(image) &&
        WriteFrameOutput(frame, *path, png.constData(), static_cast<size_t>(png.size()), &error)) {
        return;
    }
    platform::MessageRequest message;
    message.text = error;
    message.icon = platform::MessageIcon::Exclamation;
    message.owner = &frame;
    platform::Prompts().ShowMessage(message);
}
