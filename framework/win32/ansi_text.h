// The program's texts as the Win32 back end hands them to the system: the
// texts of the sources are UTF-8, those that come from the system (paths,
// typed text, the messages of file errors) are already in the ANSI code page.
#pragma once

#include <string>
#include <string_view>

// text in the ANSI code page: a text with bytes above 0x7F that is valid
// UTF-8 is converted; any other text is taken to be ANSI already and kept.
std::string AfxAnsiText(std::string_view text);

// text in UTF-16 for the parts of the system that take only wide texts (the
// strings of an in-memory dialog template, the clipboard): valid UTF-8 is
// decoded as such, any other text as the ANSI code page.
std::wstring AfxWideText(std::string_view text);
