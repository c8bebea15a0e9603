// The platform's open-file and save-file dialogs, set up the way a Windows
// program describes them: a filter text of "label|pattern|...||" pairs, a
// default-extension text, an initial file name and option flags.
#pragma once

#include <string>

#include <wx/string.h>

class wxWindow;

// Option flags, with their Windows values.
inline constexpr unsigned OFN_READONLY = 0x0001;
inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x0002;
inline constexpr unsigned OFN_HIDEREADONLY = 0x0004;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x1000;

class CFileDialog {
public:
    CFileDialog(bool openFileDialog, const char* defExt = nullptr, const char* fileName = nullptr,
                unsigned flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                const char* filter = nullptr, wxWindow* parent = nullptr);

    // Shows the dialog. IDOK when the user chose a file, IDCANCEL otherwise.
    int DoModal();

    // The full path of the chosen file.
    std::string GetPathName() const { return m_path; }

    // The filter as the toolkit takes it: the pairs up to the closing "||",
    // with the Windows patterns turned into ones that match the same names
    // here ("*.*" is every file, and letters match either case).
    static wxString ToWildcard(const char* filter);

    unsigned m_flags;

private:
    bool m_open;
    std::string m_defExt;  // kept as given: the toolkit adds no extension
    std::string m_fileName;
    std::string m_filter;
    wxWindow* m_parent;
    std::string m_path;
};
