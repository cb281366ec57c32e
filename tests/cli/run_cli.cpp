// SPDX-License-Identifier: MIT
#include "tests/cli/run_cli.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/cli/process.h"
#include "tests/support/lgp_writer.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::string& workDir) {
    lumo::test::TempDir capture;
    const std::string outPath = capture.File("out");
    const std::string errPath = capture.File("err");
    CliResult result;
    // A program the host failed to start says nothing about the program; try again.
    result.exitCode = kDidNotStart;
    for (int attempt = 0; attempt < 3 && result.exitCode == kDidNotStart; ++attempt) {
        result.exitCode = RunProcess(LUMO_CLI_PATH, args, workDir, outPath, errPath);
    }
    result.out = Slurp(outPath);
    result.err = Slurp(errPath);
    // Under the sanitizers a fault in the child may still end in an ordinary exit status.
    if (result.err.find("Sanitizer") != std::string::npos ||
        result.err.find("runtime error:") != std::string::npos) {
        result.exitCode = -1;
    }
    return result;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}
