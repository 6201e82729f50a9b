#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "collision/Bounds.h"
#include "collision/OrientedBox.h"
#include "math/Vector3.h"

class Collider;
class GameObject;

// What the broad phase knows of one object it holds, in the slot the object was given when it
// was taken in (slots follow insertion order). Another object's query reads the first part,
// which shares one cache line; the rest only the object's own queries read. The object itself
// is named apart (ObjectRecords::objectAt).
struct ObjectRecord {
    /// The bounding sphere of a plain box (the box test begins by comparing the spheres, so
    /// spheres apart mean no contact); infinite for anything else.
    struct Sphere {
        _Tarn::Vector3 centre{0.0f, 0.0f, 0.0f};
        float reach = std::numeric_limits<float>::infinity();
        /// Seen from the receiver, as its box test sees it.
        bool mayMeet(const Sphere& other) const {
            return OrientedBox::spheresMayMeet(centre, reach, other.centre, other.reach);
        }
    };

    /// The union of its colliders' bounds (meaningless while `unbounded`).
    Bounds bounds;
    Sphere sphere;
    /// The broad phase's generation when its colliders' geometry or number last changed.
    std::uint64_t changedAt = 0;
    bool hasColliders = false;
    /// Some collider cannot tell its bounds: it reaches every object.
    bool unbounded = false;
    /// Its only collider is a plain box (Collider::plainBox), copied into the box batch.
    bool plainBox = false;
    /// Some collider is a BoxCollider, of any class: the all-pairs step shows it every box.
    bool hasBox = false;
    /// Had a collider when the step began: offered candidates in it.
    bool receives = false;
    /// Gained its first collider during a step: receives from the next one on.
    bool gainingCollider = false;

    /// The largest geometry revision among its colliders, and their number, when last read.
    std::uint64_t colliderRevision = 0;
    std::uint32_t colliderCount = 0;
    /// Its collider as a Collider, when it has exactly one (null if that is no Collider):
    /// found once as it comes, as colliders are never taken off.
    Collider* soleCollider = nullptr;
    /// The step in which its object's collisionCandidates were last filled.
    std::uint32_t filledAt = 0;
    /// Its candidates as slots, in slot order, and the generation they were found at.
    std::vector<std::uint32_t> kept;
    std::uint64_t keptAt = 0;
};

// The records of the objects a broad phase holds, one per slot, appended in one place, and
// the objects themselves by slot in a dense list of their own: filling an object's candidate
// list reads one pointer per candidate, eight to a cache line.
class ObjectRecords {
  public:
    /// Room for the usual few candidates per object, so that lists rarely grow as objects move.
    static constexpr std::size_t KEPT_RESERVE = 32;

    /// A record for `object` in the next slot, which it returns; read on the next refresh().
    std::uint32_t append(GameObject& object);
    /// Empties the slot of an object that has left.
    void clear(std::uint32_t slot);

    /// Reads the record again from its object's colliders if their geometry revisions or
    /// their number changed since the last read. Returns whether it did; `plain` is then the
    /// box to copy for a plain box, and null otherwise.
    bool refresh(std::uint32_t slot, const OrientedBox*& plain);

    /// The largest geometry revision among the object's colliders.
    static std::uint64_t revisionOf(const GameObject& object);

    /// The object in `slot`; null once it has left (the slot then stays empty for good).
    GameObject* objectAt(std::uint32_t slot) const { return objects[slot]; }
    ObjectRecord& operator[](std::uint32_t slot) { return records[slot]; }
    const ObjectRecord& operator[](std::uint32_t slot) const { return records[slot]; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(records.size()); }
    /// Held objects with a BoxCollider among their colliders.
    std::uint32_t boxHolders() const { return boxHolderCount; }

  private:
    std::vector<ObjectRecord> records;
    std::vector<GameObject*> objects;
    std::uint32_t boxHolderCount = 0;
};
