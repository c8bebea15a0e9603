// File and memory failures in the running dialog, through the application's
// real exception guard: the user sees the message for the failure, the
// dialog goes on, rows read before a file error stay, a report being replaced
// stays as it was, and no lock is left behind.
// A failure that must stay silent (a cut list that cannot be opened) is
// proved silent by the test main, which fails on any unexpected message box.
//
// This program links the replaced global operator new of failing_new.cpp,
// so that a test can make every large allocation (32 KiB and up: the file
// layer's buffers) fail while a command runs, the way an exhausted heap
// refuses the big requests first.
#include <malloc.h>
#include <sys/resource.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <random>
#include <string>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/msgdlg.h>

#include "core/cut_row_table.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "framework/wx/row_clipboard.h"
#include "platform/file.h"
#include "platform/file_faults.h"
#include "resources/resource.h"
#include "shell/cut_list_dlg.h"
#include "tests/gui/gui_test_support.h"
#include "tests/hardening/failing_new.h"
#include "tests/hardening/hardening_support.h"

namespace {

// The file layer's buffers are 64 KiB; every allocation from 32 KiB up fails.
constexpr std::size_t kLargeAllocation = 32 * std::size_t{1024};

}  // namespace

namespace tresk::test {
namespace {

using guitest::ExpectFileDialog;
using guitest::ExpectMessageBox;
using guitest::ShownMessage;
using tresk::file_fault::Op;

bool OpenableExclusively(const std::string& path) {
    CFile file;
    return file.Open(path, CFile::modeRead | CFile::shareExclusive | CFile::typeBinary);
}

class DialogFailures : public ::testing::Test {
protected:
    void SetUp() override {
        tresk::file_fault::Reset();
        m_prg = m_dir.Write("lista.PRG", MultiRecordCutList(kFormatNew));
        m_dlg = guitest::OpenMainDialog();
        wxTEST_DIALOG(guitest::Click(*m_dlg, IDC_BROWSE), ExpectFileDialog(m_prg));
        ASSERT_EQ(m_dlg->m_listCtrl.GetItemCount(), kMultiRecordRows);
        m_fullReport = m_dir.File("atteso.txt");
        SaveTextReport(m_dlg->m_listCtrl.Rows(), m_fullReport);
    }
    void TearDown() override {
        failing_new::Lift();
        tresk::file_fault::Reset();
    }

    // Saves the report to path and returns the message box it raised.
    ShownMessage SaveExpectingMessage(const std::string& path) {
        ShownMessage shown;
        wxTEST_DIALOG(guitest::Click(*m_dlg, IDC_SAVE), ExpectFileDialog(path),
                      ExpectMessageBox(&shown));
        return shown;
    }

    static void ExpectStopBox(const ShownMessage& shown, const std::string& text) {
        EXPECT_EQ(shown.text, wxString::FromUTF8(text.c_str()));
        EXPECT_EQ(shown.caption, "TreskViewer");
        EXPECT_NE(shown.style & wxICON_ERROR, 0);
        EXPECT_NE(shown.style & wxOK, 0);
    }

    // The dialog goes on: still shown, its rows intact, and a save works.
    void ExpectDialogGoesOn(int rows) {
        EXPECT_TRUE(guitest::Wnd(*m_dlg).IsShown());
        EXPECT_EQ(m_dlg->m_listCtrl.GetItemCount(), rows);
        const std::string again = m_dir.File("dopo.txt");
        wxTEST_DIALOG(guitest::Click(*m_dlg, IDC_SAVE), ExpectFileDialog(again));
        EXPECT_TRUE(std::filesystem::exists(again));
    }

