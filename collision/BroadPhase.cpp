#include "collision/BroadPhase.h"

#include <algorithm>
#include <typeinfo>

#include "collision/BoxCollider.h"
#include "collision/CircleCollider.h"
#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"

// How the candidates are found:
// - Each object has a slot, handed out in insertion order, so candidates sorted by slot are
//   in insertion order. What a query reads (bounds, state bits) sits in contiguous arrays.
// - An object's bounds are read again only when one of its colliders' geometry revisions has
//   changed; the geometry tells its object, which tells the broad phase (`dirty`), whenever
//   its points change, and the list is worked off when the next candidates are asked for.
// - Bounded objects live in a tree of leaves grown beyond their bounds. An object moves in
//   the tree only when its bounds leave its leaf. Each leaf keeps the leaves it overlaps
//   (`partners`), so these lists change only when a leaf moves, and a query filters one
//   short list instead of walking the tree.
// - An object's candidates are kept (`kept`) while no bounds change anywhere (`generation`):
//   a still world finds every list made.
// - A box with no box among its candidates, while other objects have one, gets one of those
//   as well (addBoxWitness): its bounds are apart, so its test finds no contact, but the box
//   has run a box test and shows it, exactly as after the all-pairs step.
//
// Dropping an object (remove) takes it out of the tree, its partners' lists and the
// unbounded list at once; its slot stays empty, and the lists that name it are made anew.

namespace {

// Leaves in the tree hold bounds grown by this share of their largest side, so that an
// object moving a little each step is re-placed in the tree only every few steps; a query
// then filters by the exact bounds, which live in a contiguous array.
constexpr float FAT_SHARE = 0.1f;
constexpr std::size_t KEPT_RESERVE = 32;

// Lists of slots in slot order: the candidates they yield need no sorting.
void insertInOrder(std::vector<std::uint32_t>& list, std::uint32_t slot) {
    list.insert(std::upper_bound(list.begin(), list.end(), slot), slot);
}

Bounds fattened(const Bounds& b) {
    float largest = 0.0f;
    for (int k = 0; k < 3; ++k) {
        largest = std::max(largest, b.hi[k] - b.lo[k]);
    }
    const float margin = FAT_SHARE * largest;
    Bounds fat = b;
    for (int k = 0; k < 3; ++k) {
        fat.lo[k] -= margin;
        fat.hi[k] += margin;
    }
    return fat;
}

// Vectors that must hold one entry per slot grow ahead, so that no step allocates.
template <typename T>
void roomFor(std::vector<T>& list, std::size_t count) {
    if (list.capacity() < count) {
        list.reserve(2 * count);
    }
}

}  // namespace

BroadPhase::~BroadPhase() {
    for (GameObject* object : objects) {
        if (object != nullptr) {
            object->broadPhase = nullptr;
        }
    }
}

void BroadPhase::add(GameObject& object) {
    if (object.broadPhase != nullptr) {
        return;
    }
    const auto slot = static_cast<std::uint32_t>(objects.size());
    bounds.push_back(Bounds::empty());
    state.push_back(object.hasCollider ? RECEIVES : 0);
    objects.push_back(&object);
    colliderRevision.push_back(0);
    colliderCount.push_back(0);
    leaf.push_back(BoundsTree::NONE);
    offeredAt.push_back(0);
    filledAt.push_back(0);
    kept.emplace_back();
    // Room for the usual few candidates, so that lists rarely grow while objects move.
    kept.back().reserve(KEPT_RESERVE);
    partners.emplace_back();
    spheres.emplace_back();
    boxes.emplace_back();
    changedAt.push_back(0);
    tallies.emplace_back();
    partners.back().reserve(KEPT_RESERVE);
    object.collisionCandidates.reserve(KEPT_RESERVE);
    object.broadPhase = this;
    object.broadPhaseSlot = slot;

    roomFor(dirty, objects.size());
    roomFor(gainedCollider, objects.size());
    roomFor(found, objects.size());
    roomFor(unbounded, objects.size());
    roomFor(waiting, objects.size());
    tree.reserve(objects.size());
    geometryChanged(slot);
    ++generation;
}

