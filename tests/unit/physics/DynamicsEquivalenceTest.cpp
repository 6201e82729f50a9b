#include <gtest/gtest.h>

#include <string>

#include "../support/SceneProbe.h"
#include "collision/BoxCollider.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/Keyboard.h"
#include "physics/Dynamics.h"
#include "physics/Mount.h"
#include "physics/RigidBody.h"
#include "physics/Spring.h"
#include "support/world/BodyScenes.h"
#include "support/world/Scripted.h"
#include "support/world/WorldFixture.h"

// The contact stage changes nothing that it is not asked to: a world with the broad phase
// and one without move their bodies alike to the bit, step after step; and a world without
// rigid bodies steps as it did before the stage existed.

using _Tarn::Vector3;
using bodyScenes::BodyPlan;

namespace {

// Turns an obstacle a little every step from the 81st on: it pushes the boxes it meets, and
// wakes those that sleep.
Scripted* paddle() {
    return new Scripted([steps = 0](GameObject& object) mutable {
        if (++steps > 80) {
            object.transform->rotate(0.0f, 0.01f, 0.0f);
        }
    });
}

// At its 120th step, and from inside that step, puts an obstacle under its body: the contact
// stage meets it from the next step on, with the broad phase or without.
class Obstruct : public Component {
  public:
    explicit Obstruct(World& world) : Component(true, false), world(world) {}
    void update(int /*elapsedMs*/) override {
        if (++steps == 120) {
            const Point at = owner->getPosition();
            bodyScenes::addObstacle(world, Vector3(at.x, at.y - 1.1f, at.z), Vector3(1, 0.2f, 1),
                                    Vector3(0, 0, 0), false);
        }
    }

  private:
    World& world;
    int steps = 0;
};

// A pile falling into a pit, with a paddle turning in it; a wall of boxes elsewhere, which
// falls asleep and which a ball wakes; a body hanging from a spring, which an obstacle added
// during a step meets; a ball at rest.
struct Scene {
    explicit Scene(World& world) : world(world) {
        Dynamics::enable(world);
        bodyScenes::buildPit(world, 120, 3, false);
        bodyScenes::addObstacle(world, Vector3(0, 3, 0), Vector3(4, 0.5f, 0.5f),
                                Vector3(0, 0.3f, 0), false)
            .addComponent(paddle());
        for (int i = 0; i < 6; ++i) {
            BodyPlan plan;
            plan.at = Vector3(60.0f + 2.0f * static_cast<float>(i % 3),
                              1.0f + 2.0f * static_cast<float>(i / 3), 0);
            plan.visible = false;
            bodyScenes::addBox(world, plan);
        }
        BodyPlan thrown;
        thrown.at = Vector3(50, 1.5f, 0);
        thrown.restitution = 0.4f;
        ball = &bodyScenes::addBall(world, thrown, 0.5f);

        auto* anchor = new GameObject(true, true, Point(-60, 10, 0, Color()));
        auto* top = new Mount(true, true, 1.0f);
        anchor->addComponent(top);
        world.addObject(anchor);
        BodyPlan hanging;
        hanging.at = Vector3(-58, 6, 0);
        hanging.visible = false;
        RigidBody& body = bodyScenes::addBox(world, hanging);
        auto* bottom = new Mount(true, true, -1.0f);
        body.owner->addComponent(bottom);
        body.owner->addComponent(new Obstruct(world));
        auto* spring = new Spring(true, true, 0.01f, 0.0f);
        spring->connect(top, bottom);
        world.addObject(spring);
    }

    // Between steps, the same change to both worlds.
    void before(int step) {
        if (step == 150) {
            ball->setVelocity(Vector3(0.3f, 0.05f, 0.01f));
        }
        if (step == 200) {
            BodyPlan late;
            late.at = Vector3(61, 8, 0.5f);
            late.visible = false;
            bodyScenes::addBox(world, late);
        }
    }

    World& world;
    RigidBody* ball = nullptr;
};

}  // namespace

TEST(DynamicsEquivalenceTest, TheBroadPhaseChangesNoBodyByABit) {
    World allPairs;
    World broad;
    WorldFixture::useBroadPhase(broad, true);
    Scene a(allPairs);
    Scene b(broad);
    int awake = 0;
    for (int step = 0; step < 300; ++step) {
        a.before(step);
        b.before(step);
        allPairs.update(17);
        broad.update(17);
        const std::string difference = sceneprobe::firstDifference(allPairs, broad);
        ASSERT_EQ(difference, "") << "after step " << step;
        awake +=
            static_cast<int>(static_cast<Dynamics*>(broad.getStage())->lastStep().contacts > 0);
    }
    // The scene did collide all along, and the ball woke the wall.
    EXPECT_GT(awake, 250);
    EXPECT_GT(a.ball->owner->getPosition().x, 55.0f);
}

// The demonstration in a world with a contact stage: no object has a rigid body, and every
// point, colour and velocity stays what it is without the stage, keys held and all.
class DynamicsOptInTest : public WorldFixture {};

TEST_F(DynamicsOptInTest, AWorldWithoutBodiesStepsAsBefore) {
    World plain;
    buildScene(plain);
    addDemoScene();
    Dynamics::enable(*world);
    for (int step = 0; step < 200; ++step) {
        const unsigned char key = "dw  sq9e"[(step / 25) % 8];
        press(key);
        plain.update(17);
        world->update(17);
        release(key);
        ASSERT_EQ(sceneprobe::firstDifference(plain, *world), "") << "after step " << step;
    }
}
