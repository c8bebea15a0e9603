// The file layer on POSIX systems: full paths, the errno values grouped into
// causes, opening over descriptors (with flock for the exclusive open), and
// the system calls of the shared code.
#include "platform/file.h"
#include "platform/file_os.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The current directory, or "" when there is none.
std::string CurrentFolder() {
    std::string cwd;
    for (std::size_t size = 256;; size *= 2) {
        cwd.resize(size);
        if (getcwd(cwd.data(), cwd.size()) != nullptr) {
            cwd.resize(std::strlen(cwd.c_str()));
            return cwd;
        }
        if (errno != ERANGE) {
            return {};
        }
    }
}

// The path with "." and ".." components and repeated slashes folded.
std::string FoldPath(const std::string& joined) {
    std::string result;
    std::size_t pos = 0;
    while (pos <= joined.size()) {
        std::size_t next = joined.find('/', pos);
        if (next == std::string::npos) {
            next = joined.size();
        }
        const std::string part = joined.substr(pos, next - pos);
        if (part == "..") {
            const std::size_t slash = result.rfind('/');
            result.erase(slash == std::string::npos ? 0 : slash);
        } else if (!part.empty() && part != ".") {
            result += '/';
            result += part;
        }
        pos = next + 1;
    }
    return result.empty() ? std::string("/") : result;
}

}  // namespace

std::string FullPath(const std::string& path) {
    std::string joined = path;
    if (path.empty() || path[0] != '/') {
        const std::string cwd = CurrentFolder();
        if (cwd.empty()) {
            return path;
        }
        joined = cwd + "/" + path;
    }
    std::string result = FoldPath(joined);
    // A trailing slash names a directory; keep it so the message shows what
    // the user gave.
    if (joined.size() > 1 && joined.back() == '/' && result.back() != '/') {
        result += '/';
    }
    return result;
}

