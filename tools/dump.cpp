#include "tools/dump.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <ostream>
#include <set>
#include <vector>

#include "core/cut_row_table.h"
#include "core/cut_rows.h"
#include "core/layout_detect.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "core/windows1252.h"
#include "platform/file.h"

#ifndef TRESK_VERSION
#error "TRESK_VERSION comes from the project version in CMakeLists.txt"
#endif

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

std::optional<Options> ParseArgs(const std::vector<std::string>& args, std::string& error) {
    Options options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // An option with a value: "--name value", "--name=value", "-x value"
        // or "-xvalue". An empty value is refused: "-o ''" must not quietly
        // mean standard output.
        std::string value;
        auto matches = [&](std::string_view longName, char shortName) -> int {
            if (arg == longName || (shortName != 0 && arg.size() == 2 && arg[1] == shortName)) {
                if (i + 1 >= args.size())
                    return -1;
                value = args[++i];
            } else if (arg.size() > longName.size() &&
                       arg.compare(0, longName.size(), longName) == 0 &&
                       arg[longName.size()] == '=') {
                value = arg.substr(longName.size() + 1);
            } else if (shortName != 0 && arg[1] == shortName) {
                value = arg.substr(2);
            } else {
                return 0;
            }
            return value.empty() ? -1 : 1;
        };
        auto missingValue = [&](std::string_view name) {
            error = "l'opzione " + std::string(name) + " richiede un argomento";
            return std::nullopt;
        };
        int found = 0;
        if (arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--csv") {
            options.csv = true;
        } else if ((found = matches("--layout", 0)) != 0) {
            if (found < 0)
                return missingValue("--layout");
            options.autoLayout = value == "auto";
            options.layout = options.autoLayout ? 0 : ParseListFormat(value);
            if (options.layout < 0) {
                error =
                    "formato non valido '" + value + "' (ammessi: new, old, mem, 0, 1, 2, auto)";
                return std::nullopt;
            }
        } else if ((found = matches("--output", 'o')) != 0) {
            if (found < 0)
                return missingValue("-o");
            options.outFile = value;
        } else if ((found = matches("--directory", 'd')) != 0) {
            if (found < 0)
                return missingValue("-d");
            options.outDir = value;
        } else {
            error = "opzione non riconosciuta '" + arg + "'";
            return std::nullopt;
        }
    }
    if (options.help || options.version) {
        return options;
    }
    if (options.inputs.empty()) {
        error = "nessun file indicato";
        return std::nullopt;
    }
    if (!options.outFile.empty() && !options.outDir.empty()) {
        error = "-o e -d non si possono usare insieme";
        return std::nullopt;
    }
    if (!options.outDir.empty() &&
        std::find(options.inputs.begin(), options.inputs.end(), "-") != options.inputs.end()) {
        error = SystemText("'-' (standard input) non si può usare con -d");
        return std::nullopt;
    }
    if (!options.outFile.empty() && options.inputs.size() > 1) {
        error = SystemText("-o accetta un solo file in ingresso (per più file usare -d CARTELLA)");
        return std::nullopt;
    }
    return options;
}

namespace {

// How the CSV copies each byte of a cell: ASCII as it is, the four that make
// a field quoted (comma, double quote, CR, LF), and the bytes from 0x80 up,
// which take the Windows-1252 table.
enum class ByteKind : unsigned char { plain, special, high };

constexpr std::array<ByteKind, 256> MakeByteKinds() {
    std::array<ByteKind, 256> kinds{};
    for (std::size_t b = 0x80; b < 0x100; ++b) {
        kinds[b] = ByteKind::high;
    }
    for (const char b : {',', '"', '\r', '\n'}) {
        kinds[static_cast<unsigned char>(b)] = ByteKind::special;
    }
    return kinds;
}

constexpr std::array<ByteKind, 256> kByteKinds = MakeByteKinds();

// The most bytes one cell byte can take in the CSV (a doubled quote takes 2).
constexpr std::size_t kMaxCsvPerByte = windows1252::kMaxUtf8PerByte;

// Writes field as one RFC 4180 field at out, which has room for
// field.size() * kMaxCsvPerByte + 2 bytes; returns the end of what it wrote.
// The field is copied once, one character after out, and whether it needs
// quotes is learnt on the way: a field without them moves back by one byte.
char* PutCsvField(std::string_view field, char* out) {
    char* const start = out;
    char* next = out + 1;
    bool quoted = false;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        switch (kByteKinds[static_cast<unsigned char>(c)]) {
            case ByteKind::plain:
                *next++ = c;
                break;
            case ByteKind::special:
                quoted = true;
                if (c == '"') {
                    *next++ = '"';
                }
                *next++ = c;
                break;
            case ByteKind::high:
                next = windows1252::ToUtf8(field.substr(i, 1), next);
                break;
        }
    }
    if (!quoted) {
        const auto length = static_cast<std::size_t>(next - start - 1);
        std::memmove(start, start + 1, length);
        return start + length;
    }
    *start = '"';
    *next++ = '"';
    return next;
}

// Collects the CSV in a buffer of about kChunk bytes and hands it to sink
// whenever it fills.
class CsvWriter {
public:
    explicit CsvWriter(const std::function<void(std::string_view)>& sink)
        : m_sink(sink), m_buf(kChunk) {}

