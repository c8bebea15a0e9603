// The parts of the file layer that do not depend on the operating system: the
// fifteen messages, CFileException and CMemoryException, the fault seam's
// counters, and CFile's start of an open, buffers, memory files, safe replace
// and closing. Each system's file (file_posix.cpp, file_win32.cpp) opens files
// there and gives the few system calls of file_os.h.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "platform/file.h"
#include "platform/file_faults.h"
#include "platform/file_os.h"

namespace {

// The messages of the fifteen causes, in cause order. UTF-8; SystemText turns
// them into the encoding of the paths put into them.
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

int OpIndex(tresk::file_fault::Op op) {
    return op == tresk::file_fault::Op::read ? 0 : 1;
}

}  // namespace

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

namespace {

// Counts one call of op; true when this call is the one to fail.
bool CountCall(tresk::file_fault::Op op) {
    auto& state = tresk::file_fault::detail::g_state;
    const int i = OpIndex(op);
    ++state.calls[i];
    return state.failAt[i] != 0 && state.calls[i] == state.failAt[i];
}

// The error of the failure armed for op, disarming it: one failure per arming.
int TakeInjectedErrno(tresk::file_fault::Op op) {
    auto& state = tresk::file_fault::detail::g_state;
    const int i = OpIndex(op);
    state.failAt[i] = 0;
    return state.errnoValue[i];
}

}  // namespace

// ---- CFileException

CFileException::CFileException(int cause, long osError, std::string fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}

const char* CFileException::MessageTemplate(int cause) {
    if (cause < 0 || cause >= kCauseCount) {
        return "";
    }
    return kMessages[cause];
}

std::string PrintablePath(const std::string& path) {
    std::string shown;
    shown.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
        } else if (c == '\n' || c == '\t') {
            shown += c == '\n' ? "\\n" : "\\t";
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        }
    }
    return shown;
}

std::string CFileException::GetErrorMessage() const {
    const std::string name =
        m_strFileName.empty() ? std::string(kUnnamedFile) : PrintablePath(m_strFileName);
    // The path keeps its bytes; only the message around it is converted.
    const std::string text = SystemText(MessageTemplate(m_cause));
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

// ---- CFile: the start of an open, which every system shares

namespace {

using tresk::file_fault::Op;
namespace os = tresk::file_os;

// Where the name starts in path: after its last separator, or after a
// drive's colon.
std::size_t NameStart(const std::string& path) {
    const std::size_t slash = path.find_last_of(os::kPathSeparators);
    std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    if (os::kDriveLetters && start == 0 && path.size() >= 2 && path[1] == ':') {
        start = 2;
    }
    return start;
}

}  // namespace

std::string PathFileName(const std::string& path) {
    return path.substr(NameStart(path));
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || NameStart(folder) == folder.size()) {
        return folder + name;
    }
    return folder + os::kPathSeparators[0] + name;
}

// Nothing left open, the full path kept for the messages (also after a failed
// open), a name the system can take; then the system's own part.
bool CFile::Open(const std::string& path, unsigned flags, CFileException* error) {
    Close();
    m_strFileName.clear();
    m_openFailCause = CFileException::fileNotFound;
    if (path.empty()) {
        return FailOpen(error, os::kNoSuchFile, CFileException::fileNotFound);
    }
    m_strFileName = FullPath(path);
    if (path.find('\0') != std::string::npos) {
        return FailOpen(error, os::kBadName, CFileException::badPath);
    }
    const int code = OpenOnSystem(path, flags);
    return code == 0 || FailOpen(error, code, CFileException::OsErrorToException(code));
}

// A file another process holds is a sharing violation, also for the reads and
// writes that follow the failed open.
bool CFile::FailOpen(CFileException* error, int code, int cause) {
    if (code == os::kHeldByOther) {
        cause = CFileException::sharingViolation;
        m_openFailCause = cause;
    }
    if (error != nullptr) {
        *error = CFileException(cause, code, m_strFileName);
    }
    return false;
}

// A file opened for writing gets its write-behind buffer at once; one opened
// for reading gets its read-ahead buffer on the first read.
void CFile::Adopt(int fd, bool writing) {
    m_fd = fd;
    m_writable = writing;
    if (writing) {
        m_buf = new unsigned char[kBufferSize];
    }
}

bool CFile::OpenStandardOutput() {
    return OpenStandard(1, "stdout");
}

bool CFile::OpenStandardError() {
    return OpenStandard(2, "stderr");
}

bool CFile::OpenStandardInput() {
    return OpenStandard(0, "stdin");
}

