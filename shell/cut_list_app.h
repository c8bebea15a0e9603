// The application: runs the main dialog and ends when it closes.
#pragma once

#include "platform/ui/win_app.h"

class CCutListApp : public CWinApp {
public:
    CCutListApp() = default;

    bool InitInstance() override;
};
