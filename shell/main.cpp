// The viewer's entry point. The command line is read before the toolkit
// starts: --help, --version and a wrong argument are answered without a
// display, and the toolkit is given no arguments of its own to interpret.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "resources/resources.h"
#include "shell/command_line_info.h"
#include "shell/cut_list_app.h"

namespace {

int Print(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    CCommandLineInfo info =
        CCommandLineInfo::Parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (info.m_nAction) {
        case CCommandLineInfo::Action::help:
            return Print(CCommandLineInfo::HelpText());
        case CCommandLineInfo::Action::version:
            return Print(CCommandLineInfo::VersionText());
        case CCommandLineInfo::Action::error:
            std::fprintf(stderr, "%s\n", info.m_strError.c_str());
            return kExitUsage;
        case CCommandLineInfo::Action::run:
            break;
    }
    // The single application object, and the resources the framework finds
    // its dialogs, strings and icon in.
    CCutListApp app(std::move(info));
    AfxSetResources(&TreskViewerResources());
    return AfxWinMain(1, argv);
}