// Errors name the stream; the descriptor is our own, so closing this file
// leaves the process's stream alone.
bool CFile::OpenStandard(int stream, const char* name) {
    Close();
    m_strFileName = name;
    const int fd = os::DuplicateStandard(stream);
    if (fd < 0) {
        return false;
    }
    Adopt(fd, stream != 0);
    return true;
}

// ---- The safe replace: hold the target, write a new file beside it, and at
// Close() put it in the target's place (Commit)

namespace {

// A name for the new file beside target: hidden, unlikely to be taken, and
// short enough for the folder even when the target's own name is at the limit.
std::string NewFileName(const std::string& target, unsigned attempt) {
    static unsigned counter = 0;
    const std::size_t slash = target.find_last_of(os::kPathSeparators);
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const unsigned long long mix = os::UniqueSeed() ^ (++counter * 2654435761ULL) ^ attempt;
    char suffix[24];
    const int n = std::snprintf(suffix, sizeof suffix, ".%08llx~", mix & 0xFFFFFFFFULL);
    return folder + "." + base.substr(0, 200) + std::string(suffix, static_cast<std::size_t>(n));
}

}  // namespace

// Creating a file that may be there: the target is held until Close() and the
// bytes go to a new file beside it, which takes its place only when whole.
int CFile::OpenReplacing(const std::string& path, bool exists, unsigned flags) {
    os::ReplaceTarget target;
    const int refused = os::HoldTarget(path, exists, (flags & shareExclusive) != 0, target);
    if (refused != 0) {
        return refused;
    }
    if (target.device) {
        Adopt(target.held, true);
        return 0;
    }
    m_lockFd = target.held;
    try {  // from here Abort() lets go of everything, also when memory runs out
        m_strReplaced = std::move(target.destination);
        m_buf = new unsigned char[kBufferSize];
        if (const int error = CreateNewFile(); error != 0) {
            Abort();
            return error;
        }
    } catch (...) {
        Abort();
        throw;
    }
    m_writable = true;
    return 0;
}

// The new file under the first free name beside the target: 0, or the error.
int CFile::CreateNewFile() {
    int error = 0;
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        std::string name = NewFileName(m_strReplaced, attempt);
        const int fd = os::CreateExclusive(name, error);
        if (fd >= 0) {
            m_strNewFile = std::move(name);
            m_fd = fd;
            os::RememberPending(m_strNewFile);
            return 0;
        }
        if (!os::NameTaken(error)) {
            break;
        }
    }
    return error;
}

// ---- Buffers, closing and memory files

CFile::~CFile() {
    if (!IsOpen()) {
        return;
    }
    // An exception is unwinding past this file, or the owner did not close
    // it. A file written directly gets what is pending if the system still
    // takes it; a replacement is abandoned, so the target stays as it was.
    // Nothing can be reported from here.
    if (m_strNewFile.empty()) {
        try {
            FlushWrites();
        } catch (...) {
        }
    }
    Abort();
}

void CFile::OpenMemoryForWriting() {
    Abort();
    m_buf = new unsigned char[kBufferSize];
    m_memWritten.clear();
    m_memory = true;
    m_writable = true;
}

const std::string& CFile::MemoryWritten() {
    if (m_memory) {
        FlushWrites();
    }
    return m_memWritten;
}

void CFile::TruncateMemory() {
    m_writeLen = 0;
    m_memWritten.clear();
}

void CFile::AttachMemory(const void* data, std::size_t size) {
    Abort();
    m_memory = true;
    m_writable = false;
    m_strFileName.clear();
    // Only ever read: the cast lets the read-ahead path serve these bytes.
    m_buf = static_cast<unsigned char*>(const_cast<void*>(data));
    m_readPos = 0;
    m_readEnd = size;
}

void CFile::ThrowOsError(int errnoValue) const {
    throw CFileException(CFileException::OsErrorToException(errnoValue), errnoValue, m_strFileName);
}

// A file that never opened reports why it did not: held by another process,
// or (as for an invalid handle) not found.
void CFile::ThrowNotOpen() const {
    if (m_fd < 0 && m_openFailCause != CFileException::fileNotFound) {
        throw CFileException(m_openFailCause, os::kHeldByOther, m_strFileName);
    }
    ThrowOsError(os::kNotOpen);
}

