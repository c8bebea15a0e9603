// Real operating-system faults, end to end through the core and, where it is
// built, the treskdump converter: a folder chosen as the cut list, a full
// device and a missing folder as report targets, files held locked by another
// process, and paths with spaces, quotes and non-ASCII letters.
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/cut_row_table.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "platform/file.h"
#include "tests/hardening/hardening_support.h"

namespace tresk::test {
namespace {

// Loads path and expects the list to come out empty, silently: a cut list that
// cannot be opened is not an error the viewer reports.
void ExpectSilentEmptyLoad(const std::string& path, int format) {
    MemoryCutRowTable table;
    table.InsertItem(0, "stale");
    EXPECT_NO_THROW(LoadCutList(path, format, table));
    EXPECT_EQ(table.GetItemCount(), 0);
}

// Expects SaveTextReport to fail with cause and the whole message, naming the
// file by fullPath (path itself when not given).
void ExpectExportFailure(const MemoryCutRowTable& table, const std::string& path, int cause,
                         const std::string& message, const std::string& fullPath = "") {
    ExpectFileError([&] { SaveTextReport(table, path); }, cause, fullPath.empty() ? path : fullPath,
                    message);
}

class OsFaults : public ::testing::Test {
protected:
    void SetUp() override {
        m_prg = m_dir.Write("lista.PRG", MultiRecordCutList(kFormatNew));
        LoadCutList(m_prg, kFormatNew, m_table);
        ASSERT_EQ(m_table.GetItemCount(), kMultiRecordRows);
        m_descriptors = CountOpenDescriptors();
    }
    void TearDown() override { EXPECT_EQ(CountOpenDescriptors(), m_descriptors); }

    TempDir m_dir;
    std::string m_prg;
    MemoryCutRowTable m_table;
    int m_descriptors = 0;
};

TEST_F(OsFaults, AFolderChosenAsCutListLeavesTheListEmpty) {
    const std::string folder = m_dir.File("cartella.PRG");
    std::filesystem::create_directory(folder);
    for (const int format : {kFormatNew, kFormatOld, kFormatMem}) {
        ExpectSilentEmptyLoad(folder, format);
    }
    MemoryCutRowTable table;
    CFileException error;
    EXPECT_FALSE(LoadCutListChecked(folder, kFormatNew, table, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_EQ(error.GetErrorMessage(), "Accesso a " + folder + " negato.");
}

// Not a regular file: a pipe nobody writes to would block a load forever, a
// device can deliver bytes without end, a link loop never resolves. None of
// them is opened as a cut list, and none makes the viewer wait.
TEST_F(OsFaults, PipesDevicesAndLinkLoopsAreNotCutLists) {
    const std::string fifo = m_dir.File("tubo.PRG");
    ASSERT_TRUE(MakeFifo(fifo));
    const std::string loop = m_dir.File("anello.PRG");
    std::filesystem::create_symlink(loop, loop);
    for (const std::string& path :
         {fifo, std::string("/dev/zero"), std::string("/dev/urandom"), loop}) {
        SCOPED_TRACE(path);
        ExpectSilentEmptyLoad(path, kFormatOld);
    }
    MemoryCutRowTable table;
    CFileException error;
    EXPECT_FALSE(LoadCutListChecked(loop, kFormatNew, table, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);

    // A pipe with no reader as the report: refused at once, reported as a
    // report that could not be created.
    ExpectExportFailure(m_table, fifo, CFileException::fileNotFound, fifo + " non trovato.");
}

TEST_F(OsFaults, AFullDeviceAsReportFailsWithDiskFull) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "/dev/full is not available";
    }
    ExpectExportFailure(m_table, "/dev/full", CFileException::diskFull,
                        "Disco pieno durante l'accesso a /dev/full.");
    MemoryCutRowTable empty;
    ExpectExportFailure(empty, "/dev/full", CFileException::diskFull,
                        "Disco pieno durante l'accesso a /dev/full.");
}

TEST_F(OsFaults, AReportInAMissingFolderIsNotFoundWithItsFullPath) {
    const std::string report = m_dir.File("manca/rapporto.txt");
    ExpectExportFailure(m_table, report, CFileException::fileNotFound, report + " non trovato.");
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("manca")));

