// The desktop conveniences in the main dialog: copying rows with Ctrl+C,
// selecting them all with Ctrl+A, loading a dropped file, and the busy cursor
// while a command reads or writes.
#include <atomic>
#include <initializer_list>
#include <thread>

#include <gtest/gtest.h>
#include <wx/arrstr.h>
#include <wx/dnd.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "core/cut_row_table.h"
#include "core/layout_detect.h"
#include "core/prg_reader.h"
#include "framework/wx/row_clipboard.h"
#include "gui_test_support.h"
#include "platform/file.h"
#include "platform/file_faults.h"
#include "resources/resource.h"
#include "shell/cut_list_dlg.h"

using namespace guitest;

namespace {

constexpr const char* kTitleLine =
    "Nr.\tL.Display/Qt.Posiz\tS_spess/L.Display\tSx\tDx\tPezzi\tSpessore\tInfo1\t"
    "Info2/BarCode\tInfo3/BarCode\tInfo4\tLamaSX\tLamaDX\n";

// Two records; the second has a Windows-1252 text in Info1.
std::string TwoRecordFile(int format) {
    Rec a;
    a.lenPos = 1000;
    a.sx = 450;
    a.dx = -123;
    a.pezzi = 2;
    a.spessore = 40;
    a.info[0] = "PROFILO1";
    a.lamaSx = 12;
    a.lamaDx = -5;
    Rec b = a;
    b.lenPos = 2000;
    b.info[0] = "\xC8 pi\xF9";  // "È più"
    std::string bytes = format == kFormatOld ? "" : "HDR";
    bytes += Bytes(a, format != kFormatMem) + Bytes(b, format != kFormatMem);
    bytes.push_back('\0');
    return bytes;
}

CListView& View(CCutListDlg& dlg) {
    CListView* view = dlg.m_listCtrl.GetView();
    EXPECT_NE(view, nullptr);
    return *view;
}

wxTextCtrl* PathField(CCutListDlg& dlg) {
    return dynamic_cast<wxTextCtrl*>(Item(dlg, IDC_PATH));
}

// Files dropped on the dialog, then the event loop run as after a real drop.
bool Drop(CCutListDlg& dlg, std::initializer_list<std::string> paths) {
    wxArrayString files;
    for (const std::string& path : paths) {
        files.Add(wxString::FromUTF8(path.c_str()));
    }
    auto* target = dynamic_cast<wxFileDropTarget*>(Wnd(dlg).GetDropTarget());
    EXPECT_NE(target, nullptr);
    if (target == nullptr) {
        return false;
    }
    const bool accepted = target->OnDropFiles(20, 20, files);
    Flush();
    return accepted;
}

// Reads a load of path makes in format, with the layout check that follows
// a load the user started, to count loads by.
long ReadsOfOneLoad(const std::string& path, int format) {
    MemoryCutRowTable table;
    tresk::file_fault::Reset();
    LoadCutList(path, format, table);
    AdvisedLayoutForFile(path, format);
    return tresk::file_fault::Calls(tresk::file_fault::Op::read);
}

TEST(DialogCopy, CtrlCCopiesTheSelectedRowsAsTheListShowsThem) {
    TempDir dir;
    const std::string path = dir.WriteText("lista.PRG", TwoRecordFile(kFormatNew));
    auto dlg = OpenMainDialog();
    ASSERT_TRUE(Drop(*dlg, {path}));
    ASSERT_EQ(dlg->m_listCtrl.GetItemCount(), 2);

    ASSERT_TRUE(PutTextOnClipboard("untouched"));
    PressCtrl(*dlg, 'C');  // nothing selected: nothing happens
    EXPECT_EQ(ClipboardText(), "untouched");

    View(*dlg).SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    View(*dlg).SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    PressCtrl(*dlg, 'C');
    // Top row first (the last record), full 8-character texts, Windows-1252
    // decoded as on screen, LF line ends.
    EXPECT_EQ(ClipboardText(),
              wxString(kTitleLine) +
                  wxString::FromUTF8("2\t2000\t0\t45.0\t-12.3\t2\t40\tÈ più\t\t\t\t"
                                     "1.2\t-0.5\n") +
                  "1\t1000\t0\t45.0\t-12.3\t2\t40\tPROFILO1\t\t\t\t1.2\t-0.5\n");
    // Cell for cell what the list window shows.
    const wxArrayString lines = wxSplit(ClipboardText(), '\n');
    for (int row = 0; row < 2; ++row) {
        const wxArrayString fields = wxSplit(lines[static_cast<std::size_t>(row) + 1], '\t');
        ASSERT_EQ(fields.size(), 13u);
        for (int column = 0; column < 13; ++column) {
            EXPECT_EQ(fields[static_cast<std::size_t>(column)],
                      View(*dlg).GetItemText(row, column));
        }
    }
}

TEST(DialogCopy, CtrlASelectsEveryRow) {
    TempDir dir;
    const std::string path = dir.WriteText("lista.PRG", TwoRecordFile(kFormatNew));
    auto dlg = OpenMainDialog();
    ASSERT_TRUE(Drop(*dlg, {path}));
    PressCtrl(*dlg, 'A');
    EXPECT_EQ(View(*dlg).GetSelectedItemCount(), 2);
    PressCtrl(*dlg, 'C');
    const wxString copied = ClipboardText();
    EXPECT_EQ(std::count(copied.begin(), copied.end(), '\n'), 3);  // titles and two rows
}

TEST(DialogDrop, ADroppedFileLoadsOnceInTheCheckedLayoutAndIsShownAsThePath) {
    TempDir dir;
    const std::string first = dir.WriteText("prima.PRG", TwoRecordFile(kFormatNew));
    const std::string mem = dir.WriteText("mem.PRG", TwoRecordFile(kFormatMem));
    auto dlg = OpenMainDialog();
    ASSERT_TRUE(Drop(*dlg, {first}));
    EXPECT_EQ(dlg->m_nFormat, kFormatNew);
    EXPECT_EQ(Row(*dlg, 0)[11], "1.2");

    // A new layout checked after the last load counts from the drop on, as
    // from the next "Sfoglia": the drop reads the controls first.
    CheckRadio(*dlg, IDC_FMT_MEM);
    const long oneLoad = ReadsOfOneLoad(mem, kFormatMem);
    tresk::file_fault::Reset();
    ASSERT_TRUE(Drop(*dlg, {mem}));
    // Exactly one load: showing the path in the field started none.
    EXPECT_EQ(tresk::file_fault::Calls(tresk::file_fault::Op::read), oneLoad);
    EXPECT_EQ(dlg->m_strPath, mem);
    EXPECT_EQ(dlg->m_nFormat, kFormatMem);
    EXPECT_EQ(PathField(*dlg)->GetValue(), wxString::FromUTF8(mem.c_str()));
    ASSERT_EQ(dlg->m_listCtrl.GetItemCount(), 2);
    EXPECT_EQ(Row(*dlg, 0)[1], "2000");
    EXPECT_EQ(Row(*dlg, 0)[11], "0.0");  // no blade values in "Mem"
    EXPECT_FALSE(wxIsBusy());
}

TEST(DialogDrop, OfSeveralDroppedFilesTheFirstLoadsAndTheFieldAlsoTakesDrops) {
    TempDir dir;
    const std::string a = dir.WriteText("a.PRG", TwoRecordFile(kFormatNew));
    const std::string b = dir.WriteText("b.PRG", "HDR");
    auto dlg = OpenMainDialog();
    ASSERT_TRUE(Drop(*dlg, {a, b}));
    EXPECT_EQ(dlg->m_strPath, a);
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 2);
    // A drop on the path field loads too, instead of the entry inserting the
    // file's name as text (which would start a reload of the stored path).
    auto* fieldTarget = dynamic_cast<wxFileDropTarget*>(PathField(*dlg)->GetDropTarget());
    ASSERT_NE(fieldTarget, nullptr);
    wxArrayString files;
    files.Add(wxString::FromUTF8(b.c_str()));
    EXPECT_TRUE(fieldTarget->OnDropFiles(5, 5, files));
    Flush();
    EXPECT_EQ(dlg->m_strPath, b);
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 0);
}

