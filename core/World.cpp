#include "core/World.h"

#include <algorithm>

#include "collision/BroadPhase.h"
#include "core/GameObject.h"
#include "core/WorldStage.h"

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
    stage.reset();
}

void World::setStage(std::unique_ptr<WorldStage> next) {
    stage = std::move(next);
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
        updateObjects(elapsedMs);
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
        updateObjects(elapsedMs);
    }
    --passDepth;
    removePending();
}

void World::draw(int elapsedMs) {
    ++passDepth;
    for (const auto& object : objects) {
        object->draw(elapsedMs);
    }
    --passDepth;
    removePending();
}

// The stage's second half runs while the broad phase still answers for this step.
void World::updateObjects(int elapsedMs) {
    WorldStage* const running = stage.get();
    if (running != nullptr) {
        running->beforeUpdates(*this);
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        objects[i]->update(elapsedMs);
    }
    if (running != nullptr && running == stage.get()) {
        running->afterUpdates(*this);
    }
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
    if (stage) {
        stage->objectRemoved(*object);
    }
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
