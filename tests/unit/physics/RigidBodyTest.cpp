#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "collision/BoxCollider.h"
#include "collision/CircleCollider.h"
#include "collision/OrientedBox.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "physics/Dynamics.h"
#include "physics/RigidBody.h"
#include "support/VectorText.h"
#include "support/world/BodyScenes.h"
#include "support/world/WorldFixture.h"

// Rigid bodies against closed forms: resting, bouncing, sliding, a free collision, stacks;
// and bad input refused without spreading.

using _Tarn::Vector3;
using bodyScenes::BodyPlan;

namespace {

constexpr float G = bodyScenes::GRAVITY;
const float NaN = std::numeric_limits<float>::quiet_NaN();
const float INF = std::numeric_limits<float>::infinity();

class RigidBodyTest : public WorldFixture {
  protected:
    RigidBodyTest() { dynamics = &Dynamics::enable(*world); }

    /// An empty world with a contact stage, as if the test had just begun.
    Dynamics& fresh() {
        restart();
        dynamics = &Dynamics::enable(*world);
        return *dynamics;
    }

    RigidBody& box(const BodyPlan& plan) { return bodyScenes::addBox(*world, plan); }
    RigidBody& ball(const BodyPlan& plan, float radius) {
        return bodyScenes::addBall(*world, plan, radius);
    }
    /// Where the body's shape is centred: its centre of mass.
    static Vector3 centre(const RigidBody& body) {
        const Point& c = body.owner->colliders.at(0)->componentTransform->points[0];
        return Vector3(c.x, c.y, c.z);
    }
    static float speed(const RigidBody& body) { return body.getVelocity().length(); }

    Dynamics* dynamics = nullptr;
};

// Released just above the floor, a body comes to rest on it within 200 steps and stays,
// awake or asleep: no jitter, no creep.
TEST_F(RigidBodyTest, ABodyComesToRestOnTheFloorAndStays) {
    struct Case {
        const char* name;
        bool sphere;
        Vector3 half;  // half-widths, or the radius in x
        Vector3 turn;
    };
    const Case cases[] = {
        {"box", false, {1, 1, 1}, {0, 0, 0}},
        {"turned box", false, {1, 1, 1}, {0, 0.7f, 0}},
        {"plank", false, {2, 0.5f, 1}, {0, 0.3f, 0}},
        {"ball", true, {1, 1, 1}, {0, 0, 0}},
    };
    for (const bool sleeping : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (sleeping ? ", sleeping" : ", never sleeping"));
            fresh().sleep.restSteps = sleeping ? 60 : 0;
            bodyScenes::addFloor(*world);
            BodyPlan plan;
            plan.at = Vector3(3, c.half.y + 0.05f, -2);
            plan.halfWidths = c.half;
            plan.turn = c.turn;
            RigidBody& body = c.sphere ? ball(plan, c.half.x) : box(plan);
            const float edge = 2.0f * c.half.y;
            step(200);
            const Vector3 settled = centre(body);
            ASSERT_NEAR(settled.y, c.half.y, 0.01f * edge);
            ASSERT_LT(speed(body), 1e-3f);
            for (int n = 1; n <= 1000; ++n) {
                step();
                const Vector3 at = centre(body);
                ASSERT_NEAR(at.y, c.half.y, 0.01f * edge) << "step " << n;
                ASSERT_LT((at - settled).length(), 0.01f * edge)
                    << "step " << n << " at " << show(at);
                ASSERT_LT(speed(body), 1e-3f) << "step " << n;
            }
            EXPECT_EQ(body.isAsleep(), sleeping);
        }
    }
}

// Dropped from h onto an obstacle, a ball with restitution e rises to e^2 h.
TEST_F(RigidBodyTest, ABallBouncesToRestitutionSquaredTimesItsHeight) {
    const float h = 20.0f;
    for (const float e : {0.9f, 0.7f, 0.5f, 0.0f}) {
        SCOPED_TRACE("restitution " + std::to_string(e));
        fresh();
        bodyScenes::addFloor(*world);
        BodyPlan plan;
        plan.at = Vector3(0, h + 1.0f, 0);
        plan.restitution = e;
        RigidBody& body = ball(plan, 1.0f);
        // Down, then up until it turns.
        int steps = 0;
        while (!(body.getVelocity().y > 0.0f) && steps < 2000) {
            step();
            ++steps;
        }
        float top = centre(body).y - 1.0f;
        while (body.getVelocity().y > 0.0f && steps < 4000) {
            step();
            ++steps;
            top = std::fmax(top, centre(body).y - 1.0f);
        }
        if (e > 0.0f) {
            EXPECT_NEAR(top, e * e * h, 0.05f * e * e * h);
        } else {
            // It never rose: it lies on the floor.
            EXPECT_LT(top, 0.01f);
            step(100);
            EXPECT_NEAR(centre(body).y, 1.0f, 0.02f);
        }
    }
}

