// SPDX-License-Identifier: MIT
#pragma once
// File > Export audio... of the music viewer: asks for a WAV (or FLAC) file, renders the
// sequence with progress and Cancel, and writes it through the atomic writer, so a
// cancelled or failed export leaves any file of that name as it was.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host_file.h"

class QWidget;

// `name` is the entry's name, offered as the file's; `source` is the archive it came
// from, which is never written over. Failures are reported in a message box; a cancel
// is quiet. True when the file was written.
bool ExportMusic(QWidget* owner, const std::vector<uint8_t>& midi, const std::string& name,
                 const FileIdentity& source);
