// The application: runs the main dialog and ends when it closes.
#pragma once

#include <utility>

#include "framework/win_app.h"
#include "shell/command_line_info.h"

class CCutListApp : public CWinApp {
public:
    // cmdInfo: what the command line asked for (main() has already answered
    // --help, --version and wrong arguments).
    explicit CCutListApp(CCommandLineInfo cmdInfo = {}) : m_cmdInfo(std::move(cmdInfo)) {}

    bool InitInstance() override;

private:
    CCommandLineInfo m_cmdInfo;
};