void BroadPhase::remove(GameObject& object) {
    if (object.broadPhase != this) {
        return;
    }
    const std::uint32_t slot = object.broadPhaseSlot;
    if (leaf[slot] != BoundsTree::NONE) {
        tree.remove(leaf[slot]);
        leaf[slot] = BoundsTree::NONE;
        unlinkPartners(slot);
    }
    if ((state[slot] & UNBOUNDED) != 0) {
        unbounded.erase(std::find(unbounded.begin(), unbounded.end(), slot));
    }
    // Pending lists skip it from now on.
    state[slot] = static_cast<std::uint16_t>(REMOVED | (state[slot] & (DIRTY | GAINED_COLLIDER)));
    objects[slot] = nullptr;
    object.broadPhase = nullptr;
    ++generation;
}

void BroadPhase::beginStep() {
    for (const std::uint32_t slot : gainedCollider) {
        state[slot] &= static_cast<std::uint16_t>(~GAINED_COLLIDER);
        if ((state[slot] & REMOVED) == 0) {
            state[slot] |= RECEIVES;
        }
    }
    gainedCollider.clear();
    inStep = true;
    ++step;
}

void BroadPhase::endStep() {
    inStep = false;
}

void BroadPhase::geometryChanged(std::uint32_t slot) {
    if ((state[slot] & DIRTY) == 0) {
        state[slot] |= DIRTY;
        dirty.push_back(slot);
    }
}

void BroadPhase::colliderAttached(std::uint32_t slot) {
    // A collider without geometry of its own changes no revision, so the bounds are read
    // again for the attachment itself.
    colliderCount[slot] = 0;
    geometryChanged(slot);
    if ((state[slot] & (RECEIVES | GAINED_COLLIDER)) == 0) {
        state[slot] |= GAINED_COLLIDER;
        gainedCollider.push_back(slot);
    }
}

void BroadPhase::offerCandidates(GameObject& receiver) {
    if (!inStep || receiver.broadPhase != this) {
        return;
    }
    const std::uint32_t slot = receiver.broadPhaseSlot;
    if ((state[slot] & RECEIVES) == 0) {
        return;
    }
    refreshDirty();
    if (offeredAt[slot] == generation && filledAt[slot] == step) {
        return;
    }
    const std::vector<std::uint32_t>& list = currentCandidates(slot);
    auto& candidates = receiver.collisionCandidates;
    candidates.clear();
    for (const std::uint32_t other : list) {
        candidates.push_back(objects[other]);
    }
    filledAt[slot] = step;
}

bool BroadPhase::findCandidates(GameObject& object, std::vector<GameObject*>& out) {
    out.clear();
    if (object.broadPhase != this) {
        return false;
    }
    refreshDirty();
    for (const std::uint32_t other : currentCandidates(object.broadPhaseSlot)) {
        out.push_back(objects[other]);
    }
    return true;
}

const std::vector<std::uint32_t>& BroadPhase::currentCandidates(std::uint32_t slot) {
    std::vector<std::uint32_t>& list = kept[slot];
    if (offeredAt[slot] == generation) {
        return list;
    }
    found.clear();
    if ((state[slot] & UNBOUNDED) != 0) {
        collectAll(slot);
    } else {
        collectOverlaps(slot);
    }
    // Partners are kept in slot order, so only boxes without bounds can put `found` out of
    // order.
    if (!std::is_sorted(found.begin(), found.end())) {
        std::sort(found.begin(), found.end());
    }
    if ((state[slot] & HAS_BOX) != 0) {
        addBoxWitness(slot);
    }
    // Other candidates than before: what testBoxes() found for the old ones is no answer.
    if (!std::equal(found.begin(), found.end(), list.begin(), list.end())) {
        // Grown by half again, not to the size: a floor that boxes keep landing on would
        // allocate for every one.
        if (list.capacity() < found.size()) {
            list.reserve(found.size() + found.size() / 2);
        }
        list.assign(found.begin(), found.end());
        tallies[slot].at = 0;
    }
    offeredAt[slot] = generation;
    return list;
}

