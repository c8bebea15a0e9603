// The viewer's entry point. The command line is read before the toolkit
// starts: --help, --version and a wrong argument are answered before any
// window (on Linux without a display), and the toolkit is given no arguments
// of its own to interpret.
#include <string>
#include <utility>
#include <vector>

#include "framework/win_app.h"
#include "platform/file.h"
#include "resources/resources.h"
#include "shell/command_line_info.h"
#include "shell/cut_list_app.h"

namespace {

constexpr const char* kCaption = "TreskViewer";

}  // namespace

int main(int argc, char** argv) {
    CCommandLineInfo info =
        CCommandLineInfo::Parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (info.m_nAction) {
        case CCommandLineInfo::Action::help:
            return AfxShowCommandLineText(SystemText(CCommandLineInfo::HelpText()), kCaption,
                                          false);
        case CCommandLineInfo::Action::version:
            return AfxShowCommandLineText(CCommandLineInfo::VersionText(), kCaption, false);
        case CCommandLineInfo::Action::error:
            AfxShowCommandLineText(info.m_strError, kCaption, true);
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
