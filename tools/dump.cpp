#include "tools/dump.h"

#include <cerrno>
#include <filesystem>
#include <new>
#include <optional>
#include <ostream>
#include <set>
#include <vector>

#include "core/csv_report.h"
#include "core/cut_row_table.h"
#include "core/layout_detect.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "platform/file.h"

namespace treskdump {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kChunk = std::size_t{64} * 1024;

// A failure that ends the conversion of one input; the message is printed
// after "treskdump: ".
struct InputFailure {
    std::string message;
};

// The full path of a name given on the command line, as the file layer's
// messages show it; standard input is "stdin".
std::string FullName(const std::string& path) {
    if (path == "-") {
        return "stdin";
    }
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

void WriteTable(const MemoryCutRowTable& table, bool csv, CFile& file) {
    if (csv) {
        WriteCsv(table,
                 [&file](std::string_view piece) { file.Write(piece.data(), piece.size()); });
    } else {
        WriteTextReport(table, file);
    }
}

// Converts one loaded table to the requested output; an empty target means
// out. A file target is opened as the viewer opens its report, the open not
// checked: one that cannot be created fails at the first write with "non
// trovato.", report and CSV alike. A pipe as target waits for its reader.
// Output to out is flushed here so a failed write is blamed on this input.
void WriteOutput(const MemoryCutRowTable& table, const Options& options, const std::string& target,
                 CFile& out) {
    if (!target.empty()) {
        CFile file;
        file.Open(target, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive |
                              CFile::typeBinary | CFile::waitForReader);
        WriteTable(table, options.csv, file);
        file.Close();
        return;
    }
    WriteTable(table, options.csv, out);
    out.Flush();
}

std::vector<unsigned char> ReadAll(CFile& file) {
    std::vector<unsigned char> bytes;
    unsigned char chunk[kChunk];
    for (;;) {
        const std::size_t got = file.Read(chunk, sizeof chunk);
        if (got == 0) {
            return bytes;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

// Loads one input ("-": standard input) into table, in the layout asked for
// or, with --layout auto, in the one layout in which it reads cleanly.
void LoadInput(const std::string& input, const Options& options, MemoryCutRowTable& table) {
    CFile file;
    if (input == "-") {
        if (!file.OpenStandardInput()) {
            throw CFileException(CFileException::fileNotFound, EBADF, "stdin");
        }
    } else {
        CFileException openError;
        if (!file.Open(input, CFile::modeRead | CFile::shareExclusive | CFile::typeBinary,
                       &openError)) {
            throw openError;
        }
    }
    if (!options.autoLayout) {
        ReadCutList(file, options.layout, table);
        file.Close();
        return;
    }
    const std::vector<unsigned char> bytes = ReadAll(file);
    file.Close();
    const std::vector<int> fitting = FittingLayouts(bytes.data(), bytes.size());
    if (fitting.size() != 1) {
        std::string names;
        for (const int layout : fitting) {
            names += (names.empty() ? "" : ", ") + std::string(kPrgLayouts[layout].name);
        }
        throw InputFailure{
            FullName(input) +
            (fitting.empty() ? ": non si legge per intero in nessun formato"
                             : SystemText(": si legge per intero in più formati (") + names + ")") +
            "; indicare il formato con --layout"};
    }
    CMemFile memory(bytes.data(), bytes.size());
    ReadCutList(memory, fitting.front(), table);
}

// True when target is the same file as one of the inputs (links included).
bool IsAnInput(const std::string& target, const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
        if (input != "-" && CFile::IsSameFile(target, input)) {
            return true;
        }
    }
    return false;
}

void WriteText(CFile& out, const std::string& text) {
    out.Write(text.data(), text.size());
    out.Flush();
}

// Checks the -d folder before any input is read: every output would fail
// otherwise, each with a message that hides the real reason.
std::optional<std::string> CheckOutputDir(const std::string& dir) {
    std::error_code ec;
    const fs::file_status status = fs::status(dir, ec);
    if (!fs::exists(status)) {
        return "la cartella di destinazione " + FullName(dir) + " non esiste";
    }
    if (!fs::is_directory(status)) {
        return "la destinazione " + FullName(dir) + SystemText(" non è una cartella");
    }
    return std::nullopt;
}

}  // namespace

std::string OutputPathInDir(const std::string& dir, const std::string& input, bool csv) {
    fs::path name = fs::path(input).filename();
    name += csv ? ".csv" : ".txt";
    return (fs::path(dir) / name).string();
}

namespace {

// Where the output of input goes; "" for out.
std::string TargetOf(const std::string& input, const Options& options) {
    if (!options.outDir.empty()) {
        return OutputPathInDir(options.outDir, input, options.csv);
    }
    return options.outFile == "-" ? std::string() : options.outFile;
}

// Refuses a target that would replace an input, or, under -d, the output of
// an earlier input of the same name from another folder.
void CheckTarget(const std::string& input, const std::string& target, const Options& options,
                 const std::set<std::string>& written) {
    if (!options.outDir.empty() && written.count(target) != 0) {
        throw InputFailure{
            FullName(input) + ": " + FullName(target) +
            SystemText(" è già stato scritto da un altro file di questa esecuzione")};
    }
    if (!target.empty() && IsAnInput(target, options.inputs)) {
        throw InputFailure{FullName(input) + ": " + FullName(target) +
                           SystemText(" è uno dei file in ingresso e non viene sostituito")};
    }
}

// Converts one input; false, with the message on err, when it failed.
bool ConvertInput(const std::string& input, const Options& options, std::set<std::string>& written,
                  CFile& out, std::ostream& err) {
    const std::string target = TargetOf(input, options);
    try {
        CheckTarget(input, target, options, written);
        MemoryCutRowTable table;
        LoadInput(input, options, table);
        WriteOutput(table, options, target, out);
        if (!options.outDir.empty()) {
            written.insert(target);
        }
        return true;
    } catch (const CFileException& e) {
        err << "treskdump: " << e.GetErrorMessage() << "\n";
    } catch (const InputFailure& e) {
        err << "treskdump: " << e.message << "\n";
    } catch (const CMemoryException&) {
        err << "treskdump: " << CMemoryException::Message() << "\n";
    } catch (const std::bad_alloc&) {
        err << "treskdump: " << CMemoryException::Message() << "\n";
    }
    return false;
}

int PrintHelpOrVersion(const Options& options, CFile& out, std::ostream& err) {
    try {
        // Accented letters in the system's encoding, as in the messages.
        WriteText(out, options.help ? SystemText(HelpText()) : VersionText());
    } catch (const CFileException& e) {
        err << "treskdump: " << e.GetErrorMessage() << "\n";
        return kExitFileFailed;
    }
    return kExitOk;
}

}  // namespace

int Run(const std::vector<std::string>& args, CFile& out, std::ostream& err) {
    std::string usageError;
    const std::optional<Options> parsed = ParseArgs(args, usageError);
    if (!parsed) {
        err << "treskdump: " << usageError << "\n"
            << "Usare 'treskdump --help' per maggiori informazioni.\n";
        return kExitUsage;
    }
    const Options& options = *parsed;
    if (options.help || options.version) {
        return PrintHelpOrVersion(options, out, err);
    }
    if (!options.outDir.empty()) {
        if (const auto problem = CheckOutputDir(options.outDir)) {
            err << "treskdump: " << *problem << "\n";
            return kExitFileFailed;
        }
    }
    int status = kExitOk;
    std::set<std::string> written;  // -d targets written by this run
    for (const std::string& input : options.inputs) {
        if (!ConvertInput(input, options, written, out, err)) {
            status = kExitFileFailed;
        }
    }
    return status;
}

}  // namespace treskdump