    TempDir m_dir;
    std::string m_prg;
    std::string m_fullReport;
    std::unique_ptr<CCutListDlg> m_dlg;
};

TEST_F(DialogFailures, AnInjectedWriteFailureIsReportedAndKeepsTheOldReport) {
    const std::string report = m_dir.WriteText("rapporto.txt", "OLD REPORT");
    const std::vector<std::string> entries = m_dir.Entries();
    tresk::file_fault::FailNth(Op::write, 5, EIO);  // a data line
    ExpectStopBox(SaveExpectingMessage(report),
                  "Nell'accesso a " + report + " è stato registrato un errore hardware di I/O. ");
    tresk::file_fault::Reset();
    EXPECT_EQ(ReadWhole(report), "OLD REPORT");
    EXPECT_EQ(m_dir.Entries(), entries);
    EXPECT_TRUE(OpenableExclusively(report));

    tresk::file_fault::FailNth(Op::write, 6, 0);  // stores half of its bytes
    ExpectStopBox(SaveExpectingMessage(report), "Disco pieno durante l'accesso a " + report + ".");
    tresk::file_fault::Reset();
    EXPECT_EQ(ReadWhole(report), "OLD REPORT");
    EXPECT_EQ(m_dir.Entries(), entries);
    ExpectDialogGoesOn(kMultiRecordRows);
}

TEST_F(DialogFailures, AnInjectedReadFailureInTheThirdRecordKeepsTheFirstTwo) {
    // The header, then a lead byte and a body a record: read 7 is the third
    // record's body.
    tresk::file_fault::FailNth(Op::read, 7, EACCES);
    ShownMessage shown;
    wxTEST_DIALOG(guitest::TypeIntoPath(*m_dlg, "x"), ExpectMessageBox(&shown));
    tresk::file_fault::Reset();
    ExpectStopBox(shown, "Accesso a " + m_prg + " negato.");
    EXPECT_EQ(m_dlg->m_listCtrl.GetItemCount(), 2);
    EXPECT_EQ(m_dlg->m_listCtrl.GetCellText(0, 0), "2");
    EXPECT_TRUE(OpenableExclusively(m_prg));
    ExpectDialogGoesOn(2);
}

TEST_F(DialogFailures, AFolderOrALockedFileChosenAsCutListEmptiesTheListSilently) {
    const std::string folder = m_dir.File("cartella.PRG");
    std::filesystem::create_directory(folder);
    wxTEST_DIALOG(guitest::Click(*m_dlg, IDC_BROWSE), ExpectFileDialog(folder));
    EXPECT_EQ(m_dlg->m_listCtrl.GetItemCount(), 0);

    wxTEST_DIALOG(guitest::Click(*m_dlg, IDC_BROWSE), ExpectFileDialog(m_prg));
    ASSERT_EQ(m_dlg->m_listCtrl.GetItemCount(), kMultiRecordRows);
    {
        const LockedByOtherProcess other(m_prg);
        ASSERT_TRUE(other.locked());
        guitest::TypeIntoPath(*m_dlg, "x");
        EXPECT_EQ(m_dlg->m_listCtrl.GetItemCount(), 0);
    }
    guitest::TypeIntoPath(*m_dlg, "y");
    EXPECT_EQ(m_dlg->m_listCtrl.GetItemCount(), kMultiRecordRows);
}

TEST_F(DialogFailures, AFullDeviceAndALockedReportAreReported) {
    if (std::filesystem::exists("/dev/full")) {
        ExpectStopBox(SaveExpectingMessage("/dev/full"),
                      "Disco pieno durante l'accesso a /dev/full.");
    }
    const std::string report = m_dir.Write("rapporto.txt", Bytes{'K', 'E', 'E', 'P'});
    {
        const LockedByOtherProcess other(report);
        ASSERT_TRUE(other.locked());
        ExpectStopBox(
            SaveExpectingMessage(report),
            "Durante l'accesso a " + report + " si è verificata una violazione di condivisione.");
        EXPECT_EQ(ReadWhole(report), "KEEP");
    }
    ExpectDialogGoesOn(kMultiRecordRows);
}

TEST_F(DialogFailures, PathsWithSpacesQuotesAndAccentsLoadSaveAndShowInMessages) {
    const std::string folder = m_dir.File("Liste 'di' \"taglio\" città ü");
    std::filesystem::create_directory(folder);
    const std::string prg = folder + "/lista è.PRG";
    std::filesystem::copy_file(m_prg, prg);
    wxTEST_DIALOG(guitest::Click(*m_dlg, IDC_BROWSE), ExpectFileDialog(prg));
    EXPECT_EQ(m_dlg->m_strPath, prg);
    EXPECT_EQ(m_dlg->m_listCtrl.GetItemCount(), kMultiRecordRows);

    const std::string report = folder + "/rapporto ò.txt";
    wxTEST_DIALOG(guitest::Click(*m_dlg, IDC_SAVE), ExpectFileDialog(report));
    EXPECT_EQ(ReadWhole(report), ReadWhole(m_fullReport));

    const std::string missing = folder + "/non c'è/r.txt";
    ExpectStopBox(SaveExpectingMessage(missing), missing + " non trovato.");
}

TEST_F(DialogFailures, RunningOutOfMemoryInALoadOrAnExportShowsTheWarningAndTheDialogGoesOn) {
    const auto expectMemoryBox = [](const ShownMessage& shown) {
        EXPECT_EQ(shown.text, "Memoria insufficiente.");
        EXPECT_EQ(shown.caption, "TreskViewer");
        EXPECT_NE(shown.style & wxICON_WARNING, 0);
    };

    // The load empties the list, then cannot get its read buffer.
    ShownMessage shown;
    failing_new::RefuseFrom(kLargeAllocation);
    wxTEST_DIALOG(guitest::TypeIntoPath(*m_dlg, "x"), ExpectMessageBox(&shown));
    failing_new::Lift();
    expectMemoryBox(shown);
    EXPECT_TRUE(guitest::Wnd(*m_dlg).IsShown());
    EXPECT_EQ(m_dlg->m_listCtrl.GetItemCount(), 0);
    EXPECT_TRUE(OpenableExclusively(m_prg));

    guitest::TypeIntoPath(*m_dlg, "y");
    ASSERT_EQ(m_dlg->m_listCtrl.GetItemCount(), kMultiRecordRows);

    // The export cannot get its write buffer: nothing is written, the file
    // is released.
    const std::string report = m_dir.File("rapporto.txt");
    ShownMessage exported;
    failing_new::RefuseFrom(kLargeAllocation);
    wxTEST_DIALOG(guitest::Click(*m_dlg, IDC_SAVE), ExpectFileDialog(report),
                  ExpectMessageBox(&exported));
    failing_new::Lift();
    expectMemoryBox(exported);
    EXPECT_FALSE(std::filesystem::exists(report));
    ExpectDialogGoesOn(kMultiRecordRows);
}

// The dialog's list control is the second implementation of the row table
// the core writes into and reads back. Random operation sequences (texts up to
// 20 bytes, 8-bit, past the 8 characters a row keeps inline; rows and columns
// one beyond each end; buffer lengths from -1 up) must get the same answers
// from it as from the in-memory table, and the same report.
TEST(DialogRowTable, TheListControlAnswersLikeTheMemoryTable) {
    const TempDir dir;
    auto dlg = guitest::OpenMainDialog();
    CutRowTable& list = dlg->m_listCtrl;
    std::mt19937 random(20261208);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto text = [&] {
        std::string t(static_cast<std::size_t>(pick(0, 20)), ' ');
        for (char& c : t) {
            c = static_cast<char>(pick(1, 255));
        }
        return t;
    };
    long operations = 0;
    for (int sequence = 0; sequence < 40; ++sequence) {
        SCOPED_TRACE("sequence " + std::to_string(sequence));
        MemoryCutRowTable model;
        list.DeleteAllItems();
        for (int step = 0; step < 400; ++step, ++operations) {
            const int count = model.GetItemCount();
            ASSERT_EQ(list.GetItemCount(), count);
            const int kind = pick(0, 99);
            if (kind < 2) {
                list.DeleteAllItems();
                model.DeleteAllItems();
            } else if (kind < 30) {
                const std::string t = text();
                ASSERT_EQ(list.InsertItem(0, t.c_str()), model.InsertItem(0, t.c_str()));
            } else if (kind < 75) {
                const int row = pick(-1, count);
                const int column = pick(-1, 13);
                const std::string t = text();
                ASSERT_EQ(list.SetItemText(row, column, t.c_str()),
                          model.SetItemText(row, column, t.c_str()));
            } else {
                const int row = pick(-1, count);
                const int column = pick(-1, 13);
                const int length = pick(-1, 24);
                char got[32];
                char want[32];
                std::memset(got, 0x7E, sizeof got);
                std::memset(want, 0x7E, sizeof want);
                ASSERT_EQ(list.GetItemText(row, column, got, length),
                          model.GetItemText(row, column, want, length));
                ASSERT_EQ(std::string(got, sizeof got), std::string(want, sizeof want));
                ASSERT_EQ(dlg->m_listCtrl.GetCellText(row, column), model.GetCellText(row, column));
            }
        }
        const std::string fromList = dir.File("lista.txt");
        const std::string fromModel = dir.File("modello.txt");
        SaveTextReport(dlg->m_listCtrl.Rows(), fromList);
        SaveTextReport(model, fromModel);
        ASSERT_EQ(ReadWhole(fromList), ReadWhole(fromModel));
    }
    guitest::Flush();
    std::printf("list control and memory table agreed on %ld operations\n", operations);
}

// A hostile file chosen in the dialog: the path in TRESK_HOSTILE_PRG (set by
// scripts/ci-50-hostile.sh to a 200 MB file of 0x01 bytes, every record
// valid) is loaded, the report saved, and the dialog must still answer: a
// small file loads after it, and a save works. Prints time and peak memory.
TEST(DialogHostileSizes, AHugeCutListLoadsAndTheDialogStaysUsable) {
    const char* hostile = std::getenv("TRESK_HOSTILE_PRG");
    if (hostile == nullptr) {
        GTEST_SKIP() << "run by scripts/ci-50-hostile.sh with TRESK_HOSTILE_PRG set";
    }
    const std::string huge = hostile;
    const auto size = static_cast<long long>(std::filesystem::file_size(huge));
    const long long rows = (size - 3 + 53) / 54;
    const TempDir dir;
    auto dlg = guitest::OpenMainDialog();

    const auto started = std::chrono::steady_clock::now();
    wxTEST_DIALOG(guitest::Click(*dlg, IDC_BROWSE), ExpectFileDialog(huge));
    guitest::Flush();
    const auto loaded = std::chrono::steady_clock::now();
    ASSERT_EQ(dlg->m_listCtrl.GetItemCount(), rows);
    EXPECT_EQ(dlg->m_listCtrl.GetCellText(0, 0), std::to_string(rows));

    const std::string report = dir.File("enorme.txt");
    wxTEST_DIALOG(guitest::Click(*dlg, IDC_SAVE), ExpectFileDialog(report));
    const auto saved = std::chrono::steady_clock::now();
    // Every data line is 115 or 116 bytes here (the last cell "25.7", or
    // "0.0" in a record cut short by the end of the file).
    const auto reportSize = static_cast<long long>(std::filesystem::file_size(report));
    EXPECT_GE(reportSize, 239 + rows * 115);
    EXPECT_LE(reportSize, 239 + rows * 116);

    const std::string small = dir.Write("piccola.PRG", MultiRecordCutList(kFormatNew));
    wxTEST_DIALOG(guitest::Click(*dlg, IDC_BROWSE), ExpectFileDialog(small));
    guitest::Flush();
    const auto reloaded = std::chrono::steady_clock::now();
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), kMultiRecordRows);
    EXPECT_TRUE(guitest::Wnd(*dlg).IsShown());

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](auto from, auto to) {
        return std::chrono::duration<double>(to - from).count();
    };
    std::printf(
        "dialog, %lld MB, %lld rows: load %.2f s, save %.2f s, small load after %.3f s, "
        "peak %ld MB\n",
        size / 1000000, rows, seconds(started, loaded), seconds(loaded, saved),
        seconds(saved, reloaded), usage.ru_maxrss / 1024);
    EXPECT_LT(seconds(saved, reloaded), 2.0) << "the dialog is slow to answer after the big file";
}

