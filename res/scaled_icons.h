// SPDX-License-Identifier: MIT
#pragma once
// Icons with a picture drawn for each scale the screen may have (1x, 1.5x, 2x for the
// tool bars; 16 to 64 px for the program's window icon), so that nothing is a blurred
// enlargement at 150 % or 200 %.
#include <QIcon>
#include <QImage>
#include <QString>

// A PNG of the program's (or Qt's) own resources, read as PNG: letting Qt guess the format
// would load every image format plugin there is at start. Null when it is missing.
QImage ReadPng(const QString& path);

// Button `index` of a tool bar strip of `count` buttons. The strip at its own path is
// the 1x picture; the same path with "@1.5x" and "@2x" before ".png" holds the others.
QIcon ToolBarButtonIcon(const char* stripPath, int index, int count);

// The program's window icon, 16 to 64 px. Not larger: X sends every size of a window's
// icon to the window manager as the window is made (≈ 3 ms at start for 128 and 256 px),
// and a desktop that draws the program larger finds it in the installed icon theme.
QIcon ApplicationIcon();
