// The POSIX file layer: errno and its causes, flock for the exclusive open,
// permissions and links of a replaced file, descriptors, and devices that
// only POSIX systems have.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/file_faults.h"
#include "platform/file_os.h"
#include "tests/support/temp_files.h"

namespace {

using tresk::test::ReadWhole;
using tresk::test::TempDir;

int OpenDescriptors() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) {
        return -1;
    }
    while (readdir(dir) != nullptr) {
        ++count;
    }
    closedir(dir);
    return count;
}

TEST(FileException, ErrnoSelectsTheCause) {
    EXPECT_EQ(CFileException::OsErrorToException(0), CFileException::none);
    EXPECT_EQ(CFileException::OsErrorToException(ENOENT), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::OsErrorToException(EBADF), CFileException::fileNotFound);
    for (int e : {EACCES, EPERM, EROFS, EISDIR}) {
        EXPECT_EQ(CFileException::OsErrorToException(e), CFileException::accessDenied) << e;
    }
    for (int e : {ENOSPC, EDQUOT}) {
        EXPECT_EQ(CFileException::OsErrorToException(e), CFileException::diskFull) << e;
    }
    EXPECT_EQ(CFileException::OsErrorToException(EIO), CFileException::hardIO);
    EXPECT_EQ(CFileException::OsErrorToException(ENAMETOOLONG), CFileException::badPath);
    EXPECT_EQ(CFileException::OsErrorToException(ENOTDIR), CFileException::badPath);
    EXPECT_EQ(CFileException::OsErrorToException(EMFILE), CFileException::tooManyOpenFiles);
    EXPECT_EQ(CFileException::OsErrorToException(ENFILE), CFileException::tooManyOpenFiles);
    EXPECT_EQ(CFileException::OsErrorToException(EFBIG), CFileException::diskFull);
    // Only a lock held elsewhere is a sharing violation, not a pipe that is
    // momentarily full.
    EXPECT_EQ(CFileException::OsErrorToException(EAGAIN), CFileException::genericException);
    EXPECT_EQ(CFileException::OsErrorToException(EPROTO), CFileException::genericException);
}

