// A replacement of the global operator new for the test programs that prove
// the program's behaviour when memory runs out. Linking failing_new.cpp into a
// program replaces its allocator; these switches then make allocations fail
// the way an exhausted heap does.
#pragma once

#include <cstddef>

namespace tresk::test::failing_new {

// From now on only `allowed` more allocations succeed; every one after them
// throws std::bad_alloc.
void LimitCount(long allowed);

// From now on every allocation of `size` bytes or more throws std::bad_alloc
// (an exhausted heap refuses the big requests first).
void RefuseFrom(std::size_t size);

// Every allocation succeeds again (as far as malloc does).
void Lift();

}  // namespace tresk::test::failing_new
