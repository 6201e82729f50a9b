#include "collision/ObjectRecords.h"

#include <algorithm>

#include "collision/BoxCollider.h"
#include "collision/Collider.h"
#include "core/Assert.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"

std::uint32_t ObjectRecords::append(GameObject& object) {
    const auto slot = static_cast<std::uint32_t>(objects.size());
    objects.push_back(&object);
    states.emplace_back().receives = object.hasCollider;
    changes.push_back(0);
    records.emplace_back().kept.reserve(KEPT_RESERVE);
    return slot;
}

void ObjectRecords::clear(std::uint32_t slot) {
    ENGINE_ASSERT(objects[slot] != nullptr);
    boxHolderCount -= states[slot].hasBox ? 1 : 0;
    objects[slot] = nullptr;
    states[slot] = ObjectState();
    records[slot].soleCollider = nullptr;
    records[slot].kept.clear();
}

bool ObjectRecords::stale(std::uint32_t slot) const {
    const GameObject* object = objects[slot];
    const ObjectRecord& record = records[slot];
    return object != nullptr && (revisionOf(*object) != record.colliderRevision ||
                                 object->colliders.size() != record.colliderCount);
}

std::uint64_t ObjectRecords::revisionOf(const GameObject& object) {
    // Every change of any geometry takes a revision larger than all before it, so the
    // largest revision among the colliders changes exactly when one of them moved.
    std::uint64_t revision = 0;
    for (const Component* collider : object.colliders) {
        if (collider->componentTransform) {
            revision = std::max(revision, collider->componentTransform->getRevision());
        }
    }
    return revision;
}

bool ObjectRecords::refresh(std::uint32_t slot, Bounds& bounds, BoundingSphere& sphere,
                            const OrientedBox*& plain) {
    ObjectRecord& record = records[slot];
    ObjectState& state = states[slot];
    ENGINE_ASSERT(objects[slot] != nullptr);
    const auto& colliders = objects[slot]->colliders;
    const std::uint64_t revision = revisionOf(*objects[slot]);
    const bool attached = colliders.size() != record.colliderCount;
    if (revision == record.colliderRevision && !attached) {
        return false;
    }
    record.colliderRevision = revision;
    record.colliderCount = static_cast<std::uint32_t>(colliders.size());

    // Colliders are never taken off, so which of them are boxes changes only as they come.
    if (attached) {
        const bool hasBox = std::any_of(colliders.begin(), colliders.end(), [](Component* c) {
            return dynamic_cast<BoxCollider*>(c) != nullptr;
        });
        boxHolderCount += (hasBox ? 1 : 0) - (state.hasBox ? 1 : 0);
        state.hasBox = hasBox;
        record.soleCollider =
            colliders.size() == 1 ? dynamic_cast<Collider*>(colliders[0]) : nullptr;
    }

    Bounds united = Bounds::empty();
    bool unbounded = false;
    plain = nullptr;
    for (Component* component : colliders) {
        // A component whose tag says collider but which is no Collider tells nothing. The
        // usual single collider was cast as it came.
        Collider* collider =
            colliders.size() == 1 ? record.soleCollider : dynamic_cast<Collider*>(component);
        // A plain box's bounds are its box's: one call tells both.
        const OrientedBox* box = collider != nullptr ? collider->plainBox() : nullptr;
        Bounds own;
        const bool bounded =
            box != nullptr ? box->bounds(own) : collider != nullptr && collider->bounds(own);
        if (bounded) {
            united.merge(own);
        } else {
            unbounded = true;
        }
        if (colliders.size() == 1) {
            plain = box;
        }
    }
    state.hasColliders = !colliders.empty();
    state.unbounded = unbounded;
    state.plainBox = plain != nullptr;
    sphere = plain != nullptr ? BoundingSphere{plain->centre, plain->reach} : BoundingSphere();
    bounds = united;
    return true;
}
