#include "framework/wx/file_dialog.h"

#include <wx/arrstr.h>
#include <wx/filedlg.h>
#include <wx/filename.h>

#include "framework/file_dialog.h"
#include "framework/wx/ansi_text.h"
#include "framework/wx/dialog.h"

namespace {

// A Windows file pattern matches names without regard to case; the file
// chooser here is case-sensitive, so each letter becomes a class of both
// cases ("*.PRG" -> "*.[pP][rR][gG]"). "*.*" means every file.
wxString ToPattern(const wxString& pattern) {
    if (pattern == wxS("*.*")) {
        return wxS("*");
    }
    wxString out;
    for (wxUniChar ch : pattern) {
        const wxUniChar lower = wxTolower(ch);
        const wxUniChar upper = wxToupper(ch);
        if (lower != upper) {
            out << wxS('[') << lower << upper << wxS(']');
        } else {
            out << ch;
        }
    }
    return out;
}

}  // namespace

wxString AfxFileDialogWildcard(const char* filter) {
    if (filter == nullptr || *filter == '\0') {
        return wxS("*|*");  // no filter list: every file
    }
    wxString text = FromAnsi(filter);
    const int end = text.Find(wxS("||"));
    if (end != wxNOT_FOUND) {
        text.Truncate(static_cast<std::size_t>(end));
    }
    // Labels and patterns alternate; several patterns are separated by ";".
    const wxArrayString pieces = wxSplit(text, wxS('|'), wxS('\0'));
    wxString wildcard;
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        if (index > 0) {
            wildcard << wxS('|');
        }
        if (index % 2 == 0) {
            wildcard << pieces[index];
            continue;
        }
        const wxArrayString patterns = wxSplit(pieces[index], wxS(';'), wxS('\0'));
        for (std::size_t p = 0; p < patterns.size(); ++p) {
            if (p > 0) {
                wildcard << wxS(';');
            }
            wildcard << ToPattern(patterns[p]);
        }
    }
    return wildcard;
}

int CFileDialog::DoModal() {
    long style = m_open ? wxFD_OPEN : wxFD_SAVE;
    if (!m_open && (m_flags & OFN_OVERWRITEPROMPT) != 0) {
        style |= wxFD_OVERWRITE_PROMPT;
    }
    if (m_open && (m_flags & OFN_FILEMUSTEXIST) != 0) {
        style |= wxFD_FILE_MUST_EXIST;
    }
    wxWindow* parent = AfxWindowOf(m_pParentWnd);
    if (parent == nullptr) {
        parent = AfxGetMainWindow();
    }
    // The titles the system's own dialogs carry on the Italian PCs the
    // program comes from.
    const wxString title = m_open ? wxS("Apri") : wxS("Salva con nome");
    wxFileDialog dialog(parent, title, wxString(), FromAnsi(m_fileName),
                        AfxFileDialogWildcard(m_filter.c_str()), style);
    if (dialog.ShowModal() != wxID_OK) {
        return IDCANCEL;
    }
    // The directory and the name make the full path (a dialog answered by a
    // test double sets these two and no path).
    wxString path = dialog.GetPath();
    if (path.empty()) {
        path = wxFileName(dialog.GetDirectory(), dialog.GetFilename()).GetFullPath();
    }
    m_path = ToAnsi(path);
    return IDOK;
}
