// Conversions between the program's 8-bit texts and the wide strings the
// toolkit shows.
#pragma once

#include <string>
#include <string_view>

#include <wx/string.h>

// A cell text of a cut list, written by a Windows PC: each byte is decoded as
// Windows-1252 (core/windows1252.h). Never fails and never drops a character.
wxString DecodeWindows1252(std::string_view bytes);

// A text of the program (a path, a message): UTF-8 when the bytes are valid
// UTF-8, as Linux paths are, otherwise Windows-1252.
wxString FromAnsi(std::string_view bytes);

// The 8-bit form of a text typed or chosen in the user interface (UTF-8, the
// encoding of Linux paths).
std::string ToAnsi(const wxString& text);
