// Byte-wise file access in the manner of the Windows framework's CFile, and the
// two exceptions the program raises: CFileException for a failed read, write or
// open, CMemoryException when memory runs out.
//
// No GUI and no OS headers here: the messages, the exceptions and CFile's
// buffers, memory files, closing and safe replace live in file_common.cpp;
// opening files and the few system calls that code makes (file_os.h) in
// file_posix.cpp and file_win32.cpp; CMake builds the one for the target
// system. The fault-injection seam for tests is in file_faults.h.
#pragma once

#include <cstddef>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

// The full path of a file as the user would name it: relative paths are taken
// from the current directory, and "." and ".." components and repeated slashes
// are folded textually (it does not resolve links). A path that cannot be made
// full (no current directory) comes back as it is.
std::string FullPath(const std::string& path);

// Paths are the system's 8-bit texts (UTF-8 on POSIX systems, the ANSI code
// page on Windows) and are taken apart and joined here as bytes, never
// converted: a name with accented letters keeps every byte.
// The last part of path, after its folders (and on Windows after a drive's
// "C:"); empty when path ends with a separator.
std::string PathFileName(const std::string& path);
// name inside folder, with the system's separator between them unless folder
// already ends with one (or is a bare drive, "C:").
std::string JoinPath(const std::string& folder, const std::string& name);
// What path names: nothing that can be looked at, a folder, or anything else.
enum class PathKind { missing, folder, other };
PathKind KindOfPath(const std::string& path);

// A path as messages show it: control characters (a newline, a tab, an
// escape) written as \n, \t and \xHH, so a file name cannot print a line of
// its own or drive the terminal. Every other byte is kept.
std::string PrintablePath(const std::string& path);

// A failed file operation: why it failed (one of the fifteen causes, in the
// order of their message table), the operating system's error code (-1 when a
// write stored fewer bytes than asked) and the full path of the file (empty when
// the open failed before a full path was made).
class CFileException : public std::exception {
public:
    enum Cause : int {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };
    static constexpr int kCauseCount = 15;

    CFileException() = default;
    CFileException(int cause, long osError, std::string fileName);

    // The cause an operating-system error code stands for (errno on POSIX
    // systems, GetLastError() on Windows). 0 gives none.
    static int OsErrorToException(int errnoValue);

    // The Italian message for this error's cause, "%1" replaced by the path or,
    // when the error carries none, by "un file senza nome". In the system's
    // 8-bit encoding (SystemText), the one the path is in.
    std::string GetErrorMessage() const;

    // The message text of one cause with "%1" still in it ("" for a cause
    // outside 0..14).
    static const char* MessageTemplate(int cause);

    const char* what() const noexcept override;

    int m_cause = none;
    long m_lOsError = -1;
    std::string m_strFileName;

private:
    std::string m_what;
};

// One of the program's own texts (UTF-8 in the sources) in the encoding the
// system gives paths and shows 8-bit texts in: unchanged on POSIX systems, the
// ANSI code page on Windows.
std::string SystemText(std::string_view utf8);

// Memory ran out inside a command. Reported as "Memoria insufficiente.".
class CMemoryException : public std::exception {
public:
    const char* what() const noexcept override;
    static const char* Message();  // "Memoria insufficiente."
};

