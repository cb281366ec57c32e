// SPDX-License-Identifier: MIT
#pragma once
// Puts the open archive's document (archive_doc.h) on the application's command route.
// The document sits above the shell (app/), which knows it only as a command target and
// an ArchiveDocument; the program installs it at start-up.
class CLumoApp;
class CChildFrame;

// Creates the document, which lives as long as the program, and joins it to `app`: the
// route, the document the index follows, opening a file and dragging rows out. A second
// call does nothing more.
void InstallArchiveCommands(CLumoApp& app);

// Extract and Properties of an entry window: its own entry, from its own archive.
void ExtractWindowEntry(CChildFrame& frame);         // extract_command.cpp
void ShowWindowEntryProperties(CChildFrame& frame);  // properties_command.cpp
