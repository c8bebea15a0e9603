// Test seam for fault injection: makes the n-th CFile::Read or CFile::Write
// call (counting from 1 after FailNth) fail as if the operating system had
// refused it with the given error code (errno; GetLastError() on Windows), or,
// for a write with errnoValue 0, as if it had stored fewer bytes than asked.
// Counting is per call of the CFile interface, so every field of a load or an
// export can be made to fail; so does each chunk a copy in place (a target
// with hard links) writes into the target. Production code never calls these.
#pragma once

#include "platform/file.h"

namespace tresk::file_fault {
enum class Op { read, write };
void FailNth(Op op, long n, int errnoValue);
void Reset();
// How many Read or Write calls the file layer has seen since Reset().
long Calls(Op op);
}  // namespace tresk::file_fault
