#include "framework/message_box.h"

#include "framework/win32/ansi_text.h"
#include "framework/win32/dialog.h"
#include "framework/window_backend.h"

int AfxShowMessageBox(CDialogWindow* owner, const std::string& text, const std::string& caption,
                      unsigned type) {
    // text is in the ANSI code page already, as the messages of file errors
    // are (their path is the system's, and a conversion could change its
    // bytes); only the caption comes from the sources.
    const std::string title = AfxAnsiText(caption);
    const HWND ownerHwnd = owner != nullptr ? owner->GetHwnd() : nullptr;
    const int result = MessageBoxA(ownerHwnd, text.c_str(), title.c_str(), type);
    switch (result) {
        case IDCANCEL:
        case IDYES:
        case IDNO:
            return result;
        default:
            return IDOK;
    }
}
