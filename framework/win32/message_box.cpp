#include "framework/message_box.h"

#include "framework/win32/ansi_text.h"
#include "framework/win32/dialog.h"

int AfxMessageBox(const std::string& text, unsigned type) {
    // The texts of file errors come in the ANSI code page already (their path
    // is the system's); the program's own texts are converted to it.
    const std::string caption = AfxAnsiText(AfxGetAppName());
    const int result =
        MessageBoxA(AfxGetMainHwnd(), AfxAnsiText(text).c_str(), caption.c_str(), type);
    switch (result) {
        case IDCANCEL:
        case IDYES:
        case IDNO:
            return result;
        default:
            return IDOK;
    }
}
