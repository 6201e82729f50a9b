#include "support/alloc/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> allocations{0};

void* counted(std::size_t size) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

void* countedOrThrow(std::size_t size) {
    if (void* memory = counted(size)) {
        return memory;
    }
    throw std::bad_alloc();
}

}  // namespace

// Every form that allocates and every form that frees are replaced together: memory from this
// new must go back through this delete, or AddressSanitizer reports a malloc / operator delete
// mismatch. The over-aligned forms keep their library versions; nothing here uses them.
void* operator new(std::size_t size) {
    return countedOrThrow(size);
}

void* operator new[](std::size_t size) {
    return countedOrThrow(size);
}

void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return counted(size);
}

void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return counted(size);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete[](void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t /*size*/) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, std::size_t /*size*/) noexcept {
    std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t& /*tag*/) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t& /*tag*/) noexcept {
    std::free(memory);
}

AllocationCounter::AllocationCounter() : start(total()) {}

std::size_t AllocationCounter::count() const {
    return total() - start;
}

std::size_t AllocationCounter::total() {
    return allocations.load(std::memory_order_relaxed);
}
