// SPDX-License-Identifier: MIT
#include "cli/arguments.h"

namespace {

struct CommandName {
    const char* name;
    CliCommand command;
};

constexpr CommandName kCommands[] = {
    {"list", CliCommand::List},       {"info", CliCommand::Info},
    {"extract", CliCommand::Extract}, {"render", CliCommand::Render},
    {"verify", CliCommand::Verify},   {"create", CliCommand::Create},
    {"add", CliCommand::Add},         {"remove", CliCommand::Remove},
    {"rename", CliCommand::Rename},   {"diff", CliCommand::Diff},
    {"export", CliCommand::Export},
};

constexpr unsigned Bit(CliCommand command) {
    return 1u << static_cast<unsigned>(command);
}

// The options that take no value: which field they set, and for which commands.
struct Flag {
    const char* longName;
    const char* shortName;  // or null
    bool CliRequest::*field;
    unsigned commands;
};

constexpr unsigned kWriting = Bit(CliCommand::Create) | Bit(CliCommand::Add) |
                              Bit(CliCommand::Remove) | Bit(CliCommand::Rename);
constexpr unsigned kAdding = Bit(CliCommand::Create) | Bit(CliCommand::Add);

constexpr Flag kFlags[] = {
    {"--force", nullptr, &CliRequest::force, Bit(CliCommand::Create)},
    {"--stored", nullptr, &CliRequest::stored, kAdding},
    {"--compress", nullptr, &CliRequest::compress, kAdding},
    {"--dry-run", "-n", &CliRequest::dryRun, kWriting},
    {"--decompress", nullptr, &CliRequest::decompress, Bit(CliCommand::Extract)},
    {"--stdout", "-O", &CliRequest::toStdout, Bit(CliCommand::Extract)},
    {"--partial", nullptr, &CliRequest::partial,
     Bit(CliCommand::Extract) | Bit(CliCommand::Render)},
    {"--force", "-f", &CliRequest::force, Bit(CliCommand::Extract)},
    {"--json", nullptr, &CliRequest::json,
     Bit(CliCommand::List) | Bit(CliCommand::Info) | Bit(CliCommand::Diff) | kWriting},
    {"--long", nullptr, &CliRequest::longForm, Bit(CliCommand::List)},
    {"--all", nullptr, &CliRequest::all, Bit(CliCommand::Render)},
    {"--strict", nullptr, &CliRequest::strict, Bit(CliCommand::Verify)},
    {"--all-anims", nullptr, &CliRequest::allAnimations, Bit(CliCommand::Export)},
    {"--all-models", nullptr, &CliRequest::allModels, Bit(CliCommand::Export)},
    {"--quiet", "-q", &CliRequest::quiet, ~0u},
    {"--verbose", "-v", &CliRequest::verbose, ~0u},
};

// --help and --version stand for themselves wherever they are, before a "--".
std::optional<CliCommand> StandaloneCommand(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "--help" || arg == "-h") {
            return CliCommand::Help;
        }
        if (arg == "--version") {
            return CliCommand::Version;
        }
    }
    return std::nullopt;
}

// Takes the value of an option such as "-o DIR"; false when it is missing.
bool TakeValue(const std::vector<std::string>& args, size_t& i, std::string* value,
               std::string* error) {
    if (i + 1 >= args.size()) {
        *error = "option " + args[i] + " needs a value";
        return false;
    }
    *value = args[++i];
    return true;
}

// --palette N: a palette number, digits only.
bool TakePalette(const std::vector<std::string>& args, size_t& i, CliRequest& request,
                 std::string* error) {
    std::string value;
    if (!TakeValue(args, i, &value, error)) {
        return false;
    }
    const bool digits = !value.empty() && value.size() <= 9 &&
                        value.find_first_not_of("0123456789") == std::string::npos;
    if (!digits) {
        *error = "--palette needs a palette number, not " + value;
        return false;
    }
    request.palette = static_cast<uint32_t>(std::stoul(value));
    return true;
}

