// Message boxes captioned with the application's name.
#pragma once

#include <string>

#include "framework/afx_defs.h"

// The application's name, used as the caption of its message boxes.
std::string AfxGetAppName();

// Shows text (8-bit, as the program's texts are) in a modal message box over
// the main window; type combines MB_* buttons and icon. Returns IDOK,
// IDCANCEL, IDYES or IDNO.
int AfxMessageBox(const std::string& text, unsigned type = MB_OK);