// A file opened for reading or for create-and-write, closed on destruction.
//
// "Without sharing" (shareExclusive) takes an exclusive advisory lock: a file
// that another process holds locked cannot be opened, and while this object
// holds it, no other cooperating program can open it.
//
// Reads are served from a read-ahead buffer and writes collect in a write-behind
// buffer; callers still see byte-exact results, and every OS failure raises a
// CFileException no later than Flush() or Close().
//
// Creating a file that is already there never loses the old one: modeCreate on
// a regular file (or on a name not yet taken) writes a new file in the same
// folder, and Close() puts it in the target's place only once every byte is
// written and on the disk, with the target's permission bits, extended
// attributes (its ACL among them) and, where allowed, its owner; the new file
// is private (0600) until then. A symbolic link stays a link: its destination
// is replaced. A target with several names (hard links), one that cannot be
// renamed over (a bind mount, another file system) or whose attributes the
// new file cannot take is instead overwritten in place from the finished new
// file, the old bytes kept in the new file's place until the copy is whole and
// put back if it fails. Until then, and for good when anything fails (or the file is
// destroyed without Close(), e.g. by an exception unwinding), the target is
// untouched and the new file is removed. Errors always name the target.
// Devices, pipes and terminals are written directly, and so is a path that
// names one of the process's own open descriptors (/dev/stdout, /dev/fd/N).
// A signal that ends the process (SIGINT, SIGTERM, SIGHUP, SIGPIPE) removes a
// new file still being written before the process ends.
class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        shareExclusive = 0x0010,
        modeCreate = 0x1000,
        typeBinary = 0x8000,
        // A pipe opened for writing waits for its reader, as a shell's
        // "> fifo" does; without it such a pipe is refused at once, so the
        // dialog never hangs on one.
        waitForReader = 0x20000,
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens path. With modeCreate the file is created or truncated (after the
    // lock is taken, so a locked file is never truncated). Returns false when
    // it cannot be opened and, if error is given, fills it with the cause, the
    // errno and the full path. The full path is kept even after a failed open,
    // so a later Read/Write on the unopened file reports it.
    bool Open(const std::string& path, unsigned flags, CFileException* error = nullptr);

    // Opens the process's standard output or standard error for writing (no
    // lock, no truncation; errors name the file "stdout" or "stderr") or its
    // standard input for reading (errors name it "stdin"). The descriptor is
    // a duplicate above 2, so it never takes the place of a closed standard
    // stream. Returns false when the stream is closed (also when
    // KeepStandardStreamsOpen() has put /dev/null in its place since).
    // Bytes reach a file or a pipe unchanged; on Windows a console is given
    // the text as Unicode, read from the ANSI code page (a console shows
    // bytes in its own OEM code page, "è" as another letter).
    bool OpenStandardOutput();
    bool OpenStandardError();
    bool OpenStandardInput();

    // Makes sure descriptors 0, 1 and 2 are open (on /dev/null when they were
    // closed), so no file opened later lands on one and receives text meant
    // for a standard stream. Call after OpenStandardOutput().
    static void KeepStandardStreamsOpen();

    // True when both paths name the same existing file (links followed).
    static bool IsSameFile(const std::string& first, const std::string& second);
    // True when path names the file the process's standard input reads.
    static bool IsStandardInput(const std::string& path);

    // Reads up to count bytes; returns how many were read, 0 at end of file.
    // Throws CFileException when the operating system refuses the read, and
    // fileNotFound (as for an invalid handle) when the file is not open.
    std::size_t Read(void* buffer, std::size_t count);

    // Writes count bytes. Throws CFileException on failure: the cause for the
    // errno, diskFull with OS error -1 when fewer bytes were stored than asked,
    // fileNotFound when the file is not open.
    void Write(const void* buffer, std::size_t count);

    // Writes out everything collected so far; throws as Write does.
    void Flush();

    // Flushes pending writes, puts a new file in its target's place, releases
    // the lock and closes. Throws as Write does if the pending writes cannot
    // be stored or the new file cannot take the target's place (the target
    // then stays as it was); the descriptor is closed either way. Does
    // nothing when the file is not open.
    void Close();

    bool IsOpen() const { return m_fd >= 0 || m_memory; }

    // Size of the internal read-ahead and write-behind buffer.
    static constexpr std::size_t kBufferSize = std::size_t{64} * 1024;
    const std::string& GetFilePath() const { return m_strFileName; }

protected:
    // For CMemFile: reads are served from size bytes at data, which the file
    // does not own; or writes collect in memory, to be had from
    // MemoryWritten() (also after Close()) and dropped by TruncateMemory().
    void AttachMemory(const void* data, std::size_t size);
    void OpenMemoryForWriting();
    const std::string& MemoryWritten();
    void TruncateMemory();

private:
    std::size_t ReadSlow(void* buffer, std::size_t count);
    void WriteSlow(const void* buffer, std::size_t count);
    [[noreturn]] void ThrowOsError(int errnoValue) const;
    [[noreturn]] void ThrowNotOpen() const;
    bool FillReadBuffer();
    void FlushWrites();
    // The steps of Open: the system's own part (file_posix.cpp,
    // file_win32.cpp), the safe replace, taking over an opened descriptor,
    // and reporting why the open failed. Each returns 0 or an error code.
    int OpenOnSystem(const std::string& path, unsigned flags);
    int OpenReplacing(const std::string& path, bool exists, unsigned flags);
    int CreateNewFile();
    void Adopt(int fd, bool writing);
    bool FailOpen(CFileException* error, int code, int cause);
    bool OpenStandard(int stream, const char* name);
    void Commit();
    void CommitInPlace();
    // Closes the descriptors, removes an uncommitted new file and drops the
    // buffer; returns the OS error of the close (0 when it succeeded or
    // nothing was open).
    int Abort() noexcept;

    // The POSIX descriptor; on Windows the handle as HandleToLong gives it
    // (handles fit 32 bits). -1 when closed.
    int m_fd = -1;
    bool m_writable = false;
    bool m_memory = false;
    std::string m_strFileName;
    // Why the last Open() failed, for the reads and writes that follow it: a
    // target held by another process is a sharing violation, any other a file
    // that never opened (the invalid-handle error, file not found).
    int m_openFailCause = CFileException::fileNotFound;
    // While a replacement is written: the new file's path, the path it will
    // take (a link's destination), and the target held locked meanwhile.
    std::string m_strNewFile;
    std::string m_strReplaced;
    int m_lockFd = -1;
    std::string m_memWritten;  // what a memory file opened for writing holds
    // Read-ahead or write-behind buffer, allocated on first use. A file open
    // for reading uses m_readPos..m_readEnd, one open for writing m_writeLen;
    // the other pair stays zero.
    unsigned char* m_buf = nullptr;
    std::size_t m_readPos = 0;
    std::size_t m_readEnd = 0;
    std::size_t m_writeLen = 0;
};

