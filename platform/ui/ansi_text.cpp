#include "platform/ui/ansi_text.h"

namespace {

// Code points of the bytes 0x80 to 0x9F in Windows-1252; 0 marks the bytes
// the code page leaves undefined.
constexpr wchar_t kHighControlRange[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};
constexpr wchar_t kReplacement = 0xFFFD;

}  // namespace

wxString DecodeWindows1252(std::string_view bytes) {
    wxString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        wchar_t ch = byte;
        if (byte >= 0x80 && byte < 0xA0) {
            ch = kHighControlRange[byte - 0x80];
            if (ch == 0) {
                ch = kReplacement;
            }
        }
        text += ch;
    }
    return text;
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
