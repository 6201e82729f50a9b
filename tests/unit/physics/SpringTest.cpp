#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "physics/Mount.h"
#include "physics/Physics.h"
#include "physics/Spring.h"
#include "physics/Tether.h"
#include "support/world/WorldFixture.h"

using _Tarn::Vector3;

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);

// Tagged like a Physics but is none.
class Impostor : public Component {
  public:
    Impostor() : Component(true, true) { typeTag = "PHYSICS"; }
};

class MountTest : public WorldFixture {};
class SpringTest : public WorldFixture {};

}  // namespace

TEST_F(MountTest, MountPointSitsAtTheApexAndFollowsItsObject) {
    struct Case {
        const char* name;
        Mount* mount;
        float apexY;
    };
    const Case cases[] = {
        {"default", new Mount(), -1.0f},
        {"height 1", new Mount(true, true, 1.0f), -1.0f},
        {"height 2", new Mount(true, true, 2.0f), -2.0f},
        {"negative height points up", new Mount(true, true, -1.0f), 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto& points = c.mount->componentTransform->points;
        ASSERT_EQ(points.size(), 20u);
        EXPECT_EQ(points[1].y, c.apexY);
        EXPECT_EQ(points[1].color.b, 1.0f);
        // Every side triangle meets at the mount point; the base stays in y = 0.
        EXPECT_EQ(std::count_if(points.begin() + 2, points.end(),
                                [&](const Point& p) { return p.y == c.apexY; }),
                  4);
        EXPECT_EQ(points[2].y, 0.0f);
        addObject(2, 0, 0).addComponent(c.mount);
        EXPECT_EQ(c.mount->componentTransform->points[1].x, 2.0f);
        EXPECT_EQ(c.mount->componentTransform->points[1].y, c.apexY);
    }

    // Scaled before attachment, as the demonstration does; placed either way.
    const SpringEnd moved = addSpringEnd(2.0f, false);
    auto* mount = new Mount(true, false, 1.0f);
    mount->componentTransform->scale(0.1f, 0.1f, 0.1f);
    addObject(2, 0, 0).addComponent(mount);
    for (const Point& p : {moved.mountPoint(), mount->componentTransform->points[1]}) {
        EXPECT_FLOAT_EQ(p.x, 2.0f);
        EXPECT_FLOAT_EQ(p.y, -0.1f);
        EXPECT_FLOAT_EQ(p.z, 0.0f);
    }
}

TEST_F(SpringTest, DemonstrationPairPullsBothEndsTogether) {
    for (float length : {0.0f, 2.0f}) {  // the length takes no part in the force
        SCOPED_TRACE(length);
        restart();
        const SpringEnd left = addSpringEnd(0.0f, true);
        const SpringEnd right = addSpringEnd(2.0f, true);
        Spring& spring = addSpring(left, right, 0.1f, length);
        EXPECT_EQ(spring.physicsA, left.physics);
        EXPECT_EQ(spring.physicsB, right.physics);

        spring.update(17);
        EXPECT_FLOAT_EQ(left.physics->force.x, 0.2f);
        EXPECT_FLOAT_EQ(right.physics->force.x, -0.2f);
        EXPECT_FLOAT_EQ(left.physics->force.y, 0.0f);
        EXPECT_FLOAT_EQ(right.physics->force.y, 0.0f);
        EXPECT_FLOAT_EQ(spring.tether->endA.x, 0.0f);
        EXPECT_FLOAT_EQ(spring.tether->endB.x, 2.0f);
        EXPECT_FLOAT_EQ(spring.tether->endB.y, -0.1f);
        EXPECT_EQ(spring.tether->endB.color.b, 1.0f);  // the mount point's own blue
    }

    // Coincident ends: no pull, but the zero-length line is still kept up to date.
    const SpringEnd a = addSpringEnd(1.0f, true);
    const SpringEnd b = addSpringEnd(1.0f, true);
    Spring& spring = addSpring(a, b);
    spring.update(17);
    EXPECT_EQ(a.physics->force.x, 0.0f);
    EXPECT_FLOAT_EQ(spring.tether->endA.x, 1.0f);

    // A disabled spring touches neither its line nor any Physics.
    b.object->transform->translate(5, 0, 0);
    spring.updateEnabled = false;
    spring.update(17);
    EXPECT_EQ(b.physics->force.x, 0.0f);
    EXPECT_FLOAT_EQ(spring.tether->endB.x, 1.0f);
}

TEST_F(SpringTest, ConnectFindsTheFirstRealPhysicsOnce) {
    const SpringEnd anchor = addSpringEnd(0.0f, false);
    const SpringEnd body = addSpringEnd(2.0f, true);
    Physics* second = &attach(*body.object, new Physics(true, true));
    GameObject& fake = addObject(4, 0, 0);
    attach(fake, new Impostor());
    Mount* fakeMount = &attach(fake, new Mount(true, true, 1.0f));

    Spring& spring = addSpring(anchor, body);
    EXPECT_EQ(spring.physicsA, nullptr);
    EXPECT_EQ(spring.physicsB, body.physics);  // the first one attached
    spring.update(17);
    EXPECT_FLOAT_EQ(body.physics->force.x, -0.2f);
    EXPECT_EQ(second->force.x, 0.0f);

    // Physics attached after connect is not looked up again.
    attach(*anchor.object, new Physics(true, true));
    spring.update(17);
    EXPECT_EQ(spring.physicsA, nullptr);

    Spring toFake(true, true, 0.1f, 2.0f);
    toFake.connect(fakeMount, body.mount);
    EXPECT_EQ(toFake.physicsA, nullptr);
}

TEST_F(SpringTest, UnusableEndsAreIgnoredAndHeavyCentresStayFinite) {
    const SpringEnd body = addSpringEnd(2.0f, true);
    GameObject& holder = addObject(0, 0, 0);
    Tether* bare = &attach(holder, new Tether(true, true));  // no point list at all
    Mount* stripped = &attach(holder, new Mount(true, true, 1.0f));
    stripped->componentTransform->points.resize(1);

    Component* const unusable[] = {nullptr, bare, stripped};
    for (Component* end : unusable) {
        Spring spring(true, true, 0.1f, 2.0f);
        spring.update(17);  // never connected
        spring.connect(end, body.mount);
        spring.update(17);
        spring.connect(body.mount, end);
        spring.update(17);
        EXPECT_EQ(body.physics->force.x, 0.0f);
        EXPECT_EQ(spring.tether->endB.x, 0.0f);  // still the untouched origin
        EXPECT_EQ(spring.endPoint(end).x, 0.0f);
    }

    // A Physics end is read at its centre of mass, which infinite masses must not poison.
    body.physics->addMass(Point(-1, 0, 0, RED), std::numeric_limits<float>::infinity());
    body.physics->addMass(Point(1, 0, 0, RED), 1.0f);
    const SpringEnd anchor = addSpringEnd(0.0f, false);
    Spring spring(true, true, 0.1f, 2.0f);
    spring.connect(anchor.mount, body.physics);
    spring.update(17);
    EXPECT_FLOAT_EQ(spring.endPoint(body.physics).x, 1.0f);
    EXPECT_TRUE(std::isfinite(body.physics->force.x));
    EXPECT_TRUE(std::isfinite(body.physics->force.y));
}

TEST_F(SpringTest, BodyOnSpringOscillatesWithBoundedEnergy) {
    // Semi-implicit Euler keeps the energy of an undamped spring within a few percent of its
    // start; moving by the old velocity before adding the force would let it grow without
    // limit.
    for (float gravity : {0.0f, -0.5f}) {
        SCOPED_TRACE(gravity);
        restart();
        const SpringPair pair = addSpringPair();
        const SpringEnd& anchor = pair.anchor;
        const SpringEnd& body = pair.body;
        body.physics->addConstantForce(Vector3(0, gravity, 0));
        const float k = pair.spring->stiffness;

        // Rest is where the pull balances gravity; energy is measured about it.
        const Point start = body.mountPoint();
        const float restY = anchor.mountPoint().y + gravity / k;
        auto energy = [&] {
            const Vector3 v = body.physics->getVelocity();
            const Point p = body.mountPoint();
            const float dx = p.x - anchor.mountPoint().x;
            const float dy = p.y - restY;
            return 0.5f * v.dot(v) + 0.5f * k * (dx * dx + dy * dy);
        };
        const float initial = energy();
        float minX = start.x;
        float minEnergy = initial;
        float maxEnergy = initial;
        for (int i = 0; i < 10000; ++i) {
            step();  // the body before its spring, as in the world
            minX = std::min(minX, body.mountPoint().x);
            minEnergy = std::min(minEnergy, energy());
            maxEnergy = std::max(maxEnergy, energy());
        }
        EXPECT_LT(minX, -1.5f);  // it swings through the anchor to the far side
        // It neither gains energy nor loses it (no hidden damping).
        EXPECT_LT(maxEnergy, 1.25f * initial);
        EXPECT_GT(minEnergy, 0.75f * initial);
        EXPECT_TRUE(std::isfinite(energy()));
    }
}
