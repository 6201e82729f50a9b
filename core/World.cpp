#include "core/World.h"

#include <algorithm>

#include "collision/BroadPhase.h"
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

void World::addObject(GameObject* object) {
    if (object == nullptr) {
        return;
    }
    const bool held = std::any_of(objects.begin(), objects.end(),
                                  [object](const auto& entry) { return entry.get() == object; });
    if (!held) {
        objects.emplace_back(object);
    }
}

void World::update(int elapsedMs) {
    if (!running) {
        if (!objects.empty()) {
            objects[0]->update(elapsedMs);
        }
        return;
    }
    if (broadPhase) {
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
        return;
    }
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

void World::draw(int elapsedMs) {
    for (const auto& object : objects) {
        object->draw(elapsedMs);
    }
}

void World::hideFirstObject() {
    if (!objects.empty()) {
        objects[0]->drawEnabled = false;
    }
}
