#include "framework/message_box.h"

#include "framework/window_backend.h"

int AfxMessageBox(const std::string& text, unsigned type) {
    // Over the main window when it is shown, so that it waits for the answer.
    return AfxShowMessageBox(AfxGetShownMainWindow(), text, AfxGetAppName(), type);
}
