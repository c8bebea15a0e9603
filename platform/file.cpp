#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

namespace {

// The messages of the fifteen causes, in cause order. UTF-8.
constexpr const char* kMessages[CFileException::kCauseCount] = {
    "Non si è verificato alcun errore.",
    "Si è verificato un errore sconosciuto durante l'accesso a %1.",
    "%1 non trovato.",
    "%1 contiene un percorso non valido.",
    "Non è stato possibile aprire %1 poiché vi sono troppi file aperti.",
    "Accesso a %1 negato.",
    "Un gestore di file non valido è stato associato a %1.",
    "Impossibile rimuovere %1 poiché è la directory corrente.",
    "Impossibile creare %1 poiché la directory è piena.",
    "Ricerca fallita su %1",
    "Nell'accesso a %1 è stato registrato un errore hardware di I/O. ",
    "Durante l'accesso a %1 si è verificata una violazione di condivisione.",
    "Durante l'accesso a %1 si è verificata una violazione di blocco.",
    "Disco pieno durante l'accesso a %1.",
    "È stato fatto un tentativo di accedere a %1 oltre la sua fine.",
};

constexpr const char* kUnnamedFile = "un file senza nome";

int CloseRetainingErrno(int fd) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
}

int OpIndex(tresk::file_fault::Op op) {
    return op == tresk::file_fault::Op::read ? 0 : 1;
}

// Counts one call of op; true when this call is the one to fail.
bool CountCall(tresk::file_fault::Op op) {
    auto& state = tresk::file_fault::detail::g_state;
    const int i = OpIndex(op);
    ++state.calls[i];
    return state.failAt[i] != 0 && state.calls[i] == state.failAt[i];
}

int InjectedErrno(tresk::file_fault::Op op) {
    auto& state = tresk::file_fault::detail::g_state;
    const int i = OpIndex(op);
    state.failAt[i] = 0;  // one failure per arming
    return state.errnoValue[i];
}

}  // namespace

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

namespace tresk::file_fault {

detail::State detail::g_state;

void FailNth(Op op, long n, int errnoValue) {
    auto& state = detail::g_state;
    const int i = OpIndex(op);
    state.failAt[i] = n > 0 ? state.calls[i] + n : 0;
    state.errnoValue[i] = errnoValue;
}

void Reset() {
    detail::g_state = detail::State{};
}

long Calls(Op op) {
    return detail::g_state.calls[OpIndex(op)];
}

}  // namespace tresk::file_fault

// ---- CFileException

CFileException::CFileException(int cause, long osError, std::string fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}

// errno values grouped the way the Windows error table groups its conditions.
// Codes not listed are the generic cause.
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
        case EWOULDBLOCK:  // the exclusive lock is held by another process
        case ETXTBSY:
            return sharingViolation;
        case ENOLCK:
        case EDEADLK:
            return lockViolation;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return diskFull;
        default:
            return genericException;
    }
}

const char* CFileException::MessageTemplate(int cause) {
    if (cause < 0 || cause >= kCauseCount) {
        return "";
    }
    return kMessages[cause];
}

std::string CFileException::GetErrorMessage() const {
    const std::string name = m_strFileName.empty() ? std::string(kUnnamedFile) : m_strFileName;
    std::string text = MessageTemplate(m_cause);
    std::string result;
    result.reserve(text.size() + name.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t mark = text.find("%1", pos);
        if (mark == std::string::npos) {
            result.append(text, pos, std::string::npos);
            break;
        }
        result.append(text, pos, mark - pos);
        result += name;
        pos = mark + 2;
    }
    return result;
}

const char* CFileException::what() const noexcept {
    return MessageTemplate(m_cause);
}

// ---- CMemoryException

const char* CMemoryException::Message() {
    return "Memoria insufficiente.";
}

const char* CMemoryException::what() const noexcept {
    return Message();
}

// ---- CFile

CFile::~CFile() {
    if (m_fd < 0) {
        return;
    }
    // An exception is unwinding past this file, or the owner did not close
    // it: store what is pending if the system still takes it, then close.
    // Nothing can be reported from here.
    try {
        FlushWrites();
    } catch (...) {
    }
    Abort();
}

