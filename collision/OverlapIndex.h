#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collision/Bounds.h"
#include "collision/BoundsTree.h"
#include "collision/ObjectRecords.h"

// The broad phase's spatial index: which held objects' bounds may overlap which, in the same
// slots as the records. It keeps each object's placement: the bounds, which nearly every
// comparison of a query reads, in a dense list of their own, and the spheres apart.
// - Bounded objects with colliders live in a BoundsTree of leaves grown beyond their bounds,
//   so that an object moving a little each step is re-placed in the tree only every few
//   steps. Each leaf keeps the slots of the leaves it overlaps (its partners), so these
//   lists change only when a leaf moves, and a query filters one short list instead of
//   walking the tree. Objects whose bounds are not known are listed apart: they meet every
//   object.
// - An object whose geometry changed is marked dirty; the dirty ones are read again and
//   re-placed before the next query (refresh), so a query sees every object where it is.
class OverlapIndex {
  public:
    /// Room for one more slot; it starts dirty, to be read at the next refresh.
    void append();
    /// Takes an object that has left out of the index; its slot is never used again.
    void drop(std::uint32_t slot);

    /// Inline: geometry changes many times per step.
    void markDirty(std::uint32_t slot) {
        Entry& entry = entries[slot];
        if (!entry.dirty) {
            entry.dirty = true;
            dirty.push_back(slot);
        }
    }
    bool hasDirty() const { return !dirty.empty(); }
    /// Calls reread(slot, bounds, sphere) once for every dirty slot of an object still held,
    /// which answers whether the object changed and, if so, writes where it now is; re-places
    /// each one that did, then inserts what waits for the tree.
    template <typename Reread>
    void refresh(const ObjectRecords& records, Reread reread);

    /// Appends to `found`, in slot order, the bounded slots whose exact bounds overlap those
    /// of `slot` (and whose spheres may meet), then the unbounded ones, but not `slot`.
    void query(std::uint32_t slot, std::vector<std::uint32_t>& found) const;

    /// Whether the tree and the lists match one another and the records, and every object
    /// whose colliders changed since they were read is marked dirty; what is wrong, or an
    /// empty string.
    std::string validate(const ObjectRecords& records) const;

  private:
    struct Entry {
        std::int32_t leaf = BoundsTree::NONE;
        bool dirty = false;
        bool waiting = false;
        bool unbounded = false;               // in `unbounded`
        std::vector<std::uint32_t> partners;  // slots whose leaves overlap its leaf, in order
    };

    /// Puts a re-read slot where it now is: in the tree, among the unbounded, or nowhere.
    void place(std::uint32_t slot, const ObjectState& state);
    void leaveTree(std::uint32_t slot);
    void insertWaiting(std::uint32_t slotCount);
    void unlinkPartners(std::uint32_t slot);

    std::vector<Bounds> bounds;
    std::vector<BoundingSphere> spheres;
    std::vector<Entry> entries;
    BoundsTree tree;
    std::vector<std::uint32_t> unbounded;  // in slot order
    std::vector<std::uint32_t> dirty;
    std::vector<std::uint32_t> waiting;  // to be put into the tree
    std::vector<BoundsTree::Leaf> rebuildScratch;
    // Each leaf's bounds, in the tree or waiting to be put there.
    std::vector<Bounds> fat;
};

template <typename Reread>
void OverlapIndex::refresh(const ObjectRecords& records, Reread reread) {
    // Indexed: reading bounds never changes geometry, so the list does not grow meanwhile.
    for (std::size_t i = 0; i < dirty.size(); ++i) {
        const std::uint32_t slot = dirty[i];
        entries[slot].dirty = false;
        if (records.objectAt(slot) != nullptr && reread(slot, bounds[slot], spheres[slot])) {
            place(slot, records.state(slot));
        }
    }
    dirty.clear();
    insertWaiting(records.size());
}
