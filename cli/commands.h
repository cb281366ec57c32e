// SPDX-License-Identifier: MIT
#pragma once
// The subcommands; each returns the process's exit status.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/lgp_archive.h"
#include "cli/arguments.h"

int RunList(const CliRequest& request);
int RunInfo(const CliRequest& request);
int RunExtract(const CliRequest& request);
int RunRender(const CliRequest& request);
int RunVerify(const CliRequest& request);
int RunExport(const CliRequest& request);
int RunCreate(const CliRequest& request);  // edit_commands.cpp
int RunAdd(const CliRequest& request);
int RunRemove(const CliRequest& request);
int RunRename(const CliRequest& request);
int RunDiff(const CliRequest& request);  // diff.cpp

// Helpers of the commands above, each in a file of its own.
int RunEntryInfo(const CliRequest& request);  // entry_info.cpp
// Writes a rendered image atomically; false (reported) when it cannot.
// Never over the archive itself.
bool WriteRenderOutput(const FileIdentity& archive, const std::string& path,
                       const std::vector<uint8_t>& bytes);  // render.cpp
