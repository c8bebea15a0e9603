#include "framework/win32/ansi_text.h"

#include <algorithm>

#include "framework/win32/win_defs.h"
#include "platform/file.h"

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsUtf8(std::string_view text) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

std::wstring Decode(UINT codePage, DWORD flags, std::string_view text) {
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

std::string AfxAnsiText(std::string_view text) {
    if (IsAscii(text) || !IsUtf8(text)) {
        return std::string(text);
    }
    return SystemText(text);
}

std::wstring AfxWideText(std::string_view text) {
    if (text.empty()) {
        return std::wstring();
    }
    if (IsUtf8(text)) {
        return Decode(CP_UTF8, MB_ERR_INVALID_CHARS, text);
    }
    return Decode(CP_ACP, 0, text);
}
