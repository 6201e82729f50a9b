#include "collision/OverlapIndex.h"

#include <algorithm>

#include "core/Assert.h"

namespace {

// Leaves in the tree hold bounds grown by this share of their largest side: a query then
// filters by the exact bounds, which `bounds` holds.
constexpr float FAT_SHARE = 0.1f;

// Lists of slots in slot order: the candidates they yield need no sorting.
void insertInOrder(std::vector<std::uint32_t>& list, std::uint32_t slot) {
    list.insert(std::upper_bound(list.begin(), list.end(), slot), slot);
}

void eraseInOrder(std::vector<std::uint32_t>& list, std::uint32_t slot) {
    const auto at = std::lower_bound(list.begin(), list.end(), slot);
    ENGINE_ASSERT(at != list.end() && *at == slot);
    list.erase(at);
}

Bounds fattened(const Bounds& b) {
    float largest = 0.0f;
    for (int k = 0; k < 3; ++k) {
        largest = std::max(largest, b.hi[k] - b.lo[k]);
    }
    const float margin = FAT_SHARE * largest;
    Bounds grown = b;
    for (int k = 0; k < 3; ++k) {
        grown.lo[k] -= margin;
        grown.hi[k] += margin;
    }
    return grown;
}

// Vectors that must hold one entry per slot grow ahead, so that no step allocates.
template <typename T>
void roomFor(std::vector<T>& list, std::size_t count) {
    if (list.capacity() < count) {
        list.reserve(2 * count);
    }
}

bool sameBounds(const Bounds& a, const Bounds& b) {
    return std::equal(a.lo, a.lo + 3, b.lo) && std::equal(a.hi, a.hi + 3, b.hi);
}

}  // namespace

void OverlapIndex::append() {
    const auto slot = static_cast<std::uint32_t>(entries.size());
    bounds.emplace_back();
    spheres.emplace_back();
    fat.emplace_back();
    entries.emplace_back().partners.reserve(ObjectRecords::KEPT_RESERVE);
    const std::size_t count = entries.size();
    roomFor(dirty, count);
    roomFor(unbounded, count);
    roomFor(waiting, count);
    tree.reserve(count);
    markDirty(slot);
}

void OverlapIndex::drop(std::uint32_t slot) {
    leaveTree(slot);
    Entry& entry = entries[slot];
    if (entry.unbounded) {
        eraseInOrder(unbounded, slot);
        entry.unbounded = false;
    }
    // A dirty entry stays listed; the refresh skips the empty slot.
}

void OverlapIndex::place(std::uint32_t slot, const ObjectState& state) {
    Entry& entry = entries[slot];
    if (state.unbounded != entry.unbounded) {
        if (state.unbounded) {
            insertInOrder(unbounded, slot);
        } else {
            eraseInOrder(unbounded, slot);
        }
        entry.unbounded = state.unbounded;
    }
    const bool belongs = state.hasColliders && !state.unbounded;
    if (entry.leaf != BoundsTree::NONE) {
        if (belongs && fat[slot].contains(bounds[slot])) {
            return;
        }
        leaveTree(slot);
    }
    if (belongs) {
        fat[slot] = fattened(bounds[slot]);
        entry.waiting = true;
        waiting.push_back(slot);
    }
}

void OverlapIndex::leaveTree(std::uint32_t slot) {
    Entry& entry = entries[slot];
    if (entry.leaf != BoundsTree::NONE) {
        tree.remove(entry.leaf);
        entry.leaf = BoundsTree::NONE;
        unlinkPartners(slot);
    }
}

