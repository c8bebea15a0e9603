// The platform's open-file and save-file dialogs, set up the way a Windows
// program describes them: a filter text of "label|pattern|...||" pairs, a
// default-extension text, an initial file name and option flags (OFN_*).
#pragma once

#include <string>

#include "framework/afx_defs.h"

class CWnd;

class CFileDialog {
public:
    CFileDialog(bool openFileDialog, const char* defExt = nullptr, const char* fileName = nullptr,
                unsigned flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                const char* filter = nullptr, CWnd* pParentWnd = nullptr);

    // Shows the dialog. IDOK when the user chose a file, IDCANCEL otherwise.
    int DoModal();

    // The full path of the chosen file.
    std::string GetPathName() const { return m_path; }

    unsigned m_flags;

private:
    bool m_open;
    std::string m_defExt;  // kept as given: the platform may add no extension
    std::string m_fileName;
    std::string m_filter;
    CWnd* m_pParentWnd;
    std::string m_path;
};
