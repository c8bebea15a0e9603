#include "framework/file_dialog.h"

#include <algorithm>
#include <string>

#include "framework/win32/ansi_text.h"
#include "framework/win32/owner_window.h"

namespace {

// The longest path the dialog may return (its buffer, NUL included).
constexpr DWORD kPathBuffer = 32768;

// "label|pattern|...||" as the system takes it: every "|" a NUL, the whole
// ended by two NULs.
std::string SystemFilter(const std::string& filter) {
    std::string out = AfxAnsiText(filter);
    for (char& c : out) {
        if (c == '|') {
            c = '\0';
        }
    }
    out.append(2, '\0');
    return out;
}

}  // namespace

int CFileDialog::DoModal() {
    const std::string filter = m_filter.empty() ? std::string() : SystemFilter(m_filter);
    // The system wants the extension alone: "*.PRG" -> "PRG".
    std::string defExt = m_defExt;
    if (defExt.rfind("*.", 0) == 0) {
        defExt.erase(0, 2);
    } else if (defExt.rfind('.', 0) == 0) {
        defExt.erase(0, 1);
    }
    std::string path(kPathBuffer, '\0');
    m_fileName.copy(path.data(), std::min<std::size_t>(m_fileName.size(), kPathBuffer - 1));

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = AfxOwnerHwnd(m_pParentWnd);
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = kPathBuffer;
    ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
    ofn.Flags = m_flags | OFN_EXPLORER;
    const BOOL chosen = m_open ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
    if (!chosen) {
        return IDCANCEL;
    }
    m_path.assign(path.c_str());
    return IDOK;
}
