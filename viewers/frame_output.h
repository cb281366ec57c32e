// SPDX-License-Identifier: MIT
#pragma once
// What an entry window writes: files placed atomically and never over the archive the
// window's entry came from, and File > Export image... as PNG.
#include <QImage>
#include <cstddef>
#include <string>

class CChildFrame;

// Writes `size` bytes to `path`; false with `error` set when it could not.
bool WriteFrameOutput(const CChildFrame& frame, const std::string& path, const void* data,
                      size_t size, std::string* error);
// Asks where to save `image` (named after the window's entry, ".png"), writes it there
// as PNG, and tells the user in a message owned by the window when that fails.
void ExportImageAsPng(CChildFrame& frame, const QImage& image);
