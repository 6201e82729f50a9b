#include "collision/BroadPhase.h"

#include <algorithm>
#include <typeinfo>

#include "collision/BoxCollider.h"
#include "core/Assert.h"
#include "core/Component.h"
#include "core/GameObject.h"

BroadPhase::~BroadPhase() {
    for (std::uint32_t slot = 0; slot < records.size(); ++slot) {
        if (GameObject* object = records.objectAt(slot)) {
            ENGINE_ASSERT(holds(*object));
            object->candidateSlot = CandidateSlot();
        }
    }
}

BroadPhase* BroadPhase::of(const GameObject& object) {
    CandidateSource* source = object.candidateSlot.source;
    // The exact class, which a pointer comparison settles: this class is final.
    if (source != nullptr && typeid(*source) == typeid(BroadPhase)) {
        return static_cast<BroadPhase*>(source);
    }
    return nullptr;
}

bool BroadPhase::holds(const GameObject& object) const {
    return object.candidateSlot.source == this;
}

void BroadPhase::add(GameObject& object) {
    if (object.candidateSlot.source != nullptr) {
        return;
    }
    // The one place where a slot is made: every part grows by one entry.
    const std::uint32_t slot = records.append(object);
    index.append();
    boxes.append();
    ENGINE_ASSERT(records.size() == slot + 1);
    object.collisionCandidates.reserve(ObjectRecords::KEPT_RESERVE);
    object.candidateSlot = CandidateSlot{this, slot};
    // Room ahead, doubled as it runs out, so that a step never allocates for these lists.
    if (found.capacity() < records.size()) {
        found.reserve(2 * records.size());
        gainingCollider.reserve(2 * records.size());
    }
    ++generation;
}

void BroadPhase::remove(GameObject& object) {
    if (!holds(object)) {
        return;
    }
    const std::uint32_t slot = object.candidateSlot.index;
    ENGINE_ASSERT(records.objectAt(slot) == &object);
    index.drop(slot);
    records.clear(slot);
    object.candidateSlot = CandidateSlot();
    ++generation;
}

void BroadPhase::beginStep() {
    for (const std::uint32_t slot : gainingCollider) {
        ObjectState& state = records.state(slot);
        state.gainingCollider = false;
        state.receives = records.objectAt(slot) != nullptr;
    }
    gainingCollider.clear();
    inStep = true;
    ++step;
}

void BroadPhase::endStep() {
    inStep = false;
}

void BroadPhase::geometryChanged(GameObject& object) {
    ENGINE_ASSERT(holds(object));
    index.markDirty(object.candidateSlot.index);
}

void BroadPhase::colliderAttached(GameObject& object) {
    ENGINE_ASSERT(holds(object));
    const std::uint32_t slot = object.candidateSlot.index;
    // A collider without geometry of its own changes no revision: its number is forgotten, so
    // that the slot is read again for the attachment itself.
    records.record(slot).colliderCount = 0;
    index.markDirty(slot);
    ObjectState& state = records.state(slot);
    if (!state.receives && !state.gainingCollider) {
        state.gainingCollider = true;
        gainingCollider.push_back(slot);
    }
}

bool BroadPhase::offeredThisStep(std::uint32_t slot) const {
    return inStep && records.state(slot).receives && records.record(slot).filledAt == step;
}

void BroadPhase::offerCandidates(GameObject& receiver) {
    justFilled = NONE;
    if (!inStep || !holds(receiver)) {
        return;
    }
    const std::uint32_t slot = receiver.candidateSlot.index;
    if (!records.state(slot).receives) {
        return;
    }
    ObjectRecord& record = records.record(slot);
    refreshDirty();
    // Filled in this step, and no bounds changed since: the list stands (with whatever the
    // object's own code did to it meanwhile, as in the all-pairs step).
    if (record.keptAt == generation && record.filledAt == step) {
        return;
    }
    const std::vector<std::uint32_t>& list = candidatesOf(slot);
    auto& candidates = receiver.collisionCandidates;
    candidates.clear();
    for (const std::uint32_t other : list) {
        candidates.push_back(records.objectAt(other));
    }
    record.filledAt = step;
    justFilled = slot;
}

void BroadPhase::collectCandidates(const GameObject& receiver, std::vector<GameObject*>& out) {
    if (!holds(receiver)) {
        return;
    }
    justFilled = NONE;
    refreshDirty();
    // Kept candidates are made only for offers: an object's list that stands in a step was
    // filled from them.
    const std::uint32_t slot = receiver.candidateSlot.index;
    const ObjectRecord& record = records.record(slot);
    if (record.keptAt != generation) {
        find(slot);
    }
    const std::vector<std::uint32_t>& list = record.keptAt == generation ? record.kept : found;
    for (const std::uint32_t other : list) {
        out.push_back(records.objectAt(other));
    }
}

const std::vector<std::uint32_t>& BroadPhase::candidatesOf(std::uint32_t slot) {
    ObjectRecord& record = records.record(slot);
    if (record.keptAt == generation) {
        return record.kept;
    }
    find(slot);
    // Other candidates than before: what the box batch found for the old ones is no answer.
    if (found != record.kept) {
        record.kept.assign(found.begin(), found.end());
        boxes.forgetAnswer(slot);
    }
    record.keptAt = generation;
    return record.kept;
}

