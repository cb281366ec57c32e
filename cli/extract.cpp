// extract: writes entries into a folder, each file atomically, refusing names that are
// not plain file names; one entry's failure does not stop the others.
#include <filesystem>
#include <iostream>
#include <set>
#include <vector>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/patterns.h"
#include "cli/progress.h"
#include "platform/file_output.h"

namespace {

// Name and size in front of every entry's data.
constexpr uint64_t kDataHeaderSize = 24;

// The entries to write, in the order asked and each once; false if any is unknown.
bool SelectEntries(const CLgpArchive& archive, const CliRequest& request,
                   std::vector<uint16_t>* selection) {
    if (request.entries.empty()) {
        for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
            selection->push_back(i);
        }
        return true;
    }
    bool ok = true;
    std::set<uint16_t> seen;
    for (const std::string& wanted : request.entries) {
        const std::vector<uint16_t> selected = EntriesSelectedBy(archive, wanted);
        if (selected.empty()) {
            ReportError(request.archive, NothingSelectedProblem(archive, wanted));
            ok = false;
        }
        for (uint16_t index : selected) {
            if (seen.insert(index).second) {
                selection->push_back(index);
            }
        }
    }
    return ok;
}

bool EnsureFolder(const std::string& folder) {
    if (folder.empty()) {
        return true;
    }
    const std::filesystem::path hostFolder = HostPath(folder);
    std::error_code ec;
    std::filesystem::create_directories(hostFolder, ec);
    if (ec || !std::filesystem::is_directory(hostFolder, ec)) {
        ReportError(folder, "cannot create folder" + (ec ? ": " + ec.message() : std::string()));
        return false;
    }
    return true;
}

class Extractor {
public:
    Extractor(const CLgpArchive& archive, const CliRequest& request)
        : m_archive(archive), m_request(request) {}

    // Writes one entry; false when it was refused or could not be written.
    bool Extract(uint16_t index) {
        const std::string name = m_archive.GetEntryName(index);
        if (m_request.toStdout) {
            return ToStdout(index);
        }
        if (!IsPlainFileName(name)) {
            return Fail(index, "not a plain file name; refused");
        }
        if (m_written.count(name) != 0) {
            return Fail(index,
                        "another entry of that name was written already; not "
                        "overwritten (extract it by #N into another folder)");
        }
        EntryBuffer bytes;
        uint32_t count = 0;
        const bool ok = Read(index, bytes, &count);
        if (!bytes.Valid()) {
            return false;
        }
        const std::string path = JoinPath(m_request.outputDir, name);
        std::string error;
        if (!WriteFileAtomically(path, bytes.Data(), count, &error)) {
            std::cerr << kErrorPrefix << error << '\n';
            return false;
        }
        m_written.insert(name);
        // The name comes from the archive: a tab or a line break in it must not split
        // or fake lines of the listing that scripts read. The folder is the user's own
        // and is shown as given (a Windows folder keeps its single backslashes).
        if (!m_request.quiet) {
            std::cout << JoinPath(m_request.outputDir, PrintableName(name)) << '\t' << count
                      << '\n';
        }
        return ok;
    }

private:
    // The entry's bytes, and nothing else, go to standard output.
    bool ToStdout(uint16_t index) {
        EntryBuffer bytes;
        uint32_t count = 0;
        const bool ok = Read(index, bytes, &count);
        if (!bytes.Valid()) {
            return false;
        }
        std::cout.write(reinterpret_cast<const char*>(bytes.Data()), count);
        return ok;
    }

    // Reads (and decodes, when asked) the entry; false when it is cut short or cannot be
    // read at all (then `bytes` is not valid).
    bool Read(uint16_t index, EntryBuffer& bytes, uint32_t* count) {
        if (uint64_t{m_archive.GetEntryOffset(index)} + kDataHeaderSize >
            m_archive.GetArchiveLength()) {
            return Fail(index, "its data lies past the end of the archive");
        }
        const bool decode = m_request.decompress && m_archive.GetEntryType(index) == LGP_TYPE_FIELD;
        *count = decode ? m_archive.ReadEntryDecompressed(index, bytes.Address(), 0)
                        : m_archive.ReadEntry(index, bytes.Address());
        if (!bytes.Valid()) {
            return Fail(index, "cannot read the archive");
        }
        // What the file holds is still worth having, but the run must not look fine.
        return decode ? CheckStreamWhole(index) : CheckWhole(index, *count);
    }

    bool CheckWhole(uint16_t index, uint32_t count) {
        if (count < m_archive.GetEntrySize(index)) {
            return Fail(index, "cut short: the archive holds " + std::to_string(count) +
                                   " of its " + std::to_string(m_archive.GetEntrySize(index)) +
                                   " bytes");
        }
        return true;
    }

    // A compressed stream that the end of the file cuts off decodes to the start of the
    // entry only; the length in front of the stream tells.
    bool CheckStreamWhole(uint16_t index) {
        const uint64_t start = uint64_t{m_archive.GetEntryOffset(index)} + kDataHeaderSize + 4;
        const uint64_t length = m_archive.GetArchiveLength();
        const uint64_t held = length > start ? length - start : 0;
        const uint32_t wanted = m_archive.ReadEntryStreamLength(index);
        if (held < wanted) {
            return Fail(index, "cut short: the archive holds " + std::to_string(held) + " of its " +
                                   std::to_string(wanted) +
                                   " compressed bytes; decoded as far as they go");
        }
        return true;
    }

    bool Fail(uint16_t index, const std::string& problem) {
        ReportError(m_request.archive, DescribeEntry(m_archive, index) + ": " + problem);
        return false;
    }

    const CLgpArchive& m_archive;
    const CliRequest& m_request;
    std::set<std::string> m_written;
};

}  // namespace

int RunExtract(const CliRequest& request) {
    CLgpArchive archive;
    if (!OpenArchive(archive, request.archive)) {
        return kExitFailure;
    }
    std::vector<uint16_t> selection;
    bool ok = SelectEntries(archive, request, &selection);
    if (!request.toStdout && !EnsureFolder(request.outputDir)) {
        return kExitFailure;
    }
    Extractor extractor(archive, request);
    Progress progress(request.verbose, selection.size());
    for (uint16_t index : selection) {
        ok = extractor.Extract(index) && ok;
        progress.Step();
    }
    std::cout << std::flush;
    return ok ? kExitOk : kExitFailure;
}
