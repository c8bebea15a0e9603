#include "framework/message_box.h"

#include <wx/msgdlg.h>

#include "framework/window_backend.h"
#include "framework/wx/ansi_text.h"
#include "framework/wx/dialog.h"

int AfxShowMessageBox(CDialogWindow* owner, const std::string& text, const std::string& caption,
                      unsigned type) {
    long style = 0;
    switch (type & 0x000Fu) {
        case MB_OKCANCEL:
            style |= wxOK | wxCANCEL;
            break;
        case MB_YESNO:
            style |= wxYES_NO;
            break;
        default:
            style |= wxOK;
            break;
    }
    switch (type & 0x00F0u) {
        case MB_ICONSTOP:
            style |= wxICON_ERROR;
            break;
        case MB_ICONQUESTION:
            style |= wxICON_QUESTION;
            break;
        case MB_ICONWARNING:
            style |= wxICON_WARNING;
            break;
        case MB_ICONINFORMATION:
            style |= wxICON_INFORMATION;
            break;
        default:
            break;
    }
    if ((type & MB_SYSTEMMODAL) != 0) {
        style |= wxSTAY_ON_TOP;
    }
    wxMessageDialog box(owner, FromAnsi(text), FromAnsi(caption), style);
    if ((style & wxYES_NO) != 0) {
        // The program's own words, not the toolkit's stock labels in the
        // desktop's language.
        box.SetYesNoLabels(wxString::FromUTF8("&S\xC3\xAC"), wxS("&No"));
    }
    switch (box.ShowModal()) {
        case wxID_CANCEL:
            return IDCANCEL;
        case wxID_YES:
            return IDYES;
        case wxID_NO:
            return IDNO;
        default:
            return IDOK;
    }
}