// Reads the next stretch of the file into the read-ahead buffer: false at the
// end of the file.
bool CFile::FillReadBuffer() {
    if (m_buf == nullptr) {
        m_buf = new unsigned char[kBufferSize];
    }
    int error = 0;
    const std::ptrdiff_t got = os::ReadSome(m_fd, m_buf, kBufferSize, error);
    if (got < 0) {
        m_readPos = m_readEnd = 0;
        ThrowOsError(error);
    }
    m_readPos = 0;
    m_readEnd = static_cast<std::size_t>(got);
    return got != 0;
}

std::size_t CFile::ReadSlow(void* buffer, std::size_t count) {
    if (count == 0) {
        return 0;
    }
    if (CountCall(Op::read)) {
        const int err = TakeInjectedErrno(Op::read);
        if (err == 0) {
            return 0;
        }
        ThrowOsError(err);
    }
    auto* out = static_cast<unsigned char*>(buffer);
    const bool memoryRead = m_memory && !m_writable;
    if (!memoryRead && (m_fd < 0 || m_writable)) {
        ThrowNotOpen();
    }
    std::size_t done = 0;
    while (done < count) {
        if (m_readPos < m_readEnd) {
            const std::size_t take = std::min(count - done, m_readEnd - m_readPos);
            std::memcpy(out + done, m_buf + m_readPos, take);
            m_readPos += take;
            done += take;
        } else if (memoryRead || !FillReadBuffer()) {
            break;  // end of file
        }
    }
    return done;
}

