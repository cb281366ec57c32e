// SPDX-License-Identifier: MIT
#pragma once
// Open as...: which viewer the selected entries open in.
#include <cstddef>
#include <optional>

#include "viewers/viewer_table.h"

class QWidget;

// Lists every viewer; the chosen one, or nothing when the user cancelled.
std::optional<ViewerKind> AskViewer(QWidget* owner, size_t entryCount);
