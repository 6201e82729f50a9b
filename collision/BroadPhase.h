#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "collision/Bounds.h"
#include "collision/BoundsTree.h"
#include "collision/OrientedBox.h"
#include "math/Vector3.h"

class BoxCollider;
class GameObject;

// Offers an object with colliders, as collision candidates, only the other objects with
// colliders whose bounds overlap its own, in insertion order: the all-pairs candidates minus
// those its colliders could not touch. Switched on for a World with World::setBroadPhase().
//
// Candidates are decided when a collider asks for them, from the geometry as it is at that
// moment, so objects that moved earlier in the step (or the asking object itself, by its
// own physics or controller) are seen where they are. An object's bounds are the union of
// its colliders' bounds; a collider whose bounds are not known is bounded by nothing and is
// offered to every object and offered every object, as in the all-pairs step.
class BroadPhase {
  public:
    BroadPhase() = default;
    /// Lets go of every object still held; they go back to the all-pairs candidates.
    ~BroadPhase();

    BroadPhase(const BroadPhase&) = delete;
    BroadPhase& operator=(const BroadPhase&) = delete;

    /// Takes in an object of the world, after all objects added before it. An object
    /// already held by a broad phase is left where it is.
    void add(GameObject& object);
    /// Lets go of an object: it is no longer offered, and it may then be deleted. Objects
    /// do this themselves when they are destroyed.
    void remove(GameObject& object);

    /// Brackets the update pass of a running step. Candidates are offered only inside it,
    /// to the objects that had a collider when it began.
    void beginStep();
    void endStep();

    /// Replaces the receiver's collisionCandidates with its current candidates.
    void offerCandidates(GameObject& receiver);
    /// The same candidates, as the geometry stands now, into `out` (emptied first): the
    /// objects whose colliders' bounds overlap the object's, in insertion order, at any time
    /// and for any object held. False, with `out` empty, for an object not held.
    bool findCandidates(GameObject& object, std::vector<GameObject*>& out);
    /// Some geometry of the object in `slot` changed: its bounds are read again when next
    /// needed, if a collider's revision says they changed.
    void geometryChanged(std::uint32_t slot);
    /// A collider was attached to the object in `slot`.
    void colliderAttached(std::uint32_t slot);

    /// Runs the box tests of `tester`, the receiver's only collider and an exact BoxCollider,
    /// against the candidates just offered, and counts them into `tests` and `contact` (both
    /// still 0 and false) exactly as its collide() calls would. False, having tested nothing,
    /// when it cannot; the collider then tests its candidates itself.
    bool testBoxes(GameObject& receiver, BoxCollider& tester, int& tests, bool& contact);

  private:
    // Per-slot state bits.
    enum : std::uint16_t {
        HAS_COLLIDERS = 1,  // has at least one collider now
        UNBOUNDED = 2,      // some collider has no known bounds
        HAS_BOX = 4,        // some collider takes part in the box test
        RECEIVES = 8,       // had a collider when the step began
        DIRTY = 16,         // in `dirty`
        GAINED_COLLIDER = 32,
        REMOVED = 64,
        WAITING = 128,    // in `waiting`, being put into the tree
        PLAIN_BOX = 256,  // its only collider is an exact BoxCollider with a box, in `boxes`
    };

    /// The slot's candidates as the geometry stands now, made again if any bounds changed.
    const std::vector<std::uint32_t>& currentCandidates(std::uint32_t slot);
    void refreshDirty();
    void refresh(std::uint32_t slot);
    void placeInTree(std::uint32_t slot);
    void insertWaiting();
    void unlinkPartners(std::uint32_t slot);
    bool belongsInTree(std::uint32_t slot) const;
    void collectOverlaps(std::uint32_t slot);
    void collectAll(std::uint32_t slot);
    void addBoxWitness(std::uint32_t slot);
    void insertSorted(std::uint32_t slot);

    // Indexed by slot, one slot per object in insertion order.
    std::vector<Bounds> bounds;
    // The kept box's bounding sphere, for an object whose only collider is a box: the box
    // test begins with the same comparison, so spheres apart mean no contact.
    struct Sphere {
        _Tarn::Vector3 centre{0.0f, 0.0f, 0.0f};
        float reach = std::numeric_limits<float>::infinity();  // infinite: no sphere
        /// Seen from the receiver, as its box test sees it.
        bool mayMeet(const Sphere& other) const {
            return OrientedBox::spheresMayMeet(centre, reach, other.centre, other.reach);
        }
    };
    std::vector<Sphere> spheres;
    std::vector<std::uint16_t> state;
    // For a PLAIN_BOX slot, a copy of its collider's kept box, one cache line each.
    struct alignas(64) KeptBox {
        OrientedBox box;
    };
    std::vector<KeptBox> boxes;
    // `generation` when its colliders' geometry or their number last changed.
    std::vector<std::uint64_t> changedAt;
    // What testBoxes() last found for a slot, and the `generation` it was found at.
    struct Tally {
        std::uint64_t at = 0;  // 0: none
        int tests = 0;
        bool contact = false;
    };
    std::vector<Tally> tallies;
    std::vector<GameObject*> objects;
    std::vector<std::uint64_t> colliderRevision;  // largest revision of its colliders' geometry
    std::vector<std::uint32_t> colliderCount;
    std::vector<std::int32_t> leaf;                    // BoundsTree::NONE while not in the tree
    std::vector<std::vector<std::uint32_t>> partners;  // whose leaves overlap its leaf
    std::vector<std::vector<std::uint32_t>> kept;      // its candidates, as slots
    std::vector<std::uint64_t> offeredAt;              // `generation` when `kept` was made
    std::vector<std::uint32_t> filledAt;  // `step` when collisionCandidates was last filled

    BoundsTree tree;
    std::vector<std::uint32_t> unbounded;  // sorted
    std::vector<std::uint32_t> dirty;
    std::vector<std::uint32_t> gainedCollider;
    std::vector<std::uint32_t> found;    // scratch for one query
    std::vector<std::uint32_t> waiting;  // to be put into the tree
    std::vector<BoundsTree::Leaf> rebuildScratch;

    bool inStep = false;
    std::uint32_t step = 0;
    std::uint64_t generation = 1;  // grows with every change of any bounds
};