TEST(DialogDrop, AReadErrorOfADroppedFileIsReportedAndTheDialogGoesOn) {
    TempDir dir;
    const std::string path = dir.WriteText("lista.PRG", TwoRecordFile(kFormatNew));
    auto dlg = OpenMainDialog();
    const long reads = ReadsOfOneLoad(path, kFormatNew);
    tresk::file_fault::Reset();
    tresk::file_fault::FailNth(tresk::file_fault::Op::read, reads, EIO);
    ShownMessage shown;
    wxTEST_DIALOG(Drop(*dlg, {path}), ExpectMessageBox(&shown));
    tresk::file_fault::Reset();
    EXPECT_EQ(shown.text, wxString::FromUTF8(("Nell'accesso a " + path +
                                              " è stato registrato un errore hardware di I/O. ")
                                                 .c_str()));
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 2);
    EXPECT_TRUE(Wnd(*dlg).IsShown());
    EXPECT_FALSE(wxIsBusy());  // the failed load gave the cursor back
}

TEST(DialogDrop, AFileThatCannotBeOpenedLeavesTheListEmptyWithoutAMessage) {
    TempDir dir;
    auto dlg = OpenMainDialog();
    ASSERT_TRUE(Drop(*dlg, {dir.File("missing.PRG")}));
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 0);
    EXPECT_EQ(dlg->m_strPath, dir.File("missing.PRG"));
}