bool TakeFlag(const std::string& arg, CliRequest& request, std::string* error) {
    for (const Flag& flag : kFlags) {
        if ((arg == flag.longName || (flag.shortName && arg == flag.shortName)) &&
            (flag.commands & Bit(request.command)) != 0) {
            request.*flag.field = true;
            return true;
        }
    }
    *error = "unknown option " + arg;
    return false;
}

// export's options with a value: -o, --anim (once per animation), --pose.
bool TakeExportOption(const std::vector<std::string>& args, size_t& i, CliRequest& request,
                      std::string* error) {
    const std::string& arg = args[i];
    if (arg == "-o") {
        return TakeValue(args, i, &request.exportPath, error);
    }
    std::string value;
    if (arg == "--anim") {
        if (!TakeValue(args, i, &value, error)) {
            return false;
        }
        request.animations.push_back(value);
        return true;
    }
    if (arg == "--pose") {
        if (!TakeValue(args, i, &value, error)) {
            return false;
        }
        request.pose = value;
        return true;
    }
    return TakeFlag(arg, request, error);
}

// Applies one option; false (with `error`) when it does not belong to the command.
bool TakeOption(const std::vector<std::string>& args, size_t& i, CliRequest& request,
                std::string* error) {
    const std::string& arg = args[i];
    const CliCommand command = request.command;
    if (arg == "-o" && command == CliCommand::Extract) {
        if (!TakeValue(args, i, &request.outputDir, error)) {
            return false;
        }
        if (request.outputDir == "-") {  // standard output, as --stdout
            request.outputDir.clear();
            request.toStdout = true;
        }
        return true;
    }
    if (arg == "-o" && command == CliCommand::Render) {
        return TakeValue(args, i, &request.pngPath, error);
    }
    if (arg == "--raw" && command == CliCommand::Render) {
        return TakeValue(args, i, &request.rawPath, error);
    }
    if (arg == "--soundfont" && command == CliCommand::Render) {
        return TakeValue(args, i, &request.soundFont, error);
    }
    if (arg == "--palette" && command == CliCommand::Render) {
        return TakePalette(args, i, request, error);
    }
    if (arg == "--as" && command == CliCommand::Add) {
        return TakeValue(args, i, &request.asName.emplace(), error);
    }
    if (arg == "--folder" && (command == CliCommand::Add || command == CliCommand::Rename)) {
        return TakeValue(args, i, &request.folder.emplace(), error);
    }
    if (command == CliCommand::Export) {
        return TakeExportOption(args, i, request, error);
    }
    return TakeFlag(arg, request, error);
}

// export: one ENTRY and -o FILE, or --all-models and -o DIR; animations or a pose.
std::string ExportProblem(const CliRequest& request) {
    const size_t entries = request.entries.size();
    const bool animated = request.allAnimations || !request.animations.empty();
    if (request.exportPath.empty()) {
        return "export needs -o FILE.glb (or -o DIR with --all-models)";
    }
    if (request.allModels) {
        if (request.exportPath == "-") {
            return "export --all-models writes a file per skeleton; -o - is not a folder";
        }
        return entries != 0 || request.pose || !request.animations.empty()
                   ? "export --all-models takes no ENTRY, --anim or --pose"
                   : "";
    }
    if (entries != 1) {
        return entries == 0 ? "missing ENTRY" : "export takes one ENTRY";
    }
    if (request.allAnimations && !request.animations.empty()) {
        return "--anim and --all-anims cannot go together";
    }
    if (request.pose && animated) {
        return "--pose writes one still pose; it cannot go with --anim or --all-anims";
    }
    return "";
}