    // A relative target is reported with the full path it stands for.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.path());
    ExpectExportFailure(m_table, "manca/../manca/r.txt", CFileException::fileNotFound,
                        m_dir.File("manca/r.txt") + " non trovato.", m_dir.File("manca/r.txt"));
    std::filesystem::current_path(before);
}

TEST_F(OsFaults, AFolderChosenAsReportIsAReportThatCouldNotBeCreated) {
    const std::string folder = m_dir.File("cartella.txt");
    std::filesystem::create_directory(folder);
    ExpectExportFailure(m_table, folder, CFileException::fileNotFound, folder + " non trovato.");
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(OsFaults, ACutListLockedByAnotherProcessLoadsNothingAndSaysNothing) {
    {
        const LockedByOtherProcess other(m_prg);
        ASSERT_TRUE(other.locked());
        ExpectSilentEmptyLoad(m_prg, kFormatNew);
        MemoryCutRowTable table;
        CFileException error;
        EXPECT_FALSE(LoadCutListChecked(m_prg, kFormatNew, table, &error));
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    }
    MemoryCutRowTable table;
    LoadCutList(m_prg, kFormatNew, table);
    EXPECT_EQ(table.GetItemCount(), kMultiRecordRows);
}

TEST_F(OsFaults, AReportLockedByAnotherProcessIsNeitherTruncatedNorWritten) {
    const std::string report = m_dir.Write("rapporto.txt", Bytes{'K', 'E', 'E', 'P'});
    {
        const LockedByOtherProcess other(report);
        ASSERT_TRUE(other.locked());
        ExpectExportFailure(
            m_table, report, CFileException::sharingViolation,
            "Durante l'accesso a " + report + " si è verificata una violazione di condivisione.");
        EXPECT_EQ(ReadWhole(report), "KEEP");
    }
    SaveTextReport(m_table, report);
    EXPECT_EQ(ReadWhole(report).substr(0, 9), "Lung/Dist");
}

TEST_F(OsFaults, PathsWithSpacesQuotesAndAccentsWorkAndAreReportedVerbatim) {
    const std::string folder = m_dir.File("Liste 'di' \"taglio\" $HOME `x` città ü 中");
    std::filesystem::create_directory(folder);
    const std::string prg = folder + "/lista à.PRG";
    std::filesystem::copy_file(m_prg, prg);
    MemoryCutRowTable table;
    LoadCutList(prg, kFormatNew, table);
    EXPECT_EQ(table.GetItemCount(), kMultiRecordRows);

    const std::string plain = m_dir.File("plain.txt");
    const std::string fancy = folder + "/rapporto è.txt";
    SaveTextReport(table, plain);
    SaveTextReport(table, fancy);
    EXPECT_EQ(ReadWhole(fancy), ReadWhole(plain));

    const std::string missing = folder + "/non c'è/r.txt";
    ExpectExportFailure(table, missing, CFileException::fileNotFound, missing + " non trovato.");
}

#ifdef TRESK_DUMP
// The converter in front of the same faults: the viewer's message on stderr
// after "treskdump: ", exit status 1, nothing written where nothing may be.
class ConverterFaults : public OsFaults {
protected:
    RunResult Dump(const std::string& arguments) {
        return RunShell(ShellQuote(TRESK_DUMP) + " " + arguments, m_dir);
    }
};

TEST_F(ConverterFaults, AFolderAsInputIsAnErrorNamingIt) {
    const std::string folder = m_dir.File("cartella.PRG");
    std::filesystem::create_directory(folder);
    const RunResult run = Dump(ShellQuote(folder) + " " + ShellQuote(m_prg));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "treskdump: Accesso a " + folder + " negato.\n");
    // The next input is still converted.
    EXPECT_EQ(run.out.substr(0, 9), "Lung/Dist");
}

TEST_F(ConverterFaults, FullDeviceAndMissingFolderAsOutput) {
    if (std::filesystem::exists("/dev/full")) {
        const RunResult full = Dump("-o /dev/full " + ShellQuote(m_prg));
        EXPECT_EQ(full.status, 1);
        EXPECT_EQ(full.err, "treskdump: Disco pieno durante l'accesso a /dev/full.\n");
        // Standard output on a full device fails as loudly.
        const RunResult stdoutFull = RunShell(
            "(" + ShellQuote(TRESK_DUMP) + " " + ShellQuote(m_prg) + " >/dev/full)", m_dir);
        EXPECT_EQ(stdoutFull.status, 1);
    }
    const std::string report = m_dir.File("manca/r.txt");
    const RunResult missing = Dump("-o " + ShellQuote(report) + " " + ShellQuote(m_prg));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "treskdump: " + report + " non trovato.\n");
}