namespace {

// Opens path, again when a signal interrupted the call: the descriptor, or -1
// with errno set.
int OpenRetrying(const char* path, int oflags, mode_t mode = 0666) {
    int fd;
    do {
        fd = ::open(path, oflags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Closes a descriptor we give up on, keeping the error that made us do so.
int Drop(int fd, int error) {
    ::close(fd);
    return error;
}

// Whether another process holds a record lock (fcntl, lockf, or one of an
// open file description) on any part of the file.
bool RecordLocked(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_GETLK, &probe) != 0) {
        probe.l_type = F_WRLCK;
        probe.l_pid = 0;
        if (::fcntl(fd, F_GETLK, &probe) != 0) {
            return false;  // a file system without record locks
        }
    }
    return probe.l_type != F_UNLCK;
}

// Takes the exclusive lock without waiting: 0, or EWOULDBLOCK when another
// holder has it or a record lock on the file. A file system without locks
// still serves the file.
int LockExclusive(int fd) {
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno == EWOULDBLOCK) {
        return EWOULDBLOCK;
    }
    return RecordLocked(fd) ? EWOULDBLOCK : 0;
}

// Set once KeepStandardStreamsOpen() has put /dev/null where standard input
// was closed: reading it is then no input at all.
bool g_standardInputClosed = false;

// The number of one of the process's own descriptors that path names
// textually (/dev/stdout, /dev/fd/N, /proc/self/fd/N, /proc/PID/fd/N), or -1.
int DescriptorNamed(const std::string& full) {
    static const char* const kStreams[] = {"/dev/stdin", "/dev/stdout", "/dev/stderr"};
    for (int fd = 0; fd < 3; ++fd) {
        if (full == kStreams[fd]) {
            return fd;
        }
    }
    const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/";
    for (const std::string& prefix : {std::string("/dev/fd/"), std::string("/proc/self/fd/"),
                                      std::string("/proc/thread-self/fd/"), own}) {
        const std::string rest = full.compare(0, prefix.size(), prefix) == 0
                                     ? full.substr(prefix.size())
                                     : std::string();
        if (!rest.empty() && rest.size() < 8 &&
            rest.find_first_not_of("0123456789") == std::string::npos) {
            return std::stoi(rest);
        }
    }
    return -1;
}

// The descriptor path names, following symbolic links (a few of them) until
// one names a descriptor: its number, or -1.
int OwnDescriptor(const std::string& path) {
    std::string hop = FullPath(path);
    for (int links = 0; links < 8; ++links) {
        if (const int fd = DescriptorNamed(hop); fd >= 0) {
            return fd;
        }
        char next[4096];
        const ssize_t n = ::readlink(hop.c_str(), next, sizeof next - 1);
        if (n <= 0) {
            return -1;
        }
        const std::string link(next, static_cast<std::size_t>(n));
        hop = link[0] == '/' ? FullPath(link) : FullPath(hop.substr(0, hop.rfind('/') + 1) + link);
    }
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

// Whether creating path writes a new file to take its place: a regular file
// or a free name does; a dangling link is written through, creating its
// destination, and a device, pipe or terminal is written directly.
bool ReplacedOnCreate(const std::string& path, bool exists, const struct stat& target) {
    if (exists) {
        return S_ISREG(target.st_mode);
    }
    struct stat link {};
    return !(::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode));
}

// Nothing is opened waiting, unless asked for a pipe to write to: a load
// refuses all but regular files, and must not hang on a pipe first.
int OpenFlags(unsigned flags, bool waitsForReader) {
    const bool writing = (flags & CFile::modeWrite) != 0;
    int oflags = O_CLOEXEC | O_NOCTTY | (writing ? O_WRONLY : O_RDONLY);
    if ((flags & CFile::modeCreate) != 0) {
        oflags |= O_CREAT;
    }
    return waitsForReader ? oflags : oflags | O_NONBLOCK;
}

// A cut list is a regular file. A directory cannot be opened as a file (as on
// Windows), and a pipe, socket or terminal would block a load forever.
// Reports may also go to devices (/dev/null, /dev/full, a pipe). 0, or why fd
// is refused.
int CheckOpened(int fd, bool writing, struct stat& st) {
    if (::fstat(fd, &st) != 0) {
        return errno;
    }
    if (S_ISDIR(st.st_mode)) {
        return EISDIR;
    }
    return !writing && !S_ISREG(st.st_mode) ? EACCES : 0;
}

// Opens path itself (no new file beside it): locked when exclusive, truncated
// after the lock is ours when created. 0 with fd set, or the error.
int OpenDirect(const std::string& path, unsigned flags, const struct stat* target, int& fd) {
    const bool writing = (flags & CFile::modeWrite) != 0;
    const bool waits = writing && target != nullptr && S_ISFIFO(target->st_mode) &&
                       (flags & CFile::waitForReader) != 0;
    const int opened = OpenRetrying(path.c_str(), OpenFlags(flags, waits));
    if (opened < 0) {
        return errno;
    }
    struct stat st {};
    if (const int refused = CheckOpened(opened, writing, st); refused != 0) {
        return Drop(opened, refused);
    }
    if (const int fl = ::fcntl(opened, F_GETFL); fl >= 0 && (fl & O_NONBLOCK) != 0) {
        ::fcntl(opened, F_SETFL, fl & ~O_NONBLOCK);
    }
    if ((flags & CFile::shareExclusive) != 0 && S_ISREG(st.st_mode) && LockExclusive(opened) != 0) {
        return Drop(opened, EWOULDBLOCK);
    }
    // Only a regular file written through a dangling link gets here with
    // modeCreate.
    const bool truncates = (flags & CFile::modeCreate) != 0 && writing && S_ISREG(st.st_mode);
    if (truncates && st.st_size != 0 && ::ftruncate(opened, 0) != 0) {
        return Drop(opened, errno);
    }
    fd = opened;
    return 0;
}

// The folder of a path ("." for a bare name).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
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

// A missing file is no error while creating; a folder never opens as a file.
// Creating a regular file or a free name is a safe replace.
int CFile::OpenOnSystem(const std::string& path, unsigned flags) {
    const bool writing = (flags & modeWrite) != 0;
    if (writing) {
        IgnoreFileSizeSignal();
        if (const int own = OwnDescriptor(path); own >= 0) {
            const int fd = ::fcntl(own, F_DUPFD_CLOEXEC, 3);
            if (fd < 0) {
                return errno;
            }
            Adopt(fd, true);
            return 0;
        }
    }
    struct stat target {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    if (!exists && errno != ENOENT) {
        return errno;
    }
    if (exists && S_ISDIR(target.st_mode)) {
        return EISDIR;
    }
    if (writing && (flags & modeCreate) != 0 && ReplacedOnCreate(path, exists, target)) {
        return OpenReplacing(path, exists, flags);
    }
    int fd = -1;
    if (const int error = OpenDirect(path, flags, exists ? &target : nullptr, fd); error != 0) {
        return error;
    }
    Adopt(fd, writing);
    return 0;
}

void CFile::KeepStandardStreamsOpen() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) {
            continue;
        }
        const int null = ::open("/dev/null", O_RDWR);
        g_standardInputClosed = g_standardInputClosed || fd == 0;
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
}

PathKind KindOfPath(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return PathKind::missing;
    }
    return S_ISDIR(info.st_mode) ? PathKind::folder : PathKind::other;
}