    void Field(std::string_view field, bool first) {
        Reserve(field.size() * kMaxCsvPerByte + 3);
        if (!first) {
            m_buf[m_used++] = ',';
        }
        m_used = static_cast<std::size_t>(PutCsvField(field, m_buf.data() + m_used) - m_buf.data());
    }
    void EndLine() {
        Reserve(2);
        m_buf[m_used++] = '\r';
        m_buf[m_used++] = '\n';
    }
    void Flush() {
        if (m_used > 0) {
            m_sink(std::string_view(m_buf.data(), m_used));
            m_used = 0;
        }
    }

private:
    void Reserve(std::size_t bytes) {
        if (m_buf.size() - m_used >= bytes) {
            return;
        }
        Flush();
        if (m_buf.size() < bytes) {
            m_buf.resize(bytes);  // a cell far longer than any the reader makes
        }
    }

    const std::function<void(std::string_view)>& m_sink;
    std::vector<char> m_buf;
    std::size_t m_used = 0;
};

}  // namespace

void AppendCsvField(std::string& line, std::string_view field) {
    const std::size_t start = line.size();
    line.resize(start + field.size() * kMaxCsvPerByte + 2);
    char* const end = PutCsvField(field, line.data() + start);
    line.resize(static_cast<std::size_t>(end - line.data()));
}

void WriteCsv(const MemoryCutRowTable& table, const std::function<void(std::string_view)>& sink) {
    CsvWriter csv(sink);
    for (int column = 0; column < kCutColumnCount; ++column) {
        csv.Field(kCutColumns[column].title, column == 0);
    }
    csv.EndLine();
    const int rows = table.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < kCutColumnCount; ++column) {
            csv.Field(table.GetCellView(row, column), column == 0);
        }
        csv.EndLine();
    }
    csv.Flush();
}

std::string OutputPathInDir(const std::string& dir, const std::string& input, bool csv) {
    fs::path name = fs::path(input).filename();
    name += csv ? ".csv" : ".txt";
    return (fs::path(dir) / name).string();
}

std::string HelpText() {
    return "Uso: treskdump [OPZIONI] FILE...\n"
           "Converte liste di taglio PRG nel resoconto di testo che TreskViewer scrive\n"
           "con \"Salva su file\", o in CSV. FILE \"-\" è lo standard input.\n"
           "\n"
           "  --layout FORMATO   formato della lista (il file non lo indica):\n"
           "                       new, 0  Lib / Ori ( >=1.7 )  (predefinito)\n"
           "                       old, 1  Lib / Ori ( <1.7 )\n"
           "                       mem, 2  Mem\n"
           "                       auto    l'unico formato in cui il file si legge per\n"
           "                               intero; se sono nessuno o più, errore\n"
           "  --csv              CSV (RFC 4180, UTF-8, righe CR LF): intestazione con\n"
           "                       i 13 titoli delle colonne, poi ogni riga della\n"
           "                       lista dall'alto, testi completi\n"
           "  -o, --output FILE  scrive in FILE (un solo file in ingresso; \"-\" è lo\n"
           "                       standard output)\n"
           "  -d, --directory CARTELLA\n"
           "                     scrive CARTELLA/<nome del file>.txt (.csv con --csv)\n"
           "                       per ogni file in ingresso\n"
           "      --help         mostra questo aiuto ed esce\n"
           "      --version      mostra la versione ed esce\n"
           "\n"
           "Senza -o e -d i risultati vanno sullo standard output, uno dopo l'altro.\n"
           "Un file già esistente viene sostituito solo a scrittura completa: se\n"
           "qualcosa va storto resta com'era. Un file in ingresso non è mai sostituito.\n"
           "Un file che non si apre o non si legge è un errore: il messaggio va sullo\n"
           "standard error e gli altri file vengono comunque convertiti.\n"
           "\n"
           "Stato di uscita: 0 tutto bene, 1 almeno un file non convertito,\n"
           "2 riga di comando errata.\n";
}

std::string VersionText() {
    return "treskdump (TreskViewer) " TRESK_VERSION "\n";
}

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
        try {
            // Accented letters in the system's encoding, as in the messages.
            WriteText(out, options.help ? SystemText(HelpText()) : VersionText());
        } catch (const CFileException& e) {
            err << "treskdump: " << e.GetErrorMessage() << "\n";
            return kExitFileFailed;
        }
        return kExitOk;
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
        std::string target = options.outFile == "-" ? std::string() : options.outFile;
        if (!options.outDir.empty()) {
            target = OutputPathInDir(options.outDir, input, options.csv);
        }
        try {
            if (!options.outDir.empty() && written.count(target) != 0) {
                // Two inputs of the same name from different folders: the second
                // would silently replace the first one's output.
                throw InputFailure{
                    FullName(input) + ": " + FullName(target) +
                    SystemText(" è già stato scritto da un altro file di questa esecuzione")};
            }
            if (!target.empty() && IsAnInput(target, options.inputs)) {
                throw InputFailure{
                    FullName(input) + ": " + FullName(target) +
                    SystemText(" è uno dei file in ingresso e non viene sostituito")};
            }
            MemoryCutRowTable table;
            LoadInput(input, options, table);
            WriteOutput(table, options, target, out);
            if (!options.outDir.empty()) {
                written.insert(target);
            }
        } catch (const CFileException& e) {
            err << "treskdump: " << e.GetErrorMessage() << "\n";
            status = kExitFileFailed;
        } catch (const InputFailure& e) {
            err << "treskdump: " << e.message << "\n";
            status = kExitFileFailed;
        } catch (const CMemoryException&) {
            err << "treskdump: " << CMemoryException::Message() << "\n";
            status = kExitFileFailed;
        } catch (const std::bad_alloc&) {
            err << "treskdump: " << CMemoryException::Message() << "\n";
            status = kExitFileFailed;
        }
    }
    return status;
}

}  // namespace treskdump