void BroadPhase::collectOverlaps(std::uint32_t slot) {
    // Whatever overlaps the object's bounds overlaps its leaf: its partners hold them all.
    const Bounds own = bounds[slot];
    const Sphere& sphere = spheres[slot];
    for (const std::uint32_t other : partners[slot]) {
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

void BroadPhase::collectAll(std::uint32_t slot) {
    for (std::uint32_t other = 0; other < state.size(); ++other) {
        if (other != slot && (state[other] & HAS_COLLIDERS) != 0) {
            found.push_back(other);
        }
    }
}

void BroadPhase::addBoxWitness(std::uint32_t slot) {
    for (const std::uint32_t other : found) {
        if ((state[other] & HAS_BOX) != 0) {
            return;
        }
    }
    for (std::uint32_t other = 0; other < state.size(); ++other) {
        if (other != slot && (state[other] & HAS_BOX) != 0) {
            insertSorted(other);
            return;
        }
    }
}

void BroadPhase::insertSorted(std::uint32_t slot) {
    found.insert(std::upper_bound(found.begin(), found.end(), slot), slot);
}

void BroadPhase::refreshDirty() {
    // Indexed: reading bounds never changes geometry, so the list does not grow meanwhile.
    for (std::size_t i = 0; i < dirty.size(); ++i) {
        const std::uint32_t slot = dirty[i];
        state[slot] &= static_cast<std::uint16_t>(~DIRTY);
        if ((state[slot] & REMOVED) == 0) {
            refresh(slot);
        }
    }
    dirty.clear();
    insertWaiting();
}

void BroadPhase::refresh(std::uint32_t slot) {
    const auto& colliders = objects[slot]->colliders;
    // Every change of any geometry takes a revision larger than all before it, so the
    // largest revision among the colliders changes exactly when one of them moved.
    std::uint64_t revision = 0;
    for (const Component* collider : colliders) {
        if (collider->componentTransform) {
            revision = std::max(revision, collider->componentTransform->getRevision());
        }
    }
    if (revision == colliderRevision[slot] && colliders.size() == colliderCount[slot]) {
        return;
    }
    colliderRevision[slot] = revision;
    colliderCount[slot] = static_cast<std::uint32_t>(colliders.size());

    Bounds united = Bounds::empty();
    bool isUnbounded = false;
    bool hasBox = false;
    bool plainBox = false;
    spheres[slot] = Sphere();
    for (Component* collider : colliders) {
        Bounds own;
        // Only the engine's own shapes have known bounds: a derived class may test anything.
        if (typeid(*collider) == typeid(BoxCollider)) {
            hasBox = true;
            const OrientedBox* box = static_cast<BoxCollider*>(collider)->testedBox();
            isUnbounded = isUnbounded || box == nullptr || !box->bounds(own);
            if (colliders.size() == 1 && box != nullptr) {
                spheres[slot] = Sphere{box->centre, box->reach};
                boxes[slot].box = *box;
                plainBox = true;
            }
        } else if (typeid(*collider) == typeid(CircleCollider)) {
            isUnbounded = isUnbounded || !static_cast<CircleCollider*>(collider)->bounds(own);
        } else {
            hasBox = hasBox || dynamic_cast<BoxCollider*>(collider) != nullptr;
            isUnbounded = true;
            continue;
        }
        united.merge(own);
    }

    const bool wasUnbounded = (state[slot] & UNBOUNDED) != 0;
    auto next = static_cast<std::uint16_t>(state[slot] & (RECEIVES | DIRTY | GAINED_COLLIDER));
    next |= colliders.empty() ? 0 : HAS_COLLIDERS;
    next |= isUnbounded ? UNBOUNDED : 0;
    next |= hasBox ? HAS_BOX : 0;
    next |= plainBox ? PLAIN_BOX : 0;
    state[slot] = next;
    bounds[slot] = united;
    if (isUnbounded != wasUnbounded) {
        if (isUnbounded) {
            unbounded.insert(std::upper_bound(unbounded.begin(), unbounded.end(), slot), slot);
        } else {
            unbounded.erase(std::find(unbounded.begin(), unbounded.end(), slot));
        }
    }
    placeInTree(slot);
    changedAt[slot] = ++generation;
}

// The loop of a box collider whose object has no other collider, run on contiguous arrays:
// per candidate, its slot's state and its box, instead of the candidate object, its collider
// list, the collider, its geometry and its kept box, five blocks apart on the heap. A plain
// box gets the very test collideWithBox() runs, on a copy of the very box it reads; any other
// candidate gets the collider's own collide() calls. The answer depends on nothing but the
// boxes and colliders involved, so while neither the receiver, its candidates nor any of
// theirs has changed since the last answer (`changedAt`, `tallies`), that answer stands.
bool BroadPhase::testBoxes(GameObject& receiver, BoxCollider& tester, int& tests, bool& contact) {
    // Candidates not offered by this broad phase in this step, or geometry that changed since
    // they were, are the collider's own to test.
    if (!inStep || receiver.broadPhase != this || !dirty.empty() || tests != 0 || contact) {
        return false;
    }
    const std::uint32_t slot = receiver.broadPhaseSlot;
    const auto ready = static_cast<std::uint16_t>(RECEIVES | PLAIN_BOX);
    if ((state[slot] & ready) != ready || offeredAt[slot] != generation || filledAt[slot] != step ||
        receiver.colliders.size() != 1 || receiver.colliders[0] != &tester) {
        return false;
    }
    const std::vector<std::uint32_t>& list = kept[slot];
    const auto& candidates = receiver.collisionCandidates;
    if (candidates.size() != list.size()) {
        return false;
    }
    Tally& tally = tallies[slot];
    bool unchanged = tally.at != 0 && changedAt[slot] <= tally.at;
    for (std::size_t i = 0; i < list.size(); ++i) {
        // A list that user code has changed since it was offered.
        if (candidates[i] == nullptr || candidates[i] != objects[list[i]]) {
            return false;
        }
        unchanged = unchanged && changedAt[list[i]] <= tally.at;
    }
    if (unchanged) {
        tests = tally.tests;
        contact = tally.contact;
        return true;
    }
    const OrientedBox& own = boxes[slot].box;
    int plainTests = 0;
    bool plainContact = false;
    for (const std::uint32_t other : list) {
        if ((state[other] & PLAIN_BOX) != 0) {
            // Once one box touches, the rest only count: the answer is made.
            ++plainTests;
            const OrientedBox& box = boxes[other].box;
            plainContact = plainContact || (own.mayTouch(box) && own.touches(box));
        } else {
            // Counted by the collider itself, into `tests` and `contact`.
            const auto& colliders = objects[other]->colliders;
            for (std::size_t c = 0; c < colliders.size(); ++c) {
                tester.collide(colliders[c]);
            }
        }
    }
    tests += plainTests;
    contact = contact || plainContact;
    tally = Tally{generation, tests, contact};
    return true;
}

bool BroadPhase::belongsInTree(std::uint32_t slot) const {
    return (state[slot] & (HAS_COLLIDERS | UNBOUNDED | REMOVED)) == HAS_COLLIDERS;
}

void BroadPhase::placeInTree(std::uint32_t slot) {
    const bool belongs = belongsInTree(slot);
    std::int32_t& node = leaf[slot];
    if (node != BoundsTree::NONE) {
        if (belongs && tree.boundsOf(node).contains(bounds[slot])) {
            return;
        }
        tree.remove(node);
        node = BoundsTree::NONE;
        unlinkPartners(slot);
    }
    if (belongs) {
        waiting.push_back(slot);
    }
}

// Puts the leaves that placeInTree() left waiting into the tree: one by one, or, when they
// outnumber the tree, by building it afresh; then links each with the leaves it overlaps.
void BroadPhase::insertWaiting() {
    if (waiting.empty()) {
        return;
    }
    for (const std::uint32_t slot : waiting) {
        state[slot] |= WAITING;
    }
    if (waiting.size() <= tree.leafCount()) {
        for (const std::uint32_t slot : waiting) {
            leaf[slot] = tree.insert(fattened(bounds[slot]), slot);
        }
    } else {
        // Mostly new leaves (a world taking in its objects): build the tree whole, leaves
        // already in it keeping their bounds. This allocates, but only when the tree at
        // least doubles.
        rebuildScratch.clear();
        for (std::uint32_t slot = 0; slot < state.size(); ++slot) {
            if ((state[slot] & WAITING) != 0) {
                rebuildScratch.push_back({fattened(bounds[slot]), slot});
            } else if (leaf[slot] != BoundsTree::NONE) {
                rebuildScratch.push_back({tree.boundsOf(leaf[slot]), slot});
            }
        }
        tree.build(rebuildScratch, leaf);
        tree.reserve(objects.size());
    }
    // Each pair with a new leaf is linked once: by the lower slot when both are new.
    for (const std::uint32_t slot : waiting) {
        const Bounds fat = tree.boundsOf(leaf[slot]);
        tree.query(fat, [&](std::uint32_t other) {
            if (other == slot || ((state[other] & WAITING) != 0 && other < slot)) {
                return;
            }
            insertInOrder(partners[slot], other);
            insertInOrder(partners[other], slot);
        });
    }
    for (const std::uint32_t slot : waiting) {
        state[slot] &= static_cast<std::uint16_t>(~WAITING);
    }
    waiting.clear();
}

void BroadPhase::unlinkPartners(std::uint32_t slot) {
    for (const std::uint32_t other : partners[slot]) {
        auto& list = partners[other];
        list.erase(std::lower_bound(list.begin(), list.end(), slot));
    }
    partners[slot].clear();
}
