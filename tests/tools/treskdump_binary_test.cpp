// treskdump run through the POSIX shell, as a script runs it. The Windows
// build checks treskdump.exe's standard output with run_output.cmake instead.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

#include "tests/support/temp_files.h"

namespace fs = std::filesystem;

namespace {

using tresk::test::ReadWhole;
using tresk::test::TempDir;

const std::string kExamples = TRESK_EXAMPLES_DIR;

// The built binary run through the shell, as a script runs it; returns its
// exit status. shellTail is appended verbatim (redirections, pipes).
int RunBinary(const std::string& args, const std::string& shellTail) {
    const std::string command = std::string("'") + TRESKDUMP_EXE + "' " + args + " " + shellTail;
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string Quote(const fs::path& path) {
    return "'" + path.string() + "'";
}

}  // namespace

// The binary itself: exit statuses reach the shell, and reports written to
// standard output arrive whole whether it is a file, an appended file or a pipe.
TEST(TreskdumpBinary, StandardOutputAsFileAppendAndPipe) {
    TempDir dir;
    const std::string nuova = kExamples + "/lista_nuova.PRG";
    const std::string vecchia = kExamples + "/lista_vecchia.PRG";

    // Two inputs: the second report must follow the first.
    EXPECT_EQ(RunBinary("--layout old " + Quote(vecchia) + " " + Quote(vecchia),
                        "> " + Quote(dir / "file.txt")),
              0);
    EXPECT_EQ(ReadWhole(dir / "file.txt"),
              ReadWhole(vecchia + ".txt") + ReadWhole(vecchia + ".txt"));

    dir.WriteText("append.txt", "before\n");
    EXPECT_EQ(RunBinary(Quote(nuova), ">> " + Quote(dir / "append.txt")), 0);
    EXPECT_EQ(ReadWhole(dir / "append.txt"), "before\n" + ReadWhole(nuova + ".txt"));

    EXPECT_EQ(RunBinary("--csv " + Quote(nuova), "| cat > " + Quote(dir / "pipe.csv")), 0);
    EXPECT_EQ(ReadWhole(dir / "pipe.csv"), ReadWhole(nuova + ".csv"));
}

TEST(TreskdumpBinary, ExitStatusesAndStandardOutputFailure) {
    TempDir dir;
    const std::string nuova = Quote(kExamples + "/lista_nuova.PRG");
    const std::string quiet = "> /dev/null 2> " + Quote(dir / "err.txt");
    EXPECT_EQ(RunBinary("--version", quiet), 0);
    EXPECT_EQ(RunBinary(nuova + " " + Quote(dir / "manca.PRG"), quiet), 1);
    EXPECT_EQ(RunBinary("--layout 9 " + nuova, quiet), 2);
    if (fs::exists("/dev/full")) {
        EXPECT_EQ(RunBinary(nuova, "> /dev/full 2> " + Quote(dir / "err.txt")), 1);
        EXPECT_EQ(ReadWhole(dir / "err.txt"),
                  "treskdump: Disco pieno durante l'accesso a stdout.\n");
    }
}

// The binary with standard streams as a script may leave them: standard
// input and output named "-", standard error closed, a named pipe as -o that
// waits for its reader, and a non-blocking pipe to a slow reader.
TEST(TreskdumpBinary, StandardStreamsAndPipes) {
    TempDir dir;
    const std::string nuova = kExamples + "/lista_nuova.PRG";
    const std::string expected = ReadWhole(nuova + ".txt");
    EXPECT_EQ(
        RunBinary("--layout auto -o - -", "< " + Quote(nuova) + " > " + Quote(dir / "in.txt")), 0);
    EXPECT_EQ(ReadWhole(dir / "in.txt"), expected);

    EXPECT_EQ(RunBinary(Quote(dir / "manca.PRG") + " " + Quote(nuova),
                        "> " + Quote(dir / "closed.txt") + " 2>&-"),
              1);
    EXPECT_EQ(ReadWhole(dir / "closed.txt"), expected);

    ASSERT_EQ(mkfifo((dir / "tubo").c_str(), 0600), 0);
    EXPECT_EQ(RunBinary("-o " + Quote(dir / "tubo") + " " + Quote(nuova),
                        "& sleep 0.3; cat " + Quote(dir / "tubo") + " > " +
                            Quote(dir / "fifo.txt") + "; wait $!"),
              0);
    EXPECT_EQ(ReadWhole(dir / "fifo.txt"), expected);

    // Many copies of the list, so the pipe fills many times over.
    std::string big;
    for (int i = 0; i < 40; ++i) {
        big += Quote(nuova) + " ";
    }
    // perl makes the pipe's write end non-blocking, hands it to treskdump as
    // standard output, and starts reading only after a while.
    const std::string slowReader =
        "perl -e 'use Fcntl; pipe(my $r, my $w) or die; "
        "fcntl($w, F_SETFL, fcntl($w, F_GETFL, 0) | O_NONBLOCK) or die; my $pid = fork; "
        "if (!$pid) { close $r; open(STDOUT, \">&\", $w) or die; exec @ARGV; } close $w; "
        "select(undef, undef, undef, 0.3); binmode $r; binmode STDOUT; local $/ = \\65536; "
        "print while <$r>; waitpid($pid, 0); exit($? >> 8);' '" TRESKDUMP_EXE "' ";
    const int raw = std::system(
        (slowReader + big + " > " + Quote(dir / "slow.txt") + " 2> " + Quote(dir / "err.txt"))
            .c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
    EXPECT_EQ(ReadWhole(dir / "err.txt"), "");
    EXPECT_EQ(ReadWhole(dir / "slow.txt").size(), 40 * expected.size());
}

// Standard input: its own file is not an output, it is read once, and a
// closed one is a failure that writes nothing. A path naming standard output
// is written through it, between what the shell wrote before and after.
TEST(TreskdumpBinary, StandardInputAndOutputByOtherNames) {
    TempDir dir;
    const std::string nuova = kExamples + "/lista_nuova.PRG";
    const std::string list = dir.WriteText("x.PRG", ReadWhole(nuova));
    const std::string err = " 2> " + Quote(dir / "err.txt");
    EXPECT_EQ(RunBinary("-o " + Quote(list) + " -", "< " + Quote(list) + err), 1);
    EXPECT_EQ(ReadWhole(list), ReadWhole(nuova));
    EXPECT_EQ(ReadWhole(dir / "err.txt"),
              "treskdump: stdin: " + list + " è uno dei file in ingresso e non viene sostituito\n");
    EXPECT_EQ(RunBinary("- -", "< " + Quote(list) + " > /dev/null" + err), 2);
    const std::string out = dir.WriteText("out.txt", "old");
    EXPECT_EQ(RunBinary("-o " + Quote(out) + " -", "<&-" + err), 1);
    EXPECT_EQ(ReadWhole(out), "old");
    EXPECT_EQ(ReadWhole(dir / "err.txt"), "treskdump: stdin non trovato.\n");

    EXPECT_EQ(std::system(("{ echo HEAD; '" TRESKDUMP_EXE "' -o /dev/stdout " + Quote(list) +
                           "; echo FOOT; } > " + Quote(out))
                              .c_str()),
              0);
    EXPECT_EQ(ReadWhole(out), "HEAD\n" + ReadWhole(nuova + ".txt") + "FOOT\n");
}

// A report with a second name, an ACL and an extended attribute keeps all
// three; one locked with a record lock is not replaced.
TEST(TreskdumpBinary, ReplacedReportsKeepLinksAttributesAndLocks) {
    TempDir dir;
    const std::string nuova = Quote(kExamples + "/lista_nuova.PRG");
    const std::string report = dir.WriteText("report.txt", "old");
    ASSERT_EQ(link(report.c_str(), (dir / "other.txt").c_str()), 0);
    EXPECT_EQ(RunBinary("-o " + Quote(report) + " " + nuova, ""), 0);
    EXPECT_EQ(ReadWhole(dir / "other.txt"), ReadWhole(kExamples + "/lista_nuova.PRG.txt"));

    const std::string acl = Quote(dir.WriteText("acl.txt", "old"));
    if (std::system(("setfattr -n user.note -v kept " + acl + " 2>/dev/null && " +
                     "setfacl -m u:nobody:rw,m::r " + acl + " 2>/dev/null")
                        .c_str()) != 0) {
        GTEST_SKIP() << "this file system refuses extended attributes or ACLs";
    }
    EXPECT_EQ(RunBinary("-o " + acl + " " + nuova, ""), 0);
    const std::string shown = "getfacl -cp " + acl + " | grep -x mask::r-- && " +
                              "getfattr -n user.note --only-values " + acl +
                              " | grep -x kept && ls -l " + acl + " | grep -q '^-rw-r--r--+'";
    EXPECT_EQ(std::system(("{ " + shown + "; } > /dev/null 2>&1").c_str()), 0);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"acl.txt", "other.txt", "report.txt"}));

    const std::string locked =
        "python3 -c 'import fcntl, subprocess, sys; f = open(sys.argv[1], \"r+\"); "
        "fcntl.lockf(f, fcntl.LOCK_EX); sys.exit(subprocess.call(sys.argv[2:]))' " +
        Quote(report) + " '" TRESKDUMP_EXE "' -o " + Quote(report) + " --csv " + nuova;
    const int raw = std::system((locked + " 2> " + Quote(dir / "err.txt")).c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1);
    EXPECT_EQ(ReadWhole(dir / "err.txt"), "treskdump: Durante l'accesso a " + report +
                                              " si è verificata una violazione di condivisione.\n");
}

