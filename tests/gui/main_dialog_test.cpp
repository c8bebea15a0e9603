// The main dialog driven as a user drives it: start-up state, choosing files
// in each layout, reloads from the path field, the report, error reports,
// and the keys that end it.
#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/stockitem.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "core/cut_rows.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "framework/dialog_template.h"
#include "gui_test_support.h"
#include "platform/file.h"
#include "platform/file_faults.h"
#include "resources/resource.h"
#include "shell/command_line_info.h"
#include "shell/cut_list_dlg.h"

using namespace guitest;

namespace {

wxTextCtrl* PathField(CCutListDlg& dlg) {
    return dynamic_cast<wxTextCtrl*>(Item(dlg, IDC_PATH));
}

bool Checked(CCutListDlg& dlg, int id) {
    auto* radio = dynamic_cast<wxRadioButton*>(Item(dlg, id));
    return radio != nullptr && radio->GetValue();
}

// Three records; with blades they make a file of format 0 (after a header)
// or 1, without them one of format 2.
std::vector<Rec> ThreeRecords() {
    Rec a;
    a.lenPos = 1000;
    a.spessLen[0] = 0x53;  // 'S' mark, value 300
    a.spessLen[1] = 0x01;
    a.spessLen[2] = 0x2C;
    a.sx = 450;
    a.dx = -123;
    a.pezzi = 2;
    a.spessore = 40;
    a.info[0] = "PROFILO1";
    a.info[1] = "BC1";
    a.lamaSx = 12;
    a.lamaDx = -5;
    Rec b = a;
    b.lenPos = 2000;
    b.spessLen[0] = 0x01;  // no mark: 0x01532C = 86828
    b.spessLen[1] = 0x53;
    b.pezzi = -1;
    b.info[0] = "";
    Rec c = a;
    c.lenPos = 16777215;
    c.info[3] = "\xC8 pi\xF9";  // Windows-1252 text
    return {a, b, c};
}

std::string File(const std::vector<Rec>& recs, int format) {
    std::string bytes = format == kFormatOld ? "" : "HDR";
    for (const Rec& rec : recs) {
        bytes += Bytes(rec, format != kFormatMem);
    }
    bytes.push_back('\0');
    return bytes;
}

// What LoadCutList makes of the file, in an in-memory table.
std::vector<std::vector<std::string>> Decoded(const std::string& path, int format) {
    MemoryCutRowTable table;
    LoadCutList(path, format, table);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<std::size_t>(table.GetItemCount()));
    for (int r = 0; r < table.GetItemCount(); ++r) {
        std::vector<std::string> cells;
        cells.reserve(13);
        for (int c = 0; c < 13; ++c) {
            cells.push_back(table.GetCellText(r, c));
        }
        rows.push_back(cells);
    }
    return rows;
}

std::vector<std::vector<std::string>> Shown(const CCutListDlg& dlg) {
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<std::size_t>(dlg.m_listCtrl.GetItemCount()));
    for (int r = 0; r < dlg.m_listCtrl.GetItemCount(); ++r) {
        rows.push_back(Row(dlg, r));
    }
    return rows;
}

}  // namespace

