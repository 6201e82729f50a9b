#include "core/World.h"

#include <algorithm>

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

World::~World() {
    // Objects go in insertion order, as they were added.
    for (auto& object : objects) {
        object.reset();
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
