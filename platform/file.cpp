// CFile over POSIX descriptors, and the errno values grouped into causes.
#include "platform/file.h"
#include "platform/file_os.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

std::string FullPath(const std::string& path) {
    std::string joined;
    if (!path.empty() && path[0] == '/') {
        joined = path;
    } else {
        std::string cwd;
        std::size_t size = 256;
        for (;;) {
            cwd.resize(size);
            if (getcwd(cwd.data(), cwd.size()) != nullptr) {
                cwd.resize(std::strlen(cwd.c_str()));
                break;
            }
            if (errno != ERANGE) {
                cwd.clear();
                break;
            }
            size *= 2;
        }
        if (cwd.empty()) {
            return path;
        }
        joined = cwd + "/" + path;
    }

    std::string result;
    std::size_t pos = 0;
    while (pos <= joined.size()) {
        std::size_t next = joined.find('/', pos);
        if (next == std::string::npos) {
            next = joined.size();
        }
        const std::string part = joined.substr(pos, next - pos);
        if (part.empty() || part == ".") {
            // nothing to add
        } else if (part == "..") {
            const std::size_t slash = result.rfind('/');
            result.erase(slash == std::string::npos ? 0 : slash);
        } else {
            result += '/';
            result += part;
        }
        pos = next + 1;
    }
    if (result.empty()) {
        result.push_back('/');
    }
    // A trailing slash names a directory; keep it so the message shows what
    // the user gave.
    if (joined.size() > 1 && joined.back() == '/' && result.back() != '/') {
        result += '/';
    }
    return result;
}

namespace {

int CloseRetainingErrno(int fd) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
}

// A file larger than the process may write (ulimit -f) must fail the write with
// EFBIG, reported as a full disk, instead of killing the process with SIGXFSZ.
void IgnoreFileSizeSignal() {
    static const bool done = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)done;
}

// Waits until a descriptor opened without O_NONBLOCK by someone else (a pipe
// to a slow reader) takes more bytes; false when poll itself fails.
bool WaitWritable(int fd) {
    pollfd entry{fd, POLLOUT, 0};
    int rc;
    do {
        rc = ::poll(&entry, 1, -1);
    } while (rc < 0 && errno == EINTR);
    return rc >= 0;
}

// A name for the new file beside target: hidden, unlikely to be taken, and
// short enough for the folder even when target's own name is at the limit.
std::string NewFileName(const std::string& folder, const std::string& base, unsigned attempt) {
    static unsigned counter = 0;
    const auto ticks =
        static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count());
    const unsigned long mix = ticks ^ (static_cast<unsigned long>(::getpid()) << 20) ^
                              (++counter * 2654435761UL) ^ attempt;
    char suffix[24];
    const int n = std::snprintf(suffix, sizeof suffix, ".%08lx~", mix & 0xFFFFFFFFUL);
    return folder + "/." + base.substr(0, 200) + std::string(suffix, static_cast<std::size_t>(n));
}

// The folder and the name of a path ("." for a bare name).
void SplitPath(const std::string& path, std::string& folder, std::string& base) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        folder = ".";
        base = path;
    } else {
        folder = slash == 0 ? "/" : path.substr(0, slash);
        base = path.substr(slash + 1);
    }
}

}  // namespace

// Paths and file names are UTF-8 here, as the program's own texts are.
std::string SystemText(std::string_view utf8) {
    return std::string(utf8);
}

// errno values grouped the way the Windows error table groups its conditions.
// Codes not listed are the generic cause. EAGAIN is not a sharing violation:
// only a lock held by another process is, and Open() says so itself.
int CFileException::OsErrorToException(int errnoValue) {
    switch (errnoValue) {
        case 0:
            return none;
        case ENOENT:
        case EBADF:  // as the Windows invalid-handle error
            return fileNotFound;
        case ENAMETOOLONG:
        case ENOTDIR:
        case ELOOP:
            return badPath;
        case EMFILE:
        case ENFILE:
            return tooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return accessDenied;
        case EIO:
            return hardIO;
        case ETXTBSY:
            return sharingViolation;
        case ENOLCK:
        case EDEADLK:
            return lockViolation;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:  // over the file-size limit: no more room for this file
            return diskFull;
        default:
            return genericException;
    }
}

// ---- CFile

