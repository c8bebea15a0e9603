// The command line of treskdump: its options, their parsing, and the texts of
// --help and --version.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace treskdump {

// What each input becomes.
enum class OutputForm { report, csv, pdf, xlsx };

struct Options {
    int layout = 0;           // ListFormat: 0 new, 1 old, 2 mem
    bool autoLayout = false;  // --layout auto: the one layout the file reads cleanly in
    OutputForm form = OutputForm::report;  // --csv, --pdf, --xlsx: one of them at most
    std::string outFile;                   // -o: the one output file ("-": standard output)
    std::string outDir;                    // -d: one output per input in this folder
    std::vector<std::string> inputs;       // "-": standard input
    bool help = false;
    bool version = false;
};

// Parses argv[1..]. On a usage error returns nothing and puts the reason (one
// line, no program name) into error.
std::optional<Options> ParseArgs(const std::vector<std::string>& args, std::string& error);

// The texts printed by --help and --version.
std::string HelpText();
std::string VersionText();

}  // namespace treskdump