bool CFile::IsSameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool CFile::IsStandardInput(const std::string& path) {
    struct stat in {};
    struct stat named {};
    return !g_standardInputClosed && ::fstat(STDIN_FILENO, &in) == 0 &&
           ::stat(path.c_str(), &named) == 0 && in.st_dev == named.st_dev &&
           in.st_ino == named.st_ino;
}

// ---- The system calls of the shared code

namespace tresk::file_os {

const int kNotOpen = EBADF;
const int kHeldByOther = EWOULDBLOCK;
const int kNoSuchFile = ENOENT;
const int kBadName = EINVAL;
const char* const kPathSeparators = "/";
const bool kDriveLetters = false;

unsigned long long UniqueSeed() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<unsigned long long>(ticks) ^
           (static_cast<unsigned long long>(::getpid()) << 20);
}

// The duplicate goes above 2, so it never takes the place of a closed standard
// stream.
int DuplicateStandard(int stream) {
    if (stream != STDIN_FILENO) {
        IgnoreFileSizeSignal();
    } else if (g_standardInputClosed) {
        errno = EBADF;
        return -1;
    }
    return ::fcntl(stream, F_DUPFD_CLOEXEC, 3);
}

bool IsConsole(int /*fd*/) {
    return false;
}

// A link is followed: its destination is what the new file replaces. Opening
// the target for writing (without truncating it) checks that we may change
// it at all, so a read-only report is not replaced.
int HoldTarget(const std::string& path, bool exists, bool exclusive, ReplaceTarget& target) {
    target.destination = path;
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        const std::unique_ptr<char, decltype(&std::free)> resolved(
            ::realpath(path.c_str(), nullptr), &std::free);
        if (resolved == nullptr) {
            return errno;
        }
        target.destination = resolved.get();
    }
    if (!exists) {
        return 0;
    }
    // Readable too where allowed: a copy in place keeps the old bytes.
    const int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = OpenRetrying(target.destination.c_str(), O_RDWR | flags);
    if (fd < 0 && errno == EACCES) {
        fd = OpenRetrying(target.destination.c_str(), O_WRONLY | flags);
    }
    struct stat held {};
    if (fd < 0) {
        return errno;
    }
    if (::fstat(fd, &held) != 0) {
        return Drop(fd, errno);
    }
    if (exclusive && LockExclusive(fd) != 0) {
        return Drop(fd, EWOULDBLOCK);
    }
    target.held = fd;
    return 0;
}

// Private to its owner until Commit gives it the target's mode.
int CreateExclusive(const std::string& path, int& error) {
    const int fd =
        OpenRetrying(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
    error = fd < 0 ? errno : 0;
    return fd;
}

bool NameTaken(int error) {
    return error == EEXIST;
}

}  // namespace tresk::file_os

namespace {

// The value of the extended attribute name of fd, or nothing.
bool AttributeValue(int fd, const char* name, std::vector<char>& value) {
    const ssize_t size = ::fgetxattr(fd, name, nullptr, 0);
    if (size < 0) {
        return false;
    }
    value.resize(static_cast<std::size_t>(size));
    return ::fgetxattr(fd, name, value.data(), value.size()) == size;
}

// Every extended attribute of held (the ACL among them) onto fd: false when
// one cannot be read or set. A file system without them has none to copy.
bool CopyExtendedAttributes(int held, int fd) {
    const ssize_t size = ::flistxattr(held, nullptr, 0);
    if (size <= 0) {
        return size == 0 || errno == ENOTSUP;
    }
    std::vector<char> names(static_cast<std::size_t>(size));
    const ssize_t got = ::flistxattr(held, names.data(), names.size());
    if (got < 0) {
        return false;
    }
    std::vector<char> value;
    std::vector<char> present;
    for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
        const char* name = names.data() + at;
        at += std::strlen(name) + 1;
        if (!AttributeValue(held, name, value)) {
            return false;
        }
        if (AttributeValue(fd, name, present) && present == value) {
            continue;  // the new file has it already (a security label)
        }
        if (::fsetxattr(fd, name, value.data(), value.size(), 0) != 0) {
            return false;
        }
    }
    return true;
}

