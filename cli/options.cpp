// SPDX-License-Identifier: MIT
// Which options each command takes and what each sets in the request.
#include "cli/options.h"

namespace {

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

}  // namespace

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

bool IsWritingCommand(CliCommand command) {
    return (Bit(command) & kWriting) != 0;
}