bool CFile::Open(const std::string& path, unsigned flags, CFileException* error) {
    Close();
    m_strFileName.clear();
    m_openFailCause = CFileException::fileNotFound;

    const auto fail = [&](int errnoValue) {
        if (error != nullptr) {
            *error = CFileException(CFileException::OsErrorToException(errnoValue), errnoValue,
                                    m_strFileName);
        }
        return false;
    };

    if (path.empty()) {
        return fail(ENOENT);
    }
    m_strFileName = FullPath(path);
    if (path.find('\0') != std::string::npos) {
        if (error != nullptr) {
            *error = CFileException(CFileException::badPath, EINVAL, m_strFileName);
        }
        return false;
    }

    const bool writing = (flags & modeWrite) != 0;
    const bool creating = (flags & modeCreate) != 0;
    if (writing) {
        IgnoreFileSizeSignal();
    }

    struct stat target {};
    bool exists = ::stat(path.c_str(), &target) == 0;
    if (!exists && errno != ENOENT) {
        return fail(errno);
    }
    if (exists && S_ISDIR(target.st_mode)) {
        return fail(EISDIR);
    }
    if (writing && creating && (!exists || S_ISREG(target.st_mode))) {
        struct stat link {};
        // A dangling link is written through, creating its destination.
        const bool dangling = !exists && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
        if (!dangling) {
            int err = 0;
            if (OpenReplacing(path, exists, flags, err)) {
                return true;
            }
            if (err == EWOULDBLOCK && error != nullptr) {
                *error = CFileException(CFileException::sharingViolation, err, m_strFileName);
                return false;
            }
            return fail(err);
        }
    }

    int oflags = O_CLOEXEC | O_NOCTTY;
    oflags |= writing ? O_WRONLY : O_RDONLY;
    if (creating) {
        oflags |= O_CREAT;
    }
    // Nothing is opened waiting, unless asked for a pipe to write to: a load
    // refuses all but regular files below, and must not hang on a pipe first.
    if (!(writing && exists && S_ISFIFO(target.st_mode) && (flags & waitForReader) != 0)) {
        oflags |= O_NONBLOCK;
    }

    int fd;
    do {
        fd = ::open(path.c_str(), oflags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return fail(errno);
    }

    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        CloseRetainingErrno(fd);
        return fail(err);
    }
    // A cut list is a regular file. A directory cannot be opened as a file
    // (as on Windows), and a pipe, socket or terminal would block a load
    // forever. Reports may also go to devices (/dev/null, /dev/full, a pipe).
    if (S_ISDIR(st.st_mode)) {
        CloseRetainingErrno(fd);
        return fail(EISDIR);
    }
    if (!writing && !S_ISREG(st.st_mode)) {
        CloseRetainingErrno(fd);
        return fail(EACCES);
    }

    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0 && (fl & O_NONBLOCK) != 0) {
        ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    }

    if ((flags & shareExclusive) != 0 && (S_ISREG(st.st_mode))) {
        int rc;
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        // Only another holder of the lock refuses the open; a file system
        // without locks still serves the file.
        if (rc != 0 && errno == EWOULDBLOCK) {
            CloseRetainingErrno(fd);
            m_openFailCause = CFileException::sharingViolation;
            if (error != nullptr) {
                *error =
                    CFileException(CFileException::sharingViolation, EWOULDBLOCK, m_strFileName);
            }
            return false;
        }
    }

    // Only a regular file written through a dangling link gets here with
    // modeCreate; truncate it once the lock is ours.
    if (creating && writing && S_ISREG(st.st_mode) && st.st_size != 0) {
        if (::ftruncate(fd, 0) != 0) {
            const int err = errno;
            CloseRetainingErrno(fd);
            return fail(err);
        }
    }

    m_fd = fd;
    m_writable = writing;
    if (writing) {
        m_buf = new unsigned char[kBufferSize];
    }
    return true;
}

