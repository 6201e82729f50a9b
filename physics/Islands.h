#pragma once

#include <cstdint>
#include <vector>

// Bodies joined by contacts, found afresh every step (union by size, paths halved): a body
// falls asleep together with everything it touches, or not at all.
class Islands {
  public:
    /// `count` bodies, each an island of its own; the storage stays for the next step.
    void reset(std::uint32_t count);
    void join(std::uint32_t a, std::uint32_t b);
    /// The same number for every body of one island.
    std::uint32_t find(std::uint32_t body);

  private:
    std::vector<std::uint32_t> parent;
    std::vector<std::uint32_t> size;
};