void BroadPhase::find(std::uint32_t slot) {
    ENGINE_ASSERT(!index.hasDirty());
    found.clear();
    if (records.state(slot).unbounded) {
        collectAll(slot);
    } else {
        index.query(slot, found);
        // Partners are kept in slot order, so only the unbounded can put `found` out of order.
        if (!std::is_sorted(found.begin(), found.end())) {
            std::sort(found.begin(), found.end());
        }
    }
}

void BroadPhase::collectAll(std::uint32_t slot) {
    for (std::uint32_t other = 0; other < records.size(); ++other) {
        if (other != slot && records.state(other).hasColliders) {
            found.push_back(other);
        }
    }
}

void BroadPhase::refreshDirty() {
    index.refresh(records, [this](std::uint32_t slot, Bounds& bounds, BoundingSphere& sphere) {
        const OrientedBox* plain = nullptr;
        if (!records.refresh(slot, bounds, sphere, plain)) {
            return false;
        }
        if (plain != nullptr) {
            boxes.keep(slot, *plain);
        }
        records.changedAt(slot) = ++generation;
        return true;
    });
}

bool BroadPhase::testBoxes(GameObject& receiver, BoxCollider& tester, int& tests, bool& contact) {
    // Candidates not offered by this broad phase in this step, or geometry that changed since
    // they were, are the collider's own to test.
    if (!holds(receiver) || index.hasDirty() || tests != 0 || contact) {
        return false;
    }
    const std::uint32_t slot = receiver.candidateSlot.index;
    const ObjectRecord& record = records.record(slot);
    // Right after the list was filled from the kept candidates it is theirs; otherwise it is
    // compared with them.
    const bool asOffered = slot == justFilled ? offeredThisStep(slot) && record.keptAt == generation
                                              : candidatesAsOffered(slot, receiver);
    if (!records.state(slot).plainBox || receiver.colliders.size() != 1 ||
        receiver.colliders[0] != &tester || !asOffered) {
        return false;
    }
    boxes.test(slot, record.kept, records, generation, tester, tests, contact);
    return true;
}

bool BroadPhase::candidatesAsOffered(std::uint32_t slot, const GameObject& receiver) const {
    const ObjectRecord& record = records.record(slot);
    if (!offeredThisStep(slot) || record.keptAt != generation) {
        return false;
    }
    const std::vector<std::uint32_t>& list = record.kept;
    const auto& candidates = receiver.collisionCandidates;
    if (candidates.size() != list.size()) {
        return false;
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        // A list that user code has changed since it was offered.
        if (candidates[i] == nullptr || candidates[i] != records.objectAt(list[i])) {
            return false;
        }
    }
    return true;
}

bool BroadPhase::leftOutBoxes(const GameObject& receiver) const {
    if (!holds(receiver)) {
        return false;
    }
    const std::uint32_t slot = receiver.candidateSlot.index;
    const ObjectState& state = records.state(slot);
    const std::uint32_t others = records.boxHolders() - (state.hasBox ? 1 : 0);
    return !state.unbounded && others > 0 && candidatesAsOffered(slot, receiver);
}

std::string BroadPhase::validate() const {
    std::uint32_t boxHolders = 0;
    for (std::uint32_t slot = 0; slot < records.size(); ++slot) {
        const ObjectState& state = records.state(slot);
        const ObjectRecord& record = records.record(slot);
        const GameObject* object = records.objectAt(slot);
        const std::string at = "slot " + std::to_string(slot) + ": ";
        if (object == nullptr) {
            if (state.hasColliders || state.receives || !record.kept.empty()) {
                return at + "an empty slot that still has colliders or candidates";
            }
            continue;
        }
        const CandidateSlot& held = object->candidateSlot;
        if (held.source != this || held.index != slot) {
            return at + "its object names another source or slot";
        }
        boxHolders += state.hasBox ? 1 : 0;
        if (state.gainingCollider != (std::find(gainingCollider.begin(), gainingCollider.end(),
                                                slot) != gainingCollider.end())) {
            return at + "gaining a collider or not, unlike the list";
        }
        const std::vector<std::uint32_t>& kept = record.kept;
        if (!std::is_sorted(kept.begin(), kept.end()) ||
            std::adjacent_find(kept.begin(), kept.end()) != kept.end()) {
            return at + "its candidates are not in slot order";
        }
        for (const std::uint32_t other : kept) {
            if (other == slot || other >= records.size() ||
                (record.keptAt == generation && !records.state(other).hasColliders)) {
                return at + "a candidate that is itself, or not a current object with colliders";
            }
        }
    }
    if (boxHolders != records.boxHolders()) {
        return "box holders counted " + std::to_string(records.boxHolders()) + ", found " +
               std::to_string(boxHolders);
    }
    std::string wrong = index.validate(records);
    if (wrong.empty()) {
        wrong = boxes.validate(records);
    }
    return wrong;
}