TEST(MainDialog, StartsWithTitledColumnsEmptyFieldWithFocusAndFirstLayoutChecked) {
    auto dlg = OpenMainDialog();
    EXPECT_EQ(Wnd(*dlg).GetTitle(), "TreskViewer");
    EXPECT_EQ(Wnd(*dlg).GetClientSize(), Wnd(*dlg).ConvertDialogToPixels(wxSize(433, 280)));
    EXPECT_FALSE(Wnd(*dlg).HasFlag(wxRESIZE_BORDER));
    EXPECT_FALSE(Wnd(*dlg).HasFlag(wxMINIMIZE_BOX));
    EXPECT_FALSE(Wnd(*dlg).HasFlag(wxMAXIMIZE_BOX));

    wxListCtrl* list = dlg->m_listCtrl.GetView();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list, Item(*dlg, IDC_LIST));
    // The columns of the core's table, in its order (their titles and widths
    // are checked with the table).
    ASSERT_EQ(list->GetColumnCount(), kCutColumnCount);
    for (int i = 0; i < kCutColumnCount; ++i) {
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_FORMAT);
        ASSERT_TRUE(list->GetColumn(i, item));
        EXPECT_EQ(item.GetText(), kCutColumns[i].title) << "column " << i;
        EXPECT_EQ(item.GetAlign(), wxLIST_FORMAT_LEFT) << "column " << i;
        EXPECT_EQ(list->GetColumnWidth(i), list->FromDIP(kCutColumns[i].width)) << "column " << i;
    }
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_FALSE(list->HasFlag(wxLC_SINGLE_SEL));

    EXPECT_EQ(PathField(*dlg)->GetValue(), "");
    EXPECT_EQ(wxWindow::FindFocus(), PathField(*dlg));
    EXPECT_TRUE(Checked(*dlg, IDC_FMT_NEW));
    EXPECT_FALSE(Checked(*dlg, IDC_FMT_OLD));
    EXPECT_FALSE(Checked(*dlg, IDC_FMT_MEM));
    EXPECT_EQ(dlg->m_nFormat, 0);
    EXPECT_EQ(dlg->m_strPath, "");

    // The program's icon on the window, and the one the drag-icon message
    // answers with.
    ASSERT_FALSE(dlg->m_icon.IsNull());
    EXPECT_TRUE(Wnd(*dlg).GetIcon().IsOk());
    // Every size drawn for the window manager decodes to a square image.
    const wxIconBundle& icons = Wnd(*dlg).GetIcons();
    std::vector<int> sizes;
    for (size_t i = 0; i < icons.GetIconCount(); ++i) {
        const wxIcon icon = icons.GetIconByIndex(i);
        EXPECT_EQ(icon.GetHeight(), icon.GetWidth());
        sizes.push_back(icon.GetWidth());
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 64, 128}));
    AfxMsgParams query;
    Wnd(*dlg).Dispatch(AfxMsg::queryDragIcon, 0, query);
    EXPECT_EQ(query.icon, dlg->m_icon);
}

TEST(MainDialog, ControlsSitWhereTheTemplatePutsThemInTabOrder) {
    auto dlg = OpenMainDialog();
    const struct {
        int id;
        const char* text;
        int x, y, cx, cy;
    } controls[] = {
        {IDC_PATH, "", 7, 18, 281, 14},
        {IDC_BROWSE, "Sfoglia", 293, 18, 47, 14},
        {IDC_LIST, nullptr, 7, 82, 419, 191},
        {IDC_FMT_NEW, "Lib / Ori ( >=1.7 )", 14, 51, 71, 14},
        {IDC_FMT_OLD, "Lib / Ori ( <1.7 )", 130, 51, 68, 14},
        {IDC_FMT_MEM, "Mem", 243, 51, 35, 14},
        {IDC_SAVE, "Salva su file", 363, 53, 53, 12},
    };
    for (const auto& c : controls) {
        wxWindow* window = Item(*dlg, c.id);
        ASSERT_NE(window, nullptr) << c.id;
        EXPECT_EQ(window->GetPosition(), Wnd(*dlg).ConvertDialogToPixels(wxPoint(c.x, c.y)))
            << c.id;
        EXPECT_EQ(window->GetSize(), Wnd(*dlg).ConvertDialogToPixels(wxSize(c.cx, c.cy))) << c.id;
        if (c.text != nullptr && c.id != IDC_PATH) {
            EXPECT_EQ(window->GetLabel(), c.text) << c.id;
        }
    }

    // Children in tab order: label, path, Sfoglia, list, the three radio
    // buttons, the group box, the save button, its group box.
    std::vector<int> ids;
    std::vector<wxString> staticTexts;
    for (wxWindow* child : Wnd(*dlg).GetChildren()) {
        ids.push_back(child->GetId());
        if (dynamic_cast<wxStaticText*>(child) != nullptr ||
            dynamic_cast<wxStaticBox*>(child) != nullptr) {
            staticTexts.push_back(child->GetLabel());
        }
    }
    ASSERT_EQ(ids.size(), 10u);
    EXPECT_EQ(ids[1], IDC_PATH);
    EXPECT_EQ(ids[2], IDC_BROWSE);
    EXPECT_EQ(ids[3], IDC_LIST);
    EXPECT_EQ(ids[4], IDC_FMT_NEW);
    EXPECT_EQ(ids[5], IDC_FMT_OLD);
    EXPECT_EQ(ids[6], IDC_FMT_MEM);
    EXPECT_EQ(ids[8], IDC_SAVE);
    EXPECT_EQ(staticTexts, (std::vector<wxString>{"Lista di Taglio", "Formato Lista", ""}));
    // The radio buttons have no tab stop; the rest of the controls do.
    EXPECT_FALSE(Item(*dlg, IDC_FMT_NEW)->AcceptsFocusFromKeyboard());
    EXPECT_TRUE(Item(*dlg, IDC_BROWSE)->AcceptsFocusFromKeyboard());
    EXPECT_TRUE(Item(*dlg, IDC_SAVE)->AcceptsFocusFromKeyboard());
}

