#include "core/World.h"

#include <algorithm>
#include <typeinfo>

#include "collision/BroadPhase.h"
#include "core/DrawBatch.h"
#include "core/GameObject.h"

World* World::instance = nullptr;

World* World::getInstance() {
    if (instance == nullptr) {
        instance = new World();
    }
    return instance;
}

void World::destroyInstance() {
    delete instance;
    instance = nullptr;
}

World::World() = default;

World::~World() {
    // Objects go in insertion order, as they were added; each leaves the broad phase as it
    // goes, which goes last.
    for (auto& object : objects) {
        object.reset();
    }
    broadPhase.reset();
}

void World::setBroadPhase(bool enabled) {
    if (enabled && !broadPhase) {
        broadPhase = std::make_unique<BroadPhase>();
        objectsInBroadPhase = 0;
    } else if (!enabled) {
        broadPhase.reset();
    }
}

World::Objects::iterator World::find(const GameObject* object) {
    return std::find_if(objects.begin(), objects.end(),
                        [object](const auto& entry) { return entry.get() == object; });
}

void World::addObject(GameObject* object) {
    if (object != nullptr && find(object) == objects.end()) {
        objects.emplace_back(object);
    }
}

void World::update(int elapsedMs) {
    ++passDepth;
    if (!running) {
        if (!objects.empty()) {
            objects[0]->update(elapsedMs);
        }
    } else if (broadPhase) {
        // Objects added since the last step join first (also those appended to `objects`
        // directly); objects added during the step join at the next one, as in the all-pairs
        // step, which offers them nothing and offers them to nobody.
        for (; objectsInBroadPhase < objects.size(); ++objectsInBroadPhase) {
            broadPhase->add(*objects[objectsInBroadPhase]);
        }
        broadPhase->beginStep();
        for (size_t i = 0; i < objects.size(); ++i) {
            objects[i]->update(elapsedMs);
        }
        // A component may have switched the broad phase off meanwhile.
        if (broadPhase) {
            broadPhase->endStep();
        }
    } else {
        const size_t count = objects.size();
        for (size_t i = 0; i < count; ++i) {
            for (size_t j = 0; j < count; ++j) {
                if (j != i) {
                    objects[i]->addCollisionCandidate(objects[j].get());
                }
            }
        }
        for (size_t i = 0; i < objects.size(); ++i) {
            objects[i]->update(elapsedMs);
        }
    }
    --passDepth;
    removePending();
}

// Plain objects send their points through the frame's batch; an object of a class of its own
// may draw by any means (the Gui's text), so the batch goes before it.
void World::draw(int elapsedMs) {
    ++passDepth;
    openDrawBatch();
    for (const auto& owned : objects) {
        GameObject& object = *owned;
        if (typeid(object) == typeid(GameObject)) {
            object.draw(elapsedMs);
        } else {
            flushDrawBatch();
            object.draw(elapsedMs);
            resumeDrawBatch();
        }
    }
    closeDrawBatch();
    --passDepth;
    removePending();
}

bool World::removeObject(GameObject* object) {
    if (object == nullptr || find(object) == objects.end()) {
        return false;
    }
    if (passDepth == 0) {
        removeNow(object);
    } else if (std::find(pendingRemovals.begin(), pendingRemovals.end(), object) ==
               pendingRemovals.end()) {
        pendingRemovals.push_back(object);
    }
    return true;
}

void World::removeNow(GameObject* object) {
    for (const auto& other : objects) {
        if (other.get() != object) {
            other->forgetObject(*object);
        }
    }
    const auto at = find(object);
    // The broad phase has taken in a prefix of `objects`; it stays a prefix.
    if (static_cast<size_t>(at - objects.begin()) < objectsInBroadPhase) {
        --objectsInBroadPhase;
    }
    // Out of the list before it is deleted: whatever its destructor reaches finds it gone. The
    // object leaves the broad phase as it is deleted.
    std::unique_ptr<GameObject> leaving = std::move(*at);
    objects.erase(at);
    leaving.reset();
}

void World::removePending() {
    if (passDepth > 0) {
        return;
    }
    // Index by index: a destructor may ask for another removal, which is then done at once.
    for (size_t i = 0; i < pendingRemovals.size(); ++i) {
        if (find(pendingRemovals[i]) != objects.end()) {
            removeNow(pendingRemovals[i]);
        }
    }
    pendingRemovals.clear();
}

void World::hideFirstObject() {
    if (!objects.empty()) {
        objects[0]->drawEnabled = false;
    }
}
