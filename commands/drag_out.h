// SPDX-License-Identifier: MIT
#pragma once
// Index rows dragged out of the program land as files: installed with the archive
// commands (archive_commands.h).
class CLumoApp;

void InstallDragOut(CLumoApp& app);
