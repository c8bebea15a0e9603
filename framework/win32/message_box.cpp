#include "framework/message_box.h"

#include "framework/win32/ansi_text.h"
#include "framework/win32/dialog.h"

int AfxMessageBox(const std::string& text, unsigned type) {
    // text is in the ANSI code page already, as the messages of file errors
    // are (their path is the system's, and a conversion could change its
    // bytes); only the caption comes from the sources.
    const std::string caption = AfxAnsiText(AfxGetAppName());
    const int result = MessageBoxA(AfxGetMainHwnd(), text.c_str(), caption.c_str(), type);
    switch (result) {
        case IDCANCEL:
        case IDYES:
        case IDNO:
            return result;
        default:
            return IDOK;
    }
}
