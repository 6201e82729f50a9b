#pragma once

#include <cstddef>

// Counts the `operator new` calls (scalar and array, throwing and nothrow) made while an
// instance is alive, to show that a hot path does not touch the heap.
//
// Linking AllocationCounter.cpp replaces the global operator new and delete of the whole
// binary with counting versions; every allocation still goes to malloc as usual. Each binary
// that checks for allocations links it once (the engine_alloc_counter target).
class AllocationCounter {
  public:
    AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    /// Allocations since this counter was created.
    std::size_t count() const;

    /// Allocations since the program started.
    static std::size_t total();

  private:
    std::size_t start;
};
