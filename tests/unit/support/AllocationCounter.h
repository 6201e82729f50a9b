#pragma once

#include <cstddef>

// Counts the scalar `operator new` calls made while an instance is alive, to show that a hot
// path does not touch the heap. The test binary replaces the global scalar operator new and
// delete for this (AllocationCounter.cpp); everything else still allocates as usual.
class AllocationCounter {
  public:
    AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    /// Allocations since this counter was created.
    std::size_t count() const;

  private:
    std::size_t start;
};