#ifndef TRESK_UNDER_ASAN
// The bytes of the clipboard's text, taken as they are (a wide copy of a text
// this long would cost more than the copy under test).
std::size_t ClipboardBytes() {
    wxClipboardLocker lock;
    wxCustomDataObject raw{wxDataFormat(wxDF_UNICODETEXT)};
    return !!lock && wxTheClipboard->GetData(raw) ? raw.GetSize() : 0;
}

// Ctrl+C of more rows than the memory left can hold (an address-space limit):
// when the text cannot be made, and when it can but not the two copies that
// serving a paste of it makes. Each time the message appears and the
// clipboard keeps what it held; with memory back, the copy works.
TEST_F(DialogFailures, ACopyMemoryCannotHoldShowsTheWarningAndTheClipboardKeepsItsText) {
    // Every block from 128 KiB up is mapped and unmapped on its own (the C
    // library otherwise raises that bound as big blocks are freed, keeping
    // them in its heap), so the limit counts from what the process holds.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    // The small list's records (between its header and its end byte) again
    // and again.
    Bytes big = MultiRecordCutList(kFormatNew);
    const Bytes records(big.begin() + 3, big.end() - 1);
    big.pop_back();
    constexpr int kCopies = 200000;
    for (int i = 1; i < kCopies; ++i) {
        big.insert(big.end(), records.begin(), records.end());
    }
    big.push_back(0x00);
    constexpr int kRows = kCopies * kMultiRecordRows;
    wxTEST_DIALOG(guitest::Click(*m_dlg, IDC_BROWSE),
                  ExpectFileDialog(m_dir.Write("grande.PRG", big)));
    ASSERT_EQ(m_dlg->m_listCtrl.GetItemCount(), kRows);
    guitest::Flush();  // the list shows the rows
    guitest::PressCtrl(*m_dlg, 'A');
    guitest::PressCtrl(*m_dlg, 'C');
    const std::size_t size = ClipboardBytes();
    // More than the 64 MB heap the C library reserves for a thread, which
    // could otherwise hold the text inside the address space in use.
    ASSERT_GT(size, std::size_t{64} << 20);

    for (const double share : {0.5, 1.5}) {
        ASSERT_TRUE(PutTextOnClipboard("untouched"));
        ShownMessage shown;
        {
            const AddressSpaceLimit limit(
                static_cast<std::size_t>(share * static_cast<double>(size)));
            wxTEST_DIALOG(guitest::PressCtrl(*m_dlg, 'C'), ExpectMessageBox(&shown));
        }
        EXPECT_EQ(shown.text, "Memoria insufficiente.") << share;
        EXPECT_NE(shown.style & wxICON_WARNING, 0);
        EXPECT_EQ(guitest::ClipboardText(), "untouched");
    }
    guitest::PressCtrl(*m_dlg, 'C');
    EXPECT_EQ(ClipboardBytes(), size);
}
#endif