// A file whose bytes are in memory, read or written through the same
// interface and at the same speed as a file's buffers. Bytes to be read are
// not copied and must outlive the object.
class CMemFile : public CFile {
public:
    // An empty file open for writing; GetBytes() gives what was written.
    CMemFile() { OpenMemoryForWriting(); }
    // A file open for reading size bytes at data.
    CMemFile(const void* data, std::size_t size) { AttachMemory(data, size); }

    const std::string& GetBytes() { return MemoryWritten(); }
    // Drops what was written, so the file can be written afresh.
    void Clear() { TruncateMemory(); }
};

// What the inline Read and Write below need of the fault seam (file_faults.h):
// the calls counted, [0] for reads and [1] for writes, and the call armed to
// fail (0: none). Only the seam and file_common.cpp change them.
namespace tresk::file_fault::detail {
struct State {
    long calls[2] = {0, 0};
    long failAt[2] = {0, 0};
    int errnoValue[2] = {0, 0};
};
extern State g_state;
}  // namespace tresk::file_fault::detail

// The loader reads a byte or a few at a time and the report writes a cell or a
// space at a time, tens of millions of calls for a large file: the common case
// (data already in the buffer, room left in it, no fault armed) stays inline.
inline std::size_t CFile::Read(void* buffer, std::size_t count) {
    auto& state = tresk::file_fault::detail::g_state;
    if (count != 0 && count <= m_readEnd - m_readPos && state.failAt[0] == 0) {
        ++state.calls[0];
        std::memcpy(buffer, m_buf + m_readPos, count);
        m_readPos += count;
        return count;
    }
    return ReadSlow(buffer, count);
}

inline void CFile::Write(const void* buffer, std::size_t count) {
    auto& state = tresk::file_fault::detail::g_state;
    if (count != 0 && m_writable && m_buf != nullptr && count <= kBufferSize - m_writeLen &&
        state.failAt[1] == 0) {
        ++state.calls[1];
        std::memcpy(m_buf + m_writeLen, buffer, count);
        m_writeLen += count;
        return;
    }
    WriteSlow(buffer, count);
}