// Puts the leaves that place() left waiting into the tree: one by one, or, when they
// outnumber the tree, by building it afresh; then links each with the leaves it overlaps.
void OverlapIndex::insertWaiting(std::uint32_t slotCount) {
    if (waiting.empty()) {
        return;
    }
    if (waiting.size() <= tree.leafCount()) {
        for (const std::uint32_t slot : waiting) {
            entries[slot].leaf = tree.insert(fat[slot], slot);
        }
    } else {
        // Mostly new leaves (a world taking in its objects): build the tree whole, in slot
        // order, leaves already in it keeping their bounds. This allocates, but only when the
        // tree at least doubles.
        rebuildScratch.clear();
        for (std::uint32_t slot = 0; slot < slotCount; ++slot) {
            const Entry& entry = entries[slot];
            if (entry.waiting || entry.leaf != BoundsTree::NONE) {
                rebuildScratch.push_back({fat[slot], slot});
            }
        }
        tree.build(rebuildScratch);
        for (const BoundsTree::Leaf& leaf : rebuildScratch) {
            entries[leaf.entry].leaf = leaf.node;
        }
        tree.reserve(slotCount);
    }
    // Each pair with a new leaf is linked once: by the lower slot when both are new.
    for (const std::uint32_t slot : waiting) {
        tree.query(fat[slot], [&](std::uint32_t other) {
            if (other == slot || (entries[other].waiting && other < slot)) {
                return;
            }
            insertInOrder(entries[slot].partners, other);
            insertInOrder(entries[other].partners, slot);
        });
    }
    for (const std::uint32_t slot : waiting) {
        entries[slot].waiting = false;
    }
    waiting.clear();
}

void OverlapIndex::unlinkPartners(std::uint32_t slot) {
    for (const std::uint32_t other : entries[slot].partners) {
        eraseInOrder(entries[other].partners, slot);
    }
    entries[slot].partners.clear();
}

void OverlapIndex::query(std::uint32_t slot, std::vector<std::uint32_t>& found) const {
    // Whatever overlaps the object's bounds overlaps its leaf: its partners hold them all.
    const Bounds own = bounds[slot];
    const BoundingSphere& sphere = spheres[slot];
    for (const std::uint32_t other : entries[slot].partners) {
        if (bounds[other].overlaps(own) && sphere.mayMeet(spheres[other])) {
            found.push_back(other);
        }
    }
    for (const std::uint32_t other : unbounded) {
        if (other != slot) {
            found.push_back(other);
        }
    }
}

std::string OverlapIndex::validate(const ObjectRecords& records) const {
    std::string wrong = tree.validate();
    if (!wrong.empty()) {
        return wrong;
    }
    if (entries.size() != records.size()) {
        return "the index holds " + std::to_string(entries.size()) + " slots, the records " +
               std::to_string(records.size());
    }
    std::size_t leaves = 0;
    std::vector<std::uint32_t> overlapping;
    for (std::uint32_t slot = 0; slot < entries.size(); ++slot) {
        const Entry& entry = entries[slot];
        const ObjectState& state = records.state(slot);
        const std::string at = "slot " + std::to_string(slot) + ": ";
        if (entry.waiting) {
            return at + "still waiting for the tree";
        }
        const bool held = records.objectAt(slot) != nullptr;
        leaves += entry.leaf != BoundsTree::NONE ? 1 : 0;
        if (entry.unbounded != (held && state.unbounded) ||
            std::binary_search(unbounded.begin(), unbounded.end(), slot) != entry.unbounded) {
            return at + "listed among the unbounded or not, unlike its state";
        }
        if (held && records.stale(slot) && !entry.dirty) {
            return at + "its geometry changed, and it is not marked for re-reading";
        }
        // A dirty record is read again before the next query; until then it may be stale.
        if (entry.dirty || !held) {
            if (!held && entry.leaf != BoundsTree::NONE) {
                return at + "an empty slot with a leaf";
            }
            continue;
        }
        const bool belongs = state.hasColliders && !state.unbounded;
        if (belongs != (entry.leaf != BoundsTree::NONE)) {
            return at + (belongs ? "no leaf for a bounded object"
                                 : "a leaf for an object without bounds");
        }
        if (!belongs) {
            if (!entry.partners.empty()) {
                return at + "partners without a leaf";
            }
            continue;
        }
        if (tree.entryOf(entry.leaf) != slot || !sameBounds(tree.boundsOf(entry.leaf), fat[slot])) {
            return at + "its leaf holds another slot or other bounds";
        }
        if (!fat[slot].contains(bounds[slot])) {
            return at + "its leaf does not hold its bounds";
        }
        overlapping.clear();
        tree.query(fat[slot], [&](std::uint32_t other) {
            if (other != slot) {
                overlapping.push_back(other);
            }
        });
        std::sort(overlapping.begin(), overlapping.end());
        if (overlapping != entry.partners) {
            return at + "its partners are not the leaves its leaf overlaps";
        }
    }
    if (leaves != tree.leafCount()) {
        return "the tree holds " + std::to_string(tree.leafCount()) + " leaves, the slots " +
               std::to_string(leaves);
    }
    return "";
}
