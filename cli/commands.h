#pragma once
// The subcommands; each returns the process's exit status.
#include "cli/arguments.h"

int RunList(const CliRequest& request);
int RunInfo(const CliRequest& request);
int RunExtract(const CliRequest& request);
int RunRender(const CliRequest& request);
