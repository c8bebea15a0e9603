#include "tests/hardening/hardening_support.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tresk::test {

int CountOpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count - 1;
}

LockedByOtherProcess::LockedByOtherProcess(const std::string& path) {
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0) {
        return;
    }
    if (::pipe(release) != 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Child: take the lock, say so, then wait until the parent closes its
        // end of the release pipe (or dies). Only async-signal-safe calls.
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        const char answer = (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ? 'L' : 'F';
        (void)!::write(ready[1], &answer, 1);
        char ignored = 0;
        (void)!::read(release[0], &ignored, 1);
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    if (pid < 0) {
        ::close(ready[0]);
        ::close(release[1]);
        return;
    }
    m_pid = pid;
    m_release = release[1];
    char answer = 0;
    m_locked = ::read(ready[0], &answer, 1) == 1 && answer == 'L';
    ::close(ready[0]);
}

LockedByOtherProcess::~LockedByOtherProcess() {
    if (m_release >= 0) {
        ::close(m_release);
    }
    if (m_pid > 0) {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
}

AddressSpaceLimit::AddressSpaceLimit(std::size_t headroom) {
    std::ifstream status("/proc/self/status");
    std::string key;
    unsigned long long kilobytes = 0;
    while (status >> key) {
        if (key == "VmSize:" && status >> kilobytes) {
            break;
        }
    }
    rlimit limit{};
    if (kilobytes == 0 || ::getrlimit(RLIMIT_AS, &limit) != 0) {
        return;
    }
    m_previous = limit.rlim_cur;
    limit.rlim_cur = kilobytes * 1024 + headroom;
    m_set = ::setrlimit(RLIMIT_AS, &limit) == 0;
}

AddressSpaceLimit::~AddressSpaceLimit() {
    rlimit limit{};
    if (m_set && ::getrlimit(RLIMIT_AS, &limit) == 0) {
        limit.rlim_cur = m_previous;
        ::setrlimit(RLIMIT_AS, &limit);
    }
}

bool MakeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

RunResult RunShell(const std::string& commandLine, const TempDir& dir, const std::string& prefix) {
    const std::string outPath = dir.File("run.stdout");
    const std::string errPath = dir.File("run.stderr");
    const std::string script = prefix + commandLine + " >" + ShellQuote(outPath) + " 2>" +
                               ShellQuote(errPath) + " </dev/null";
    const int raw = std::system(script.c_str());
    RunResult result;
    if (raw != -1 && WIFEXITED(raw)) {
        result.status = WEXITSTATUS(raw);
    }
    result.out = ReadWhole(outPath);
    result.err = ReadWhole(errPath);
    return result;
}

Bytes MultiRecordCutList(int format) {
    Bytes bytes;
    if (format != 1) {
        Append(bytes, {0x17, 0x02, 0x00});  // header, ignored
    }
    const bool blades = format != 2;
    RecordFields r;
    r.lenPos = 500;
    r.second = 0x53012C;  // S300
    r.sx = -123;
    r.dx = 45;
    r.pezzi = 5;
    r.spessore = 12;
    r.info[0] = "PANNELLO";
    r.info[1] = "8001234";
    r.info[2] = "8005678";
    r.info[3] = "Met\xE0";  // Metà
    r.lamaSx = 30;
    r.lamaDx = -30;
    AppendRecord(bytes, r, blades);

    r.lenPos = 16777215;
    r.second = 0x01532C;  // no mark: 86828
    r.sx = 0;
    r.dx = -1;
    r.pezzi = -1;
    r.spessore = 32767;
    r.info[0] = "ANTA SX";
    r.info[3] = "Perch\xE8";  // Perchè
    AppendRecord(bytes, r, blades);

    r.lenPos = 1;
    r.second = 0x53FFFF;  // S65535
    r.sx = 32767;
    r.dx = -32768;
    r.pezzi = 0;
    r.spessore = -32768;
    r.info[0] = "TRAVERSO";
    r.lamaSx = 0;
    r.lamaDx = 0;
    AppendRecord(bytes, r, blades);

    r.lead = 0x7F;
    r.lenPos = 2500;
    r.second = 120;
    r.sx = 15;
    r.dx = 25;
    r.pezzi = 2;
    r.spessore = 4;
    r.info[0] = "ZOCCOLO";
    AppendRecord(bytes, r, blades);

    r.lead = 0x01;
    r.lenPos = 777;
    r.second = 0;
    r.info[0] = "FINE";
    AppendRecord(bytes, r, blades);

    Append(bytes, {0x00});  // end of the list
    return bytes;
}

}  // namespace tresk::test