TEST(File, OpenFailuresCarryCauseErrnoAndFullPath) {
    TempDir dir;
    CFile file;
    CFileException error;

    EXPECT_FALSE(file.Open(dir.File("missing.PRG"), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ENOENT);
    EXPECT_EQ(error.m_strFileName, dir.File("missing.PRG"));

    EXPECT_FALSE(file.Open(dir.path(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);

    const std::string plain = dir.Write("plain", {1, 2, 3});
    EXPECT_FALSE(file.Open(plain + "/below", CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);

    EXPECT_FALSE(file.Open("", CFile::modeRead, &error));
    EXPECT_EQ(error.m_strFileName, "");
    EXPECT_EQ(error.GetErrorMessage(), "un file senza nome non trovato.");
}

TEST(File, RelativePathsAreReportedInFull) {
    TempDir dir;
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    CFile file;
    CFileException error;
    const bool opened = file.Open("./sub/../missing.PRG", CFile::modeRead, &error);
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_FALSE(opened);
    char real[4096];
    ASSERT_NE(realpath(dir.path().c_str(), real), nullptr);
    EXPECT_EQ(error.m_strFileName, std::string(real) + "/missing.PRG");
}

TEST(File, AFileLockedElsewhereCannotBeOpened) {
    TempDir dir;
    const std::string path = dir.Write("held.PRG", {1, 2, 3});
    const int holder = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);

    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(path, CFile::modeRead | CFile::shareExclusive, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    // So are the reads of the file that did not open, and a replace.
    char byte = 0;
    tresk::test::ExpectFileError([&] { file.Read(&byte, 1); }, CFileException::sharingViolation,
                                 path);
    EXPECT_FALSE(
        file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(ReadWhole(path), std::string("\x01\x02\x03"));
    close(holder);
    EXPECT_TRUE(file.Open(path, CFile::modeRead | CFile::shareExclusive, &error));

    // While we hold it, nobody else gets it.
    const int other = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);
    file.Close();
    EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    close(other);
}

// The new content takes the old one's place only at Close(): until then, and
// when an exception unwinds past the file, the old one is whole and nothing
// else is left in the folder.
TEST(File, ReplacingAFileKeepsTheOldOneUntilTheNewIsComplete) {
    TempDir dir;
    const std::string real = dir.WriteText("real.txt", "old");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    const std::string link = dir.File("link.txt");
    ASSERT_EQ(symlink("real.txt", link.c_str()), 0);
    const std::vector<std::string> entries{"link.txt", "real.txt"};
    try {
        CFile file;
        ASSERT_TRUE(file.Open(link, CFile::modeCreate | CFile::modeWrite));
        file.Write("new", 3);
        file.Flush();
        EXPECT_EQ(ReadWhole(real), "old");
        throw std::runtime_error("unwinding");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ReadWhole(real), "old");
    EXPECT_EQ(dir.Entries(), entries);

    CFile file;
    ASSERT_TRUE(file.Open(link, CFile::modeCreate | CFile::modeWrite));
    file.Write("new", 3);
    file.Close();
    EXPECT_EQ(ReadWhole(real), "new");
    EXPECT_EQ(dir.Entries(), entries);
    struct stat st {};
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640U);

    // A file we may not change is not replaced either, though its folder
    // would allow it.
    ASSERT_EQ(chmod(real.c_str(), 0440), 0);
    if (access(real.c_str(), W_OK) != 0) {
        EXPECT_FALSE(file.Open(real, CFile::modeCreate | CFile::modeWrite));
        EXPECT_EQ(ReadWhole(real), "new");
    }
}

TEST(File, InjectedFailuresAndDescriptorsAreClosed) {
    TempDir dir;
    const std::string path = dir.Write("in.bin", {1, 2, 3, 4});
    const int before = OpenDescriptors();
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeRead));
        tresk::file_fault::Reset();
        tresk::file_fault::FailNth(tresk::file_fault::Op::read, 2, EIO);
        char byte = 0;
        EXPECT_EQ(file.Read(&byte, 1), 1u);
        try {
            file.Read(&byte, 1);
            FAIL() << "no exception";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::hardIO);
            EXPECT_EQ(e.m_lOsError, EIO);
        }
        EXPECT_EQ(file.Read(&byte, 1), 1u);  // one failure only
        EXPECT_EQ(byte, 2);
        tresk::file_fault::Reset();
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(File, WritesToAFullDeviceFailWithDiskFull) {
    if (access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "/dev/full is not available";
    }
    CFile file;
    ASSERT_TRUE(file.Open("/dev/full", CFile::modeCreate | CFile::modeWrite));
    file.Write("x", 1);
    try {
        file.Close();
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.m_lOsError, ENOSPC);
        EXPECT_EQ(e.m_strFileName, "/dev/full");
    }
    EXPECT_FALSE(file.IsOpen());
}

// Writes text to path through a replacing open and closes it.
void Replace(const std::string& path, const std::string& text) {
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
    file.Write(text.data(), text.size());
    file.Close();
}

// A target with several names is overwritten in place, so every name sees
// the new bytes (longer or shorter than the old); a copy that fails halfway
// puts the old bytes back under every name and leaves nothing beside them.
TEST(File, HardLinkedTargetsAreOverwrittenInPlace) {
    struct Case {
        std::size_t oldSize, newSize;
        long failAt;  // the chunk write into the target that fails (0: none)
    };
    for (const Case c :
         {Case{10, 70000, 0}, Case{70000, 10, 0}, Case{40000, 100000, 2}, Case{100000, 40000, 2}}) {
        TempDir dir;
        const std::string old(c.oldSize, 'o');
        const std::string fresh(c.newSize, 'n');
        const std::string path = dir.WriteText("report.txt", old);
        const std::string other = dir.File("other.txt");
        ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        file.Write(fresh.data(), fresh.size());
        tresk::file_fault::Reset();
        tresk::file_fault::FailNth(tresk::file_fault::Op::write, c.failAt, ENOSPC);
        if (c.failAt != 0) {
            tresk::test::ExpectFileError([&] { file.Close(); }, CFileException::diskFull, path);
        } else {
            file.Close();
        }
        tresk::file_fault::Reset();
        const std::string& expected = c.failAt != 0 ? old : fresh;
        EXPECT_TRUE(ReadWhole(path) == expected) << c.oldSize << " -> " << c.newSize;
        EXPECT_TRUE(ReadWhole(other) == expected) << ReadWhole(other).size();
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"other.txt", "report.txt"}));
    }
}

