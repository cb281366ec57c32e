// SPDX-License-Identifier: MIT
#pragma once
// Starting a program and waiting for it, on POSIX hosts and on Windows alike.
#include <string>
#include <vector>

// Runs `program` with exactly `args` (no shell in between) in the folder `workDir`,
// its standard output and error going to the files `outPath` and `errPath` (created or
// truncated). Returns its exit status, kDidNotStart when the host could not start it,
// or -1 when it was ended by a signal or a crash.
constexpr int kDidNotStart = -2;
int RunProcess(const std::string& program, const std::vector<std::string>& args,
               const std::string& workDir, const std::string& outPath, const std::string& errPath);

#ifndef _WIN32
// How many files under `folder` the process `pid` holds open (from /proc).
int FilesOpenIn(int pid, const std::string& folder);
#endif
