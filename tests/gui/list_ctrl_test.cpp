// The list control as the core's row table, its display of Windows texts,
// the file-dialog filter, and the time a large cut list takes to show.
#include <cstring>

#include <gtest/gtest.h>

#include "core/prg_reader.h"
#include "framework/wx/ansi_text.h"
#include "framework/wx/file_dialog.h"
#include "framework/wx/list_ctrl.h"
#include "gui_test_support.h"
#include "resources/resource.h"
#include "shell/cut_list_dlg.h"

using namespace guitest;

TEST(ListCtrl, RowsGoInAtTheTopAndCellsReadBackCutToTheBuffer) {
    CListCtrl list;
    EXPECT_EQ(list.InsertItem(0, "1"), 0);
    EXPECT_TRUE(list.SetItemText(0, 12, "0.0"));
    EXPECT_EQ(list.InsertItem(0, "2"), 0);
    EXPECT_EQ(list.InsertItem(5, "end"), 2);  // past the end: appended
    EXPECT_EQ(list.InsertItem(-1, "no"), -1);
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetCellText(0, 0), "2");
    EXPECT_EQ(list.GetCellText(1, 0), "1");
    EXPECT_EQ(list.GetCellText(1, 12), "0.0");
    EXPECT_EQ(list.GetCellText(2, 0), "end");

    EXPECT_FALSE(list.SetItemText(3, 0, "x"));
    EXPECT_FALSE(list.SetItemText(0, 13, "x"));
    EXPECT_FALSE(list.SetItemText(-1, 0, "x"));

    // Texts longer than a row keeps inline are kept whole.
    EXPECT_TRUE(list.SetItemText(0, 7, "123456789ABCDEF"));
    EXPECT_EQ(list.GetCellText(0, 7), "123456789ABCDEF");
    EXPECT_TRUE(list.SetItemText(0, 7, "short"));
    EXPECT_EQ(list.GetCellText(0, 7), "short");

    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_TRUE(list.SetItemText(0, 1, "16777215"));
    EXPECT_EQ(list.GetItemText(0, 1, buffer, 8), 7);
    EXPECT_STREQ(buffer, "1677721");
    EXPECT_EQ(list.GetItemText(9, 1, buffer, 8), 0);  // no such row: empty
    EXPECT_STREQ(buffer, "");
    buffer[0] = '#';
    EXPECT_EQ(list.GetItemText(0, 1, buffer, 0), 0);  // no room: untouched
    EXPECT_EQ(buffer[0], '#');

    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(ListCtrl, Windows1252TextsShowWithEveryByteAccountedFor) {
    EXPECT_EQ(DecodeWindows1252("Pi\xE8"
                                "ce \x80\x96\x9F"),
              wxString::FromUTF8("Pièce €–Ÿ"));
    // The five bytes the code page leaves undefined keep their number, as in
    // the CSV and the clipboard.
    EXPECT_EQ(DecodeWindows1252("a\x81\x8D\x8F\x90\x9D"
                                "b"),
              wxString::FromUTF8("a\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"
                                 "b"));
    // Program texts: UTF-8 when valid, Windows-1252 otherwise.
    EXPECT_EQ(FromAnsi("\xC3\xA8"), wxString::FromUTF8("è"));
    EXPECT_EQ(FromAnsi("\xE8"), wxString::FromUTF8("è"));
    EXPECT_EQ(ToAnsi(wxString::FromUTF8("/tmp/più.PRG")), "/tmp/pi\xC3\xB9.PRG");
}

