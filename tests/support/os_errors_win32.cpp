#include <windows.h>

#include "tests/support/os_errors.h"

namespace tresk::test {

const int kOsErrorIO = ERROR_CRC;
const int kOsErrorBadHandle = ERROR_INVALID_HANDLE;

}  // namespace tresk::test
