#include "core/World.h"

#include <algorithm>
#include <typeinfo>

#include "core/Assert.h"
#include "core/CandidateSource.h"
#include "core/DrawBatch.h"
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
    // Busy for good: a destructor that asks to remove another object finds the removal waiting,
    // and nothing walks `objects` while its entries go one by one.
    ++busyDepth;
    // Index by index, in insertion order: a destructor may still add an object, which goes too.
    for (std::size_t i = 0; i < objects.size(); ++i) {
        std::unique_ptr<GameObject> leaving = std::move(objects[i]);
        leaving.reset();
    }
    objects.clear();
    // Each object has left its source as it went; the sources and stages go last.
    waitingSource.reset();
    candidateSource.reset();
    waitingStage.reset();
    stage.reset();
}

World::Busy::~Busy() {
    if (--world.busyDepth == 0) {
        world.settle();
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

void World::setCandidateSource(std::unique_ptr<CandidateSource> source) {
    if (busyDepth > 0) {
        waitingSource = std::move(source);
        sourceWaiting = true;
        return;
    }
    replaceSource(std::move(source));
}

void World::replaceSource(std::unique_ptr<CandidateSource> source) {
    // The old source lets go of every object it holds as it is deleted; the new one takes them
    // in at the next running step.
    candidateSource = std::move(source);
    objectsTakenIn = 0;
}

void World::setStage(std::unique_ptr<WorldStage> next) {
    if (busyDepth > 0) {
        waitingStage = std::move(next);
        stageWaiting = true;
        return;
    }
    stage = std::move(next);
}

void World::update(int elapsedMs) {
    const Busy busy(*this);
    if (!running) {
        if (!objects.empty()) {
            objects[0]->update(elapsedMs);
        }
    } else if (candidateSource) {
        sourceStep(elapsedMs);
    } else {
        allPairsStep(elapsedMs);
    }
}

void World::allPairsStep(int elapsedMs) {
    // The objects the step begins with, as a source would take them in.
    const size_t count = objects.size();
    objectsTakenIn = count;
    for (size_t i = 0; i < count; ++i) {
        for (size_t j = 0; j < count; ++j) {
            if (j != i) {
                objects[i]->addCollisionCandidate(objects[j].get());
            }
        }
    }
    updateObjects(elapsedMs);
}

void World::sourceStep(int elapsedMs) {
    // Objects added since the last step join first (also those appended to `objects`
    // directly); objects added during the step join at the next one, as in the all-pairs
    // step, which offers them nothing and offers them to nobody.
    ENGINE_ASSERT(objectsTakenIn <= objects.size());
    for (; objectsTakenIn < objects.size(); ++objectsTakenIn) {
        candidateSource->add(*objects[objectsTakenIn]);
    }
    // The source stays the same until the pass is over: a change asked for meanwhile waits.
    CandidateSource& source = *candidateSource;
    source.beginStep();
    updateObjects(elapsedMs);
    ENGINE_ASSERT(candidateSource.get() == &source);
    source.endStep();
}

// The stage stays the same for the whole step: a change asked for meanwhile waits.
void World::updateObjects(int elapsedMs) {
    if (stage) {
        stage->beforeUpdates(*this);
    }
    // Indexed: objects added during the step are updated in it too.
    for (size_t i = 0; i < objects.size(); ++i) {
        objects[i]->update(elapsedMs);
    }
    if (stage) {
        stage->afterUpdates(*this);
    }
}

// Plain objects send their points through the frame's batch; an object of a class of its own
// may draw by any means (the Gui's text), so the batch goes before it.
void World::draw(int elapsedMs) {
    const Busy busy(*this);
    openDrawBatch();
    // Indexed: an object added while drawing is drawn in this pass too.
    for (size_t i = 0; i < objects.size(); ++i) {
        GameObject& object = *objects[i];
        if (typeid(object) == typeid(GameObject)) {
            object.draw(elapsedMs);
        } else {
            flushDrawBatch();
            object.draw(elapsedMs);
            resumeDrawBatch();
        }
    }
    closeDrawBatch();
}

void World::collectCandidates(const GameObject& receiver, std::vector<GameObject*>& out) {
    if (candidateSource) {
        candidateSource->collectCandidates(receiver, out);
        return;
    }
    // The objects the last running step began with, as a source holds them: one added since
    // is nobody's candidate, and has none, until the next step.
    const size_t start = out.size();
    bool held = false;
    const size_t count = std::min(objectsTakenIn, objects.size());
    for (size_t i = 0; i < count; ++i) {
        GameObject* object = objects[i].get();
        if (object == &receiver) {
            held = true;
        } else if (object->hasCollider) {
            out.push_back(object);
        }
    }
    if (!held) {
        out.resize(start);
    }
}

bool World::removeObject(GameObject* object) {
    if (object == nullptr || find(object) == objects.end()) {
        return false;
    }
    if (busyDepth > 0) {
        const PendingRemoval pending{object, object->getId()};
        const bool waiting = std::any_of(
            pendingRemovals.begin(), pendingRemovals.end(),
            [&](const auto& p) { return p.object == pending.object && p.id == pending.id; });
        if (!waiting) {
            pendingRemovals.push_back(pending);
        }
        return true;
    }
    const Busy busy(*this);
    removeNow(object);
    return true;
}

void World::removeNow(GameObject* object) {
    // Busy, so that whatever the other objects or the destructor ask for waits: nothing changes
    // `objects` under this loop, or under a loop further up.
    ENGINE_ASSERT(busyDepth > 0);
    if (stage) {
        stage->objectRemoved(*object);
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i].get() != object) {
            objects[i]->forgetObject(*object);
        }
    }
    const auto at = find(object);
    ENGINE_ASSERT(at != objects.end());
    // The source has taken in a prefix of `objects`; it stays a prefix.
    if (static_cast<size_t>(at - objects.begin()) < objectsTakenIn) {
        --objectsTakenIn;
    }
    // Out of the list before it is deleted: whatever its destructor reaches finds it gone. The
    // object leaves the source as it is deleted.
    std::unique_ptr<GameObject> leaving = std::move(*at);
    objects.erase(at);
    leaving.reset();
}

void World::settle() {
    ENGINE_ASSERT(busyDepth == 0);
    if (pendingRemovals.empty() && !sourceWaiting && !stageWaiting) {
        return;
    }
    ++busyDepth;
    // Index by index: a removal may ask for more, which join the end of the list.
    for (size_t i = 0; i < pendingRemovals.size(); ++i) {
        const PendingRemoval pending = pendingRemovals[i];
        // Still held, and still the object that was named: one built since at a freed address
        // has another id. The id is read only once the address is known to hold an object.
        if (find(pending.object) != objects.end() && pending.object->getId() == pending.id) {
            removeNow(pending.object);
        }
    }
    pendingRemovals.clear();
    if (sourceWaiting) {
        sourceWaiting = false;
        replaceSource(std::move(waitingSource));
    }
    if (stageWaiting) {
        stageWaiting = false;
        stage = std::move(waitingStage);
    }
    --busyDepth;
}

void World::hideFirstObject() {
    if (!objects.empty()) {
        objects[0]->drawEnabled = false;
    }
}
