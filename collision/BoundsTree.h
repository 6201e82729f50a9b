#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collision/Bounds.h"

// A dynamic bounding-volume tree: every leaf holds the bounds of one entry, every inner node
// the union of its two children. Leaves are inserted where they enlarge the tree least and
// the tree is kept balanced by rotations, so a query visits about log n nodes plus those
// near what it finds. Nodes live in one array and are reused through a free list.
class BoundsTree {
  public:
    static constexpr std::int32_t NONE = -1;

    /// Adds a leaf holding `bounds` for `entry`; returns the leaf's node.
    std::int32_t insert(const Bounds& bounds, std::uint32_t entry);
    /// Drops a leaf returned by insert().
    void remove(std::int32_t leaf);
    const Bounds& boundsOf(std::int32_t leaf) const { return nodes[leaf].bounds; }
    std::uint32_t entryOf(std::int32_t leaf) const { return nodes[leaf].entry; }
    /// Room for `leaves` leaves, so that steady-state inserts do not allocate.
    void reserve(std::size_t leaves);

    struct Leaf {
        Bounds bounds;
        std::uint32_t entry = 0;
        /// Written by build(): the leaf's node.
        std::int32_t node = NONE;
    };
    /// Drops every leaf and builds the tree afresh from `leaves` (which it reorders), split
    /// top-down at the median along the widest spread of centres: a better tree than one
    /// grown leaf by leaf, laid out depth first so that a query walks memory in order.
    void build(std::vector<Leaf>& leaves);
    std::size_t leafCount() const { return leafTotal; }

    /// Whether every inner node holds exactly the union of its children, with the right
    /// height and parent links, and the leaves and free nodes add up; what is wrong, or an
    /// empty string. For tests: it visits every node.
    std::string validate() const;

    /// Calls visit(entry) for every leaf whose bounds overlap `query`, in no fixed order.
    template <typename Visit>
    void query(const Bounds& query, Visit visit) const;

  private:
    struct Node {
        Bounds bounds;
        std::int32_t parent = NONE;
        std::int32_t left = NONE;  // NONE for a leaf
        std::int32_t right = NONE;
        std::int32_t height = 0;  // 0 for a leaf
        std::uint32_t entry = 0;
    };

    static constexpr int PENDING_CAPACITY = 64;

    template <typename Visit>
    void walk(std::int32_t start, const Bounds& query, Visit& visit) const;
    std::int32_t allocate();
    void release(std::int32_t node);
    /// Refits and rebalances every node from `node` up to the root.
    void refitUpwards(std::int32_t node);
    /// One rotation at `a` if its subtrees differ in height by more than one; returns the
    /// node that now stands where `a` stood.
    std::int32_t balance(std::int32_t a);
    /// Makes `replacement` take `old`'s place under `parent` (or as the root).
    void replaceChild(std::int32_t parent, std::int32_t old, std::int32_t replacement);
    std::int32_t buildRange(std::vector<Leaf>& items, std::size_t begin, std::size_t end);

    std::vector<Node> nodes;
    std::int32_t root = NONE;
    std::int32_t freeList = NONE;  // chained through `parent`
    std::size_t leafTotal = 0;
};

template <typename Visit>
void BoundsTree::query(const Bounds& query, Visit visit) const {
    if (root != NONE) {
        walk(root, query, visit);
    }
}

template <typename Visit>
void BoundsTree::walk(std::int32_t start, const Bounds& query, Visit& visit) const {
    // A depth-first walk holds at most one pending node per level, and rotations keep the
    // tree's height near log2(n): a fixed array on the stack serves. Should a subtree be
    // deeper than it holds, its two halves are walked by recursion.
    std::int32_t pending[PENDING_CAPACITY];
    int top = 0;
    pending[top++] = start;
    while (top > 0) {
        const Node& node = nodes[pending[--top]];
        if (!node.bounds.overlaps(query)) {
            continue;
        }
        if (node.left == NONE) {
            visit(node.entry);
        } else if (top + 2 <= PENDING_CAPACITY) {
            pending[top++] = node.left;
            pending[top++] = node.right;
        } else {
            walk(node.left, query, visit);
            walk(node.right, query, visit);
        }
    }
}
