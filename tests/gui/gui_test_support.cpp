#include "gui_test_support.h"

#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "framework/win_app.h"
#include "resources/resource.h"
#include "shell/cut_list_dlg.h"

namespace guitest {

CDialogWindow& Wnd(const CDialog& dlg) {
    CDialogWindow* window = dlg.GetSafeHwnd();
    if (window == nullptr) {
        ADD_FAILURE() << "the dialog has no window";
        std::abort();
    }
    return *window;
}

wxWindow* Item(const CDialog& dlg, int id) {
    return Wnd(dlg).GetDlgItem(id);
}

std::unique_ptr<CCutListDlg> OpenMainDialog(const std::string& startFile, int startFormat) {
    auto dlg = std::make_unique<CCutListDlg>();
    if (!startFile.empty()) {
        dlg->OpenAtStart(startFile, startFormat);
    }
    EXPECT_TRUE(dlg->CreateFromTemplate(nullptr));
    AfxGetApp()->m_pMainWnd = dlg.get();
    Wnd(*dlg).Show();
    Wnd(*dlg).Raise();
    Flush();
    return dlg;
}

void Click(CCutListDlg& dlg, int id) {
    wxWindow* button = Item(dlg, id);
    ASSERT_NE(button, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->HandleWindowEvent(click);
}

void CheckRadio(CCutListDlg& dlg, int id) {
    auto* radio = dynamic_cast<wxRadioButton*>(Item(dlg, id));
    ASSERT_NE(radio, nullptr);
    radio->SetValue(true);
    wxCommandEvent click(wxEVT_RADIOBUTTON, radio->GetId());
    click.SetEventObject(radio);
    click.SetInt(1);
    radio->HandleWindowEvent(click);
}

void TypeIntoPath(CCutListDlg& dlg, const wxString& text) {
    auto* field = dynamic_cast<wxTextCtrl*>(Item(dlg, IDC_PATH));
    ASSERT_NE(field, nullptr);
    field->SetInsertionPointEnd();
    field->WriteText(text);
}

void Flush() {
    for (int i = 0; i < 3; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
    }
}

void PressCtrl(CCutListDlg& dlg, int key) {
    CListView* view = dlg.m_listCtrl.GetView();
    ASSERT_NE(view, nullptr);
    view->SetFocus();
    // The dialog sees the key first (its command keys); a key it passes on
    // reaches the list.
    wxKeyEvent hook(wxEVT_CHAR_HOOK);
    hook.m_keyCode = key;
    hook.SetControlDown(true);
    hook.SetEventObject(view);
    Wnd(dlg).HandleWindowEvent(hook);
    if (!hook.GetSkipped()) {
        return;
    }
    wxKeyEvent event(wxEVT_KEY_DOWN);
    event.m_keyCode = key;
    event.SetControlDown(true);
    event.SetEventObject(view);
    view->HandleWindowEvent(event);
}

std::vector<std::string> Row(const CCutListDlg& dlg, int row) {
    std::vector<std::string> cells;
    cells.reserve(13);
    for (int column = 0; column < 13; ++column) {
        cells.push_back(dlg.m_listCtrl.GetCellText(row, column));
    }
    return cells;
}

std::string Bytes(const Rec& rec, bool blades) {
    std::string out;
    auto u8 = [&out](unsigned v) { out.push_back(static_cast<char>(v & 0xFFu)); };
    auto i16 = [&u8](std::int16_t v) {
        const auto u = static_cast<std::uint16_t>(v);
        u8(u >> 8u);
        u8(u);
    };
    u8(rec.lead);
    u8(rec.lenPos >> 16u);
    u8(rec.lenPos >> 8u);
    u8(rec.lenPos);
    for (std::uint8_t b : rec.spessLen) {
        u8(b);
    }
    i16(rec.sx);
    i16(rec.dx);
    i16(rec.pezzi);
    i16(rec.spessore);
    for (const std::string& text : rec.info) {
        std::string field = text.substr(0, 8);
        field.resize(8, '\0');
        out += field;
    }
    std::string tail = rec.tail.substr(0, 3);
    tail.resize(3, '\0');
    out += tail;
    if (blades) {
        i16(rec.lamaSx);
        i16(rec.lamaDx);
    }
    return out;
}

int ExpectMessageBox::OnInvoked(wxMessageDialog* dlg) const {
    m_shown->text = dlg->GetMessage();
    m_shown->caption = dlg->GetCaption();
    m_shown->style = dlg->GetMessageDialogStyle();
    m_shown->yesLabel = dlg->GetYesLabel();
    m_shown->noLabel = dlg->GetNoLabel();
    return m_answer;
}

int ExpectFileDialog::OnInvoked(wxFileDialog* dlg) const {
    if (m_shown != nullptr) {
        m_shown->wildcard = dlg->GetWildcard();
        m_shown->filename = dlg->GetFilename();
        m_shown->style = dlg->GetWindowStyle();
        m_shown->parent = dlg->GetParent();
    }
    if (m_id == wxID_OK) {
        dlg->SetPath(m_path);
    }
    return m_id;
}

}  // namespace guitest