// With SIGPIPE ignored and the reader gone, treskdump stops at the first
// broken output with one message. A signal that ends it while the new report
// is written, sent by strace at a chosen system call, ends treskdump with that
// signal and leaves no new file: sent as the finished new file goes to the
// disk, the old report stays whole.
TEST(TreskdumpBinary, SignalsAndAReaderThatIsGone) {
    TempDir dir;
    const std::string nuova = Quote(kExamples + "/lista_nuova.PRG");
    std::string many;
    for (int i = 0; i < 40; ++i) {
        many += nuova + " ";
    }
    // More than a pipe holds, so the writes outlast the reader.
    const std::string status = Quote(dir / "status");
    ASSERT_EQ(std::system(("trap '' PIPE; { '" TRESKDUMP_EXE "' " + many + "2> " +
                           Quote(dir / "err.txt") + "; echo $? > " + status +
                           "; } | head -c 10 > /dev/null")
                              .c_str()),
              0);
    EXPECT_EQ(ReadWhole(dir / "status"), "1\n");
    const std::string messages = ReadWhole(dir / "err.txt");
    EXPECT_EQ(messages,
              "treskdump: Si è verificato un errore sconosciuto durante l'accesso a "
              "stdout.\n");

    if (std::system("strace -o /dev/null true 2> /dev/null") != 0) {
        GTEST_SKIP() << "strace cannot trace programs here";
    }
    // At the first write into a target with a second name, overwritten in
    // place, the signal waits until the copy is whole.
    const std::string report = dir.WriteText("report.txt", "old");
    const std::string linked = dir.WriteText("linked.txt", std::string(100000, 'x'));
    ASSERT_EQ(link(linked.c_str(), (dir / "other.txt").c_str()), 0);
    const std::string list = kExamples + "/lista_nuova.PRG";
    for (const auto& [target, call, expected] :
         {std::tuple{report, "fsync", std::string("old")},
          std::tuple{linked, "pwrite64", ReadWhole(list + ".txt")}}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const std::string inject = std::string("inject=") + call + ":signal=TERM:when=1";
            execlp("strace", "strace", "-qq", "-o", "/dev/null", "-e", inject.c_str(),
                   TRESKDUMP_EXE, "-o", target.c_str(), list.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int raw = 0;
        ASSERT_EQ(waitpid(child, &raw, 0), child);
        EXPECT_TRUE(WIFSIGNALED(raw) && WTERMSIG(raw) == SIGTERM) << call << raw;
        EXPECT_TRUE(ReadWhole(target) == expected) << call;
    }
    EXPECT_TRUE(ReadWhole(dir / "other.txt") == ReadWhole(linked));
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"err.txt", "linked.txt", "other.txt",
                                                       "report.txt", "status"}));
}