bool CFile::Open(const std::string& path, unsigned flags, CFileException* error) {
    Close();
    m_strFileName.clear();

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
    int oflags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    oflags |= writing ? O_WRONLY : O_RDONLY;
    if (creating) {
        oflags |= O_CREAT;
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
    if (fl >= 0) {
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
            return fail(EWOULDBLOCK);
        }
    }

    // Truncate only once the lock is ours, so a file another process holds is
    // never emptied.
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

bool CFile::OpenStandardOutput() {
    Close();
    m_strFileName = "stdout";
    const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    m_fd = fd;
    m_writable = true;
    m_buf = new unsigned char[kBufferSize];
    return true;
}

void CFile::ThrowOsError(int errnoValue) const {
    throw CFileException(CFileException::OsErrorToException(errnoValue), errnoValue, m_strFileName);
}

std::size_t CFile::ReadSlow(void* buffer, std::size_t count) {
    if (count == 0) {
        return 0;
    }
    if (CountCall(tresk::file_fault::Op::read)) {
        const int err = InjectedErrno(tresk::file_fault::Op::read);
        if (err == 0) {
            return 0;
        }
        ThrowOsError(err);
    }
    if (m_fd < 0 || m_writable) {
        ThrowOsError(EBADF);
    }

    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (m_readPos < m_readEnd) {
            const std::size_t take = std::min(count - done, m_readEnd - m_readPos);
            std::memcpy(out + done, m_buf + m_readPos, take);
            m_readPos += take;
            done += take;
            continue;
        }
        if (m_buf == nullptr) {
            m_buf = new unsigned char[kBufferSize];
        }
        ssize_t got;
        do {
            got = ::read(m_fd, m_buf, kBufferSize);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            m_readPos = m_readEnd = 0;
            ThrowOsError(errno);
        }
        m_readPos = 0;
        m_readEnd = static_cast<std::size_t>(got);
        if (got == 0) {
            break;  // end of file
        }
    }
    return done;
}

void CFile::WriteSlow(const void* buffer, std::size_t count) {
    if (count == 0) {
        return;
    }
    if (CountCall(tresk::file_fault::Op::write)) {
        const int err = InjectedErrno(tresk::file_fault::Op::write);
        if (m_fd >= 0 && m_writable) {
            // What was written before the failing call reaches the file.
            FlushWrites();
            if (err == 0) {
                const std::size_t half = std::min(count / 2, kBufferSize);
                if (half > 0) {
                    std::memcpy(m_buf, buffer, half);
                    m_writeLen = half;
                    FlushWrites();
                }
                throw CFileException(CFileException::diskFull, -1, m_strFileName);
            }
        }
        ThrowOsError(err == 0 ? EBADF : err);
    }
    if (m_fd < 0 || !m_writable) {
        ThrowOsError(EBADF);
    }
    const auto* in = static_cast<const unsigned char*>(buffer);
    while (count > 0) {
        if (m_writeLen == kBufferSize) {
            FlushWrites();
        }
        const std::size_t take = std::min(count, kBufferSize - m_writeLen);
        std::memcpy(m_buf + m_writeLen, in, take);
        m_writeLen += take;
        in += take;
        count -= take;
    }
}

// Stores the pending writes. On failure the pending bytes are dropped (they
// cannot be stored) and the error is raised: ENOSPC and the like with their
// cause, a write that stores nothing at all as disk full with OS error -1.
void CFile::FlushWrites() {
    if (!m_writable || m_fd < 0 || m_writeLen == 0) {
        return;
    }
    std::size_t done = 0;
    while (done < m_writeLen) {
        const ssize_t put = ::write(m_fd, m_buf + done, m_writeLen - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            const int err = put < 0 ? errno : 0;
            m_writeLen = 0;
            if (err == 0) {
                throw CFileException(CFileException::diskFull, -1, m_strFileName);
            }
            ThrowOsError(err);
        }
        done += static_cast<std::size_t>(put);
    }
    m_writeLen = 0;
}

void CFile::Flush() {
    if (m_fd < 0) {
        ThrowOsError(EBADF);
    }
    FlushWrites();
}

void CFile::Close() {
    if (m_fd < 0) {
        return;
    }
    try {
        FlushWrites();
    } catch (...) {
        Abort();
        throw;
    }
    // The lock goes with the descriptor. A failed close of a file that was
    // written can mean lost data (NFS reports write errors here).
    const int closeError = Abort();
    if (closeError != 0 && closeError != EINTR && m_writable) {
        ThrowOsError(closeError);
    }
}

int CFile::Abort() noexcept {
    int closeError = 0;
    if (m_fd >= 0) {
        if (::close(m_fd) != 0) {
            closeError = errno;
        }
        m_fd = -1;
    }
    delete[] m_buf;
    m_buf = nullptr;
    m_readPos = m_readEnd = m_writeLen = 0;
    return closeError;
}
