// Operating-system error codes the tests inject through the file layer's
// fault seam and expect back: errno values on POSIX systems, GetLastError()
// values on Windows (os_errors_posix.cpp or os_errors_win32.cpp).
#pragma once

namespace tresk::test {

extern const int kOsErrorIO;         // a hardware I/O error: EIO, ERROR_CRC
extern const int kOsErrorBadHandle;  // a file that is not open: EBADF, ERROR_INVALID_HANDLE

}  // namespace tresk::test
