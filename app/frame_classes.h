// SPDX-License-Identifier: MIT
#pragma once
// Registers every entry window class that CMainFrame::CreateNewChild can make by name.
// Called when the first frame is made; a second call does nothing.
void RegisterFrameClasses();