// Sliding at v with friction mu under gravity g, a box stops after v^2 / (2 mu g), going
// straight, in any direction.
TEST_F(RigidBodyTest, ASlidingBoxStopsWhereFrictionSaysItDoes) {
    struct Case {
        float speed;
        float friction;
        Vector3 direction;
    };
    const Case cases[] = {
        {0.1f, 0.5f, {1, 0, 0}}, {0.15f, 0.3f, {0.6f, 0, 0.8f}}, {0.1f, 1.0f, {0, 0, -1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE("speed " + std::to_string(c.speed) + ", friction " +
                     std::to_string(c.friction) + ", towards " + show(c.direction));
        fresh();
        bodyScenes::addFloor(*world);
        BodyPlan plan;
        plan.at = Vector3(0, 1, 0);
        plan.friction = c.friction;
        RigidBody& body = box(plan);
        step(5);
        const Vector3 start = centre(body);
        ASSERT_TRUE(body.setVelocity(c.direction * c.speed));
        int steps = 0;
        while (speed(body) > 1e-6f && steps < 1000) {
            step();
            ++steps;
        }
        const Vector3 travel = centre(body) - start;
        const float expected = c.speed * c.speed / (2.0f * c.friction * G);
        EXPECT_NEAR(travel.length(), expected, 0.05f * expected);
        // Along the push, not off to a side.
        EXPECT_GT(travel.dot(c.direction), 0.999f * travel.length());
    }
}

// On a slope of angle t, a box stays when tan t < mu, and slides with the acceleration
// g (sin t - mu cos t) when tan t > mu. (A turn of -t about z raises the slope towards +x.)
TEST_F(RigidBodyTest, ABoxOnASlopeStaysOrSlidesAsFrictionSays) {
    const float mu = 0.5f;
    for (const float slope : {0.8f * mu, 1.2f * mu, 2.0f * mu}) {
        SCOPED_TRACE("tan of the slope " + std::to_string(slope));
        fresh();
        const float angle = std::atan(slope);
        const Vector3 up(-std::sin(angle), std::cos(angle), 0);
        const Vector3 down(-std::cos(angle), -std::sin(angle), 0);
        bodyScenes::addObstacle(*world, Vector3(0, 0, 0), Vector3(30, 1, 5), Vector3(0, 0, -angle));
        BodyPlan plan;
        plan.at = up * 2.0f;
        plan.turn = Vector3(0, 0, -angle);
        plan.friction = mu;
        RigidBody& body = box(plan);
        const int steps = 120;
        step(steps);
        const float travel = (centre(body) - plan.at).dot(down);
        const float a = G * (std::sin(angle) - mu * std::cos(angle));
        if (slope < mu) {
            EXPECT_LT(std::fabs(travel), 0.01f);
        } else {
            const float expected = 0.5f * a * steps * (steps + 1);
            EXPECT_NEAR(travel, expected, 0.1f * expected);
        }
        // Sliding or not, it stays on the slope.
        EXPECT_NEAR((centre(body) - plan.at).dot(up), 0.0f, 0.01f);
    }
}

// Two bodies meeting in empty space: momentum kept to float precision at every step, kinetic
// energy never gained, and head on, the velocities of the closed form.
TEST_F(RigidBodyTest, AFreeCollisionKeepsMomentumAndGainsNoEnergy) {
    struct Case {
        const char* name;
        bool spheres;
        float restitution;
        Vector3 at;  // where b starts; a starts at the origin
        Vector3 turn;
        Vector3 spin;
    };
    const Case cases[] = {
        {"spheres head on, elastic", true, 1.0f, {6, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {"spheres head on", true, 0.5f, {6, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {"spheres head on, plastic", true, 0.0f, {6, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {"spheres off centre", true, 0.8f, {6, 1.2f, 0.4f}, {0, 0, 0}, {0, 0, 0}},
        {"boxes face on", false, 0.5f, {6, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {"boxes turned", false, 0.5f, {6, 0.5f, 0.3f}, {0.4f, 0.3f, 0.2f}, {0, 0, 0}},
        {"boxes spinning", false, 1.0f, {6, 0.3f, 0}, {0, 0.7f, 0}, {0.02f, 0.05f, -0.03f}},
    };
    const float massA = 1.0f;
    const float massB = 3.0f;
    const Vector3 va(0.1f, 0, 0);
    const Vector3 vb(-0.05f, 0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        BodyPlan a;
        a.gravity = 0.0f;
        a.mass = massA;
        a.restitution = c.restitution;
        BodyPlan b = a;
        b.at = c.at;
        b.turn = c.turn;
        b.mass = massB;
        RigidBody& first = c.spheres ? ball(a, 1.0f) : box(a);
        RigidBody& second = c.spheres ? ball(b, 1.0f) : box(b);
        first.setVelocity(va);
        second.setVelocity(vb);
        first.setAngularVelocity(c.spin);
        const Vector3 momentum = va * massA + vb * massB;
        double last = 0.0;
        bool met = false;
        for (int n = 1; n <= 200; ++n) {
            step();
            const Vector3 now = first.getVelocity() * massA + second.getVelocity() * massB;
            ASSERT_LT((now - momentum).length(), 1e-6f) << "step " << n << ": " << show(now);
            const double kinetic = dynamics->lastStep().kineticEnergy;
            if (n > 1) {
                ASSERT_LE(kinetic, last * (1.0 + 1e-6)) << "step " << n;
            }
            last = kinetic;
            met = met || dynamics->lastStep().contacts > 0;
        }
        EXPECT_TRUE(met);
        if (c.spheres && c.at.y == 0.0f) {
            const float closing = va.x - vb.x;
            const float total = massA + massB;
            EXPECT_NEAR(first.getVelocity().x,
                        (momentum.x - massB * c.restitution * closing) / total, 1e-5f);
            EXPECT_NEAR(second.getVelocity().x,
                        (momentum.x + massA * c.restitution * closing) / total, 1e-5f);
        }
    }
}

// A stack of ten boxes and a wall of twenty rows stand for 1,000 steps, awake or asleep.
TEST_F(RigidBodyTest, StacksStand) {
    for (const bool sleeping : {true, false}) {
        SCOPED_TRACE(sleeping ? "sleeping" : "never sleeping");
        fresh().sleep.restSteps = sleeping ? 60 : 0;
        bodyScenes::addFloor(*world);
        std::vector<RigidBody*> stack;
        for (int i = 0; i < 10; ++i) {
            BodyPlan plan;
            plan.at = Vector3(0, 1.0f + 2.0f * static_cast<float>(i), 0);
            stack.push_back(&box(plan));
        }
        const Vector3 top = centre(*stack.back());
        for (int n = 1; n <= 1000; ++n) {
            step();
            ASSERT_LT((centre(*stack.back()) - top).length(), 0.02f) << "step " << n;
        }
    }
    // The wall, as it is usually run: asleep within the 1,000 steps, every box within 2.5 %
    // of an edge of where it stood.
    fresh();
    useBroadPhase(*world, true);
    const std::vector<RigidBody*> wall = bodyScenes::buildPyramid(*world, 20, 0.0f, false);
    ASSERT_EQ(wall.size(), 210u);
    std::vector<Vector3> start;
    for (const RigidBody* body : wall) {
        start.push_back(centre(*body));
    }
    step(1000);
    for (std::size_t i = 0; i < wall.size(); ++i) {
        EXPECT_LT((centre(*wall[i]) - start[i]).length(), 0.05f) << "box " << i;
        EXPECT_TRUE(wall[i]->isAsleep()) << "box " << i;
    }
}

// What cannot be simulated is refused: a setter answers false and changes nothing, a body
// built or found bad becomes an immovable obstacle that says why, and the bodies around it
// stay finite.
TEST_F(RigidBodyTest, BadInputIsRefusedAndSpreadsNothing) {
    RigidBody body;
    const Vector3 bad[] = {{NaN, 0, 0}, {0, INF, 0}, {0, 0, -INF}};
    for (const float mass : {-1.0f, NaN, INF, -INF, 1e-45f}) {
        EXPECT_FALSE(body.setMass(mass)) << mass;
    }
    for (const Vector3& moments : {Vector3(0, 1, 1), Vector3(1, -1, 1), Vector3(1, 1, NaN),
                                   Vector3(INF, 1, 1), Vector3(1e-45f, 1, 1)}) {
        EXPECT_FALSE(body.setInertia(moments)) << show(moments);
    }
    for (const Vector3& v : bad) {
        EXPECT_FALSE(body.setVelocity(v)) << show(v);
        EXPECT_FALSE(body.setAngularVelocity(v)) << show(v);
        EXPECT_FALSE(body.addForce(v)) << show(v);
        EXPECT_FALSE(body.addConstantForce(v)) << show(v);
    }
    EXPECT_FALSE(body.setFriction(-0.1f));
    EXPECT_FALSE(body.setFriction(NaN));
    EXPECT_FALSE(body.setRestitution(1.5f));
    EXPECT_FALSE(body.setRestitution(NaN));
    EXPECT_EQ(body.getMass(), 1.0f);
    EXPECT_EQ(body.getVelocity().length(), 0.0f);
    EXPECT_TRUE(body.isMovable());
    EXPECT_TRUE(body.getProblem().empty());
    EXPECT_TRUE(body.setMass(0.0f));  // an obstacle by choice: no problem
    EXPECT_FALSE(body.isMovable());
    EXPECT_TRUE(body.getProblem().empty());

    // In a world: each bad body beside a good one that falls onto it or past it.
    bodyScenes::addFloor(*world);
    struct Case {
        const char* name;
        RigidBody* body;
    };
    std::vector<Case> cases;
    BodyPlan plan;
    plan.at = Vector3(0, 1, 0);
    plan.mass = NaN;
    cases.push_back({"mass not a number", &box(plan)});
    plan.at = Vector3(5, 1, 0);
    plan.mass = -2.0f;
    cases.push_back({"negative mass", &box(plan)});
    plan.at = Vector3(10, 1, 0);
    plan.mass = 1.0f;
    cases.push_back({"no extent", &ball(plan, 0.0f)});
    plan.at = Vector3(15, 1, 0);
    plan.halfWidths = Vector3(1, 0, 0);
    cases.push_back({"a segment", &box(plan)});
    plan.at = Vector3(2e6f, 1, 0);
    plan.halfWidths = Vector3(1, 1, 1);
    cases.push_back({"out of range", &box(plan)});
    plan.at = Vector3(20, 1, 0);
    RigidBody& second = box(plan);
    second.owner->addComponent(new RigidBody());
    cases.push_back(
        {"second body", static_cast<RigidBody*>(second.owner->components.back().get())});
    // Moved by a Physics as well, attached after the body or before it.
    plan.at = Vector3(35, 1, 0);
    RigidBody& physicsAfter = box(plan);
    physicsAfter.owner->addComponent(new Physics(true, true));
    cases.push_back({"a Physics attached after", &physicsAfter});
    GameObject& physicsFirst = addObject(40, 1, 0);
    attach(physicsFirst, new Physics(true, true));
    addBox(physicsFirst);
    cases.push_back({"a Physics attached before", &attach(physicsFirst, new RigidBody())});
    // A sphere of NaN radius and a box scaled by NaN as obstacles: no solids at all.
    world->addObject(new GameObject(true, true, Point(25, 1, 0, Color())));
    world->objects.back()->addComponent(new CircleCollider(true, true, true, Point(), NaN));
    bodyScenes::addObstacle(*world, Vector3(30, 1, 0), Vector3(NaN, 1, 1));

    std::vector<RigidBody*> good;
    for (const float x : {0.0f, 5.0f, 10.0f, 15.0f, 20.0f, 25.0f, 30.0f, 35.0f, 40.0f}) {
        BodyPlan falling;
        falling.at = Vector3(x + 0.5f, 4.0f, 0.3f);
        falling.turn = Vector3(0.3f, 0.2f, 0.1f);
        good.push_back(&box(falling));
    }
    step(300);
    for (const Case& c : cases) {
        EXPECT_FALSE(c.body->isMovable()) << c.name;
        EXPECT_FALSE(c.body->getProblem().empty()) << c.name;
    }
    EXPECT_TRUE(second.isMovable());
    for (std::size_t i = 0; i < good.size(); ++i) {
        const Vector3 at = centre(*good[i]);
        EXPECT_TRUE(std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(at.z))
            << "body " << i << " at " << show(at);
        EXPECT_TRUE(good[i]->isMovable()) << "body " << i;
        EXPECT_GT(at.y, 0.5f) << "body " << i << " fell through";
    }
}

// Bodies at rest fall asleep and cost nothing; a touch, a push, a move by other code or the
// loss of their support wakes them.
TEST_F(RigidBodyTest, SleepingBodiesWakeWhenTouchedPushedOrMoved) {
    struct Case {
        const char* name;
        std::function<void(std::vector<RigidBody*>&, RigidBody& ball)> act;
        std::size_t woken;  // the box that must move
    };
    const Case cases[] = {
        {"a ball thrown at it",
         [](auto&, RigidBody& ball) {
             ball.setVelocity({0.3f, 0, 0});
         },
         0},
        {"a force",
         [](auto& boxes, RigidBody&) {
             boxes[2]->addForce({0, 0.2f, 0});
         },
         2},
        {"a velocity",
         [](auto& boxes, RigidBody&) {
             boxes[1]->setVelocity({0, 0, 0.1f});
         },
         1},
        {"moved by other code",
         [](auto& boxes, RigidBody&) { boxes[2]->owner->transform->translate(0.5f, 0.5f, 0); }, 2},
        {"its floor removed",
         [this](auto&, RigidBody&) { world->removeObject(world->objects.front().get()); }, 0},
        {"two bodies removed",
         [this](auto& boxes, RigidBody&) {
             world->removeObject(boxes[0]->owner);
             world->removeObject(boxes[1]->owner);
         },
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        std::vector<RigidBody*> boxes = bodyScenes::buildPyramid(*world, 2, 0.0f, false);
        BodyPlan plan;
        plan.at = Vector3(-6, 0.5f, 0);
        RigidBody& ball = this->ball(plan, 0.5f);
        step(150);
        for (const RigidBody* body : boxes) {
            ASSERT_TRUE(body->isAsleep());
        }
        ASSERT_EQ(dynamics->lastStep().awake, 0u);
        const Vector3 before = centre(*boxes[c.woken]);
        c.act(boxes, ball);
        step(40);
        EXPECT_GT((centre(*boxes[c.woken]) - before).length(), 0.05f);
    }
}

// A spring pulls a rigid body as it pulls a Physics: its stiffness times the stretch, as a
// change of velocity per step.
TEST_F(RigidBodyTest, ASpringPullsARigidBody) {
    const SpringEnd anchor = addSpringEnd(0.0f, false);
    const SpringEnd end = addSpringEnd(3.0f, false);
    end.object->addComponent(new BoxCollider(true, true, true, Point()));
    auto* body = new RigidBody();
    end.object->addComponent(body);
    Spring& spring = addSpring(anchor, end, 0.1f);
    ASSERT_EQ(spring.bodyB, body);
    const Point a = anchor.mountPoint();
    const Point b = end.mountPoint();
    step();
    EXPECT_FLOAT_EQ(body->getVelocity().x, 0.1f * (a.x - b.x));
    EXPECT_FLOAT_EQ(body->getVelocity().y, 0.1f * (a.y - b.y));
    // Let go of its object, and the spring pulls no more.
    world->removeObject(anchor.object);
    EXPECT_EQ(spring.bodyB, nullptr);
}

// A box turning freely far from the origin for thousands of steps stays a box and keeps
// turning: one step's rounding of its corners is undone at the next instead of adding up
// (which used to leave it no box within 500 steps, frozen and tested against everything).
TEST_F(RigidBodyTest, ABoxTurningForLongStaysABox) {
    BodyPlan plan;
    plan.at = Vector3(60, 70, 50);
    plan.halfWidths = Vector3(1, 0.5f, 2);
    plan.gravity = 0.0f;
    RigidBody& body = box(plan);
    const Vector3 spin(0.1f, 0.2f, 0.05f);
    body.setAngularVelocity(spin);
    for (int n = 1; n <= 3000; ++n) {
        step();
        if (n % 500 == 0) {
            const OrientedBox& shape =
                *static_cast<BoxCollider*>(body.owner->colliders.at(0))->plainBox();
            ASSERT_LT(shape.reach, INF) << "step " << n;
            EXPECT_NEAR(shape.halfWidths[0], 1.0f, 1e-4f) << "step " << n;
            EXPECT_NEAR(shape.halfWidths[1], 0.5f, 1e-4f) << "step " << n;
            EXPECT_NEAR(shape.halfWidths[2], 2.0f, 1e-4f) << "step " << n;
            EXPECT_LT((centre(body) - plan.at).length(), 1e-3f) << "step " << n;
            EXPECT_LT((body.getAngularVelocity() - spin).length(), 1e-6f) << "step " << n;
        }
    }
}

}  // namespace
