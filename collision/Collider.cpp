#include "collision/Collider.h"

#include <memory>
#include <typeinfo>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/PointDrawing.h"

Collider::Collider() {
    typeTag = "COLLIDER";
    componentTransform = std::make_unique<ComponentTransform>(this);
}

Collider::Collider(bool updateEnabled, bool drawEnabled, Point /*centre*/, bool colliderFlag)
    : Component(updateEnabled, drawEnabled), colliderFlag(colliderFlag) {
    typeTag = "COLLIDER";
    componentTransform = std::make_unique<ComponentTransform>(this);
}

Collider::Collider(bool updateEnabled, bool drawEnabled, int /*extra*/, Point centre,
                   bool colliderFlag)
    : Collider(updateEnabled, drawEnabled, centre, colliderFlag) {
    componentTransform->setCentre(centre);
}

void Collider::draw(int elapsedMs) {
    Component::draw(elapsedMs);
    if (drawEnabled && componentTransform) {
        drawDot(componentTransform->position);
    }
}

void Collider::update(int elapsedMs) {
    Component::update(elapsedMs);
    if (!updateEnabled || owner == nullptr) {
        return;
    }
    // With a broad phase the candidates are decided now, where everything stands after the
    // components before this one (and the objects before the owner) have moved.
    owner->refreshCollisionCandidates();
    beginTests();
    testCandidates();
    endTests();
}

void Collider::testCandidates() {
    // Indexed loops over the owner's lists: a step of tests allocates nothing.
    const auto& candidates = owner->collisionCandidates;
    for (size_t c = 0; c < candidates.size(); ++c) {
        if (candidates[c] == nullptr) {
            continue;
        }
        const auto& others = candidates[c]->colliders;
        for (size_t o = 0; o < others.size(); ++o) {
            collide(others[o]);
        }
    }
}

bool Collider::collide(Component* /*other*/) {
    return false;
}

bool Collider::drawsThroughBatch() const {
    return typeid(*this) == typeid(Collider);
}

bool Collider::bounds(Bounds& /*out*/) {
    return false;
}

const OrientedBox* Collider::plainBox() {
    return nullptr;
}