// The new file is private while it is written; at Close() it takes the
// target's mode, extended attributes and ACL (whose mask must not widen), or
// the default mode when there was no target.
TEST(File, ReplacementsKeepModeAttributesAndAcl) {
    TempDir dir;
    const std::string path = dir.WriteText("report.txt", "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    if (setxattr(path.c_str(), "user.note", "kept", 4, 0) != 0) {
        GTEST_SKIP() << "this file system refuses user extended attributes: " << strerror(errno);
    }
    const std::string acl = "setfacl -m u:nobody:rw,m::r '" + path + "' 2>/dev/null";
    const bool withAcl = std::system(acl.c_str()) == 0;
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    std::vector<char> aclBefore(256);
    const ssize_t aclSize =
        getxattr(path.c_str(), "system.posix_acl_access", aclBefore.data(), aclBefore.size());
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        file.Write("new", 3);
        file.Flush();
        for (const std::string& name : dir.Entries()) {
            struct stat st {};
            if (name != "report.txt" && stat(dir.File(name).c_str(), &st) == 0) {
                EXPECT_EQ(st.st_mode & 07777, 0600U) << name;
            }
        }
        file.Close();
    }
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
    char note[8] = {};
    EXPECT_EQ(getxattr(path.c_str(), "user.note", note, sizeof note), 4);
    EXPECT_STREQ(note, "kept");
    if (withAcl) {
        std::vector<char> aclAfter(256);
        ASSERT_EQ(
            getxattr(path.c_str(), "system.posix_acl_access", aclAfter.data(), aclAfter.size()),
            aclSize);
        EXPECT_EQ(aclAfter, aclBefore);
    }
    const mode_t mask = umask(022);
    Replace(dir.File("fresh.txt"), "new");
    umask(mask);
    ASSERT_EQ(stat(dir.File("fresh.txt").c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0644U);
}

// A path naming one of the process's own descriptors is written through it,
// after what the descriptor wrote before and before what it writes next.
// Standard input closed and put on /dev/null is no input.
TEST(File, PathsNamingOwnDescriptorsAreWrittenThroughThem) {
    TempDir dir;
    const std::string target = dir.File("out.txt");
    const int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    const std::string n = std::to_string(fd);
    ASSERT_EQ(symlink(("/proc/self/fd/" + n).c_str(), dir.File("link").c_str()), 0);
    for (const std::string& path : {"/dev/fd/" + n, "/proc/self/fd/" + n, dir.File("link")}) {
        ASSERT_EQ(write(fd, "<", 1), 1);
        Replace(path, "body");
        ASSERT_EQ(write(fd, ">", 1), 1);
    }
    close(fd);
    EXPECT_EQ(ReadWhole(target), "<body><body><body>");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"link", "out.txt"}));

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(STDIN_FILENO);
        CFile::KeepStandardStreamsOpen();
        CFile in;
        _exit(in.OpenStandardInput() || CFile::IsStandardInput("/dev/null") ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// flock, POSIX record and open-file-description locks all make the target
// held by another program: a sharing violation, the file untouched.
TEST(File, EveryKindOfLockIsASharingViolation) {
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    const auto lockWith = [&whole](int fd, int how) {
        return how == 0 ? flock(fd, LOCK_EX | LOCK_NB) : fcntl(fd, how, &whole);
    };
    for (const int how : {0, F_SETLK, F_OFD_SETLK}) {
        TempDir dir;
        const std::string path = dir.WriteText("held.txt", "old");
        const int holder = open(path.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(lockWith(holder, how), 0) << how;
        CFile file;
        CFileException error;
        EXPECT_FALSE(
            file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error));
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation) << how;
        EXPECT_EQ(ReadWhole(path), "old");
        close(holder);
    }
}

// A signal that ends the process while a replacement is written removes the
// new file, and the process ends as that signal ends it.
TEST(File, EndingSignalsRemoveTheNewFile) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        TempDir dir;
        const std::string path = dir.WriteText("report.txt", "old");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CFile file;
            file.Open(path, CFile::modeCreate | CFile::modeWrite);
            file.Write("new", 3);
            file.Flush();
            raise(signal);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_EQ(ReadWhole(path), "old");
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"report.txt"}) << signal;
    }
}

// A signal while a target is overwritten in place waits: the process goes on
// until the hold ends, then ends with that signal, the new file removed.
TEST(File, AHeldSignalEndsTheProcessWhenReleased) {
    TempDir dir;
    const std::string path = dir.WriteText("report.txt", "old");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CFile file;
        file.Open(path, CFile::modeCreate | CFile::modeWrite);
        tresk::file_os::HoldEnding();
        raise(SIGTERM);
        dir.WriteText("went-on", "");
        tresk::file_os::ReleaseEnding();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"report.txt", "went-on"}));
}

}  // namespace
