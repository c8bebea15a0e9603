// Message boxes captioned with the application's name.
#pragma once

#include <string>

class wxWindow;

// Buttons and icons of AfxMessageBox, with the values the Windows headers
// give them.
inline constexpr unsigned MB_OK = 0x0000;
inline constexpr unsigned MB_OKCANCEL = 0x0001;
inline constexpr unsigned MB_YESNO = 0x0004;
inline constexpr unsigned MB_ICONSTOP = 0x0010;
inline constexpr unsigned MB_ICONQUESTION = 0x0020;
inline constexpr unsigned MB_ICONWARNING = 0x0030;
inline constexpr unsigned MB_ICONINFORMATION = 0x0040;
inline constexpr unsigned MB_SYSTEMMODAL = 0x1000;

// The application's name, used as the caption of its message boxes.
std::string AfxGetAppName();

// Shows text (8-bit, see FromAnsi) in a modal message box over the main
// window. Returns IDOK, IDCANCEL, IDYES (6) or IDNO (7).
int AfxMessageBox(const std::string& text, unsigned type = MB_OK);
