// Every read of a whole load and every write of a whole export made to fail in
// turn, through the file layer's fault seam: the right CFileException reaches
// the caller, rows inserted before the failure stay, the report being replaced
// stays as it was, and no descriptor, lock or new file outlives the command.
#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/cut_row_table.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "platform/file.h"
#include "platform/file_faults.h"
#include "tests/hardening/hardening_support.h"

namespace tresk::test {
namespace {

using tresk::file_fault::Op;

struct InjectedError {
    int errnoValue;
    int cause;
};

// The errno values an injected failure cycles through, with the cause each
// must be reported as.
const InjectedError kInjected[] = {
    {EIO, CFileException::hardIO},           {EACCES, CFileException::accessDenied},
    {ENOENT, CFileException::fileNotFound},  {EMFILE, CFileException::tooManyOpenFiles},
    {ENAMETOOLONG, CFileException::badPath}, {ENOSPC, CFileException::diskFull},
    {EFBIG, CFileException::diskFull},       {EINVAL, CFileException::genericException},
};
constexpr long kInjectedCount = sizeof kInjected / sizeof kInjected[0];

const InjectedError& InjectedFor(long call) {
    return kInjected[call % kInjectedCount];
}

// True when a file can be opened without sharing: nobody holds its lock.
bool OpenableExclusively(const std::string& path) {
    CFile file;
    return file.Open(path, CFile::modeRead | CFile::shareExclusive | CFile::typeBinary);
}

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override { tresk::file_fault::Reset(); }
    void TearDown() override { tresk::file_fault::Reset(); }
    TempDir m_dir;
};

TEST_F(FaultInjection, EveryReadOfALoadFailsWithItsCauseAndKeepsEarlierRows) {
    long tried = 0;
    for (const int format : {kFormatNew, kFormatOld, kFormatMem}) {
        SCOPED_TRACE("layout " + std::to_string(format));
        const std::string path =
            m_dir.Write("lista " + std::to_string(format) + ".PRG", MultiRecordCutList(format));

        MemoryCutRowTable full;
        tresk::file_fault::Reset();
        LoadCutList(path, format, full);
        const long reads = tresk::file_fault::Calls(Op::read);
        ASSERT_EQ(full.GetItemCount(), kMultiRecordRows);

        // One read for the header, a lead byte and a body per record, and the
        // final lead byte.
        const long header = format == kFormatOld ? 0 : 1;
        const long perRecord = 2;
        ASSERT_EQ(reads, header + kMultiRecordRows * perRecord + 1);

        const int descriptors = CountOpenDescriptors();
        for (long k = 1; k <= reads; ++k) {
            SCOPED_TRACE("failing read " + std::to_string(k));
            const InjectedError& injected = InjectedFor(k);
            MemoryCutRowTable table;
            table.InsertItem(0, "stale");
            tresk::file_fault::Reset();
            tresk::file_fault::FailNth(Op::read, k, injected.errnoValue);
            try {
                LoadCutList(path, format, table);
                ADD_FAILURE() << "the load did not report the failed read";
            } catch (const CFileException& e) {
                EXPECT_EQ(e.m_cause, injected.cause);
                EXPECT_EQ(e.m_lOsError, injected.errnoValue);
                EXPECT_EQ(e.m_strFileName, path);
            }
            // Rows of the records completed before the failing read stay, in
            // their places at the bottom of the list.
            const long expectedRows = k <= header ? 0 : (k - header - 1) / perRecord;
            ASSERT_EQ(table.GetItemCount(), expectedRows);
            const int offset = full.GetItemCount() - table.GetItemCount();
            for (int row = 0; row < table.GetItemCount(); ++row) {
                for (int column = 0; column < 13; ++column) {
                    EXPECT_EQ(table.GetCellText(row, column),
                              full.GetCellText(row + offset, column));
                }
            }
            EXPECT_EQ(CountOpenDescriptors(), descriptors);
            EXPECT_TRUE(OpenableExclusively(path));
            ++tried;
        }
    }
    RecordProperty("injected_read_failures", static_cast<int>(tried));
    std::printf("injected read failures tried: %ld\n", tried);
}

TEST_F(FaultInjection, EveryWriteOfAnExportFailsWithItsCauseAndKeepsTheOldReport) {
    const std::string prg = m_dir.Write("lista.PRG", MultiRecordCutList(kFormatNew));
    MemoryCutRowTable table;
    LoadCutList(prg, kFormatNew, table);
    ASSERT_EQ(table.GetItemCount(), kMultiRecordRows);

    const std::string report = m_dir.File("rapporto.txt");
    tresk::file_fault::Reset();
    SaveTextReport(table, report);
    const long writes = tresk::file_fault::Calls(Op::write);
    const std::string whole = ReadWhole(report);
    ASSERT_GT(writes, 3);
    const std::vector<std::string> entries = m_dir.Entries();

    // Every write fails once with an OS error and once storing only half its
    // bytes (disk full, no OS code): each time the complete report made
    // before is still there, alone, and free for the next command.
    const int descriptors = CountOpenDescriptors();
    for (long k = 1; k <= 2 * writes; ++k) {
        const bool shortWrite = k > writes;
        const long call = shortWrite ? k - writes : k;
        SCOPED_TRACE((shortWrite ? "short write " : "failing write ") + std::to_string(call));
        const InjectedError& injected =
            shortWrite ? InjectedError{-1, CFileException::diskFull} : InjectedFor(call);
        tresk::file_fault::Reset();
        tresk::file_fault::FailNth(Op::write, call, shortWrite ? 0 : injected.errnoValue);
        try {
            SaveTextReport(table, report);
            ADD_FAILURE() << "the export did not report the failed write";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, injected.cause);
            EXPECT_EQ(e.m_lOsError, injected.errnoValue);
            EXPECT_EQ(e.m_strFileName, report);
        }
        EXPECT_EQ(ReadWhole(report), whole);
        EXPECT_EQ(m_dir.Entries(), entries);
        EXPECT_EQ(CountOpenDescriptors(), descriptors);
        EXPECT_TRUE(OpenableExclusively(report));
    }
    RecordProperty("injected_write_failures", static_cast<int>(2 * writes));
    std::printf("injected write failures tried: %ld\n", 2 * writes);
}

TEST_F(FaultInjection, ReportedMessagesNameTheCauseAndTheFullPath) {
    const std::string prg = m_dir.Write("lista.PRG", MultiRecordCutList(kFormatOld));
    MemoryCutRowTable table;
    tresk::file_fault::FailNth(Op::read, 4, EIO);  // the second record's body
    try {
        LoadCutList(prg, kFormatOld, table);
        FAIL() << "no error";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.GetErrorMessage(),
                  "Nell'accesso a " + prg + " è stato registrato un errore hardware di I/O. ");
    }
    EXPECT_EQ(table.GetItemCount(), 1);

    tresk::file_fault::Reset();
    tresk::file_fault::FailNth(Op::write, 4, EACCES);
    try {
        SaveTextReport(table, m_dir.File("r.txt"));
        FAIL() << "no error";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.GetErrorMessage(), "Accesso a " + m_dir.File("r.txt") + " negato.");
    }
}

}  // namespace
}  // namespace tresk::test
