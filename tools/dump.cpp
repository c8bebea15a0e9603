#include "tools/dump.h"

#include <cerrno>
#include <new>
#include <optional>
#include <ostream>
#include <set>
#include <vector>

#include "core/csv_report.h"
#include "core/cut_row_table.h"
#include "core/layout_detect.h"
#include "core/pdf_report.h"
#include "core/prg_reader.h"
#include "core/report_pages.h"
#include "core/text_report.h"
#include "core/windows1252.h"
#include "core/xlsx_workbook.h"
#include "platform/file.h"

namespace treskdump {
namespace {

constexpr std::size_t kChunk = std::size_t{64} * 1024;

// A failure that ends the conversion of one input; the message is printed
// after "treskdump: ".
struct InputFailure {
    std::string message;
};

// The full path of a name given on the command line, as the file layer's
// messages show it (control characters escaped); standard input is "stdin".
// Names keep their bytes: the file layer takes them apart, with no conversion
// through another encoding.
std::string FullName(const std::string& path) {
    return path == "-" ? "stdin" : PrintablePath(FullPath(path));
}

// The input's file name for the PDF's footer and the workbook's sheet, in the
// system's encoding; standard input is "stdin".
std::string FileName(const std::string& input) {
    return input == "-" ? "stdin" : PathFileName(input);
}

// An input's table, the layout it was read in and its name.
struct Loaded {
    const MemoryCutRowTable& table;
    int layout;
    const std::string& input;
};

void WriteTable(const Loaded& loaded, OutputForm form, CFile& file) {
    const MemoryCutRowTable& table = loaded.table;
    switch (form) {
        case OutputForm::report:
            WriteTextReport(table, file);
            break;
        case OutputForm::csv:
            WriteCsv(table,
                     [&file](std::string_view piece) { file.Write(piece.data(), piece.size()); });
            break;
        case OutputForm::pdf:
            WritePdfReport(table, file, ReportFileName(FileName(loaded.input)), loaded.layout);
            break;
        case OutputForm::xlsx:
            WriteWorkbook(table, file, WorkbookSheetNameOfPath(FileName(loaded.input)));
            break;
    }
}

// Converts one loaded table to the requested output; an empty target means
// out. A file target is opened as the viewer opens its report, the open not
// checked: one that cannot be created fails at the first write with "non
// trovato.", report and CSV alike. A pipe as target waits for its reader.
// Output to out is flushed here so a failed write is blamed on this input.
void WriteOutput(const Loaded& loaded, OutputForm form, const std::string& target, CFile& out) {
    if (!target.empty()) {
        CFile file;
        file.Open(target, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive |
                              CFile::typeBinary | CFile::waitForReader);
        WriteTable(loaded, form, file);
        file.Close();
        return;
    }
    WriteTable(loaded, form, out);
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

// Opens one input ("-": standard input) for reading.
void OpenInput(const std::string& input, CFile& file) {
    if (input == "-") {
        if (!file.OpenStandardInput()) {
            throw CFileException(CFileException::fileNotFound, EBADF, "stdin");
        }
        return;
    }
    CFileException openError;
    if (!file.Open(input, CFile::modeRead | CFile::shareExclusive | CFile::typeBinary,
                   &openError)) {
        throw openError;
    }
}

// With --layout auto: loads the bytes of file in the one layout in which
// they read cleanly and returns it, or names the layouts that do.
int LoadInAutoLayout(const std::string& input, CFile& file, MemoryCutRowTable& table) {
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
    return fitting.front();
}

// Loads one input into table in the layout asked for (or, with --layout
// auto, the one it reads cleanly in) and returns the layout it was read in.
// advised is the one other layout in which the input reads cleanly when the
// one asked for does not; -1 for none.
int LoadInput(const std::string& input, const Options& options, MemoryCutRowTable& table,
              int& advised) {
    CFile file;
    OpenInput(input, file);
    advised = -1;
    if (options.autoLayout) {
        return LoadInAutoLayout(input, file, table);
    }
    if (input != "-") {
        ReadCutList(file, options.layout, table);
        file.Close();
        // A named input is a regular file (the file layer refuses to read
        // anything else): read a second time rather than held whole, as a
        // list of millions of records would take its size in memory again.
        advised = AdvisedLayoutForFile(input, options.layout);
        return options.layout;
    }
    // Standard input gives its bytes once: they are kept for both.
    const std::vector<unsigned char> bytes = ReadAll(file);
    file.Close();
    CMemFile memory(bytes.data(), bytes.size());
    ReadCutList(memory, options.layout, table);
    advised = AdvisedLayout(bytes.data(), bytes.size(), options.layout);
    return options.layout;
}

// The warning that input reads cleanly in another layout than the one used.
std::string LayoutWarning(const std::string& input, int used, int advised) {
    const PrgLayout& other = kPrgLayouts[advised];
    return "attenzione: " + FullName(input) + " non si legge per intero nel formato \"" +
           LayoutOf(used).title + "\"; si legge per intero nel formato \"" + other.title +
           "\" (--layout " + other.name + ").";
}

// True when target is the same file as one of the inputs (links included;
// "-": the file standard input reads).
bool IsAnInput(const std::string& target, const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
        if (input == "-" ? CFile::IsStandardInput(target) : CFile::IsSameFile(target, input)) {
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
    const PathKind kind = KindOfPath(dir);
    if (kind == PathKind::missing) {
        return "la cartella di destinazione " + FullName(dir) + " non esiste";
    }
    if (kind != PathKind::folder) {
        return "la destinazione " + FullName(dir) + SystemText(" non è una cartella");
    }
    return std::nullopt;
}

}  // namespace

std::string OutputPathInDir(const std::string& dir, const std::string& input, OutputForm form) {
    constexpr const char* kExtensions[] = {".txt", ".csv", ".pdf", ".xlsx"};
    return JoinPath(dir, PathFileName(input) + kExtensions[static_cast<int>(form)]);
}

namespace {

// Where the output of input goes; "" for out.
std::string TargetOf(const std::string& input, const Options& options) {
    if (!options.outDir.empty()) {
        return OutputPathInDir(options.outDir, input, options.form);
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

// How one input went: converted, failed, or failed writing to standard
// output, which every later input would fail at too.
enum class Outcome { converted, failed, outputBroken };

// Converts one input; on failure the message goes to err.
Outcome ConvertInput(const std::string& input, const Options& options,
                     std::set<std::string>& written, CFile& out, std::ostream& err) {
    const std::string target = TargetOf(input, options);
    try {
        CheckTarget(input, target, options, written);
        MemoryCutRowTable table;
        int advised = -1;
        const int layout = LoadInput(input, options, table, advised);
        if (advised >= 0) {
            err << "treskdump: " << LayoutWarning(input, layout, advised) << "\n";
        }
        WriteOutput(Loaded{table, layout, input}, options.form, target, out);
        if (!options.outDir.empty()) {
            written.insert(target);
        }
        return Outcome::converted;
    } catch (const CFileException& e) {
        err << "treskdump: " << e.GetErrorMessage() << "\n";
        if (target.empty() && e.m_strFileName == "stdout") {
            return Outcome::outputBroken;
        }
    } catch (const InputFailure& e) {
        err << "treskdump: " << e.message << "\n";
    } catch (const CMemoryException&) {
        err << "treskdump: " << CMemoryException::Message() << "\n";
    } catch (const std::bad_alloc&) {
        err << "treskdump: " << CMemoryException::Message() << "\n";
    }
    return Outcome::failed;
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
        const Outcome outcome = ConvertInput(input, options, written, out, err);
        if (outcome != Outcome::converted) {
            status = kExitFileFailed;
        }
        if (outcome == Outcome::outputBroken) {
            break;  // the reader is gone: one message is enough
        }
    }
    return status;
}

}  // namespace treskdump