// Opens a new file beside the regular file (or free name) path, to take its
// place at Close(). An existing target must be writable by us and is held
// locked until then. On failure sets err and returns false.
bool CFile::OpenReplacing(const std::string& path, bool exists, unsigned flags, int& err) {
    std::string destination = path;
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        const std::unique_ptr<char, decltype(&std::free)> resolved(
            ::realpath(path.c_str(), nullptr), &std::free);
        if (resolved == nullptr) {
            err = errno;
            return false;
        }
        destination = resolved.get();
    }

    int lockFd = -1;
    struct stat old {};
    if (exists) {
        // Opening the target for writing (without truncating it) checks that
        // we may change it at all: a read-only report is not replaced.
        do {
            lockFd = ::open(destination.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        } while (lockFd < 0 && errno == EINTR);
        if (lockFd < 0 || ::fstat(lockFd, &old) != 0) {
            err = errno;
            if (lockFd >= 0) {
                ::close(lockFd);
            }
            return false;
        }
        if ((flags & shareExclusive) != 0) {
            int rc;
            do {
                rc = ::flock(lockFd, LOCK_EX | LOCK_NB);
            } while (rc != 0 && errno == EINTR);
            if (rc != 0 && errno == EWOULDBLOCK) {
                ::close(lockFd);
                m_openFailCause = CFileException::sharingViolation;
                err = EWOULDBLOCK;
                return false;
            }
        }
    }

    int fd = -1;
    std::string newFile;
    try {
        std::string folder;
        std::string base;
        SplitPath(destination, folder, base);
        m_buf = new unsigned char[kBufferSize];
        m_strReplaced = destination;
        for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            newFile = NewFileName(folder, base, attempt);
            do {
                fd = ::open(newFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                            0666);
            } while (fd < 0 && errno == EINTR);
            if (fd < 0 && errno != EEXIST) {
                break;
            }
        }
        if (fd >= 0) {
            m_strNewFile = newFile;
        }
    } catch (...) {  // memory ran out: nothing may stay behind
        if (fd >= 0) {
            ::close(fd);
            ::unlink(newFile.c_str());
        }
        if (lockFd >= 0) {
            ::close(lockFd);
        }
        Abort();
        throw;
    }
    if (fd < 0) {
        err = errno;
        if (lockFd >= 0) {
            ::close(lockFd);
        }
        Abort();
        return false;
    }
    if (exists) {
        // The owner first: changing it clears set-id bits, which the mode
        // then restores. Either may be refused to a user who is not root.
        (void)!::fchown(fd, old.st_uid, old.st_gid);
        (void)!::fchmod(fd, old.st_mode & 07777);
    }

    m_fd = fd;
    m_writable = true;
    m_lockFd = lockFd;
    return true;
}

bool CFile::OpenStandardOutput() {
    Close();
    IgnoreFileSizeSignal();
    m_strFileName = "stdout";
    const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (fd < 0) {
        return false;
    }
    m_fd = fd;
    m_writable = true;
    m_buf = new unsigned char[kBufferSize];
    return true;
}

bool CFile::OpenStandardInput() {
    Close();
    m_strFileName = "stdin";
    const int fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    if (fd < 0) {
        return false;
    }
    m_fd = fd;
    m_writable = false;
    return true;
}

void CFile::KeepStandardStreamsOpen() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) {
            continue;
        }
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
}

bool CFile::IsSameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// ---- The system calls of the shared code

namespace tresk::file_os {

const int kNotOpen = EBADF;
const int kHeldByOther = EWOULDBLOCK;

std::ptrdiff_t ReadSome(int fd, void* buffer, std::size_t count, int& error) {
    ssize_t got;
    do {
        got = ::read(fd, buffer, count);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        error = errno;
    }
    return got;
}

// A descriptor someone else made non-blocking (a pipe to a slow reader) is
// waited on until it takes more.
std::ptrdiff_t WriteSome(int fd, const void* buffer, std::size_t count, int& error) {
    for (;;) {
        const ssize_t put = ::write(fd, buffer, count);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitWritable(fd)) {
            continue;
        }
        error = put < 0 ? errno : 0;
        return put;
    }
}

// A device that cannot be synchronised (EINVAL: a pipe, /dev/null) has
// nothing to put on a disk.
int SyncToDisk(int fd) {
    return ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
}

int CloseFile(int fd) noexcept {
    return ::close(fd) != 0 && errno != EINTR ? errno : 0;
}

// The rename replaces the target in one step; the target stays locked until
// the descriptor that holds it is closed.
int MoveOver(const std::string& from, const std::string& to, int& /*held*/) {
    return ::rename(from.c_str(), to.c_str()) != 0 ? errno : 0;
}

void SyncFolder(const std::string& path) {
    std::string folder;
    std::string base;
    SplitPath(path, folder, base);
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
}

void RemoveFile(const std::string& path) noexcept {
    ::unlink(path.c_str());
}

}  // namespace tresk::file_os
