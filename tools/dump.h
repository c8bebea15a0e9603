// The converter behind treskdump: command-line parsing, the CSV form of a cut
// list, and the run over a list of input files. Kept apart from main() so the
// tests can drive it with string streams.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CFile;
class MemoryCutRowTable;

namespace treskdump {

// Exit statuses, as scripts see them.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFileFailed = 1;  // at least one input could not be converted
inline constexpr int kExitUsage = 2;       // the command line itself is wrong

struct Options {
    int layout = 0;           // ListFormat: 0 new, 1 old, 2 mem
    bool autoLayout = false;  // --layout auto: the one layout the file reads cleanly in
    bool csv = false;
    std::string outFile;              // -o: the one output file ("-": standard output)
    std::string outDir;               // -d: one output per input in this folder
    std::vector<std::string> inputs;  // "-": standard input
    bool help = false;
    bool version = false;
};

// Parses argv[1..]. On a usage error returns nothing and puts the reason (one
// line, no program name) into error.
std::optional<Options> ParseArgs(const std::vector<std::string>& args, std::string& error);

// Appends the bytes of a cell as one RFC 4180 field, decoded from
// Windows-1252 to UTF-8 (see core/windows1252.h): quoted (with doubled quotes)
// when it holds a comma, a double quote, CR or LF; as it is otherwise.
void AppendCsvField(std::string& line, std::string_view field);

// The CSV form of a table: a header row of the 13 column titles, then every
// row from the top, all 13 cells in full, decoded to UTF-8, CR LF line ends.
// Calls sink with pieces of the text in order (a few tens of KB at a time), so
// a million rows never sit in memory twice.
void WriteCsv(const MemoryCutRowTable& table, const std::function<void(std::string_view)>& sink);

// Output name for an input under -d: DIR/<input file name>.txt (.csv with
// --csv). The whole input name is kept, extension and all, so lista.PRG and
// lista.prg never overwrite each other.
std::string OutputPathInDir(const std::string& dir, const std::string& input, bool csv);

// Runs treskdump with argv[1..]: reports, CSV, --help and --version go to out
// (the process's standard output, opened by the caller) unless -o or -d name
// files; error messages go to err as "treskdump: <text>". Returns the exit
// status. The caller closes out.
int Run(const std::vector<std::string>& args, CFile& out, std::ostream& err);

// The texts printed by --help and --version.
std::string HelpText();
std::string VersionText();

}  // namespace treskdump