// Options that make no sense together, or a render without its one target.
bool CheckCombinations(const CliRequest& request, std::string* error) {
    const size_t entries = request.entries.size();
    std::string problem;
    const CliCommand command = request.command;
    if (request.toStdout && !request.outputDir.empty()) {
        problem = "--stdout and -o cannot go together";
    } else if (request.stored && request.compress) {
        problem = "--stored and --compress cannot go together";
    } else if ((command == CliCommand::Create || command == CliCommand::Add ||
                command == CliCommand::Remove) &&
               entries == 0) {
        problem = command == CliCommand::Remove ? "missing ENTRY" : "missing PATH";
    } else if (command == CliCommand::Add && request.asName && entries != 1) {
        problem = "--as names one PATH";
    } else if (command == CliCommand::Rename && entries != 2) {
        problem = "rename takes ENTRY and NEWNAME";
    } else if (command == CliCommand::Diff && entries != 1) {
        problem = "diff takes two archives";
    } else if (request.command == CliCommand::Export) {
        problem = ExportProblem(request);
    } else if (command != CliCommand::Render) {
        return true;
    } else if (request.all) {
        if (entries != 0 || !request.rawPath.empty() || request.pngPath.empty()) {
            problem = "render --all takes no ENTRY and needs -o DIR (no --raw)";
        } else if (request.pngPath == "-") {
            problem = "render --all writes a file per field; -o - is not a folder";
        }
    } else if (request.pngPath == "-" && request.rawPath == "-") {
        problem = "only one of -o and --raw can go to standard output";
    } else if (entries != 1) {
        problem = entries == 0 ? "missing ENTRY" : "render takes one ENTRY";
    } else if (request.pngPath.empty() && request.rawPath.empty()) {
        problem = "render needs -o FILE (.png, or .wav for music) or --raw FILE";
    }
    *error = problem;
    return problem.empty();
}

bool CheckOperands(CliRequest& request, std::vector<std::string>& operands, std::string* error) {
    if (operands.empty()) {
        *error = "missing ARCHIVE";
        return false;
    }
    request.archive = operands.front();
    request.entries.assign(operands.begin() + 1, operands.end());
    const bool noEntries =
        request.command == CliCommand::List || request.command == CliCommand::Verify;
    if (noEntries && !request.entries.empty()) {
        *error = "unexpected argument " + request.entries.front();
        return false;
    }
    if (request.palette && request.all) {
        *error = "--palette picks one texture's palette; render --all renders fields";
        return false;
    }
    return CheckCombinations(request, error);
}

}  // namespace

std::optional<CliRequest> ParseArguments(const std::vector<std::string>& args, std::string* error) {
    CliRequest request;
    if (std::optional<CliCommand> standalone = StandaloneCommand(args)) {
        request.command = *standalone;  // whatever else was given
        return request;
    }
    if (args.empty()) {
        *error = "missing command";
        return std::nullopt;
    }
    bool known = false;
    for (const CommandName& c : kCommands) {
        if (args[0] == c.name) {
            request.command = c.command;
            known = true;
        }
    }
    if (!known) {
        *error = "unknown command " + args[0];
        return std::nullopt;
    }
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (!TakeOption(args, i, request, error)) {
                return std::nullopt;
            }
        } else {
            operands.push_back(arg);
        }
    }
    if (!CheckOperands(request, operands, error)) {
        return std::nullopt;
    }
    return request;
}

bool IsWritingCommand(CliCommand command) {
    return (Bit(command) & kWriting) != 0;
}

