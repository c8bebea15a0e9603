// What the viewer was asked to do on its command line:
//   treskviewer [--layout new|old|mem|0|1|2] [FILE]
// --help and --version are answered before any window is made, so they need
// no display: on standard output, and a wrong argument as one line on standard
// error (on Windows, which gives such a program no console, in a message box;
// see AfxShowCommandLineText). Without arguments the viewer starts as it
// always does.
#pragma once

#include <string>
#include <vector>

#include "core/prg_reader.h"

struct CCommandLineInfo {
    enum class Action {
        run,      // open the dialog (with m_strFileName loaded, if any)
        help,     // print HelpText()
        version,  // print VersionText()
        error,    // print m_strError as the one line on standard error
    };

    Action m_nAction = Action::run;
    // The cut list to load at start as if chosen with "Sfoglia"; empty: none.
    std::string m_strFileName;
    // The layout it is loaded in, checked in the radio group.
    int m_nFormat = kFormatNew;
    // For Action::error: "treskviewer: <reason> ..." without a line end, in
    // the system's 8-bit encoding (SystemText), as the arguments are.
    std::string m_strError;

    // Parses argv[1..]. The first of --help and --version wins over the rest
    // of the line, as it does for treskdump.
    static CCommandLineInfo Parse(const std::vector<std::string>& args);

    static std::string HelpText();
    static std::string VersionText();
};

// The exit status of a wrong command line, as scripts expect from treskdump.
inline constexpr int kExitUsage = 2;