TEST(MainDialog, ChoosingAFileLoadsItInTheCheckedLayout) {
    TempDir dir;
    const std::vector<Rec> recs = ThreeRecords();
    struct Case {
        int radio;
        int format;
    };
    for (const Case& c : {Case{IDC_FMT_NEW, kFormatNew}, Case{IDC_FMT_OLD, kFormatOld},
                          Case{IDC_FMT_MEM, kFormatMem}}) {
        SCOPED_TRACE(c.format);
        const std::string path =
            dir.WriteText("lista" + std::to_string(c.format) + ".PRG", File(recs, c.format));
        auto dlg = OpenMainDialog();
        CheckRadio(*dlg, c.radio);
        ShownFileDialog shown;
        wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path, wxID_OK, &shown));

        EXPECT_EQ(dlg->m_strPath, path);
        EXPECT_EQ(dlg->m_nFormat, c.format);
        EXPECT_EQ(PathField(*dlg)->GetValue(), wxString::FromUTF8(path.c_str()));
        ASSERT_EQ(dlg->m_listCtrl.GetItemCount(), 3);
        // Last record on top; the 'S' mark; tenths; the unmarked 24-bit value.
        EXPECT_EQ(Row(*dlg, 0)[0], "3");
        EXPECT_EQ(Row(*dlg, 0)[1], "16777215");
        EXPECT_EQ(Row(*dlg, 1)[2], "86828");
        EXPECT_EQ(Row(*dlg, 1)[5], "-1");
        EXPECT_EQ(Row(*dlg, 2), (std::vector<std::string>{
                                    "1", "1000", "S300", "45.0", "-12.3", "2", "40", "PROFILO1",
                                    "BC1", "", "", c.format == kFormatMem ? "0.0" : "1.2",
                                    c.format == kFormatMem ? "0.0" : "-0.5"}));
        EXPECT_EQ(Shown(*dlg), Decoded(path, c.format));

        // The open dialog: the two filters, patterns matching any case, over
        // the main dialog.
        EXPECT_EQ(shown.wildcard, "TRESK (*.PRG)|*.[pP][rR][gG]|Tutti i files (*.*)|*");
        EXPECT_TRUE((shown.style & wxFD_OPEN) != 0);
        EXPECT_EQ(shown.filename, "");
        EXPECT_EQ(shown.parent, &Wnd(*dlg));
    }
}

TEST(MainDialog, ShowsWindowsTextsOfTheFileWithoutLosingThem) {
    TempDir dir;
    const std::string path = dir.WriteText("testi.PRG", File(ThreeRecords(), kFormatNew));
    auto dlg = OpenMainDialog();
    wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path));
    ASSERT_EQ(dlg->m_listCtrl.GetItemCount(), 3);
    EXPECT_EQ(Row(*dlg, 0)[10], "\xC8 pi\xF9");  // kept as the file's bytes
    EXPECT_EQ(dlg->m_listCtrl.GetView()->GetItemText(0, 10), wxString::FromUTF8("È più"));
}

