#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/cut_row_table.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "platform/file.h"
#include "platform/file_faults.h"
#include "tests/support/os_errors.h"
#include "tests/support/temp_files.h"
#include "tools/dump.h"

namespace fs = std::filesystem;

namespace {

using tresk::test::ReadWhole;
using tresk::test::TempDir;

const std::string kExamples = TRESK_EXAMPLES_DIR;

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

// treskdump's logic called in-process; what it writes to standard output is
// captured in a file of the temporary folder.
RunResult RunDump(const std::vector<std::string>& args) {
    const TempDir dir;
    const std::string captured = dir.File("stdout");
    std::ostringstream err;
    CFile out;
    EXPECT_TRUE(out.Open(captured, CFile::modeCreate | CFile::modeWrite));
    const int status = treskdump::Run(args, out, err);
    out.Close();
    return RunResult{status, ReadWhole(captured), err.str()};
}

struct Example {
    const char* prg;
    const char* layout;
};
const Example kExampleFiles[] = {
    {"lista_nuova.PRG", "new"},
    {"lista_vecchia.PRG", "old"},
    {"lista_mem.PRG", "mem"},
};

// The layout-2 record of the decoding examples, with texts that CSV must quote
// (a comma, a double quote, CR LF) and an accented letter: lead 01, values
// 500, S10, 45.0, -20.0, 5, 12, four texts, three closing bytes, end 00.
std::string QuotingPrg() {
    std::string prg("\x00\x00\x00", 3);       // header, skipped
    prg += '\x01';                            // lead byte: a record follows
    prg += std::string("\x00\x01\xF4", 3);    // L.Display = 500
    prg += std::string("\x53\x00\x0A", 3);    // 'S' mark, thickness 10
    prg += std::string("\x01\xC2", 2);        // Sx = 45.0
    prg += std::string("\xFF\x38", 2);        // Dx = -20.0
    prg += std::string("\x00\x05", 2);        // Pezzi = 5
    prg += std::string("\x00\x0C", 2);        // Spessore = 12
    prg += std::string("a,b\0\0\0\0\0", 8);   // Info1: comma
    prg += std::string("Q\"x\0\0\0\0\0", 8);  // Info2: double quote
    prg += std::string("Citt\xE0\0\0\0", 8);  // Info3: 0xE0 (a grave)
    prg += std::string("L1\r\nL2\0\0", 8);    // Info4: CR LF inside
    prg += std::string("\x00\x00\x00", 3);    // closing field, never shown
    prg += '\x00';                            // lead byte 0: end of list
    return prg;
}

const char kCsvHeader[] =
    "Nr.,L.Display/Qt.Posiz,S_spess/L.Display,Sx,Dx,Pezzi,Spessore,"
    "Info1,Info2/BarCode,Info3/BarCode,Info4,LamaSX,LamaDX\r\n";

}  // namespace

// The reviewed reports and CSV files next to the examples are what the
// converter must keep producing, byte for byte, for each layout.
TEST(TreskdumpGolden, ReportsCsvAndWorkbooksOfTheExamplesMatchTheReviewedFiles) {
    for (const Example& example : kExampleFiles) {
        SCOPED_TRACE(example.prg);
        const std::string prg = kExamples + "/" + example.prg;
        const RunResult report = RunDump({"--layout", example.layout, prg});
        EXPECT_EQ(report.status, 0);
        EXPECT_EQ(report.err, "");
        EXPECT_EQ(report.out, ReadWhole(prg + ".txt"));

        const RunResult csv = RunDump({"--csv", "--layout=" + std::string(example.layout), prg});
        EXPECT_EQ(csv.status, 0);
        EXPECT_EQ(csv.out, ReadWhole(prg + ".csv"));

        // The workbook is the same bytes on every system and every run.
        const RunResult xlsx = RunDump({"--xlsx", "--layout", example.layout, prg});
        EXPECT_EQ(xlsx.status, 0);
        EXPECT_TRUE(xlsx.out == ReadWhole(prg + ".xlsx"));
    }
}

TEST(TreskdumpGolden, ExamplesCarryTheAwkwardCases) {
    // Guards the generator: the goldens only prove something if the examples
    // hold 'S' marks, negative tenths, 8-bit texts and a text cut by a zero byte.
    const std::string csv = RunDump({"--csv", kExamples + "/lista_nuova.PRG"}).out;
    EXPECT_NE(csv.find(",S4"), std::string::npos);
    EXPECT_NE(csv.find(",-45.0,"), std::string::npos);
    EXPECT_NE(csv.find("Citt\xC3\xA0"), std::string::npos);     // Città
    EXPECT_NE(csv.find("Caff\xC3\xA8 Re"), std::string::npos);  // Caffè Re, 8 bytes, whole
    EXPECT_NE(csv.find(",Lotto,"), std::string::npos);          // "Lotto\0" + "12"
    EXPECT_NE(csv.find(",16777215,"), std::string::npos);       // uncut in CSV
    const std::string report = ReadWhole(kExamples + "/lista_nuova.PRG.txt");
    EXPECT_NE(report.find("1677721   "), std::string::npos);  // cut to 7 in the report
}

