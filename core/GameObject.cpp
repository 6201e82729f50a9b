#include "core/GameObject.h"

#include <algorithm>

#include "core/Assert.h"
#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "core/DrawBatch.h"
#include "core/PointDrawing.h"
#include "core/Transform.h"

std::uint64_t GameObject::nextId() {
    static std::uint64_t last = 0;
    return ++last;
}

GameObject::GameObject() {
    // The transform copies the flags, so it is created after their initialisers have run.
    transform = std::make_unique<Transform>(this);
}

GameObject::GameObject(bool updateEnabled, bool drawEnabled, Point position)
    : drawEnabled(drawEnabled), updateEnabled(updateEnabled) {
    // The transform copies the flags, so it is created after they are set.
    transform = std::make_unique<Transform>(this);
    GameObject::setPosition(position);
}

GameObject::~GameObject() {
    if (candidateSlot.source != nullptr) {
        candidateSlot.source->remove(*this);
    }
    // Components go first: they may still look at the transform while they are destroyed.
    colliders.clear();
    components.clear();
    transform.reset();
}

void GameObject::update(int elapsedMs) {
    if (updateEnabled) {
        for (size_t i = 0; i < components.size(); ++i) {
            components[i]->update(elapsedMs);
        }
        if (transform) {
            transform->update(elapsedMs);
        }
    }
    // clear() keeps the capacity: no allocation in the next step's candidate pass.
    collisionCandidates.clear();
}

void GameObject::draw(int elapsedMs) {
    if (!drawEnabled) {
        return;
    }
    for (const auto& component : components) {
        if (component->drawsThroughBatch()) {
            component->draw(elapsedMs);
        } else {
            flushDrawBatch();
            component->draw(elapsedMs);
            resumeDrawBatch();
        }
    }
    if (transform) {
        transform->draw(elapsedMs);
    }
    drawDot(Point(0.0f, 0.0f, 0.0f, Color(1.0f, 1.0f, 1.0f, 1.0f)));
}

void GameObject::addCollisionCandidate(GameObject* other) {
    if (hasCollider) {
        collisionCandidates.push_back(other);
    }
}

void GameObject::forgetObject(const GameObject& removed) {
    collisionCandidates.erase(
        std::remove(collisionCandidates.begin(), collisionCandidates.end(), &removed),
        collisionCandidates.end());
}

void GameObject::moveTo(Point p) {
    if (transform) {
        transform->setPosition(p);
        transform->setPivot(p);
    }
}

void GameObject::setPosition(Point p) {
    GameObject::moveTo(p);
}

bool GameObject::addComponent(Component* component) {
    if (component == nullptr || component->owner != nullptr) {
        return false;
    }
    component->setOwner(this);
    components.emplace_back(component);
    for (size_t i = 0; i + 1 < components.size(); ++i) {
        components[i]->siblingAttached(*component);
    }
    if (component->getTypeTag().find("COLLIDER") != std::string::npos) {
        hasCollider = true;
        colliders.push_back(component);
        ENGINE_ASSERT(colliders.size() <= components.size());
        if (candidateSlot.source != nullptr) {
            candidateSlot.source->colliderAttached(*this);
        }
    }
    return true;
}

Component* GameObject::getComponent(const std::string& tag) const {
    for (const auto& component : components) {
        if (component->getTypeTag() == tag) {
            return component.get();
        }
    }
    return nullptr;
}

Point GameObject::getPosition() const {
    if (!transform) {
        return Point(0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f));
    }
    return transform->getPosition();
}

void GameObject::refreshCollisionCandidates() {
    if (candidateSlot.source != nullptr) {
        candidateSlot.source->offerCandidates(*this);
    }
}

void GameObject::applyMatrixToComponents(const Matrix& m) {
    for (const auto& component : components) {
        if (component->hasComponentTransform()) {
            component->componentTransform->applyMatrix(m);
        }
    }
}

void GameObject::applyMatricesToComponents(const std::vector<Matrix>& ms) {
    applyMatricesToComponents(ms.data(), ms.size());
}

void GameObject::applyMatricesToComponents(const Matrix* ms, std::size_t count) {
    for (const auto& component : components) {
        if (component->hasComponentTransform()) {
            component->componentTransform->applyMatrices(ms, count);
        }
    }
}

void GameObject::positionChanged() {
    const Point at = getPosition();
    for (const auto& component : components) {
        if (component->hasComponentTransform()) {
            component->componentTransform->ownerMoved(at);
        }
    }
}

void GameObject::applyQuaternionToComponents(const Quaternion& q) {
    for (const auto& component : components) {
        if (component->hasComponentTransform()) {
            component->componentTransform->applyQuaternion(q);
        }
    }
}
