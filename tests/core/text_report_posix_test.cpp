// Reports on POSIX systems: a full device, and a target that another process
// holds with flock.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

#include "core/cut_row_table.h"
#include "core/text_report.h"
#include "platform/file.h"
#include "tests/support/temp_files.h"

namespace {

using tresk::test::ReadWhole;
using tresk::test::TempDir;

TEST(TextReport, FullDiskFailsWithDiskFull) {
    if (access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "/dev/full is not available";
    }
    try {
        SaveTextReport(MemoryCutRowTable(), "/dev/full");
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.GetErrorMessage(), "Disco pieno durante l'accesso a /dev/full.");
    }
}

TEST(TextReport, TargetLockedByAnotherHolderIsNotReplaced) {
    TempDir dir;
    const std::string path = dir.File("held.txt");
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        file.Write("keep", 4);
        file.Close();
    }
    const int holder = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    try {
        SaveTextReport(MemoryCutRowTable(), path);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
        EXPECT_EQ(e.m_strFileName, path);
    }
    close(holder);
    EXPECT_EQ(ReadWhole(path), "keep");
}

}  // namespace