TEST(MainDialog, ArrowKeysMoveTheFocusAndTheCheckRoundTheLayoutGroup) {
    auto dlg = OpenMainDialog();
    Item(*dlg, IDC_FMT_NEW)->SetFocus();
    Flush();
    wxUIActionSimulator keys;
    keys.MouseMove(Wnd(*dlg).GetScreenPosition() + wxPoint(5, 5));
    // Down and Right go forward, Up and Left back, round at both ends.
    const std::pair<int, int> steps[] = {{WXK_DOWN, IDC_FMT_OLD},
                                         {WXK_RIGHT, IDC_FMT_MEM},
                                         {WXK_DOWN, IDC_FMT_NEW},
                                         {WXK_UP, IDC_FMT_MEM},
                                         {WXK_LEFT, IDC_FMT_OLD}};
    for (const auto& [key, expected] : steps) {
        keys.Char(key);
        Flush();
        EXPECT_EQ(wxWindow::FindFocus(), Item(*dlg, expected)) << key;
        EXPECT_TRUE(Checked(*dlg, expected)) << key;
    }
    EXPECT_FALSE(Checked(*dlg, IDC_FMT_NEW));
    EXPECT_FALSE(Checked(*dlg, IDC_FMT_MEM));
    // As with a click, the stored layout waits for the next "Sfoglia".
    EXPECT_EQ(dlg->m_nFormat, kFormatNew);
}

TEST(MainDialog, AFileNamedAtStartLoadsAsOneChosenInItsLayout) {
    TempDir dir;
    const std::string path = dir.WriteText("start.PRG", File(ThreeRecords(), kFormatMem));
    auto dlg = OpenMainDialog(path, kFormatMem);
    EXPECT_EQ(PathField(*dlg)->GetValue(), wxString::FromUTF8(path.c_str()));
    EXPECT_TRUE(Checked(*dlg, IDC_FMT_MEM));
    EXPECT_FALSE(Checked(*dlg, IDC_FMT_NEW));
    EXPECT_EQ(dlg->m_strPath, path);
    EXPECT_EQ(dlg->m_nFormat, kFormatMem);
    EXPECT_EQ(Shown(*dlg), Decoded(path, kFormatMem));
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 3);
}

TEST(MainDialog, ToolkitTextsFollowTheUserWhileNumbersKeepTheirPoint) {
    // The application has started (as the viewer does): messages and
    // characters follow the environment, number formatting never does.
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    if (std::getenv("TRESK_REQUIRE_IT_LOCALE") != nullptr) {
        // The file dialogs' cancel button, as the toolkit labels it.
        EXPECT_EQ(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS), "Annulla");
        EXPECT_STRNE(std::setlocale(LC_MESSAGES, nullptr), "C");
    }
}

TEST(CommandLine, TakesOneFileAndALayoutAndRefusesEverythingElse) {
    using Action = CCommandLineInfo::Action;
    const CCommandLineInfo none = CCommandLineInfo::Parse({});
    EXPECT_EQ(none.m_nAction, Action::run);
    EXPECT_EQ(none.m_strFileName, "");
    EXPECT_EQ(none.m_nFormat, kFormatNew);

    const CCommandLineInfo mem = CCommandLineInfo::Parse({"--layout", "mem", "a.PRG"});
    EXPECT_EQ(mem.m_nAction, Action::run);
    EXPECT_EQ(mem.m_strFileName, "a.PRG");
    EXPECT_EQ(mem.m_nFormat, kFormatMem);
    const CCommandLineInfo old = CCommandLineInfo::Parse({"-", "--layout=1"});
    EXPECT_EQ(old.m_strFileName, "-");
    EXPECT_EQ(old.m_nFormat, kFormatOld);
    EXPECT_EQ(CCommandLineInfo::Parse({"--", "--help"}).m_strFileName, "--help");
    EXPECT_EQ(CCommandLineInfo::Parse({"x", "--version"}).m_nAction, Action::version);
    EXPECT_EQ(CCommandLineInfo::Parse({"--help", "--bogus"}).m_nAction, Action::help);

    const CCommandLineInfo bad = CCommandLineInfo::Parse({"--layout", "3", "a.PRG"});
    EXPECT_EQ(bad.m_nAction, Action::error);
    EXPECT_EQ(bad.m_strError,
              "treskviewer: formato non valido '3' (ammessi: new, old, mem, 0, 1, 2)"
              " - vedere 'treskviewer --help'");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"--layout"}, {"a.PRG", "b.PRG"}, {""}, {"-x"}}) {
        const CCommandLineInfo info = CCommandLineInfo::Parse(args);
        EXPECT_EQ(info.m_nAction, Action::error) << args[0];
        EXPECT_EQ(info.m_strError.find('\n'), std::string::npos) << args[0];
    }
}

