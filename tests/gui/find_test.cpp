// Finding a row from the main dialog as a bar-code scanner does (Ctrl+F, the
// code, Enter), F3, the text no row holds, and the list's own menu.
#include <memory>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "core/prg_reader.h"
#include "gui_test_support.h"
#include "resources/resource.h"
#include "shell/cut_list_dlg.h"

using namespace guitest;

namespace {

// The "Trova" dialog when it is open, nullptr otherwise.
CDialogWindow* FindWindowOpen() {
    for (wxWindow* top : wxTopLevelWindows) {
        auto* window = dynamic_cast<CDialogWindow*>(top);
        if (window != nullptr && window->IsShown() && window->GetTitle() == "Trova") {
            return window;
        }
    }
    return nullptr;
}

// A key as the dialog receives it first from the keyboard, with the focus on
// one of its controls.
void PressKey(CDialogWindow& window, int key, bool control = false) {
    wxKeyEvent hook(wxEVT_CHAR_HOOK);
    hook.m_keyCode = key;
    hook.SetControlDown(control);
    hook.SetEventObject(&window);
    window.HandleWindowEvent(hook);
    Flush();
}

// Five rows with bar codes in the second Info column, one of them with an
// accented capital and one with a question mark; loaded in the "Mem" layout.
std::unique_ptr<CCutListDlg> DialogWithCodes(TempDir& dir) {
    std::string bytes = "HDR";
    for (const char* code : {"00015668", "A?B", "00015669", "PER\xC8", "00015668"}) {
        Rec rec;
        rec.info[1] = code;
        bytes += Bytes(rec, false);
    }
    bytes.push_back('\0');  // the end of the list
    return OpenMainDialog(dir.WriteText("codici.PRG", bytes), kFormatMem);
}

std::vector<long> SelectedRows(const CCutListDlg& dlg) {
    return dlg.m_listCtrl.GetView()->GetSelectedRows();
}

}  // namespace

TEST(FindDialog, EachCodeAndEnterSelectsTheNextRowHoldingItWhichCtrlCCopies) {
    TempDir dir;
    auto dlg = DialogWithCodes(dir);
    ASSERT_EQ(dlg->m_listCtrl.GetItemCount(), 5);
    PressKey(Wnd(*dlg), 'F', true);
    CDialogWindow* find = FindWindowOpen();
    ASSERT_NE(find, nullptr);
    auto* field = dynamic_cast<wxTextCtrl*>(find->GetDlgItem(IDC_FIND_TEXT));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(find->GetDefaultItem(), find->GetDlgItem(IDC_FIND_NEXT));
    EXPECT_EQ(find->GetDlgItem(IDC_FIND_NEXT)->GetLabel(), "Trova successivo");
    EXPECT_EQ(find->GetDlgItem(IDCANCEL)->GetLabel(), "Chiudi");

    // Rows are shown last record first: the code's rows are 0 and 4. The
    // search starts after the focused row and wraps to the top.
    field->ChangeValue("00015668");
    PressKey(*find, WXK_RETURN);
    EXPECT_EQ(SelectedRows(*dlg), std::vector<long>{0});
    EXPECT_EQ(dlg->m_listCtrl.GetFocusedItem(), 0);
    PressKey(*find, WXK_RETURN);
    EXPECT_EQ(SelectedRows(*dlg), std::vector<long>{4});
    // F3 in the main dialog looks for it again; neither Enter nor F3 ends
    // a dialog.
    PressKey(Wnd(*dlg), WXK_F3);
    EXPECT_EQ(SelectedRows(*dlg), std::vector<long>{0});
    EXPECT_TRUE(Wnd(*dlg).IsShown());
    EXPECT_EQ(FindWindowOpen(), find);

    // Letter case is ignored, Windows-1252 letters included.
    field->ChangeValue(wxString::FromUTF8("perè"));
    PressKey(*find, WXK_RETURN);
    EXPECT_EQ(SelectedRows(*dlg), std::vector<long>{1});
    PressCtrl(*dlg, 'C');
    EXPECT_TRUE(ClipboardText().EndsWith(wxString::FromUTF8("\tPERÈ\t\t\t0.0\t0.0\n")))
        << ClipboardText();

    // No row holds it: said, and the selection stays. A character the code
    // page lacks is in no row, whatever '?' the rows hold.
    for (const char* text : {"00015670",
                             "A\xE2\x86\x92"
                             "B"}) {
        ShownMessage shown;
        field->ChangeValue(wxString::FromUTF8(text));
        wxTEST_DIALOG(PressKey(*find, WXK_RETURN), ExpectMessageBox(&shown));
        EXPECT_EQ(shown.text, wxString::FromUTF8("Nessuna riga contiene \"") +
                                  wxString::FromUTF8(text) + "\".");
        EXPECT_TRUE((shown.style & wxICON_INFORMATION) != 0);
        EXPECT_EQ(SelectedRows(*dlg), std::vector<long>{1});
    }

    // Escape closes it and gives the list the keyboard; Ctrl+F opens it
    // again.
    PressKey(*find, WXK_ESCAPE);
    EXPECT_EQ(FindWindowOpen(), nullptr);
    EXPECT_EQ(wxWindow::FindFocus(), dlg->m_listCtrl.GetView());
    PressKey(Wnd(*dlg), 'F', true);
    EXPECT_EQ(FindWindowOpen(), find);
}

TEST(ListMenu, OffersCopySelectAllFindPrintAndExportAndEachActs) {
    TempDir dir;
    auto dlg = DialogWithCodes(dir);
    const std::unique_ptr<wxMenu> menu = dlg->m_listCtrl.GetView()->MakeContextMenu();
    ASSERT_NE(menu, nullptr);
    std::vector<std::pair<int, wxString>> entries;
    for (const wxMenuItem* item : menu->GetMenuItems()) {
        entries.emplace_back(dlg->m_listCtrl.GetView()->GetMenuCommand(item->GetId()),
                             item->IsSeparator() ? "" : item->GetItemLabelText());
        if (!item->IsSeparator()) {
            EXPECT_NE(item->GetItemLabel().Find('\t'), wxNOT_FOUND) << "shortcut shown";
        }
    }
    const std::vector<std::pair<int, wxString>> expected = {
        {IDM_LIST_COPY, "Copia"},
        {IDM_LIST_SELECT_ALL, "Seleziona tutto"},
        {0, ""},
        {IDM_FIND, "Trova..."},
        {0, ""},
        {IDM_PRINT, "Stampa..."},
        {IDM_EXPORT_XLSX, "Esporta in Excel..."}};
    EXPECT_EQ(entries, expected);

    // The entries as the menu sends them.
    auto choose = [&dlg](int command) {
        AfxMsgParams params;
        Wnd(*dlg).Dispatch(AfxMsg::command, command, params);
        Flush();
    };
    choose(IDM_LIST_SELECT_ALL);
    EXPECT_EQ(SelectedRows(*dlg).size(), 5u);
    choose(IDM_LIST_COPY);
    EXPECT_EQ(ClipboardText().Freq('\n'), 6);  // the titles and five rows
    choose(IDM_FIND);
    EXPECT_NE(FindWindowOpen(), nullptr);
    PressKey(*FindWindowOpen(), WXK_ESCAPE);
}
