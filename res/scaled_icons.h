// SPDX-License-Identifier: MIT
#pragma once
// Icons with a picture drawn for each scale the screen may have (1x, 1.5x, 2x for the
// tool bars; 16 to 256 px for the program's icon), so that nothing is a blurred
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

// The program's icon at every size the desktop installs it in.
QIcon ApplicationIcon();