TEST(TreskdumpCsv, RowOfAFileWithTextsThatNeedQuoting) {
    TempDir dir;
    dir.WriteText("q.PRG", QuotingPrg());
    const RunResult csv = RunDump({"--csv", "--layout", "mem", (dir / "q.PRG").string()});
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out, std::string(kCsvHeader) +
                           "1,500,S10,45.0,-20.0,5,12,\"a,b\",\"Q\"\"x\",Citt\xC3\xA0,"
                           "\"L1\r\nL2\",0.0,0.0\r\n");
}

TEST(TreskdumpCsv, EmptyListGivesTheHeaderRowOnly) {
    TempDir dir;
    dir.WriteText("empty.PRG", "");
    const RunResult csv = RunDump({"--csv", (dir / "empty.PRG").string()});
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out, kCsvHeader);
}

TEST(TreskdumpArgs, LayoutNamesAndNumbers) {
    EXPECT_EQ(ParseListFormat("new"), 0);
    EXPECT_EQ(ParseListFormat("0"), 0);
    EXPECT_EQ(ParseListFormat("old"), 1);
    EXPECT_EQ(ParseListFormat("1"), 1);
    EXPECT_EQ(ParseListFormat("mem"), 2);
    EXPECT_EQ(ParseListFormat("2"), 2);
    EXPECT_EQ(ParseListFormat("3"), -1);
    EXPECT_EQ(ParseListFormat("NEW"), -1);

    std::string error;
    const auto options =
        treskdump::ParseArgs({"a.PRG", "--csv", "-d", "out", "--", "-b.PRG"}, error);
    ASSERT_TRUE(options.has_value()) << error;
    EXPECT_EQ(options->layout, 0);  // the viewer's default
    EXPECT_EQ(options->form, treskdump::OutputForm::csv);
    EXPECT_EQ(options->outDir, "out");
    EXPECT_EQ(options->inputs, (std::vector<std::string>{"a.PRG", "-b.PRG"}));
    const auto joined = treskdump::ParseArgs({"-oout.txt", "--layout=old", "a.PRG"}, error);
    ASSERT_TRUE(joined.has_value()) << error;
    EXPECT_EQ(joined->outFile, "out.txt");
    EXPECT_EQ(joined->layout, 1);
}

TEST(TreskdumpArgs, UsageErrorsExitWithTwoAndConvertNothing) {
    TempDir dir;
    const std::string prg = kExamples + "/lista_mem.PRG";
    const std::vector<std::vector<std::string>> bad = {
        {},                          // no input
        {"--layout", "nuovo", prg},  // unknown layout
        {"--layout"},                // missing value
        {"-x", prg},                 // unknown option
        {"--layoutx=new", prg},      // not --layout
        {"--csv", "--pdf", prg},     // two output forms
        {"-o", "", prg},             // empty name: not stdout
        {"--output=", prg},
        {"-o", (dir / "o.txt").string(), prg, prg},  // -o with two inputs
        {"-o", (dir / "o.txt").string(), "-d", dir.path(), prg},
    };
    for (const auto& args : bad) {
        const RunResult r = RunDump(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("treskdump: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("--help"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir / "o.txt"));
}

TEST(TreskdumpArgs, HelpAndVersionGoToStandardOutput) {
    const RunResult help = RunDump({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("Uso: treskdump [OPZIONI] FILE...\n", 0), 0u);
    const RunResult version = RunDump({"--version", "ignored.PRG"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "treskdump (TreskViewer) 1.0.0.1\n");
}

// A script must never take a missing file for an empty list: the viewer's own
// message for the cause goes to stderr, and the other inputs still convert.
TEST(TreskdumpErrors, FileThatCannotBeOpenedFailsAndTheRestConvert) {
    TempDir dir;
    const std::string missing = (dir / "manca.PRG").string();
    const std::string good = kExamples + "/lista_nuova.PRG";
    const RunResult r = RunDump({missing, good});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "treskdump: " + missing + " non trovato.\n");
    EXPECT_EQ(r.out, ReadWhole(good + ".txt"));
}

TEST(TreskdumpErrors, ReadFailureDuringLoadWritesNoReportForThatFile) {
    const std::string prg = kExamples + "/lista_vecchia.PRG";
    tresk::file_fault::FailNth(tresk::file_fault::Op::read, 40, tresk::test::kOsErrorIO);
    const RunResult r = RunDump({"--layout", "old", prg});
    tresk::file_fault::Reset();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");  // no partial report passed off as the list
    const std::string message = "Nell'accesso a " + fs::absolute(prg).make_preferred().string() +
                                " \xC3\xA8 stato registrato un errore hardware di I/O. ";
    EXPECT_EQ(r.err, "treskdump: " + SystemText(message) + "\n");
}

TEST(TreskdumpErrors, ReportTargetFailuresCarryTheViewersMessages) {
    TempDir dir;
    const std::string prg = kExamples + "/lista_mem.PRG";
    const std::string noFolder = (dir / "manca" / "r.txt").string();
    RunResult r = RunDump({"--layout", "mem", "-o", noFolder, prg});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "treskdump: " + noFolder + " non trovato.\n");
    const std::string noFolderXlsx = (dir / "manca" / "r.xlsx").string();
    r = RunDump({"--xlsx", "--layout", "mem", "-o", noFolderXlsx, prg});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "treskdump: " + noFolderXlsx + " non trovato.\n");

    if (fs::exists("/dev/full")) {
        r = RunDump({"--layout", "mem", "-o", "/dev/full", prg});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "treskdump: Disco pieno durante l'accesso a /dev/full.\n");
        r = RunDump({"--csv", "--layout", "mem", "-o", "/dev/full", prg});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "treskdump: Disco pieno durante l'accesso a /dev/full.\n");
    }
}

