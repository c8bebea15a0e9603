// The system calls behind CFile's shared code (file_common.cpp): one
// implementation for each system, in file.cpp (POSIX) and file_win32.cpp
// (Windows). A descriptor is CFile's int: the POSIX descriptor, or the value
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

// Reads up to count bytes: how many were read, 0 at the end of the file, or
// -1 with error set when the system refuses the read.
std::ptrdiff_t ReadSome(int fd, void* buffer, std::size_t count, int& error);

// Writes up to count bytes: how many were stored, or 0 or less when none
// was, with error set when the system named one (0 otherwise). Waits for a
// pipe that takes no more bytes for now.
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
