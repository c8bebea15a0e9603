// The file layer on Windows: CreateFileA, ReadFile and WriteFile with the
// 8-bit ("A") interfaces, the exclusive open as share mode 0, and
// GetLastError() selecting the cause by the Windows error table.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file.h"
#include "platform/file_os.h"

namespace {

// Handles are kept in CFile's int: Windows guarantees that a handle's value
// fits 32 bits, so it survives the round trip sign-extended.
HANDLE ToHandle(int fd) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd));
}

int FromHandle(HANDLE handle) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(handle));
}

int LastError() {
    return static_cast<int>(GetLastError());
}

// Share mode 0 keeps every other opener out while this object holds the
// file, and makes the open fail while another holds it.
DWORD ShareMode(bool exclusive) {
    return exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
}

// Writes the text of count bytes in the ANSI code page to console as
// Unicode, in pieces small enough for the consoles of older Windows: count,
// or -1 with error set. (A character of a double-byte code page cut between
// two calls would show wrong; the programs' code page is Windows-1252.)
std::ptrdiff_t WriteConsoleText(HANDLE console, const char* text, std::size_t count, int& error) {
    constexpr std::size_t kPiece = 8192;
    wchar_t wide[kPiece];
    for (std::size_t done = 0; done < count;) {
        const int bytes = static_cast<int>(std::min(kPiece, count - done));
        const int length = MultiByteToWideChar(CP_ACP, 0, text + done, bytes, wide, kPiece);
        DWORD written = 0;
        if (length <= 0 ||
            WriteConsoleW(console, wide, static_cast<DWORD>(length), &written, nullptr) == 0) {
            error = LastError();
            return -1;
        }
        done += static_cast<std::size_t>(bytes);
    }
    error = 0;
    return static_cast<std::ptrdiff_t>(count);
}

}  // namespace

// The full path as Windows makes it from the current drive and folder, with
// backslashes between the parts; the path as given when that fails.
std::string FullPath(const std::string& path) {
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return path;
    }
    full.resize(length);
    return full;
}

std::string SystemText(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (wideLength <= 0) {
        return std::string(utf8);
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideLength);
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::string(utf8);
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
    return text;
}