TEST(MainDialog, ANewLayoutCountsOnlyFromTheNextSfoglia) {
    TempDir dir;
    const std::string path = dir.WriteText("lista.PRG", File(ThreeRecords(), kFormatMem));
    auto dlg = OpenMainDialog();
    // The file reads cleanly only as "Mem": the question, answered No.
    ShownMessage question;
    wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path),
                  ExpectMessageBox(&question, wxID_NO));
    EXPECT_EQ(question.text, "Il file \"" + path +
                                 "\" non si legge per intero nel formato \"Lib / Ori ( >=1.7 )\".\n"
                                 "Si legge per intero nel formato \"Mem\": ricaricarlo in quel "
                                 "formato?");
    EXPECT_EQ(question.caption, "TreskViewer");
    EXPECT_EQ(question.style & (wxYES_NO | wxICON_QUESTION | wxNO_DEFAULT),
              wxYES_NO | wxICON_QUESTION);
    // The buttons' words (GTK marks the access key with '_').
    EXPECT_TRUE(question.yesLabel.EndsWith(wxString::FromUTF8("Sì"))) << question.yesLabel;
    EXPECT_TRUE(question.noLabel.EndsWith("No")) << question.noLabel;
    const auto asNew = Decoded(path, kFormatNew);
    const auto asMem = Decoded(path, kFormatMem);
    ASSERT_NE(asNew, asMem);
    EXPECT_EQ(Shown(*dlg), asNew);
    EXPECT_TRUE(Checked(*dlg, IDC_FMT_NEW));

    // Checking "Mem" alone changes nothing, and a reload from the path field
    // still uses the layout stored at the last "Sfoglia".
    CheckRadio(*dlg, IDC_FMT_MEM);
    EXPECT_EQ(dlg->m_nFormat, kFormatNew);
    TypeIntoPath(*dlg, " ");
    EXPECT_EQ(Shown(*dlg), asNew);

    // The next "Sfoglia" takes the layout (and the field's text) first.
    wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path));
    EXPECT_EQ(dlg->m_nFormat, kFormatMem);
    EXPECT_EQ(Shown(*dlg), asMem);
    EXPECT_TRUE(Checked(*dlg, IDC_FMT_MEM));
}

// Sì: the layout that reads the file whole is checked, stored and loaded;
// the report is the reviewed one of that layout. The command line's file is
// asked about too.
TEST(MainDialog, YesToTheLayoutQuestionLoadsTheFileInTheLayoutThatFits) {
    const std::string path = TRESK_EXAMPLES_DIR "/lista_mem.PRG";
    ShownMessage question;
    std::unique_ptr<CCutListDlg> dlg;
    wxTEST_DIALOG(dlg = OpenMainDialog(path, kFormatOld), ExpectMessageBox(&question, wxID_YES));
    EXPECT_NE(question.text.Find("\"Lib / Ori ( <1.7 )\""), wxNOT_FOUND);
    EXPECT_EQ(dlg->m_nFormat, kFormatMem);
    EXPECT_TRUE(Checked(*dlg, IDC_FMT_MEM));
    EXPECT_FALSE(Checked(*dlg, IDC_FMT_OLD));
    TempDir dir;
    wxTEST_DIALOG(Click(*dlg, IDC_SAVE), ExpectFileDialog(dir.File("report.txt")));
    EXPECT_EQ(ReadWhole(dir / "report.txt"), ReadWhole(path + ".txt"));
}

