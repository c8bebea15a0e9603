// The converter behind treskdump: the run over a list of input files, each
// loaded and written as the text report, CSV, PDF or an Excel workbook. Kept apart from main() so
// the tests can drive it with string streams.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "tools/dump_args.h"

class CFile;

namespace treskdump {

// Exit statuses, as scripts see them.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFileFailed = 1;  // at least one input could not be converted
inline constexpr int kExitUsage = 2;       // the command line itself is wrong

// Output name for an input under -d: DIR/<input file name>.txt (.csv, .pdf,
// .xlsx for the other forms). The whole input name is kept, extension and
// all, so lista.PRG and lista.prg never overwrite each other.
std::string OutputPathInDir(const std::string& dir, const std::string& input, OutputForm form);

// Runs treskdump with argv[1..]: reports, CSV, --help and --version go to out
// (the process's standard output, opened by the caller) unless -o or -d name
// files; error messages go to err as "treskdump: <text>". Returns the exit
// status. The caller closes out.
int Run(const std::vector<std::string>& args, CFile& out, std::ostream& err);

}  // namespace treskdump