TEST(TreskdumpOutputs, OutputFileAndPerInputFilesInAFolder) {
    TempDir dir;
    const std::string nuova = kExamples + "/lista_nuova.PRG";
    RunResult r = RunDump({"-o", (dir / "uno.txt").string(), nuova});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadWhole(dir / "uno.txt"), ReadWhole(nuova + ".txt"));

    fs::create_directories(dir / "out");
    const std::string copy = (dir / "copia.PRG").string();
    fs::copy_file(nuova, copy);
    r = RunDump({"-d", (dir / "out").string(), nuova, (dir / "manca.PRG").string(), copy});
    EXPECT_EQ(r.status, 1);  // the missing one
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadWhole(dir / "out" / "lista_nuova.PRG.txt"), ReadWhole(nuova + ".txt"));
    EXPECT_EQ(ReadWhole(dir / "out" / "copia.PRG.txt"), ReadWhole(nuova + ".txt"));
    EXPECT_FALSE(fs::exists(dir / "out" / "manca.PRG.txt"));

    r = RunDump(
        {"--csv", "--layout", "mem", "-d", (dir / "out").string(), kExamples + "/lista_mem.PRG"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ReadWhole(dir / "out" / "lista_mem.PRG.csv"),
              ReadWhole(kExamples + "/lista_mem.PRG.csv"));
}

TEST(TreskdumpOutputs, FolderProblemsAreReportedBeforeAnyInputIsRead) {
    TempDir dir;
    const std::string prg = kExamples + "/lista_nuova.PRG";
    RunResult r = RunDump({"-d", (dir / "manca").string(), prg});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "treskdump: la cartella di destinazione " + (dir / "manca").string() +
                         " non esiste\n");
    dir.WriteText("file", "x");
    r = RunDump({"-d", (dir / "file").string(), prg});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "treskdump: la destinazione " + (dir / "file").string() +
                         SystemText(" non \xC3\xA8 una cartella") + "\n");
}

TEST(TreskdumpOutputs, SameInputNameTwiceInAFolderRunIsNotOverwritten) {
    TempDir dir;
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "out");
    fs::copy_file(kExamples + "/lista_mem.PRG", dir / "a" / "lista_nuova.PRG");
    const std::string first = kExamples + "/lista_nuova.PRG";
    const std::string second = (dir / "a" / "lista_nuova.PRG").string();
    const RunResult r = RunDump({"-d", (dir / "out").string(), first, second});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(second), std::string::npos);
    EXPECT_EQ(ReadWhole(dir / "out" / "lista_nuova.PRG.txt"), ReadWhole(first + ".txt"));
}

