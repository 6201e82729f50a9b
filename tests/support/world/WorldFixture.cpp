#include "support/world/WorldFixture.h"

#include <memory>

#include "collision/BroadPhase.h"
#include "core/Transform.h"
#include "support/world/BodyScenes.h"

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);
const Color CONTACT(0.0f, 0.5f, 0.1f, 1.0f);

bool sameColour(const Color& a, const Color& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

}  // namespace

void WorldFixture::restart() {
    World::destroyInstance();
    Keyboard::destroyInstance();
    world = World::getInstance();
}

GameObject& WorldFixture::addObject(float x, float y, float z) {
    auto* object = new GameObject(true, true, Point(x, y, z, RED));
    world->addObject(object);
    return *object;
}

BoxCollider& WorldFixture::addBox(const Pose& pose) {
    GameObject& object = addObject(pose.at.x, pose.at.y, pose.at.z);
    BoxCollider& box = addBox(object);
    bodyScenes::shape(object, pose.size, pose.turn);
    return box;
}

WorldFixture::SpringEnd WorldFixture::addSpringEnd(float x, bool withPhysics) {
    SpringEnd end;
    end.object = &addObject(0.0f, 0.0f, 0.0f);
    end.mount = new Mount(true, true, 1.0f);
    end.mount->componentTransform->scale(0.1f, 0.1f, 0.1f);
    attach(*end.object, end.mount);
    if (withPhysics) {
        end.physics = &attach(*end.object, new Physics(true, true));
    }
    end.object->transform->translate(x, 0.0f, 0.0f);
    return end;
}

Spring& WorldFixture::addSpring(const SpringEnd& a, const SpringEnd& b, float stiffness,
                                float length) {
    auto* spring = new Spring(true, true, stiffness, length);
    spring->connect(a.mount, b.mount);
    world->addObject(spring);
    return *spring;
}

WorldFixture::SpringPair WorldFixture::addSpringPair() {
    SpringPair pair;
    pair.anchor = addSpringEnd(0.0f, false);
    pair.body = addSpringEnd(2.0f, true);
    pair.spring = &addSpring(pair.anchor, pair.body);
    return pair;
}

void WorldFixture::useBroadPhase(World& target, bool on) {
    target.setCandidateSource(on ? std::make_unique<BroadPhase>() : nullptr);
}

std::string WorldFixture::cornerColour(const BoxCollider& box) {
    const auto& points = box.componentTransform->points;
    if (points.size() < 2) {
        return "other";
    }
    const Color& first = points[1].color;
    for (size_t i = 2; i < points.size(); ++i) {
        if (!sameColour(points[i].color, first)) {
            return "mixed";
        }
    }
    if (sameColour(first, RED)) {
        return "red";
    }
    return sameColour(first, CONTACT) ? "green" : "other";
}