const char* UsageText() {
    return "Usage:\n"
           "  lumo-cli list ARCHIVE [--json] [--long]\n"
           "      One tab-separated line per entry, in archive order: index, name,\n"
           "      extension, size in bytes, type code; in an archive with entries sharing\n"
           "      a name, then the entry's folder (empty for none). --long adds the\n"
           "      entry's offset,\n"
           "      and for field entries (type code 3) the compressed stream's length\n"
           "      and the size it decodes to ('-' for others). --json prints one JSON\n"
           "      document instead. Entries the archive holds only in part (with\n"
           "      --long, also field entries whose stream extract --decompress would\n"
           "      refuse) are named on standard error after the listing, and the exit\n"
           "      status is 1.\n"
           "      Example: lumo-cli list --json flevel.lgp | python3 -m json.tool\n"
           "  lumo-cli info ARCHIVE [--json]\n"
           "      The archive's path, length and entry count.\n"
           "  lumo-cli info ARCHIVE ENTRY... [--json]\n"
           "      Each entry's properties instead, as the Properties dialog shows them:\n"
           "      one key<TAB>value line each, a blank line between entries; --json\n"
           "      prints an array of one object of key: text pairs per entry. Music\n"
           "      (.mid) adds its length, tracks, format and division; camera tracks\n"
           "      (.cam) their frames. Models (.hrc, .p, .rsd, .a) add what the model\n"
           "      holds; a skeleton the names of the animations that fit it, one\n"
           "      'animation' line each (in JSON an \"animations\" array).\n"
           "      Example: lumo-cli info char.lgp\n"
           "  lumo-cli extract ARCHIVE [-o DIR | --stdout] [--decompress] [--partial]\n"
           "                   [--force] [ENTRY...]\n"
           "      Writes DIR/<name> for each ENTRY (DIR/<folder>/<name> for entries\n"
           "      sharing a name); no ENTRY means every entry. An ENTRY\n"
           "      is a name as list shows it (escaped or not), #N for the entry with\n"
           "      index N, or a shell-style pattern (*, ?, [...]; quote it) matched\n"
           "      ignoring case against the whole names as list shows them; any other\n"
           "      text selects the names that contain it, as the desktop program's\n"
           "      find field does. One that selects nothing is an error. DIR defaults\n"
           "      to the current folder. --stdout (-O, or -o -) writes the entries'\n"
           "      bytes to standard output instead, and nothing else. --decompress\n"
           "      decodes the field entries (type code 3); others are written as\n"
           "      stored. Prints each file written and its size (control characters in\n"
           "      names as \\xHH). An entry that is not whole (cut short, or a\n"
           "      compressed stream that lies) is not written and is reported as a\n"
           "      failure; with --partial it is written as far as it goes, never over\n"
           "      an existing file, and still reported. The archive itself is never\n"
           "      written over. A write-protected file in the way is refused with the\n"
           "      reason unless --force (-f) is given, as rm does.\n"
           "      Example: lumo-cli extract flevel.lgp '*rm*' -o fields --decompress\n"
           "  lumo-cli render ARCHIVE ENTRY (-o FILE.png | --raw FILE) [--palette N]\n"
           "                  [--partial]\n"
           "  lumo-cli render ARCHIVE ENTRY.mid -o FILE.wav [--soundfont FILE.sf2]\n"
           "                  [--partial]\n"
           "  lumo-cli render ARCHIVE --all -o DIR [--soundfont FILE.sf2] [--partial]\n"
           "      Renders a field entry's background to a PNG, or to raw 16-bit\n"
           "      little-endian 5-5-5 pixels (blue in bits 0-4, red in bits 10-14),\n"
           "      top row first, no padding. --all renders every field entry to\n"
           "      DIR/<name>.png; one that fails is reported and the others go on.\n"
           "      A texture renders to an 8-bit RGBA PNG, or to raw R, G, B, A bytes,\n"
           "      top row first, no padding; --palette picks its palette (default 0).\n"
           "      A music entry (.mid) is played through the synthesizer into 44.1 kHz\n"
           "      16-bit stereo, with the notes' release at the end, and written as\n"
           "      WAV, or as FLAC when FILE ends in .flac; --all writes it to\n"
           "      DIR/<name>.wav. The SoundFont is FILE.sf2, or else FluidR3_GM.sf2,\n"
           "      TimGM6mb.sf2 or default-GM.sf2 in /usr/share/sounds/sf2.\n"
           "      An entry that is not whole is refused as extract refuses it; with\n"
           "      --partial it is rendered from what the archive holds, and reported.\n"
           "      FILE - is standard output; a device or FIFO is written as it is.\n"
           "      Example: lumo-cli render flevel.lgp md1stin -o md1stin.png\n"
           "      Example: lumo-cli render midi.lgp theme.mid -o theme.wav\n"
           "  lumo-cli verify ARCHIVE [--strict]\n"
           "      Checks that the game can find every entry (the lookup table, and the\n"
           "      folders of entries sharing a name), then reads every entry, decoding\n"
           "      fields, textures and music. Each rule of the tables the archive breaks\n"
           "      ('-' for the archive as a whole) and each entry that is cut short or\n"
           "      lies about its stream is listed: the archive is damaged, exit status\n"
           "      1. Then each whole entry that does not decode as its type suggests is\n"
           "      listed as a warning (exit status 0 unless --strict):\n"
           "      index<TAB>name<TAB>problem, or <TAB>warning: problem. An archive\n"
           "      that cannot be read at all gives exit status 2.\n"
           "      Example: lumo-cli verify flevel.lgp\n"
           "  lumo-cli create ARCHIVE PATH... [--force]\n"
           "      A new archive from files and folders. A file is added under its own\n"
           "      name; a folder adds every file below it, the folders under it (not its\n"
           "      own name) becoming the entry's folder, which the archive keeps only for\n"
           "      names that occur more than once. Fails if ARCHIVE exists, unless\n"
           "      --force.\n"
           "      Example: lumo-cli create char-new.lgp char\n"
           "  lumo-cli add ARCHIVE PATH... [--as NAME] [--folder F]\n"
           "      Adds files and folders, or replaces the entry with the same name and\n"
           "      folder. --as gives one file another name, --folder puts what is added\n"
           "      in folder F.\n"
           "      In an archive named flevel.lgp, create and add compress what they add;\n"
           "      --stored stores the bytes as given, and a file that already is a whole\n"
           "      compressed entry is stored as it is unless --compress.\n"
           "  lumo-cli remove ARCHIVE ENTRY...\n"
           "      Removes entries, named as for extract; one that selects nothing is an\n"
           "      error and nothing is removed.\n"
           "      Example: lumo-cli remove char.lgp 'aa*.hrc'\n"
           "  lumo-cli rename ARCHIVE ENTRY NEWNAME [--folder F]\n"
           "      Renames an entry, and with --folder moves it to folder F.\n"
           "      Example: lumo-cli rename char.lgp aaaa.hrc aaab.hrc\n"
           "      Every command that writes saves safely: the new archive is written\n"
           "      aside, checked and only then put in place of the old one, which any\n"
           "      failure leaves as it was. -n, --dry-run says what would change and\n"
           "      writes nothing. --json prints the changes as one JSON document.\n"
           "      Example: lumo-cli add char.lgp aaaa.hrc -n\n"
           "  lumo-cli diff A B [--json]\n"
           "      Entries only in A, only in B, and changed (size and content hash as\n"
           "      stored and, for fields, decoded). Exit status 0 when the archives hold\n"
           "      the same, 1 when they differ, 2 on error.\n"
           "      Example: lumo-cli diff char.lgp char-new.lgp\n"
           "  lumo-cli export ARCHIVE ENTRY -o FILE.glb [--anim NAME]... [--all-anims]\n"
           "                  [--pose NAME[:FRAME] | --pose rest]\n"
           "  lumo-cli export ARCHIVE --all-models -o DIR [--all-anims]\n"
           "      Writes a model as binary glTF 2.0: a skeleton (.hrc) with its meshes\n"
           "      and textures, its bones as nodes and a skin; a mesh (.p) or resource\n"
           "      (.rsd) as a static mesh. --anim NAME (once per animation; '.a' may be\n"
           "      left out) adds an animation entry that fits the skeleton, --all-anims\n"
           "      every one that does. --pose NAME[:FRAME] writes the model posed at\n"
           "      that frame (from 0; default 0) as static meshes with no skin, --pose\n"
           "      rest in its rest pose. --all-models writes DIR/<skeleton>.glb for\n"
           "      every skeleton; one that fails is reported and the others go on.\n"
           "      Pieces the archive lacks are named on standard error and left out.\n"
           "      -o - writes the file to standard output.\n"
           "      Example: lumo-cli export char.lgp aaaa.hrc -o hero.glb --all-anims\n"
           "  lumo-cli --help | --version\n"
           "\n"
           "Options for every command: -q, --quiet: no line per file written;\n"
           "-v, --verbose: files done / total on standard error when it is a terminal.\n"
           "Use -- before entry names that begin with '-'.\n"
           "Exit status: 0 success, 1 failure, 2 bad usage; 128 + the signal after ^C\n"
           "or SIGTERM (130 for ^C), once the file in flight is placed or dropped:\n"
           "extract has listed every file it placed, an archive being saved is left\n"
           "as it was.\n";
}
