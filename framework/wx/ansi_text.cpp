#include "framework/wx/ansi_text.h"

#include <string>

#include "core/windows1252.h"

wxString DecodeWindows1252(std::string_view bytes) {
    std::wstring wide(bytes.size(), L'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        wide[i] =
            static_cast<wchar_t>(windows1252::CodePoint(static_cast<unsigned char>(bytes[i])));
    }
    return wxString(wide);
}

wxString FromAnsi(std::string_view bytes) {
    if (bytes.empty()) {
        return wxString();
    }
    wxString text = wxString::FromUTF8(bytes.data(), bytes.size());
    if (text.empty()) {
        // Not valid UTF-8: a text that came from a Windows PC.
        return DecodeWindows1252(bytes);
    }
    return text;
}

std::string ToAnsi(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}
