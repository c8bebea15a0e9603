// The file layer on Windows: CreateFileA, ReadFile and WriteFile with the
// 8-bit ("A") interfaces, the exclusive open as share mode 0, and
// GetLastError() selecting the cause by the Windows error table.
#include <windows.h>

#include <cstdint>
#include <cstdio>
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

// A name for the new file beside target, unlikely to be taken, and short
// enough for the folder even when target's own name is long.
std::string NewFileName(const std::string& target, unsigned attempt) {
    static unsigned counter = 0;
    const std::size_t slash = target.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const unsigned long long mix = GetTickCount64() ^
                                   (static_cast<unsigned long long>(GetCurrentProcessId()) << 20) ^
                                   (++counter * 2654435761ULL) ^ attempt;
    char suffix[24];
    const int n = std::snprintf(suffix, sizeof suffix, ".%08llx~", mix & 0xFFFFFFFFULL);
    return folder + "." + base.substr(0, 200) + std::string(suffix, static_cast<std::size_t>(n));
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

// The Windows error codes of each cause; every code not listed is the generic
// cause.
int CFileException::OsErrorToException(int errnoValue) {
    switch (errnoValue) {
        case NO_ERROR:
            return none;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_INVALID_HANDLE:
        case ERROR_NO_MORE_FILES:
        case ERROR_DISK_CHANGE:
            return fileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_NOT_SAME_DEVICE:
        case ERROR_WRONG_DISK:
        case ERROR_DUP_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_BAD_NET_NAME:
        case ERROR_SHARING_PAUSED:
        case ERROR_ALREADY_ASSIGNED:
        case ERROR_BUFFER_OVERFLOW:
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_LEVEL:
        case ERROR_NO_VOLUME_LABEL:
        case ERROR_DIR_NOT_ROOT:
        case ERROR_LABEL_TOO_LONG:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_META_EXPANSION_TOO_LONG:
        case ERROR_DIRECTORY:
            return badPath;
        case ERROR_TOO_MANY_OPEN_FILES:
        case ERROR_SHARING_BUFFER_EXCEEDED:
        case ERROR_TOO_MANY_NAMES:
        case ERROR_NO_MORE_SEARCH_HANDLES:
            return tooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_INVALID_ACCESS:
        case ERROR_WRITE_PROTECT:
        case ERROR_WRITE_FAULT:
        case ERROR_NETWORK_BUSY:
        case ERROR_BAD_NET_RESP:
        case ERROR_NETNAME_DELETED:
        case ERROR_NETWORK_ACCESS_DENIED:
        case ERROR_REQ_NOT_ACCEP:
        case ERROR_FILE_EXISTS:
        case ERROR_CANNOT_MAKE:
        case ERROR_INVALID_PASSWORD:
        case ERROR_BUSY:
        case ERROR_ALREADY_EXISTS:
        case ERROR_SWAPERROR:
            return accessDenied;
        case ERROR_BAD_FORMAT:
        case ERROR_NOT_DOS_DISK:
        case ERROR_BAD_REM_ADAP:
        case ERROR_BAD_DEV_TYPE:
        case ERROR_INVALID_TARGET_HANDLE:
        case ERROR_INVALID_ORDINAL:
        case ERROR_INVALID_EXE_SIGNATURE:
        case ERROR_BAD_EXE_FORMAT:
            return invalidFile;
        case ERROR_CURRENT_DIRECTORY:
        case ERROR_DIR_NOT_EMPTY:
            return removeCurrentDir;
        case ERROR_NO_SPOOL_SPACE:
            return directoryFull;
        case ERROR_BAD_LENGTH:
        case ERROR_SEEK:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_READ_FAULT:
        case ERROR_NEGATIVE_SEEK:
        case ERROR_SEEK_ON_DEVICE:
            return badSeek;
        case ERROR_BAD_UNIT:
        case ERROR_NOT_READY:
        case ERROR_BAD_COMMAND:
        case ERROR_CRC:
        case ERROR_ADAP_HDW_ERR:
        case ERROR_UNEXP_NET_ERR:
        case ERROR_NET_WRITE_FAULT:
        case ERROR_INVALID_CATEGORY:
        case ERROR_OPERATION_ABORTED:
        case ERROR_IO_INCOMPLETE:
        case ERROR_IO_PENDING:
            return hardIO;
        case ERROR_SHARING_VIOLATION:
            return sharingViolation;
        case ERROR_LOCK_VIOLATION:
        case ERROR_DRIVE_LOCKED:
        case ERROR_LOCK_FAILED:
            return lockViolation;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL:
            return diskFull;
        case ERROR_HANDLE_EOF:
            return endOfFile;
        default:
            return genericException;
    }
}

// ---- CFile

bool CFile::Open(const std::string& path, unsigned flags, CFileException* error) {
    Close();
    m_strFileName.clear();
    m_openFailCause = CFileException::fileNotFound;

    const auto fail = [&](int code) {
        if (code == ERROR_SHARING_VIOLATION) {
            m_openFailCause = CFileException::sharingViolation;
        }
        if (error != nullptr) {
            *error = CFileException(CFileException::OsErrorToException(code), code, m_strFileName);
        }
        return false;
    };

    if (path.empty()) {
        return fail(ERROR_FILE_NOT_FOUND);
    }
    m_strFileName = FullPath(path);
    if (path.find('\0') != std::string::npos) {
        return fail(ERROR_INVALID_NAME);
    }

    const bool writing = (flags & modeWrite) != 0;
    // Share mode 0 keeps every other opener out while this object holds the
    // file, and makes the open fail while another holds it.
    const DWORD share = (flags & shareExclusive) != 0 ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (writing && (flags & modeCreate) != 0) {
        int err = 0;
        return OpenReplacing(path, false, flags, err) || fail(err);
    }
    HANDLE handle = CreateFileA(path.c_str(), writing ? GENERIC_WRITE : GENERIC_READ, share,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return fail(LastError());
    }
    // A cut list is a file on a disk: a console or a pipe would block a load
    // forever.
    if (!writing && GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return fail(ERROR_ACCESS_DENIED);
    }

    m_fd = FromHandle(handle);
    m_writable = writing;
    if (writing) {
        m_buf = new unsigned char[kBufferSize];
    }
    return true;
}

// Creating a file: an existing file on a disk is opened first (which checks
// that we may change it: a read-only report is not replaced, and one that
// another program holds is a sharing violation) and held until Close(); the
// bytes go to a new file beside it, which takes its place only when whole.
// A device (NUL, a pipe) is written directly. The second parameter, which the
// POSIX layer uses, is worked out here.
bool CFile::OpenReplacing(const std::string& path, bool /*exists*/, unsigned flags, int& err) {
    const DWORD share = (flags & shareExclusive) != 0 ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE held = CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        err = LastError();
        if (err != ERROR_FILE_NOT_FOUND) {
            return false;  // a folder, a missing folder, a read-only or held file
        }
    } else if (GetFileType(held) != FILE_TYPE_DISK) {
        m_fd = FromHandle(held);
        m_writable = true;
        m_buf = new unsigned char[kBufferSize];
        return true;
    }

    HANDLE handle = INVALID_HANDLE_VALUE;
    try {
        m_buf = new unsigned char[kBufferSize];
        m_strReplaced = m_strFileName;
        for (unsigned attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
            m_strNewFile = NewFileName(m_strReplaced, attempt);
            handle = CreateFileA(m_strNewFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
            err = LastError();
            if (handle == INVALID_HANDLE_VALUE && err != ERROR_FILE_EXISTS &&
                err != ERROR_ALREADY_EXISTS) {
                break;
            }
        }
    } catch (...) {  // memory ran out: nothing may stay behind
        if (held != INVALID_HANDLE_VALUE) {
            CloseHandle(held);
        }
        m_strNewFile.clear();
        Abort();
        throw;
    }
    if (handle == INVALID_HANDLE_VALUE) {
        if (held != INVALID_HANDLE_VALUE) {
            CloseHandle(held);
        }
        m_strNewFile.clear();
        Abort();
        return false;
    }
    m_fd = FromHandle(handle);
    m_writable = true;
    m_lockFd = held == INVALID_HANDLE_VALUE ? -1 : FromHandle(held);
    return true;
}

bool CFile::OpenStandardOutput() {
    Close();
    m_strFileName = "stdout";
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        return false;
    }
    // A handle of our own, so closing this file leaves the process's standard
    // output alone. Bytes go out as they are: no text-mode LF to CR LF.
    HANDLE own = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), out, GetCurrentProcess(), &own, 0, FALSE,
                        DUPLICATE_SAME_ACCESS) == 0) {
        return false;
    }
    m_fd = FromHandle(own);
    m_writable = true;
    m_buf = new unsigned char[kBufferSize];
    return true;
}