TEST(ListCtrl, TheSelectionIsHiddenWhileTheListLacksTheFocus) {
    auto dlg = OpenMainDialog();
    CListCtrl& rows = dlg->m_listCtrl;
    for (int i = 1; i <= 5; ++i) {
        rows.InsertItem(0, std::to_string(i).c_str());
    }
    CListView* view = rows.GetView();
    view->SetFocus();
    Flush();
    view->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    view->SetItemState(3, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    EXPECT_EQ(view->GetSelectedItemCount(), 2);

    Item(*dlg, IDC_PATH)->SetFocus();
    Flush();
    EXPECT_EQ(view->GetSelectedItemCount(), 0);  // nothing painted as selected
    EXPECT_EQ(view->GetSelectedRows(), (std::vector<long>{1, 3}));

    view->SetFocus();
    Flush();
    EXPECT_EQ(view->GetSelectedItemCount(), 2);
    EXPECT_EQ(view->GetSelectedRows(), (std::vector<long>{1, 3}));
}

TEST(ListCtrl, TheListAndItsWindowLetGoOfEachOtherWhicheverGoesFirst) {
    auto dlg = OpenMainDialog();
    CListCtrl& rows = dlg->m_listCtrl;
    CListView* view = rows.GetView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetModel(), &rows);

    rows.Attach(nullptr);
    EXPECT_EQ(view->GetModel(), nullptr);
    rows.Attach(view);
    EXPECT_EQ(view->GetModel(), &rows);

    // A second window and a list of its own: the list goes first, then the
    // window of another list.
    auto* second =
        new CListView(&Wnd(*dlg), wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, true, false);
    {
        CListCtrl other;
        other.Attach(second);
        EXPECT_EQ(second->GetModel(), &other);
    }
    EXPECT_EQ(second->GetModel(), nullptr);
    // A window shows one list: the one bound to it before lets go of it.
    CListCtrl first;
    CListCtrl last;
    first.Attach(second);
    last.Attach(second);
    EXPECT_FALSE(first.IsAttached());
    EXPECT_EQ(second->GetModel(), &last);
    second->Destroy();
    EXPECT_FALSE(last.IsAttached());
    EXPECT_EQ(view->GetModel(), &rows);  // the dialog's own list kept its window
}

TEST(FileDialogFilter, WindowsFiltersBecomeCaseBlindPatterns) {
    EXPECT_EQ(AfxFileDialogWildcard("TRESK (*.PRG)|*.PRG|Tutti i files (*.*)|*.*||"),
              "TRESK (*.PRG)|*.[pP][rR][gG]|Tutti i files (*.*)|*");
    EXPECT_EQ(AfxFileDialogWildcard("Testi|*.txt;*.Log||ignored|*.x"),
              "Testi|*.[tT][xX][tT];*.[lL][oO][gG]");
    EXPECT_EQ(AfxFileDialogWildcard(nullptr), "*|*");
}

// How fast a large list shows is measured by bench/bench_viewer.cpp, not here:
// a timed assertion fails on a loaded machine and proves nothing on a quiet one.
TEST(LargeList, AHundredThousandRecordsShowWhole) {
    TempDir dir;
    Rec rec;
    rec.lenPos = 123456;
    rec.info[0] = "ABCDEFGH";
    std::string bytes;
    bytes.reserve(100000 * 54 + 1);
    for (int i = 0; i < 100000; ++i) {
        rec.pezzi = static_cast<std::int16_t>(i % 30000);
        bytes += Bytes(rec, true);
    }
    bytes.push_back('\0');
    const std::string path = dir.WriteText("grande.PRG", bytes);

    auto dlg = OpenMainDialog();
    CheckRadio(*dlg, IDC_FMT_OLD);
    wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path));
    Wnd(*dlg).Update();
    Flush();

    ASSERT_EQ(dlg->m_listCtrl.GetItemCount(), 100000);
    EXPECT_EQ(dlg->m_listCtrl.GetView()->GetItemCount(), 100000);
    EXPECT_EQ(dlg->m_listCtrl.GetView()->GetItemText(0, 0), "100000");
    EXPECT_EQ(dlg->m_listCtrl.GetView()->GetItemText(99999, 7), "ABCDEFGH");

    // A reload replaces the rows rather than adding to them.
    CheckRadio(*dlg, IDC_FMT_OLD);
    wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path));
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 100000);
}
