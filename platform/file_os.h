// The system calls behind CFile's shared code (file_common.cpp): one
// implementation for each system, in file_posix.cpp and file_win32.cpp. A descriptor is CFile's int: the POSIX descriptor, or the value
// of the Windows handle. Error codes are errno values or GetLastError() codes.
#pragma once

#include <cstddef>
#include <string>

namespace tresk::file_os {

// The code of an operation on a file that is not open (EBADF; on Windows the
// invalid-handle error), and the one a file that another process holds gives
// (EWOULDBLOCK for its lock; on Windows the sharing violation).
extern const int kNotOpen;
extern const int kHeldByOther;
// The code of a path that names no file (ENOENT; ERROR_FILE_NOT_FOUND) and of
// a name the system cannot take (one with a NUL byte in it).
extern const int kNoSuchFile;
extern const int kBadName;
// The characters that end a folder's part of a path.
extern const char* const kPathSeparators;
// Whether a path may start with a drive ("C:"), which ends a folder's part too.
extern const bool kDriveLetters;

// Something that differs between processes and from one moment to the next,
// for the names of new files.
unsigned long long UniqueSeed();

// Duplicates the process's standard input (stream 0), output (1) or error
// (2) to a descriptor of our own: it, or -1 when the stream is closed.
int DuplicateStandard(int stream);

// Whether fd is a console, to which WriteSome hands text as Unicode rather
// than bytes. Never on POSIX systems, whose terminals take the bytes.
bool IsConsole(int fd);

// The file a safe replace puts its new file in place of.
struct ReplaceTarget {
    std::string destination;  // the path the new file takes (a link's destination)
    int held = -1;            // the target, open for writing until then; -1: none yet
    bool device = false;      // not a file on a disk: written through held directly
};

// The first step of a safe replace: finds where the new file goes and, when a
// file is there (exists: as far as the caller has seen), holds it open for
// writing, which checks that we may change it, and locks it when exclusive.
// 0, or the error (kHeldByOther when another process holds the file).
int HoldTarget(const std::string& path, bool exists, bool exclusive, ReplaceTarget& target);

// Creates the new file at path, failing if the name is taken: its descriptor,
// or -1 with error set (NameTaken(error) when the name was taken).
int CreateExclusive(const std::string& path, int& error);
bool NameTaken(int error);

// Gives the new file what the target had that a new file does not get by
// itself (its owner where allowed, its extended attributes and ACL, its
// permission bits; the default mode when held is -1: there was no target).
// False when the new file could not take all of it: it would grant more, or
// keep less, than the target did.
bool CopyAttributes(int held, int fd);

// Whether the target must be overwritten in place rather than replaced: it
// has other names (hard links), or moving over it failed with error (0: not
// tried yet) because it cannot be moved over (a mount point, another file
// system).
bool NeedsInPlace(int held, int error);

// Positioned reads and writes (error set on failure), the size of a file
// (-1 on failure) and cutting or growing it to size (0, or the error).
std::ptrdiff_t ReadAt(int fd, long long offset, void* buffer, std::size_t count, int& error);
std::ptrdiff_t WriteAt(int fd, long long offset, const void* buffer, std::size_t count, int& error);
long long FileSize(int fd);
int SetFileSize(int fd, long long size);

// Opens the finished new file at path again for reading and writing: its
// descriptor, or -1 with error set.
int OpenAgain(const std::string& path, int& error);

// A new file being written, removed by a signal that ends the process before
// it takes the target's place; ForgetPending drops it once it has or is gone.
void RememberPending(const std::string& path);
void ForgetPending(const std::string& path) noexcept;

// Between HoldEnding and ReleaseEnding a signal (on Windows, a console event)
// that ends the process waits: a target overwritten in place ends whole, or
// with its old bytes put back, before the new file that holds them is
// removed. One that came meanwhile ends the process in ReleaseEnding.
void HoldEnding();
void ReleaseEnding() noexcept;

// Reads up to count bytes: how many were read, 0 at the end of the file, or
// -1 with error set when the system refuses the read.
std::ptrdiff_t ReadSome(int fd, void* buffer, std::size_t count, int& error);

// Writes up to count bytes: how many were stored, or 0 or less when none
// was, with error set when the system named one (0 otherwise). Waits for a
// pipe that takes no more bytes for now. To a console (IsConsole) the bytes
// go as the text they are in the system's 8-bit encoding.
std::ptrdiff_t WriteSome(int fd, const void* buffer, std::size_t count, int& error);

// Puts what was written through fd on the disk: 0, or the error.
int SyncToDisk(int fd);

// Closes fd: 0, or the error. An interrupted close has closed it too.
int CloseFile(int fd) noexcept;

// Moves the finished file at from over the one at to, in one step: 0, or the
// error. held is the target, kept open meanwhile; a system that moves nothing
// over an open file lets it go first (and sets it to -1).
int MoveOver(const std::string& from, const std::string& to, int& held);

// Once a file was moved over path: makes the folder's entry for it durable,
// where the move alone does not.
void SyncFolder(const std::string& path);

// Removes the file at path, if it is there.
void RemoveFile(const std::string& path) noexcept;

}  // namespace tresk::file_os
