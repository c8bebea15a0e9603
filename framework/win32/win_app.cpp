#include "framework/win_app.h"

#include <string>

#include "framework/win32/ansi_text.h"
#include "framework/win32/dialog.h"
#include "framework/win32/win_defs.h"

int AfxShowCommandLineText(const std::string& text, const std::string& caption, bool error) {
    std::string shown = text;
    while (!shown.empty() && shown.back() == '\n') {
        shown.pop_back();  // a box needs no line end after its last line
    }
    const UINT icon = error ? MB_ICONSTOP : MB_ICONINFORMATION;
    MessageBoxA(nullptr, shown.c_str(), AfxAnsiText(caption).c_str(), MB_OK | icon);
    return 0;
}

int AfxWinMain(int /*argc*/, char** /*argv*/) {
    // The list view lives in the common controls, which must be registered
    // before the first dialog that holds one is made.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    app->SetAppName();
    if (!app->InitInstance()) {
        return 0;
    }
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!AfxPreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
