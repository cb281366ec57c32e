#pragma once
// The archive commands' part of the application's command map. The handlers are members
// of the application object, defined in this folder, which sits above the shell (app/);
// so the shell never names them, and the program joins their table to the
// application's map at start-up.
class CLumoApp;

// Makes `app` route the archive commands (open, extract, open in viewers, sort) to their
// handlers. A second call does nothing more.
void InstallArchiveCommands(CLumoApp& app);