TEST_F(ConverterFaults, LockedInputAndLockedOutput) {
    {
        const LockedByOtherProcess other(m_prg);
        ASSERT_TRUE(other.locked());
        const RunResult run = Dump(ShellQuote(m_prg));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "treskdump: Durante l'accesso a " + m_prg +
                               " si è verificata una violazione di condivisione.\n");
        EXPECT_EQ(run.out, "");
    }
    const std::string report = m_dir.Write("rapporto.txt", Bytes{'K', 'E', 'E', 'P'});
    const LockedByOtherProcess other(report);
    ASSERT_TRUE(other.locked());
    const RunResult run = Dump("-o " + ShellQuote(report) + " " + ShellQuote(m_prg));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "treskdump: Durante l'accesso a " + report +
                           " si è verificata una violazione di condivisione.\n");
    EXPECT_EQ(ReadWhole(report), "KEEP");
}

// A file-size limit is a full disk: the old report stays whole, the message
// names it, and nothing else is left in its folder (under -o and -d alike).
TEST_F(ConverterFaults, AnOutputOverTheFileSizeLimitLeavesTheOldOne) {
    Bytes prg;
    Append(prg, {0x00, 0x00, 0x00});  // header
    RecordFields record;
    for (int i = 0; i < 200; ++i) {
        AppendRecord(prg, record, true);
    }
    const std::string big = m_dir.Write("grande.PRG", prg);
    std::filesystem::create_directory(m_dir.File("out"));
    const std::string report = m_dir.WriteText("out/grande.PRG.txt", "GOOD");
    for (const std::string& target :
         {"-o " + ShellQuote(report), "-d " + ShellQuote(m_dir.File("out"))}) {
        const RunResult run = RunShell(
            ShellQuote(TRESK_DUMP) + " " + target + " " + ShellQuote(big), m_dir, "ulimit -f 16; ");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "treskdump: Disco pieno durante l'accesso a " + report + ".\n");
        EXPECT_EQ(ReadWhole(report), "GOOD");
        EXPECT_EQ(m_dir.Entries("out"), std::vector<std::string>{"grande.PRG.txt"});
    }
}

TEST_F(ConverterFaults, StrangePathsInAndOut) {
    const std::string folder = m_dir.File("a b 'c' \"d\" è");
    std::filesystem::create_directory(folder);
    const std::string prg = folder + "/l ' \" ì.PRG";
    std::filesystem::copy_file(m_prg, prg);
    const std::string report = folder + "/r \" ' ò.txt";
    const RunResult run = Dump("-o " + ShellQuote(report) + " " + ShellQuote(prg));
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string plain = m_dir.File("plain.txt");
    SaveTextReport(m_table, plain);
    EXPECT_EQ(ReadWhole(report), ReadWhole(plain));
}
#endif

}  // namespace
}  // namespace tresk::test