// Watches the busy state from a second thread while the dialog's thread is
// blocked in a command, as a user watches the cursor.
class BusyWatcher {
public:
    BusyWatcher()
        : m_thread([this] {
              while (!m_stop) {
                  if (wxIsBusy()) {
                      m_seen = true;
                  }
                  m_running = true;
              }
          }) {
        while (!m_running) {
            std::this_thread::yield();
        }
    }
    ~BusyWatcher() { Stop(); }
    bool Stop() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        return m_seen;
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_seen{false};
    std::thread m_thread;
};

TEST(DialogBusyCursor, ShownWhileALoadOrAReportRunsAndGoneAfterwards) {
    TempDir dir;
    // Enough records that each command takes long enough for the watcher to
    // see the cursor on a busy machine, even with loads and reports as fast
    // as they are now.
    constexpr int kRecords = 200000;
    Rec rec;
    rec.info[0] = "PROFILO1";
    std::string bytes = "HDR";
    for (int i = 0; i < kRecords; ++i) {
        bytes += Bytes(rec, true);
    }
    const std::string path = dir.WriteText("lunga.PRG", bytes);
    const std::string report = dir.File("file.txt");
    auto dlg = OpenMainDialog();
    {
        BusyWatcher idle;
        Flush();
        EXPECT_FALSE(idle.Stop());
    }
    {
        BusyWatcher watcher;
        Drop(*dlg, {path});
        EXPECT_TRUE(watcher.Stop()) << "drop";
    }
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), kRecords);
    EXPECT_FALSE(wxIsBusy());
    {
        BusyWatcher watcher;
        TypeIntoPath(*dlg, "x");
        EXPECT_TRUE(watcher.Stop()) << "reload from the path field";
    }
    {
        BusyWatcher watcher;
        wxTEST_DIALOG(Click(*dlg, IDC_BROWSE), ExpectFileDialog(path));
        EXPECT_TRUE(watcher.Stop()) << "Sfoglia";
    }
    {
        BusyWatcher watcher;
        wxTEST_DIALOG(Click(*dlg, IDC_SAVE), ExpectFileDialog(report));
        EXPECT_TRUE(watcher.Stop()) << "Salva su file";
    }
    EXPECT_FALSE(wxIsBusy());
    // Header, separator and empty line, then 113 characters and CR LF a row.
    EXPECT_EQ(ReadWhole(report).size(), 239u + std::size_t{kRecords} * 115u);
}

}  // namespace
