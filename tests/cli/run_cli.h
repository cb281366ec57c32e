// SPDX-License-Identifier: MIT
#pragma once
// Runs lumo-cli with exactly the given arguments (no shell in between) and collects
// what it printed.
#include <string>
#include <vector>

struct CliResult {
    int exitCode = -1;  // -1 when the program crashed or a sanitizer reported a fault
    std::string out;
    std::string err;
};

CliResult RunCli(const std::vector<std::string>& args, const std::string& workDir = ".");

// Whether `part` occurs in `text`.
inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every line of `text`, without the newlines.
std::vector<std::string> Lines(const std::string& text);