// A file named on the command line that cannot be opened is reported with
// its cause's message; the dialog then shows its path and an empty list.
TEST(MainDialog, ACommandLineFileThatCannotBeOpenedIsReportedAndTheListStaysEmpty) {
    TempDir dir;
    const std::string missing = dir.File("manca.PRG");
    const std::string& folder = dir.path();
    for (const auto& [path, message] : {std::pair{missing, missing + " non trovato."},
                                        std::pair{folder, "Accesso a " + folder + " negato."}}) {
        ShownMessage shown;
        std::unique_ptr<CCutListDlg> dlg;
        wxTEST_DIALOG(dlg = OpenMainDialog(path, kFormatNew), ExpectMessageBox(&shown));
        EXPECT_EQ(shown.text, wxString::FromUTF8(message.c_str()));
        EXPECT_TRUE((shown.style & wxICON_ERROR) != 0);
        EXPECT_EQ(dlg->m_strPath, path);
        EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 0);
    }
}

TEST(MainDialog, CancellingTheOpenDialogKeepsTheListAndReadsTheControls) {
    TempDir dir;
    const std::string path = dir.WriteText("lista.PRG", File(ThreeRecords(), kFormatNew));
    const std::string other = dir.WriteText("altra.PRG", File({ThreeRecords()[0]}, kFormatOld));
    auto dlg = OpenMainDialog();
    wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path));
    const auto before = Shown(*dlg);
    ASSERT_EQ(before.size(), 3u);

    PathField(*dlg)->ChangeValue(wxString::FromUTF8(other.c_str()));
    CheckRadio(*dlg, IDC_FMT_OLD);
    wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog("", wxID_CANCEL));
    EXPECT_EQ(Shown(*dlg), before);
    // The transfer before the dialog took the typed path and the layout.
    EXPECT_EQ(dlg->m_strPath, other);
    EXPECT_EQ(dlg->m_nFormat, kFormatOld);

    // So the next change of the field loads the typed path.
    PathField(*dlg)->SetValue(wxString::FromUTF8(other.c_str()));
    EXPECT_EQ(Shown(*dlg), Decoded(other, kFormatOld));
}

TEST(MainDialog, EveryChangeOfThePathFieldReloadsTheStoredFileOnce) {
    TempDir dir;
    const std::vector<Rec> recs = ThreeRecords();
    const std::string path = dir.WriteText("lista.PRG", File(recs, kFormatNew));
    auto dlg = OpenMainDialog();
    wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path));
    ASSERT_EQ(dlg->m_listCtrl.GetItemCount(), 3);

    // Change the file on disk: the next keystroke shows it freshly loaded.
    dir.WriteText("lista.PRG", File({recs[0], recs[1]}, kFormatNew));
    TypeIntoPath(*dlg, "x");
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 2);
    EXPECT_EQ(dlg->m_strPath, path);  // the typed text is not the path yet

    // One load per change: two keystrokes read the file twice as often as one.
    tresk::file_fault::Reset();
    TypeIntoPath(*dlg, "y");
    const long oneLoad = tresk::file_fault::Calls(tresk::file_fault::Op::read);
    ASSERT_GT(oneLoad, 0);
    tresk::file_fault::Reset();
    TypeIntoPath(*dlg, "z");
    TypeIntoPath(*dlg, "w");
    EXPECT_EQ(tresk::file_fault::Calls(tresk::file_fault::Op::read), 2 * oneLoad);

    // Writing the stored path back to the field (a transfer) loads nothing.
    tresk::file_fault::Reset();
    dlg->UpdateData(false);
    EXPECT_EQ(PathField(*dlg)->GetValue(), wxString::FromUTF8(path.c_str()));
    EXPECT_EQ(tresk::file_fault::Calls(tresk::file_fault::Op::read), 0);
}

TEST(MainDialog, TypingBeforeAnyFileWasChosenLeavesTheListEmptyWithoutAMessage) {
    auto dlg = OpenMainDialog();
    TypeIntoPath(*dlg, "a");
    TypeIntoPath(*dlg, "/tmp/nonexistent.PRG");
    Flush();
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 0);
    EXPECT_EQ(dlg->m_strPath, "");
    EXPECT_TRUE(Wnd(*dlg).IsShown());
    // No message box: the test's dialog hook fails on any unexpected one.
}

