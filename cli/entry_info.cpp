// SPDX-License-Identifier: MIT
// info ARCHIVE ENTRY...: the properties the desktop program's Properties dialog shows,
// one key<TAB>value line each, a blank line between entries; with --json an array of
// one object per entry. Model entries add what the model holds, and a skeleton the
// animations that fit it.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "extract/host_names.h"
#include "formats/entry_report.h"
#include "models/model_properties.h"

namespace {

std::string TextBlock(const PropertyList& properties, const ModelFacts& facts) {
    std::string out;
    for (const auto& [key, value] : properties) {
        // Values are Latin-1, as the desktop program shows them.
        out += key + '\t' + PrintableName(HostNameFromLatin1(value)) + '\n';
    }
    for (const auto& [key, value] : facts.properties) {
        out += key + '\t' + PrintableName(value) + '\n';
    }
    for (const std::string& name : facts.fittingAnimations) {
        out += "animation\t" + PrintableName(name) + '\n';
    }
    for (const std::string& warning : facts.warnings) {
        out += "missing\t" + PrintableName(warning) + '\n';
    }
    return out;
}

std::string JsonArray(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        out += (i ? "," : "") + JsonString(items[i]);
    }
    return out + "]";
}

std::string JsonObject(const PropertyList& properties, const ModelFacts& facts) {
    std::string out = "{";
    for (const auto* list : {&properties, &facts.properties}) {
        for (const auto& [key, value] : *list) {
            out += (out.size() > 1 ? "," : "") + JsonString(key) + ":" +
                   JsonString(HostNameFromLatin1(value));
        }
    }
    if (!facts.fittingAnimations.empty()) {
        out += ",\"animations\":" + JsonArray(facts.fittingAnimations);
    }
    if (!facts.warnings.empty()) {
        out += ",\"missing\":" + JsonArray(facts.warnings);
    }
    return out + "}";
}

}  // namespace

int RunEntryInfo(const CliRequest& request) {
    const EntrySourcePtr source = OpenSource(request.archive);
    if (!source) {
        return kExitFailure;
    }
    SourceModelFacts models(*source);
    int status = kExitOk;
    std::string out;
    for (const std::string& wanted : request.entries) {
        const std::optional<EntryId> id = FindEntry(*source, wanted);
        if (!id) {
            ReportError(request.archive, NoEntryProblem(*source, wanted));
            status = kExitFailure;
            continue;
        }
        const ModelFacts facts = models.Describe(*id);
        const PropertyList properties = EntryProperties(*source, *id);
        if (request.json) {
            out += (out.empty() ? "" : ",") + JsonObject(properties, facts);
        } else {
            out += (out.empty() ? "" : "\n") + TextBlock(properties, facts);
        }
    }
    std::cout << (request.json ? "[" + out + "]\n" : out) << std::flush;
    return std::cout ? status : kExitFailure;
}
