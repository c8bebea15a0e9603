#include <cerrno>

#include "tests/support/os_errors.h"

namespace tresk::test {

const int kOsErrorIO = EIO;
const int kOsErrorBadHandle = EBADF;

}  // namespace tresk::test