TEST(MainDialog, SavingAnEmptyListWritesTheThreeLineReport) {
    TempDir dir;
    auto dlg = OpenMainDialog();
    const std::filesystem::path report = dir / "report.txt";
    ShownFileDialog shown;
    wxTEST_DIALOG(Click(*dlg, IDC_SAVE), ExpectFileDialog(report.string(), wxID_OK, &shown));
    const std::string text = ReadWhole(report);
    EXPECT_EQ(text.size(), 239u);
    EXPECT_EQ(text.substr(0, 10), "Lung/Dist ");
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
    EXPECT_EQ(shown.filename, "file.txt");
    EXPECT_TRUE((shown.style & wxFD_SAVE) != 0);
    // An existing file is replaced without a question.
    EXPECT_TRUE((shown.style & wxFD_OVERWRITE_PROMPT) == 0);
}

TEST(MainDialog, TheReportIsByteForByteTheOneTheCoreWritesForTheList) {
    TempDir dir;
    const std::string path = dir.WriteText("lista.PRG", File(ThreeRecords(), kFormatOld));
    auto dlg = OpenMainDialog();
    CheckRadio(*dlg, IDC_FMT_OLD);
    wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path));
    const std::filesystem::path report = dir / "report.txt";
    dir.WriteText("report.txt", std::string(5000, 'x'));  // replaced, not appended to
    wxTEST_DIALOG(Click(*dlg, IDC_SAVE), ExpectFileDialog(report.string()));

    MemoryCutRowTable table;
    LoadCutList(path, kFormatOld, table);
    SaveTextReport(table, dir.File("expected.txt"));
    EXPECT_EQ(ReadWhole(report), ReadWhole(dir / "expected.txt"));
    EXPECT_EQ(ReadWhole(report).size(), 239u + 3 * 116u);
}

TEST(MainDialog, CancellingTheSaveDialogWritesNothing) {
    TempDir dir;
    auto dlg = OpenMainDialog();
    wxTEST_DIALOG(Click(*dlg, IDC_SAVE), ExpectFileDialog("", wxID_CANCEL));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(MainDialog, AReportInAMissingFolderIsReportedAsNotFoundAndTheDialogGoesOn) {
    TempDir dir;
    const std::string path = dir.WriteText("lista.PRG", File(ThreeRecords(), kFormatNew));
    auto dlg = OpenMainDialog();
    wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path));
    const std::string report = dir.File("manca") + "/report.txt";
    ShownMessage shown;
    wxTEST_DIALOG(Click(*dlg, IDC_SAVE), ExpectFileDialog(report), ExpectMessageBox(&shown));
    EXPECT_EQ(shown.text, wxString::FromUTF8((report + " non trovato.").c_str()));
    EXPECT_EQ(shown.caption, "TreskViewer");
    EXPECT_TRUE((shown.style & wxICON_ERROR) != 0);
    EXPECT_TRUE((shown.style & wxOK) != 0);
    EXPECT_FALSE((shown.style & wxCANCEL) != 0);
    EXPECT_FALSE(std::filesystem::exists(report));
    EXPECT_TRUE(Wnd(*dlg).IsShown());
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 3);
}

TEST(MainDialog, AReadErrorIsReportedAndTheRowsReadBeforeItStay) {
    TempDir dir;
    const std::string path = dir.WriteText("lista.PRG", File(ThreeRecords(), kFormatNew));
    auto dlg = OpenMainDialog();
    wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path));
    tresk::file_fault::Reset();
    TypeIntoPath(*dlg, "x");
    const long reads = tresk::file_fault::Calls(tresk::file_fault::Op::read);

    // Fail the last read of the load: every record is already in the list.
    tresk::file_fault::Reset();
    tresk::file_fault::FailNth(tresk::file_fault::Op::read, reads, EIO);
    ShownMessage shown;
    wxTEST_DIALOG(TypeIntoPath(*dlg, "y"), ExpectMessageBox(&shown));
    tresk::file_fault::Reset();
    EXPECT_EQ(shown.text, wxString::FromUTF8(("Nell'accesso a " + path +
                                              " è stato registrato un errore hardware di I/O. ")
                                                 .c_str()));
    EXPECT_EQ(shown.caption, "TreskViewer");
    EXPECT_TRUE((shown.style & wxICON_ERROR) != 0);
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 3);
    EXPECT_TRUE(Wnd(*dlg).IsShown());
}