bool CFile::OpenStandardInput() {
    Close();
    m_strFileName = "stdin";
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE own = nullptr;
    if (in == nullptr || in == INVALID_HANDLE_VALUE ||
        DuplicateHandle(GetCurrentProcess(), in, GetCurrentProcess(), &own, 0, FALSE,
                        DUPLICATE_SAME_ACCESS) == 0) {
        return false;
    }
    m_fd = FromHandle(own);
    m_writable = false;
    return true;
}

// Windows never hands a standard stream's place to a file opened later, so
// there is nothing to keep open.
void CFile::KeepStandardStreamsOpen() {}

bool CFile::IsSameFile(const std::string& first, const std::string& second) {
    const auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE handle =
            CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return false;
        }
        const bool known = GetFileInformationByHandle(handle, &info) != 0;
        CloseHandle(handle);
        return known;
    };
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    return identify(first, a) && identify(second, b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

// ---- The system calls of the shared code

namespace tresk::file_os {

const int kNotOpen = ERROR_INVALID_HANDLE;
const int kHeldByOther = ERROR_SHARING_VIOLATION;

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
// before. The move is written through to the disk.
int MoveOver(const std::string& from, const std::string& to, int& held) {
    if (held >= 0) {
        CloseHandle(ToHandle(held));
        held = -1;
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
