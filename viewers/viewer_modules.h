// SPDX-License-Identifier: MIT
#pragma once
// Modules of the entry windows that pull in large libraries (OpenGL, audio output): each is
// loaded when a window first needs it, not at start, and stays loaded for the rest of the
// run. They are looked for beside the program as it is installed, then in the build tree.
#include <QString>

// The named entry point of the named module ("lumo-model-view", without prefix or suffix),
// or null with the reason.
void* ResolveViewerModule(const char* module, const char* symbol, QString* error);

// Where modules are looked for first; tests point it at a folder without them.
void SetViewerModuleFolderForTests(const QString& folder);
