// SPDX-License-Identifier: MIT
#pragma once
// Start-up timing for the start-up benchmark. With LUMO_STARTUP_PROBE set, the program
// prints "lumo-startup-shown <ns>" (the monotonic clock, in nanoseconds) once the main
// window has painted its index — with the rows of the archive named on the command line,
// when one is — and has been handed to the display, then quits. Unset, it does nothing.

class CListCtrl;

void InstallStartupProbe(CListCtrl& index, bool archiveNamed);
