#include <gtest/gtest.h>

#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);
const Color BLUE(0.0f, 0.0f, 1.0f, 1.0f);

// Records what its owner let it see during its update.
class Probe : public Component {
  public:
    explicit Probe(const std::string& tag, bool withGeometry = false) : Component(true, true) {
        typeTag = tag;
        if (withGeometry) {
            componentTransform = std::make_unique<ComponentTransform>(this);
        }
    }
    void update(int elapsedMs) override {
        Component::update(elapsedMs);
        ++updates;
        candidatesSeen = owner->collisionCandidates.size();
    }
    int updates = 0;
    size_t candidatesSeen = 0;
};

}  // namespace

TEST(ComponentTest, DefaultsAndOwnership) {
    Component plain;
    EXPECT_EQ(plain.getTypeTag(), "COMPONENT");
    EXPECT_FALSE(plain.updateEnabled);
    EXPECT_FALSE(plain.drawEnabled);
    EXPECT_EQ(plain.owner, nullptr);
    EXPECT_FALSE(plain.hasComponentTransform());
    plain.update(17);  // nothing to forward to
    plain.draw(17);

    Probe geometry("SHAPE", true);
    geometry.componentTransform->addPoint(Point(1, 0, 0, RED));
    geometry.setOwner(nullptr);  // ignored: no owner, no point moved
    EXPECT_EQ(geometry.owner, nullptr);
    EXPECT_EQ(geometry.componentTransform->points[1].x, 1.0f);
}

TEST(GameObjectTest, ConstructionPlacesPositionAndPivot) {
    GameObject object(true, false, Point(1, 2, 3, BLUE));
    const Point position = object.transform->getPosition();
    const Point pivot = object.transform->getPivot();
    EXPECT_EQ(position.x, 1.0f);
    EXPECT_EQ(position.z, 3.0f);
    EXPECT_EQ(position.color.g, 1.0f);  // always green
    EXPECT_EQ(position.color.b, 0.0f);
    EXPECT_EQ(pivot.y, 2.0f);
    EXPECT_EQ(pivot.color.b, 1.0f);  // keeps the colour it was given
    EXPECT_EQ(object.typeTag, "GAMEOBJECT");
    EXPECT_TRUE(object.transform->updateEnabled);
    EXPECT_FALSE(object.transform->drawEnabled);

    GameObject bare;
    EXPECT_FALSE(bare.updateEnabled);
    EXPECT_FALSE(bare.drawEnabled);
    bare.transform.reset();
    const Point fallback = bare.getPosition();
    EXPECT_EQ(fallback.x, 0.0f);
    EXPECT_EQ(fallback.color.r, 1.0f);
    EXPECT_EQ(fallback.color.g, 0.0f);
    bare.moveTo(Point(1, 1, 1, RED));  // no transform: nothing to move
}

TEST(GameObjectTest, ComponentsCollidersAndLookups) {
    GameObject object(true, true, Point(2, 0, 0, RED));
    auto* first = new Probe("PHYSICS", true);
    auto* second = new Probe("PHYSICS");
    auto* circle = new Probe("CIRCLECOLLIDER", true);
    first->componentTransform->addPoint(Point(1, 0, 0, RED));
    EXPECT_TRUE(object.addComponent(first));
    EXPECT_TRUE(object.addComponent(second));
    EXPECT_FALSE(object.hasCollider);
    EXPECT_TRUE(object.addComponent(circle));
    EXPECT_TRUE(object.hasCollider);
    ASSERT_EQ(object.components.size(), 3u);
    EXPECT_EQ(object.components[2].get(), circle);
    ASSERT_EQ(object.colliders.size(), 1u);
    EXPECT_EQ(object.colliders[0], circle);

    // Attachment moves the geometry onto the object's position.
    EXPECT_EQ(first->componentTransform->points[0].x, 2.0f);
    EXPECT_EQ(first->componentTransform->points[1].x, 3.0f);

    EXPECT_EQ(object.getComponent("PHYSICS"), first);
    EXPECT_EQ(object.getComponent("physics"), nullptr);
    EXPECT_EQ(object.getComponent("COLLIDER"), nullptr);

    // A null component or one owned elsewhere is refused, so nothing is deleted twice.
    EXPECT_FALSE(object.addComponent(nullptr));
    GameObject other(true, true, Point());
    EXPECT_FALSE(other.addComponent(first));
    EXPECT_TRUE(other.components.empty());
    EXPECT_EQ(first->owner, &object);
}

TEST(GameObjectTest, CandidatesAreKeptOnlyForOneUpdate) {
    GameObject plain(true, true, Point());
    GameObject a(true, true, Point());
    GameObject b(true, true, Point());
    plain.addCollisionCandidate(&a);
    EXPECT_TRUE(plain.collisionCandidates.empty());

    GameObject object(true, true, Point());
    auto* probe = new Probe("BOXCOLLIDER");
    object.addComponent(probe);
    object.addCollisionCandidate(&a);
    object.addCollisionCandidate(&b);
    object.update(17);
    EXPECT_EQ(probe->candidatesSeen, 2u);
    EXPECT_TRUE(object.collisionCandidates.empty());

    // With updates off, no component runs, but the candidates are still dropped.
    object.updateEnabled = false;
    object.addCollisionCandidate(&a);
    object.update(17);
    EXPECT_EQ(probe->updates, 1);
    EXPECT_TRUE(object.collisionCandidates.empty());
}
