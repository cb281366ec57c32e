// SPDX-License-Identifier: MIT
#pragma once
// The command line of lumo-cli, parsed into one request.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class CliCommand {
    Help,
    Version,
    List,
    Info,
    Extract,
    Render,
    Verify,
    Create,
    Add,
    Remove,
    Rename,
    Diff,
    Export,
};

struct CliRequest {
    CliCommand command = CliCommand::Help;
    std::string archive;
    std::vector<std::string> entries;     // extract: names or #N; render: exactly one
    std::string outputDir;                // extract -o
    bool decompress = false;              // extract --decompress
    bool partial = false;                 // extract --partial
    std::string pngPath;                  // render -o: the PNG, or the WAV/FLAC of music
    std::string soundFont;                // render --soundfont (music)
    std::string rawPath;                  // render --raw
    std::optional<uint32_t> palette;      // render --palette (textures)
    bool all = false;                     // render --all: every field and music entry, -o a folder
    bool toStdout = false;                // extract --stdout / -O
    bool json = false;                    // list, info (of the archive or entries) --json
    bool longForm = false;                // list, info --long
    bool strict = false;                  // verify --strict: warnings fail too
    bool quiet = false;                   // -q: no line per file written
    bool verbose = false;                 // -v: progress on a terminal's standard error
    std::string exportPath;               // export -o: the .glb, or with --all-models a folder
    std::vector<std::string> animations;  // export --anim, one name each
    bool allAnimations = false;           // export --all-anims
    std::optional<std::string> pose;      // export --pose NAME[:FRAME] or "rest"
    bool allModels = false;               // export --all-models
    // extract -f: replace write-protected files; create --force: an existing archive
    bool force = false;
    std::optional<std::string> asName;  // add --as NAME
    std::optional<std::string> folder;  // add, rename --folder F
    bool stored = false;                // create, add --stored: never compress
    bool compress = false;              // create, add --compress: compress whole streams too
    bool dryRun = false;                // -n: say what would change, write nothing
};

// Whether the command writes an archive.
bool IsWritingCommand(CliCommand command);

// Parses argv[1..]; on bad usage returns nothing and puts the reason in `error`.
std::optional<CliRequest> ParseArguments(const std::vector<std::string>& args, std::string* error);

// The text --help prints.
const char* UsageText();