namespace {

// The Windows error codes of each cause; every code not listed is the generic
// cause.
struct CauseOfError {
    DWORD code;
    int cause;
};

constexpr CauseOfError kCauses[] = {
    {NO_ERROR, CFileException::none},
    {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
    {ERROR_INVALID_HANDLE, CFileException::fileNotFound},
    {ERROR_NO_MORE_FILES, CFileException::fileNotFound},
    {ERROR_DISK_CHANGE, CFileException::fileNotFound},
    {ERROR_PATH_NOT_FOUND, CFileException::badPath},
    {ERROR_INVALID_DRIVE, CFileException::badPath},
    {ERROR_NOT_SAME_DEVICE, CFileException::badPath},
    {ERROR_WRONG_DISK, CFileException::badPath},
    {ERROR_DUP_NAME, CFileException::badPath},
    {ERROR_BAD_NETPATH, CFileException::badPath},
    {ERROR_DEV_NOT_EXIST, CFileException::badPath},
    {ERROR_BAD_NET_NAME, CFileException::badPath},
    {ERROR_SHARING_PAUSED, CFileException::badPath},
    {ERROR_ALREADY_ASSIGNED, CFileException::badPath},
    {ERROR_BUFFER_OVERFLOW, CFileException::badPath},
    {ERROR_INVALID_NAME, CFileException::badPath},
    {ERROR_INVALID_LEVEL, CFileException::badPath},
    {ERROR_NO_VOLUME_LABEL, CFileException::badPath},
    {ERROR_DIR_NOT_ROOT, CFileException::badPath},
    {ERROR_LABEL_TOO_LONG, CFileException::badPath},
    {ERROR_BAD_PATHNAME, CFileException::badPath},
    {ERROR_FILENAME_EXCED_RANGE, CFileException::badPath},
    {ERROR_META_EXPANSION_TOO_LONG, CFileException::badPath},
    {ERROR_DIRECTORY, CFileException::badPath},
    {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
    {ERROR_SHARING_BUFFER_EXCEEDED, CFileException::tooManyOpenFiles},
    {ERROR_TOO_MANY_NAMES, CFileException::tooManyOpenFiles},
    {ERROR_NO_MORE_SEARCH_HANDLES, CFileException::tooManyOpenFiles},
    {ERROR_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_INVALID_ACCESS, CFileException::accessDenied},
    {ERROR_WRITE_PROTECT, CFileException::accessDenied},
    {ERROR_WRITE_FAULT, CFileException::accessDenied},
    {ERROR_NETWORK_BUSY, CFileException::accessDenied},
    {ERROR_BAD_NET_RESP, CFileException::accessDenied},
    {ERROR_NETNAME_DELETED, CFileException::accessDenied},
    {ERROR_NETWORK_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_REQ_NOT_ACCEP, CFileException::accessDenied},
    {ERROR_FILE_EXISTS, CFileException::accessDenied},
    {ERROR_CANNOT_MAKE, CFileException::accessDenied},
    {ERROR_INVALID_PASSWORD, CFileException::accessDenied},
    {ERROR_BUSY, CFileException::accessDenied},
    {ERROR_ALREADY_EXISTS, CFileException::accessDenied},
    {ERROR_SWAPERROR, CFileException::accessDenied},
    {ERROR_BAD_FORMAT, CFileException::invalidFile},
    {ERROR_NOT_DOS_DISK, CFileException::invalidFile},
    {ERROR_BAD_REM_ADAP, CFileException::invalidFile},
    {ERROR_BAD_DEV_TYPE, CFileException::invalidFile},
    {ERROR_INVALID_TARGET_HANDLE, CFileException::invalidFile},
    {ERROR_INVALID_ORDINAL, CFileException::invalidFile},
    {ERROR_INVALID_EXE_SIGNATURE, CFileException::invalidFile},
    {ERROR_BAD_EXE_FORMAT, CFileException::invalidFile},
    {ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
    {ERROR_DIR_NOT_EMPTY, CFileException::removeCurrentDir},
    {ERROR_NO_SPOOL_SPACE, CFileException::directoryFull},
    {ERROR_BAD_LENGTH, CFileException::badSeek},
    {ERROR_SEEK, CFileException::badSeek},
    {ERROR_SECTOR_NOT_FOUND, CFileException::badSeek},
    {ERROR_READ_FAULT, CFileException::badSeek},
    {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
    {ERROR_SEEK_ON_DEVICE, CFileException::badSeek},
    {ERROR_BAD_UNIT, CFileException::hardIO},
    {ERROR_NOT_READY, CFileException::hardIO},
    {ERROR_BAD_COMMAND, CFileException::hardIO},
    {ERROR_CRC, CFileException::hardIO},
    {ERROR_ADAP_HDW_ERR, CFileException::hardIO},
    {ERROR_UNEXP_NET_ERR, CFileException::hardIO},
    {ERROR_NET_WRITE_FAULT, CFileException::hardIO},
    {ERROR_INVALID_CATEGORY, CFileException::hardIO},
    {ERROR_OPERATION_ABORTED, CFileException::hardIO},
    {ERROR_IO_INCOMPLETE, CFileException::hardIO},
    {ERROR_IO_PENDING, CFileException::hardIO},
    {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
    {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
    {ERROR_DRIVE_LOCKED, CFileException::lockViolation},
    {ERROR_LOCK_FAILED, CFileException::lockViolation},
    {ERROR_HANDLE_DISK_FULL, CFileException::diskFull},
    {ERROR_DISK_FULL, CFileException::diskFull},
    {ERROR_HANDLE_EOF, CFileException::endOfFile},
};

}  // namespace

int CFileException::OsErrorToException(int errnoValue) {
    for (const CauseOfError& entry : kCauses) {
        if (entry.code == static_cast<DWORD>(errnoValue)) {
            return entry.cause;
        }
    }
    return genericException;
}

// ---- CFile

// Creating a file is always a safe replace: HoldTarget tells a device, which
// is written directly, from a file on a disk.
int CFile::OpenOnSystem(const std::string& path, unsigned flags) {
    const bool writing = (flags & modeWrite) != 0;
    if (writing && (flags & modeCreate) != 0) {
        return OpenReplacing(path, false, flags);
    }
    HANDLE handle = CreateFileA(path.c_str(), writing ? GENERIC_WRITE : GENERIC_READ,
                                ShareMode((flags & shareExclusive) != 0), nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    // A cut list is a file on a disk: a console or a pipe would block a load
    // forever.
    if (!writing && GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return ERROR_ACCESS_DENIED;
    }
    Adopt(FromHandle(handle), writing);
    return 0;
}

// Windows never hands a standard stream's place to a file opened later, so
// there is nothing to keep open.
void CFile::KeepStandardStreamsOpen() {}

PathKind KindOfPath(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PathKind::missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::folder : PathKind::other;
}

namespace {

// The volume and index of the file a handle is open on; false when unknown.
bool Identify(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileInformationByHandle(handle, &info) != 0;
}

bool IdentifyPath(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool known = Identify(handle, info);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    return known;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

bool CFile::IsSameFile(const std::string& first, const std::string& second) {
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    return IdentifyPath(first, a) && IdentifyPath(second, b) && SameFile(a, b);
}

bool CFile::IsStandardInput(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    return Identify(GetStdHandle(STD_INPUT_HANDLE), a) && IdentifyPath(path, b) && SameFile(a, b);
}

// ---- The system calls of the shared code

namespace tresk::file_os {

const int kNotOpen = ERROR_INVALID_HANDLE;
const int kHeldByOther = ERROR_SHARING_VIOLATION;
const int kNoSuchFile = ERROR_FILE_NOT_FOUND;
const int kBadName = ERROR_INVALID_NAME;
const char* const kPathSeparators = "\\/";
const bool kDriveLetters = true;

unsigned long long UniqueSeed() {
    return GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 20);
}

// Bytes go out as they are: no text-mode LF to CR LF.
int DuplicateStandard(int stream) {
    constexpr DWORD kStreams[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE standard = GetStdHandle(kStreams[stream]);
    HANDLE own = nullptr;
    if (standard == nullptr || standard == INVALID_HANDLE_VALUE ||
        DuplicateHandle(GetCurrentProcess(), standard, GetCurrentProcess(), &own, 0, FALSE,
                        DUPLICATE_SAME_ACCESS) == 0) {
        return -1;
    }
    return FromHandle(own);
}

// A character device that has a console mode; NUL and the serial ports are
// character devices too, and take bytes.
bool IsConsole(int fd) {
    DWORD mode = 0;
    return GetFileType(ToHandle(fd)) == FILE_TYPE_CHAR && GetConsoleMode(ToHandle(fd), &mode) != 0;
}

// Opening an existing file for writing (and reading, for a copy in place,
// where allowed) checks that we may change it: a read-only report is not
// replaced, one that another program holds is a sharing violation; a missing
// one is no error. Links are not followed: the new file takes the path's own
// place.
int HoldTarget(const std::string& path, bool /*exists*/, bool exclusive, ReplaceTarget& target) {
    target.destination = FullPath(path);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    const auto open = [&](DWORD access) {
        return CreateFileA(path.c_str(), access, ShareMode(exclusive), nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE held = open(GENERIC_READ | GENERIC_WRITE);
    if (held == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        held = open(GENERIC_WRITE);
    }
    if (held == INVALID_HANDLE_VALUE) {
        const int error = LastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : error;
    }
    target.held = FromHandle(held);
    target.device = GetFileType(held) != FILE_TYPE_DISK;
    return 0;
}

// Shared for deleting only: the console handler below removes the new file
// while this handle is open.
int CreateExclusive(const std::string& path, int& error) {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE,
                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    error = handle == INVALID_HANDLE_VALUE ? LastError() : 0;
    return handle == INVALID_HANDLE_VALUE ? -1 : FromHandle(handle);
}

bool NameTaken(int error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// Nothing is copied here: the move over the target (ReplaceFileA) keeps the
// target's attributes, ACL and streams on the file that takes its place.
bool CopyAttributes(int /*held*/, int /*fd*/) {
    return true;
}

// A target with other names (hard links on NTFS) is overwritten in place.
bool NeedsInPlace(int held, int error) {
    BY_HANDLE_FILE_INFORMATION info{};
    return held >= 0 && error == 0 && Identify(ToHandle(held), info) && info.nNumberOfLinks > 1;
}

std::ptrdiff_t ReadAt(int fd, long long offset, void* buffer, std::size_t count, int& error) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFLL);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (ReadFile(ToHandle(fd), buffer, static_cast<DWORD>(count), &got, &at) == 0) {
        error = LastError();
        return error == ERROR_HANDLE_EOF ? 0 : -1;
    }
    error = 0;
    return static_cast<std::ptrdiff_t>(got);
}

std::ptrdiff_t WriteAt(int fd, long long offset, const void* buffer, std::size_t count,
                       int& error) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFLL);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD put = 0;
    const BOOL ok = WriteFile(ToHandle(fd), buffer, static_cast<DWORD>(count), &put, &at);
    error = ok == 0 ? LastError() : 0;
    return static_cast<std::ptrdiff_t>(put);
}

long long FileSize(int fd) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(ToHandle(fd), &size) != 0 ? size.QuadPart : -1;
}

int SetFileSize(int fd, long long size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    return SetFileInformationByHandle(ToHandle(fd), FileEndOfFileInfo, &end, sizeof end) == 0
               ? LastError()
               : 0;
}

// Shared for deleting, as CreateExclusive.
int OpenAgain(const std::string& path, int& error) {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    error = handle == INVALID_HANDLE_VALUE ? LastError() : 0;
    return handle == INVALID_HANDLE_VALUE ? -1 : FromHandle(handle);
}

// A failure whose error code is 0 raises no error: what was read so far is
// all there is. A pipe whose writer is done (standard input) reports its end
// as a broken pipe.
std::ptrdiff_t ReadSome(int fd, void* buffer, std::size_t count, int& error) {
    DWORD got = 0;
    if (ReadFile(ToHandle(fd), buffer, static_cast<DWORD>(count), &got, nullptr) == 0) {
        const int err = LastError();
        if (err != 0 && err != ERROR_BROKEN_PIPE) {
            error = err;
            return -1;
        }
        return 0;
    }
    return static_cast<std::ptrdiff_t>(got);
}

// A failure whose error code is 0 names no error of its own: the bytes it
// did not store make it a short write.
std::ptrdiff_t WriteSome(int fd, const void* buffer, std::size_t count, int& error) {
    if (IsConsole(fd)) {
        return WriteConsoleText(ToHandle(fd), static_cast<const char*>(buffer), count, error);
    }
    DWORD put = 0;
    if (WriteFile(ToHandle(fd), buffer, static_cast<DWORD>(count), &put, nullptr) == 0) {
        error = LastError();
        return error != 0 ? -1 : 0;
    }
    error = 0;
    return static_cast<std::ptrdiff_t>(put);
}

int SyncToDisk(int fd) {
    return FlushFileBuffers(ToHandle(fd)) == 0 ? LastError() : 0;
}

int CloseFile(int fd) noexcept {
    return CloseHandle(ToHandle(fd)) == 0 ? LastError() : 0;
}

// Windows moves nothing over a file that is open: the target is let go just
// before. ReplaceFileA keeps the replaced file's attributes, ACL and streams;
// a target that is not there (any more) is simply moved to, written through
// to the disk.
int MoveOver(const std::string& from, const std::string& to, int& held) {
    if (held >= 0) {
        CloseHandle(ToHandle(held));
        held = -1;
        // Wine's ReplaceFileA keeps no attributes: they are set again.
        constexpr DWORD kSettable = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        const DWORD attributes = GetFileAttributesA(to.c_str());
        if (ReplaceFileA(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr) != 0) {
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kSettable) != 0) {
                SetFileAttributesA(to.c_str(), attributes & kSettable);
            }
            return 0;
        }
        if (GetLastError() != ERROR_FILE_NOT_FOUND) {
            return LastError();
        }
    }
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0
               ? LastError()
               : 0;
}

// MOVEFILE_WRITE_THROUGH has put the folder's entry on the disk already.
void SyncFolder(const std::string& /*path*/) {}

void RemoveFile(const std::string& path) noexcept {
    DeleteFileA(path.c_str());
}

}  // namespace tresk::file_os

namespace {

// The new files being written, for the console handler to remove when the
// console ends the program. The handler runs on a thread of its own while the
// main thread may be writing, so a slot changes hands by interlocked
// exchanges: the main thread fills a free slot and arms it, and either takes
// it back (ForgetPending) or the handler claims it for removal, never both.
// Nothing is allocated on the handler's side.
//
// The new file is opened shared for deleting (CreateExclusive) so that the
// handler's DeleteFileA works while the main thread holds it open: the name
// goes at once (or, on older Windows, as soon as ExitProcess closes the
// handle). Marking the file delete-on-close from its creation would also
// cover a process killed outright, but every replace would then have to undo
// the mark before the move, and a failed undo would lose a finished report.
enum : LONG { kFree, kFilling, kArmed, kRemoving };
struct PendingSlot {
    volatile LONG state = kFree;
    char path[4096] = {};
};
PendingSlot g_pending[4];

// Whether a console event ends the process at once (kRunning), waits while a
// target is overwritten in place (kHolding), or is ending it (kEnding).
enum : LONG { kRunning, kHolding, kEnding };
volatile LONG g_ending = kRunning;

void RemovePending() {
    while (InterlockedCompareExchange(&g_ending, kEnding, kRunning) == kHolding) {
        Sleep(10);
    }
    for (PendingSlot& slot : g_pending) {
        if (InterlockedCompareExchange(&slot.state, kRemoving, kArmed) == kArmed) {
            DeleteFileA(slot.path);
        }
    }
}

// Ctrl+C, Ctrl+Break, the console window closed or the system shutting down:
// the new files go, then the process ends with the status the system's own
// handler gives an interrupted program. A logoff reaches only programs run
// by a service, which go on running after another user's logoff: left to the
// next handler.
BOOL WINAPI RemovePendingAndEnd(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT &&
        event != CTRL_SHUTDOWN_EVENT) {
        return FALSE;
    }
    RemovePending();
    ExitProcess(STATUS_CONTROL_C_EXIT);
}

}  // namespace

namespace tresk::file_os {

void RememberPending(const std::string& path) {
    static const bool handled = SetConsoleCtrlHandler(RemovePendingAndEnd, TRUE) != 0;
    (void)handled;
    for (PendingSlot& slot : g_pending) {
        if (path.size() < sizeof slot.path &&
            InterlockedCompareExchange(&slot.state, kFilling, kFree) == kFree) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            InterlockedExchange(&slot.state, kArmed);
            break;
        }
    }
    // The handler is ending the process and may have passed this slot.
    if (InterlockedCompareExchange(&g_ending, kEnding, kEnding) == kEnding) {
        DeleteFileA(path.c_str());
        Sleep(INFINITE);
    }
}

// Nothing allocated, as Abort() needs.
void ForgetPending(const std::string& path) noexcept {
    for (PendingSlot& slot : g_pending) {
        if (slot.state == kArmed && path.compare(slot.path) == 0) {
            InterlockedCompareExchange(&slot.state, kFree, kArmed);
        }
    }
}

// The handler's thread waits for ReleaseEnding (Windows ends the process
// anyway 5 s after its console closed). When the handler is ending the
// process already, this thread waits for the end.
void HoldEnding() {
    if (InterlockedCompareExchange(&g_ending, kHolding, kRunning) != kRunning) {
        Sleep(INFINITE);
    }
}

void ReleaseEnding() noexcept {
    InterlockedExchange(&g_ending, kRunning);
}

}  // namespace tresk::file_os