// An output counts as written only once it was: a failed input does not block
// a later one of the same name. No output is ever one of the inputs.
TEST(TreskdumpOutputs, FailedInputsBlockNothingAndInputsAreNeverOutputs) {
    TempDir dir;
    fs::create_directories(dir / "out");
    fs::create_directories(dir / "real");
    const std::string real = (dir / "real" / "a.PRG").string();
    fs::copy_file(kExamples + "/lista_nuova.PRG", real);
    RunResult r = RunDump({"-d", (dir / "out").string(), (dir / "a.PRG").string(), real});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "treskdump: " + (dir / "a.PRG").string() + " non trovato.\n");
    EXPECT_EQ(ReadWhole(dir / "out" / "a.PRG.txt"), ReadWhole(kExamples + "/lista_nuova.PRG.txt"));

    const std::string prg = ReadWhole(real);
    const std::string link = (dir / "link.PRG").string();
    std::vector<std::string> outputs{real};
    std::error_code noLinks;  // Windows may refuse links to a user
    fs::create_symlink(real, link, noLinks);
    if (!noLinks) {
        outputs.push_back(link);
    }
    for (const std::string& output : outputs) {
        r = RunDump({"--csv", "-o", output, real});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "treskdump: " + real + ": " + output +
                             SystemText(" \xC3\xA8 uno dei file in ingresso e non viene "
                                        "sostituito") +
                             "\n");
    }
    // Under -d, another input named like an output.
    const std::string other = (dir / "out" / "b.PRG.txt").string();
    fs::copy_file(real, other);
    fs::copy_file(real, dir / "b.PRG");
    r = RunDump({"-d", (dir / "out").string(), (dir / "b.PRG").string(), other});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadWhole(real), prg);
    EXPECT_EQ(ReadWhole(other), prg);
}

// A folder as -o fails as the viewer's report into it does, report and CSV
// alike; the converter's own messages name folders in full.
TEST(TreskdumpOutputs, AFolderAsOutputGivesOneMessage) {
    TempDir dir;
    const std::string prg = kExamples + "/lista_mem.PRG";
    for (const char* csv : {"", "--csv"}) {
        std::vector<std::string> args{"--layout", "mem", "-o", dir.path(), prg};
        if (*csv != '\0') {
            args.insert(args.begin(), csv);
        }
        const RunResult r = RunDump(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "treskdump: " + dir.path() + " non trovato.\n");
    }
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const RunResult r = RunDump({"-d", "./manca/..//manca", prg});
    fs::current_path(before);
    EXPECT_EQ(r.err,
              "treskdump: la cartella di destinazione " + dir.File("manca") + " non esiste\n");
}

// A list given a layout it does not read cleanly in, when exactly one other
// layout does: the output and the status of that layout as ever, and one
// line that names the other.
TEST(TreskdumpInputs, ALayoutThatDoesNotFitIsToldBesideTheUnchangedOutput) {
    const std::string prg = kExamples + "/lista_mem.PRG";
    MemoryCutRowTable table;
    LoadCutList(prg, kFormatNew, table);
    CMemFile report;
    WriteTextReport(table, report);

    RunResult r = RunDump({prg});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, report.GetBytes());
    const std::string file = fs::absolute(prg).lexically_normal().string();
    EXPECT_EQ(r.err, "treskdump: attenzione: " + file +
                         " non si legge per intero nel formato \"Lib / Ori ( >=1.7 )\"; si legge "
                         "per intero nel formato \"Mem\" (--layout mem).\n");
    r = RunDump({"--layout", "1", prg});
    EXPECT_EQ(r.err, "treskdump: attenzione: " + file +
                         " non si legge per intero nel formato \"Lib / Ori ( <1.7 )\"; si legge "
                         "per intero nel formato \"Mem\" (--layout mem).\n");
}

TEST(TreskdumpInputs, AutoLayoutPicksTheOneThatReadsCleanlyOrNames) {
    for (const Example& example : kExampleFiles) {
        SCOPED_TRACE(example.prg);
        const std::string prg = kExamples + "/" + example.prg;
        const RunResult r = RunDump({"--layout", "auto", prg});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, ReadWhole(prg + ".txt"));
    }
    TempDir dir;
    const std::string both = dir.WriteText("tre.PRG", std::string(3, '\0'));
    const std::string none = dir.WriteText("rotto.PRG", std::string(10, '\x01'));
    RunResult r = RunDump({"--layout", "auto", both, none});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "treskdump: " + both +
                         SystemText(": si legge per intero in pi\xC3\xB9 formati (new, mem); "
                                    "indicare il formato con --layout") +
                         "\n"
                         "treskdump: " +
                         none +
                         ": non si legge per intero in nessun formato; indicare il formato con "
                         "--layout\n");
    std::string error;
    EXPECT_FALSE(treskdump::ParseArgs({"-d", dir.path(), "-"}, error).has_value());
}
