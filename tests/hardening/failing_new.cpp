#include "tests/hardening/failing_new.h"

#include <cstdlib>
#include <new>

namespace {

bool g_limited = false;
long g_allowed = 0;            // allocations left while limited
std::size_t g_refuseFrom = 0;  // 0: no size is refused

void* Allocate(std::size_t size) {
    if (g_refuseFrom != 0 && size >= g_refuseFrom) {
        throw std::bad_alloc();
    }
    if (g_limited) {
        if (g_allowed == 0) {
            throw std::bad_alloc();
        }
        --g_allowed;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

}  // namespace

namespace tresk::test::failing_new {

void LimitCount(long allowed) {
    g_allowed = allowed;
    g_limited = true;
}

void RefuseFrom(std::size_t size) {
    g_refuseFrom = size;
}

void Lift() {
    g_limited = false;
    g_refuseFrom = 0;
}

}  // namespace tresk::test::failing_new

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t& /*unused*/) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& /*unused*/) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t /*unused*/) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t /*unused*/) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t& /*unused*/) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t& /*unused*/) noexcept {
    std::free(block);
}
