// The converter under a failure at every read and every write of a run, for
// the text report and the CSV, to a named file and to its standard output:
// exit status 1, one line "treskdump: " + the message for the cause with the
// full path, no descriptor left open, and nothing reported as success.
#include <cerrno>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/prg_reader.h"
#include "platform/file.h"
#include "platform/file_faults.h"
#include "tests/hardening/hardening_support.h"
#include "tools/dump.h"

namespace tresk::test {
namespace {

using tresk::file_fault::Op;

struct RunOutcome {
    int status;
    std::string err;
};

// Runs the converter in this process, its standard output going to stdoutPath.
RunOutcome RunConverter(const std::vector<std::string>& args, const std::string& stdoutPath) {
    CFile out;
    EXPECT_TRUE(out.Open(stdoutPath, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
    std::ostringstream err;
    RunOutcome outcome{treskdump::Run(args, out, err), ""};
    try {
        out.Close();
    } catch (const CFileException& e) {
        err << "treskdump: " << e.GetErrorMessage() << "\n";
        outcome.status = treskdump::kExitFileFailed;
    }
    outcome.err = err.str();
    return outcome;
}

class ConverterInjection : public ::testing::Test {
protected:
    void SetUp() override { tresk::file_fault::Reset(); }
    void TearDown() override { tresk::file_fault::Reset(); }
    TempDir m_dir;
};

TEST_F(ConverterInjection, EveryFailedReadOrWriteEndsInTheMessageAndStatusOne) {
    const std::string prg = m_dir.Write("lista.PRG", MultiRecordCutList(kFormatMem));
    const std::string target = m_dir.File("uscita");
    const std::string stdoutPath = m_dir.File("stdout");
    const std::vector<std::vector<std::string>> runs = {
        {"--layout", "mem", prg},
        {"--layout", "mem", "--csv", prg},
        {"--layout", "mem", "-o", target, prg},
        {"--layout", "mem", "--csv", "-o", target, prg},
    };
    const int descriptors = CountOpenDescriptors();
    long tried = 0;
    for (const auto& args : runs) {
        const bool toFile = args.size() > 4;
        // The file a write failure names: the -o target or the standard
        // output stand-in.
        const std::string written = toFile ? target : stdoutPath;
        std::string line = "treskdump";
        for (const std::string& arg : args) {
            line += " " + arg;
        }
        SCOPED_TRACE(line);

        tresk::file_fault::Reset();
        ASSERT_EQ(RunConverter(args, stdoutPath).status, 0);
        const long reads = tresk::file_fault::Calls(Op::read);
        const long writes = tresk::file_fault::Calls(Op::write);
        ASSERT_GT(reads, 0);
        ASSERT_GT(writes, 0);

        for (const Op op : {Op::read, Op::write}) {
            const long calls = op == Op::read ? reads : writes;
            for (long k = 1; k <= calls; ++k) {
                tresk::file_fault::Reset();
                tresk::file_fault::FailNth(op, k, EIO);
                const RunOutcome outcome = RunConverter(args, stdoutPath);
                const std::string path = op == Op::read ? prg : written;
                EXPECT_EQ(outcome.status, 1) << (op == Op::read ? "read " : "write ") << k;
                EXPECT_EQ(outcome.err, "treskdump: Nell'accesso a " + path +
                                           " è stato registrato un errore hardware di I/O. \n")
                    << (op == Op::read ? "read " : "write ") << k;
                EXPECT_EQ(CountOpenDescriptors(), descriptors);
                ++tried;
            }
        }
    }
    std::printf("converter runs with an injected failure: %ld\n", tried);
}

}  // namespace
}  // namespace tresk::test