// What a file created now gets: 0666 less the umask.
mode_t DefaultMode() {
    const mode_t mask = ::umask(077);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

namespace tresk::file_os {

// The owner first: changing it clears set-id bits, which the mode then
// restores; the owner may be refused to a user who is not root. The mode
// comes after the ACL, whose mask it sets back to the target's group bits.
bool CopyAttributes(int held, int fd) {
    struct stat old {};
    if (held < 0) {
        return ::fchmod(fd, DefaultMode()) == 0;
    }
    if (::fstat(held, &old) != 0) {
        return false;
    }
    (void)!::fchown(fd, old.st_uid, old.st_gid);
    const bool kept = CopyExtendedAttributes(held, fd);
    return ::fchmod(fd, old.st_mode & 07777) == 0 && kept;
}

bool NeedsInPlace(int held, int error) {
    struct stat old {};
    if (held < 0) {
        return false;
    }
    if (error != 0) {
        return error == EBUSY || error == EXDEV;
    }
    return ::fstat(held, &old) == 0 && old.st_nlink > 1;
}

std::ptrdiff_t ReadAt(int fd, long long offset, void* buffer, std::size_t count, int& error) {
    ssize_t got;
    do {
        got = ::pread(fd, buffer, count, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    error = got < 0 ? errno : 0;
    return got;
}

std::ptrdiff_t WriteAt(int fd, long long offset, const void* buffer, std::size_t count,
                       int& error) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::pwrite(fd, static_cast<const char*>(buffer) + done, count - done,
                                     static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            error = put < 0 ? errno : 0;
            return static_cast<std::ptrdiff_t>(done);
        }
        done += static_cast<std::size_t>(put);
    }
    return static_cast<std::ptrdiff_t>(done);
}

long long FileSize(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

int SetFileSize(int fd, long long size) {
    return ::ftruncate(fd, static_cast<off_t>(size)) != 0 ? errno : 0;
}

int OpenAgain(const std::string& path, int& error) {
    const int fd = OpenRetrying(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    error = fd < 0 ? errno : 0;
    return fd;
}

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
    const int dirFd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
}

void RemoveFile(const std::string& path) noexcept {
    ::unlink(path.c_str());
}

}  // namespace tresk::file_os

namespace {

// The new files being written, for a signal handler to remove: a slot is
// filled while its flag is 0 and then flagged, so the handler never reads a
// half-written path.
struct PendingSlot {
    volatile std::sig_atomic_t armed = 0;
    char path[4096] = {};
};
PendingSlot g_pending[4];

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// Whether an ending signal ends the process at once (kRunning), waits
// (kHolding; kHeld + the signal once one came) or is ending it (kEnding). An
// atomic, as a signal may be handled on another thread of the viewer.
enum : int { kRunning, kHolding, kEnding, kHeld };
std::atomic<int> g_ending{kRunning};

// Removes the new files, then ends the process the way the signal does by
// default; while held, only notes the signal. Only async-signal-safe calls.
extern "C" void RemovePendingAndEnd(int signal) {
    int state = g_ending.load();
    for (;;) {
        if (state == kEnding ||
            (state == kRunning && g_ending.compare_exchange_weak(state, kEnding))) {
            break;
        }
        if (state >= kHeld ||
            (state == kHolding && g_ending.compare_exchange_weak(state, kHeld + signal))) {
            return;  // one held signal is enough
        }
    }
    for (PendingSlot& slot : g_pending) {
        if (slot.armed != 0) {
            ::unlink(slot.path);
        }
    }
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}

// Catches the signals that end a process, except those it ignores (a shell's
// nohup or a SIGPIPE the caller chose to ignore) or already handles itself.
void CatchEndingSignals() {
    static const bool done = [] {
        for (const int signal : kEndingSignals) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) {
                continue;
            }
            struct sigaction handler {};
            handler.sa_handler = RemovePendingAndEnd;
            handler.sa_flags = SA_RESTART;  // a held signal lets the copy go on
            sigfillset(&handler.sa_mask);
            ::sigaction(signal, &handler, nullptr);
        }
        return true;
    }();
    (void)done;
}

}  // namespace

namespace tresk::file_os {

void RememberPending(const std::string& path) {
    CatchEndingSignals();
    for (PendingSlot& slot : g_pending) {
        if (slot.armed == 0 && path.size() < sizeof slot.path) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.armed = 1;
            return;
        }
    }
}

// Nothing allocated, as Abort() needs.
void ForgetPending(const std::string& path) noexcept {
    for (PendingSlot& slot : g_pending) {
        if (slot.armed != 0 && path.compare(slot.path) == 0) {
            slot.armed = 0;
        }
    }
}

// A signal handled on another thread is ending the process when the hold
// cannot begin: this thread waits for the end.
void HoldEnding() {
    int state = kRunning;
    while (!g_ending.compare_exchange_weak(state, kHolding)) {
        if (state != kRunning) {
            ::pause();
            state = kRunning;
        }
    }
}

void ReleaseEnding() noexcept {
    const int state = g_ending.exchange(kRunning);
    if (state >= kHeld) {
        RemovePendingAndEnd(state - kHeld);
    }
}

}  // namespace tresk::file_os