#ifndef TRESK_UNDER_ASAN
// Memory really exhausted (an address-space limit, not a replaced allocator):
// the hostile file's rows cannot all be made with 128 MB left. The message
// appears, the rows made so far are given back, and everything after works:
// a small load, and its report byte for byte.
TEST(DialogHostileSizes, AfterALoadRanOutOfMemoryTheNextLoadAndReportAreExact) {
    const char* hostile = std::getenv("TRESK_HOSTILE_PRG");
    if (hostile == nullptr) {
        GTEST_SKIP() << "run by scripts/ci-50-hostile.sh with TRESK_HOSTILE_PRG set";
    }
    const TempDir dir;
    const std::string small = dir.Write("piccola.PRG", MultiRecordCutList(kFormatNew));
    const std::string expected = dir.File("atteso.txt");
    {
        MemoryCutRowTable table;
        LoadCutList(small, kFormatNew, table);
        SaveTextReport(table, expected);
    }
    auto dlg = guitest::OpenMainDialog();
    const std::string report = dir.File("rapporto.txt");
    ShownMessage shown;
    int rowsAfterFailure = -1;
    {
        const AddressSpaceLimit limit(std::size_t{128} << 20);
        wxTEST_DIALOG(guitest::Click(*dlg, IDC_BROWSE), ExpectFileDialog(hostile),
                      ExpectMessageBox(&shown));
        rowsAfterFailure = dlg->m_listCtrl.GetItemCount();
        guitest::Flush();
        wxTEST_DIALOG(guitest::Click(*dlg, IDC_BROWSE), ExpectFileDialog(small));
        wxTEST_DIALOG(guitest::Click(*dlg, IDC_SAVE), ExpectFileDialog(report));
        guitest::Flush();
    }
    EXPECT_EQ(shown.text, "Memoria insufficiente.");
    EXPECT_NE(shown.style & wxICON_WARNING, 0);
    EXPECT_EQ(rowsAfterFailure, 0);
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), kMultiRecordRows);
    EXPECT_EQ(ReadWhole(report), ReadWhole(expected));
    std::printf("dialog, memory exhausted by %s: message, list empty, next load and report exact\n",
                hostile);
}
#endif

}  // namespace
}  // namespace tresk::test