TEST(MainDialog, RunningOutOfMemoryInACommandIsReportedAsAWarning) {
    auto dlg = OpenMainDialog();
    wxWindow* button = Item(*dlg, IDC_SAVE);
    int thrown = 0;
    button->Bind(wxEVT_BUTTON, [&thrown](wxCommandEvent&) {
        if (thrown++ == 0) {
            throw CMemoryException();
        }
        throw std::bad_alloc();
    });
    for (int i = 0; i < 2; ++i) {
        ShownMessage shown;
        wxTEST_DIALOG(Click(*dlg, IDC_SAVE), ExpectMessageBox(&shown));
        EXPECT_EQ(shown.text, "Memoria insufficiente.");
        EXPECT_EQ(shown.caption, "TreskViewer");
        EXPECT_TRUE((shown.style & wxICON_WARNING) != 0);
        EXPECT_TRUE((shown.style & wxSTAY_ON_TOP) != 0);  // system-modal
        EXPECT_TRUE(Wnd(*dlg).IsShown());
    }
    EXPECT_EQ(thrown, 2);
}

TEST(MainDialog, EnterInThePathFieldTransfersAndEndsTheDialog) {
    auto dlg = OpenMainDialog();
    PathField(*dlg)->SetFocus();
    PathField(*dlg)->ChangeValue("/tmp/typed.PRG");
    CheckRadio(*dlg, IDC_FMT_MEM);
    Flush();
    ASSERT_EQ(wxWindow::FindFocus(), PathField(*dlg));
    wxUIActionSimulator keys;
    keys.MouseMove(Wnd(*dlg).GetScreenPosition() + wxPoint(5, 5));
    keys.Char(WXK_RETURN);
    Flush();
    EXPECT_EQ(dlg->GetResult(), IDOK);
    EXPECT_FALSE(Wnd(*dlg).IsShown());
    EXPECT_EQ(dlg->m_strPath, "/tmp/typed.PRG");
    EXPECT_EQ(dlg->m_nFormat, kFormatMem);
}

TEST(MainDialog, EscapeAndTheCloseBoxEndTheDialogWithoutATransfer) {
    for (int way = 0; way < 2; ++way) {
        auto dlg = OpenMainDialog();
        PathField(*dlg)->ChangeValue("/tmp/typed.PRG");
        if (way == 0) {
            PathField(*dlg)->SetFocus();
            Flush();
            wxUIActionSimulator keys;
            keys.MouseMove(Wnd(*dlg).GetScreenPosition() + wxPoint(5, 5));
            keys.Char(WXK_ESCAPE);
            Flush();
        } else {
            Wnd(*dlg).Close();
        }
        EXPECT_EQ(dlg->GetResult(), IDCANCEL) << way;
        EXPECT_FALSE(Wnd(*dlg).IsShown()) << way;
        EXPECT_EQ(dlg->m_strPath, "") << way;
    }
}

TEST(MainDialog, EnterOnAFocusedButtonPressesIt) {
    auto dlg = OpenMainDialog();
    Item(*dlg, IDC_BROWSE)->SetFocus();
    Flush();
    ASSERT_EQ(wxWindow::FindFocus(), Item(*dlg, IDC_BROWSE));
    wxUIActionSimulator keys;
    keys.MouseMove(Wnd(*dlg).GetScreenPosition() + wxPoint(5, 5));
    wxTEST_DIALOG(
        {
            keys.Char(WXK_RETURN);
            Flush();
        },
        ExpectFileDialog("", wxID_CANCEL));
    EXPECT_TRUE(Wnd(*dlg).IsShown());
    EXPECT_EQ(dlg->GetResult(), 0);
}