void CFile::WriteSlow(const void* buffer, std::size_t count) {
    if (count == 0) {
        return;
    }
    if (CountCall(Op::write)) {
        const int err = TakeInjectedErrno(Op::write);
        if (IsOpen() && m_writable) {
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
        ThrowOsError(err == 0 ? os::kNotOpen : err);
    }
    if (!IsOpen() || !m_writable) {
        ThrowNotOpen();
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
// cause, a write that stores nothing and names no error as disk full with OS
// error -1.
void CFile::FlushWrites() {
    if (!m_writable || !IsOpen() || m_writeLen == 0) {
        return;
    }
    if (m_memory) {
        m_memWritten.append(reinterpret_cast<const char*>(m_buf), m_writeLen);
        m_writeLen = 0;
        return;
    }
    std::size_t done = 0;
    while (done < m_writeLen) {
        int error = 0;
        const std::ptrdiff_t put = os::WriteSome(m_fd, m_buf + done, m_writeLen - done, error);
        if (put <= 0) {
            m_writeLen = 0;
            if (error != 0) {
                ThrowOsError(error);
            }
            throw CFileException(CFileException::diskFull, -1, m_strFileName);
        }
        done += static_cast<std::size_t>(put);
    }
    m_writeLen = 0;
}

void CFile::Flush() {
    if (!IsOpen()) {
        ThrowOsError(os::kNotOpen);
    }
    FlushWrites();
}

void CFile::Close() {
    if (m_fd < 0) {
        if (m_memory) {
            FlushWrites();
        }
        Abort();  // a memory file, or nothing open
        return;
    }
    try {
        FlushWrites();
        if (!m_strNewFile.empty()) {
            Commit();
        }
    } catch (...) {
        Abort();
        throw;
    }
    // A lock goes with the descriptor. A failed close of a file that was
    // written can mean lost data (NFS reports write errors here).
    const int closeError = Abort();
    if (closeError != 0 && m_writable) {
        ThrowOsError(closeError);
    }
}

// Puts the finished new file in the target's place: on the disk first, with
// what the target had, then moved over the target in one step (a reader sees
// the old file or the new, never a part), then the folder's entry on the disk
// too. A target that cannot be replaced that way is overwritten in place.
void CFile::Commit() {
    if (const int error = os::SyncToDisk(m_fd); error != 0) {
        ThrowOsError(error);
    }
    if (!os::CopyAttributes(m_lockFd, m_fd) || os::NeedsInPlace(m_lockFd, 0)) {
        CommitInPlace();
        return;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (const int error = os::CloseFile(fd); error != 0) {
        ThrowOsError(error);
    }
    if (const int error = os::MoveOver(m_strNewFile, m_strReplaced, m_lockFd); error != 0) {
        int reopenError = error;
        if (!os::NeedsInPlace(m_lockFd, error) ||
            (m_fd = os::OpenAgain(m_strNewFile, reopenError)) < 0) {
            ThrowOsError(reopenError);
        }
        CommitInPlace();
        return;
    }
    os::ForgetPending(m_strNewFile);
    m_strNewFile.clear();
    os::SyncFolder(m_strReplaced);
}

namespace {

// What a failed step of the copy in place reports: the error, or a short
// write as a full disk.
int StepError(std::ptrdiff_t done, std::size_t wanted, int error) {
    if (done >= 0 && static_cast<std::size_t>(done) == wanted) {
        return 0;
    }
    return error != 0 ? error : -1;
}

// Swaps the bytes of target and fresh chunk by chunk from offset 0 until
// end: target gets fresh's bytes, fresh keeps target's in their place. Returns
// 0, or the error, with done set to how far both were swapped.
int SwapContents(int target, int fresh, long long end, unsigned char* buf, long long& done) {
    const std::size_t half = CFile::kBufferSize / 2;
    unsigned char* old = buf + half;
    for (done = 0; done < end;) {
        int error = 0;
        const std::ptrdiff_t got = os::ReadAt(fresh, done, buf, half, error);
        const std::ptrdiff_t had = got < 0 ? -1 : os::ReadAt(target, done, old, half, error);
        if (got < 0 || had < 0) {
            return error;
        }
        const auto take = static_cast<std::size_t>(std::max(got, had));
        std::memset(buf + got, 0, half - static_cast<std::size_t>(got));
        std::memset(old + had, 0, half - static_cast<std::size_t>(had));
        if (CountCall(Op::write)) {  // each chunk into the target counts as a write
            const int injected = TakeInjectedErrno(Op::write);
            return injected != 0 ? injected : -1;
        }
        if (const int e = StepError(os::WriteAt(target, done, buf, take, error), take, error)) {
            return e;
        }
        if (const int e = StepError(os::WriteAt(fresh, done, old, take, error), take, error)) {
            os::WriteAt(target, done, old, take, error);  // this chunk back at once
            return e;
        }
        done += static_cast<long long>(take);
    }
    return 0;
}

// Puts the old bytes, kept in fresh up to done, back into target, cut to its
// old size.
void PutBack(int target, int fresh, long long done, long long oldSize, unsigned char* buf) {
    for (long long at = 0; at < done;) {
        int error = 0;
        const auto want = static_cast<std::size_t>(
            std::min(done - at, static_cast<long long>(CFile::kBufferSize)));
        const std::ptrdiff_t got = os::ReadAt(fresh, at, buf, want, error);
        if (got <= 0 || os::WriteAt(target, at, buf, static_cast<std::size_t>(got), error) != got) {
            break;
        }
        at += got;
    }
    os::SetFileSize(target, oldSize);
    os::SyncToDisk(target);
}

// Holds back the signals that end the process while it lives.
class EndingHeld {
public:
    EndingHeld() { os::HoldEnding(); }
    ~EndingHeld() { os::ReleaseEnding(); }
    EndingHeld(const EndingHeld&) = delete;
    EndingHeld& operator=(const EndingHeld&) = delete;
};

}  // namespace

// The finished new file's bytes are copied into the held target itself, so
// every name of it (and its attributes) stays. Not atomic against a crash:
// until the copy is whole the old bytes wait in the new file's place and go
// back into the target if the copy fails. A signal waits for the copy or the
// putting back to end.
void CFile::CommitInPlace() {
    const long long newSize = os::FileSize(m_fd);
    const long long oldSize = os::FileSize(m_lockFd);
    if (newSize < 0 || oldSize < 0) {
        ThrowOsError(os::kNotOpen);
    }
    const EndingHeld held;
    long long done = 0;
    int error = SwapContents(m_lockFd, m_fd, std::max(newSize, oldSize), m_buf, done);
    if (error == 0) {
        error = os::SetFileSize(m_lockFd, newSize);
    }
    if (error == 0) {
        error = os::SyncToDisk(m_lockFd);
    }
    if (error != 0) {
        PutBack(m_lockFd, m_fd, done, oldSize, m_buf);
        if (error < 0) {
            throw CFileException(CFileException::diskFull, -1, m_strFileName);
        }
        ThrowOsError(error);
    }
}

int CFile::Abort() noexcept {
    int closeError = 0;
    if (m_fd >= 0) {
        closeError = os::CloseFile(m_fd);
        m_fd = -1;
    }
    if (!m_strNewFile.empty()) {
        os::RemoveFile(m_strNewFile);
        os::ForgetPending(m_strNewFile);
        m_strNewFile.clear();
    }
    m_strReplaced.clear();
    if (m_lockFd >= 0) {
        os::CloseFile(m_lockFd);
        m_lockFd = -1;
    }
    if (m_memory && !m_writable) {
        m_buf = nullptr;  // the bytes read belong to the caller
    }
    m_memory = false;
    delete[] m_buf;
    m_buf = nullptr;
    m_readPos = m_readEnd = m_writeLen = 0;
    return closeError;
}
