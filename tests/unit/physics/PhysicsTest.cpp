#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "physics/Physics.h"
#include "support/world/WorldFixture.h"
#include "unit/support/TestGeometry.h"

using _Tarn::Vector3;

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);
const float INF = std::numeric_limits<float>::infinity();

class PhysicsTest : public WorldFixture {};

}  // namespace

TEST_F(PhysicsTest, ConstantForceFollowsClosedFormWhateverTheElapsedTime) {
    Physics& body = addBody(0, 0, 0);
    Physics& slow = addBody(0, 0, 0);  // same forces, other elapsed times: motion is per step
    body.addConstantForce(Vector3(0, -0.5f, 0));
    slow.addConstantForce(Vector3(0, -0.5f, 0));
    body.addMass(Point(1, 0, 0, RED), 1.0f);
    for (int n = 1; n <= 60; ++n) {
        body.owner->update(17);
        slow.owner->update(n % 2 == 0 ? 34 : 0);
        const float fn = static_cast<float>(n);
        EXPECT_FLOAT_EQ(body.getVelocity().y, -0.5f * fn) << "step " << n;
        EXPECT_FLOAT_EQ(body.owner->getPosition().y, -0.25f * fn * (fn + 1.0f)) << "step " << n;
        EXPECT_EQ(body.owner->getPosition().y, slow.owner->getPosition().y) << "step " << n;
        EXPECT_EQ(body.force.y, 0.0f);
    }
    // The mass points ride along with the object.
    EXPECT_FLOAT_EQ(body.componentTransform->points[2].y, body.owner->getPosition().y);
}

TEST_F(PhysicsTest, AddedForcesActOnceAndWaitWhileNotSimulating) {
    Physics& body = addBody(0, 0, 0);
    body.owner->update(17);  // no forces at all: nothing moves
    EXPECT_EQ(body.owner->getPosition().x, 0.0f);

    body.addForce(Vector3(1, 0, 0));
    body.addForce(Vector3(1, 0, 0));
    body.owner->update(17);
    EXPECT_EQ(body.getVelocity().x, 2.0f);
    EXPECT_EQ(body.owner->getPosition().x, 2.0f);
    body.owner->update(17);  // the pushes are spent; the velocity stays
    EXPECT_EQ(body.getVelocity().x, 2.0f);
    EXPECT_EQ(body.owner->getPosition().x, 4.0f);

    body.simulating = false;
    body.addConstantForce(Vector3(0, -0.5f, 0));
    body.addForce(Vector3(0, 0, 3));
    body.owner->update(17);
    body.owner->update(17);
    EXPECT_EQ(body.owner->getPosition().x, 4.0f);
    EXPECT_EQ(body.force.y, 0.0f);  // constant forces not gathered either
    EXPECT_EQ(body.force.z, 3.0f);  // waits for the next integration

    body.simulating = true;
    body.owner->update(17);
    EXPECT_EQ(body.getVelocity().z, 3.0f);
    EXPECT_EQ(body.getVelocity().y, -0.5f);

    Physics loose(true, true);  // no owner: integrates without anything to move
    loose.addForce(Vector3(1, 0, 0));
    loose.update(17);
    EXPECT_EQ(loose.getVelocity().x, 1.0f);
}

TEST_F(PhysicsTest, ConstructionAndMassColours) {
    Physics fresh;
    EXPECT_EQ(fresh.getTypeTag(), "PHYSICS");
    ASSERT_EQ(fresh.componentTransform->points.size(), 2u);
    EXPECT_EQ(fresh.componentTransform->localPoints.size(), 1u);
    expectColour(fresh.componentTransform->points[1].color, 0, 1, 1, 1);
    EXPECT_EQ(fresh.masses, (std::vector<float>{0.0f, 0.0f}));

    struct Case {
        float mass;
        Color given;
        float stored;
        Color expected;
    };
    const Color tinted(0.3f, 0.6f, 0.9f, 0.5f);
    const Case cases[] = {
        {-3.0f, tinted, 0.0f, Color(0, 0, 0, 1)},
        {0.0f, tinted, 0.0f, Color(0, 0, 0, 1)},
        {0.25f, tinted, 0.25f, Color(1, 0.5f, 0.75f, 1)},
        {1.0f, tinted, 1.0f, Color(1, 0, 0, 1)},
        {4.0f, tinted, 4.0f, Color(0.25f, 0.6f, 0.9f, 0.5f)},
        {INF, tinted, INF, Color(0, 0.6f, 0.9f, 0.5f)},
    };
    Physics physics(true, true);
    float total = 0.0f;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.mass);
        physics.addMass(Point(static_cast<float>(i), 0, 0, c.given), c.mass);
        total += c.stored;
        EXPECT_EQ(physics.masses.back(), c.stored);
        EXPECT_EQ(physics.totalMass, total);
        const Color& got = physics.componentTransform->points.back().color;
        expectColour(got, c.expected.r, c.expected.g, c.expected.b, c.expected.a);
    }
    EXPECT_EQ(physics.masses.size(), physics.componentTransform->points.size());
}

TEST_F(PhysicsTest, CentreOfMassIsWeightedAndNeverNaN) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        std::vector<float> xs;
        std::vector<float> masses;
        float expectedX;
    };
    std::vector<Case> cases = {
        {"two equal masses", {0, 2}, {1, 1}, 1.0f},
        {"weighted", {0, 3}, {2, 1}, 1.0f},
        {"one infinite mass dominates", {-1, -0.8f, 0.8f}, {INF, 1, 0.125f}, -1.0f},
        {"several infinite masses share", {-1, 3, 10}, {INF, INF, 5}, 1.0f},
        {"no weight at all", {1, 2, 6}, {0, -2, 0}, 3.0f},
        {"a NaN mass weighs nothing", {4, 100}, {1, nan}, 4.0f},
    };
    // The demonstration's body: ten points, the first infinitely heavy.
    Case demo{"demonstration body", {}, {}, -1.0f};
    for (int i = 0; i < 10; ++i) {
        demo.xs.push_back(static_cast<float>(i * static_cast<double>(0.1f) * 2.0 - 1.0));
        demo.masses.push_back(1.0f / static_cast<float>(i));
    }
    cases.push_back(demo);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Physics physics(true, true);
        for (size_t i = 0; i < c.xs.size(); ++i) {
            physics.addMass(Point(c.xs[i], 0, 0, RED), c.masses[i]);
        }
        const Point& centre = physics.componentTransform->points[1];
        EXPECT_FLOAT_EQ(centre.x, c.expectedX);
        EXPECT_EQ(centre.y, 0.0f);
        expectColour(centre.color, 1, 0, 0, 1);
    }

    // Without any mass point the centre of mass is the component's centre.
    Physics& body = addBody(2, 5, 0);
    body.updateCentreOfMass();
    EXPECT_EQ(body.componentTransform->points[1].x, 2.0f);
    EXPECT_EQ(body.componentTransform->points[1].y, 5.0f);
    // Mass points added after attachment are placed, and weighed, around the owner.
    body.addMass(Point(1, 0, 0, RED), 1.0f);
    EXPECT_EQ(body.componentTransform->points[1].x, 3.0f);
}
