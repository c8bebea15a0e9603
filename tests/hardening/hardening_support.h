// Helpers of the hardening tests: descriptor counting, a second process that
// holds a file locked, running the converter, and a multi-record cut list.
#pragma once

#include <cstddef>
#include <string>

#include "tests/support/temp_files.h"

// The address sanitizer needs terabytes of address space: tests under a real
// address-space limit run in the plain build only.
#if defined(__SANITIZE_ADDRESS__)
#define TRESK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TRESK_UNDER_ASAN 1
#endif
#endif

namespace tresk::test {

// How many descriptors this process has open (entries of /proc/self/fd, less
// the one the listing itself uses).
int CountOpenDescriptors();

// A child process that opens path and holds an exclusive flock on it until
// this object goes (the way another program holding the file would). The
// constructor returns once the lock is taken; locked() tells whether it was.
class LockedByOtherProcess {
public:
    explicit LockedByOtherProcess(const std::string& path);
    ~LockedByOtherProcess();
    LockedByOtherProcess(const LockedByOtherProcess&) = delete;
    LockedByOtherProcess& operator=(const LockedByOtherProcess&) = delete;

    bool locked() const { return m_locked; }

private:
    int m_pid = -1;
    int m_release = -1;  // write end: closing it lets the child go
    bool m_locked = false;
};

// Makes a named pipe at path; false when the system refuses.
bool MakeFifo(const std::string& path);

// The outcome of a program run: exit status (-1 when it did not exit
// normally, e.g. killed by a signal), its standard output and error.
struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a command line through /bin/sh with its output captured into files of
// dir; prefix (e.g. "ulimit -v 100000;") runs first in the same shell.
RunResult RunShell(const std::string& commandLine, const TempDir& dir,
                   const std::string& prefix = "");

// Lowers this process's address-space limit to what it uses now plus
// headroom bytes, until the object goes (the soft limit only, so it can be
// raised again).
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(std::size_t headroom);
    ~AddressSpaceLimit();
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
    unsigned long long m_previous = 0;
    bool m_set = false;
};

// text quoted for /bin/sh, whatever bytes it holds.
std::string ShellQuote(const std::string& text);

// A cut list of five records in the given layout (3-byte header for layouts 0
// and 2, blade values outside layout 2), ended by a 0x00 lead byte. Every text
// field is non-empty, values are negative and positive, two records carry the
// 'S' mark, texts hold Windows-1252 letters.
Bytes MultiRecordCutList(int format);
inline constexpr int kMultiRecordRows = 5;

}  // namespace tresk::test
