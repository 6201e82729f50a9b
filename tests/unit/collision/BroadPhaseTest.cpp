#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

#include "../support/SceneProbe.h"
#include "collision/BoxCollider.h"
#include "collision/CircleCollider.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "math/Vector3.h"
#include "physics/Mount.h"
#include "physics/Physics.h"
#include "physics/Spring.h"
#include "support/world/BoxField.h"

// The broad phase must change nothing that can be seen: a world with it and a world without
// it, built alike and stepped side by side, must agree on every point, colour, position and
// velocity after every step, while the broad phase offers each object only a few others.

namespace {

const Point ORIGIN(0.0f, 0.0f, 0.0f, Color());

// Moves and turns its object a little each step, as a steering controller does; turns back
// every 20 steps so that it stays among its neighbours.
class Steer : public Component {
  public:
    Steer(float speed, float turn) : Component(true, false), speed(speed), turn(turn) {}
    void update(int /*elapsedMs*/) override {
        const float sign = (step++ / 20) % 2 == 0 ? 1.0f : -1.0f;
        owner->transform->translate(sign * speed, 0.5f * speed, -sign * speed);
        owner->transform->rotate(turn, 0.5f * turn, 0.0f);
    }

  private:
    float speed;
    float turn;
    int step = 0;
};

// Adds a box to the world from inside a step, once, at its object's `at`-th update.
class Spawner : public Component {
  public:
    Spawner(World& world, int at) : Component(true, false), world(world), at(at) {}
    void update(int elapsedMs) override;

  private:
    World& world;
    int at;
    int updates = 0;
};

// Moves its object far along x once, at its `at`-th update.
class Jump : public Component {
  public:
    Jump(int at, float distance) : Component(true, false), at(at), distance(distance) {}
    void update(int /*elapsedMs*/) override {
        if (++updates == at) {
            owner->transform->translate(distance, 0.0f, 0.0f);
        }
    }

  private:
    int at;
    float distance;
    int updates = 0;
};

class DerivedBox : public BoxCollider {
  public:
    DerivedBox() : BoxCollider(true, true, true, ORIGIN) {}
};

// The most candidates its object was offered in any step.
class CandidateCount : public Component {
  public:
    CandidateCount() : Component(true, false) {}
    void update(int /*elapsedMs*/) override {
        most = std::max(most, owner->collisionCandidates.size());
    }
    std::size_t most = 0;
};

GameObject* addObject(World& world, float x, float y, float z, Component* collider) {
    auto* object = new GameObject(true, true, Point(x, y, z, Color()));
    object->addComponent(collider);
    world.addObject(object);
    return object;
}

GameObject* addBox(World& world, float x, float y, float z, float scale = 1.0f) {
    GameObject* object = addObject(world, x, y, z, new BoxCollider(true, true, true, ORIGIN));
    if (scale != 1.0f) {
        object->transform->scale(scale, scale, scale);
    }
    return object;
}

void Spawner::update(int /*elapsedMs*/) {
    if (++updates == at) {
        addBox(world, owner->getPosition().x + 1.0f, owner->getPosition().y, 0.0f);
    }
}

// Two boxes on a spring, the second falling, as in the demonstration.
void addSpringPair(World& world, float x) {
    GameObject* ends[2];
    Mount* mounts[2];
    for (int i = 0; i < 2; ++i) {
        ends[i] = addBox(world, x + 2.5f * static_cast<float>(i), 0.0f, 0.0f);
        mounts[i] = new Mount(true, true, 1.0f);
        ends[i]->addComponent(mounts[i]);
    }
    auto* physics = new Physics(true, true);
    physics->addMass(ORIGIN, 1.0f);
    physics->addConstantForce(_Tarn::Vector3(0.0f, -0.002f, 0.0f));
    ends[1]->addComponent(physics);
    auto* spring = new Spring(true, true, 0.01f, 2.0f);
    world.addObject(spring);
    spring->connect(mounts[0], mounts[1]);
}

// A box whose steering runs before its collider: the collider tests where the box has just
// moved, against boxes that earlier objects of the step moved.
void addSteeredBox(World& world, float x, float y, float z, float speed) {
    auto* object = new GameObject(true, true, Point(x, y, z, Color()));
    object->addComponent(new Steer(speed, 0.05f));
    object->addComponent(new BoxCollider(true, true, true, ORIGIN));
    world.addObject(object);
}

// A field of boxes, some steered or falling, and every kind of object that the broad phase
// must handle as the all-pairs step does. Boxes that are bounded by nothing (sheared, out of
// range) are offered to every box, which would hide a box that is offered nothing.
struct Counters {
    CandidateCount* inField = nullptr;
    CandidateCount* parting = nullptr;
};

void buildScene(World& world, int fieldSize, bool withUnbounded, Counters& counters) {
    buildBoxField(world, fieldSize, 5);
    const float side = boxFieldSide(fieldSize);
    for (int i = 0; i < 40; ++i) {
        const float at = side * (static_cast<float>(i) / 40.0f - 0.5f);
        addSteeredBox(world, at, -at * 0.5f, at * 0.3f, 0.15f * static_cast<float>(i % 5));
    }
    for (std::size_t i = 0; i < world.objects.size(); i += 7) {
        world.objects[i]->addComponent(new Steer(0.02f, 0.03f));
    }
    for (std::size_t i = 3; i < world.objects.size(); i += 50) {
        auto* physics = new Physics(true, true);
        physics->addConstantForce(_Tarn::Vector3(0.0f, -0.001f, 0.0f));
        world.objects[i]->addComponent(physics);
    }
    if (withUnbounded) {
        world.objects[10]->transform->shear(0.4f, 0.0f, 0.0f);
        world.objects[20]->transform->shear(0.0f, -0.3f, 0.2f);
        addBox(world, 3e7f, 0.0f, 0.0f);
        // Turning boxes whose corners rounding moves out of square: one at 1e5, one of size
        // 0.001 away from the origin.
        addBox(world, 1e5f + 5.0f, 0.0f, 0.0f)->addComponent(new Steer(0.5f, 0.1f));
        addBox(world, 1.0f, 1.0f, 1.0f, 1e-3f)->addComponent(new Steer(0.001f, 0.2f));
        // A class of its own may test anything: offered everything, tested as a box.
        addObject(world, -2.0f, 1.0f, 0.0f, new DerivedBox())->addComponent(new Steer(0.1f, 0.0f));
    }
    world.objects[30]->drawEnabled = false;
    world.objects[40]->updateEnabled = false;
    counters.inField = new CandidateCount();
    world.objects[1]->addComponent(counters.inField);
    addSpringPair(world, -3.0f);

    // Exactly touching, far away, tiny, huge, flat and shrunk to a point.
    addBox(world, 200.0f, 0.0f, 0.0f);
    addBox(world, 202.0f, 0.0f, 0.0f);
    addBox(world, 1e5f, 0.0f, 0.0f);
    addBox(world, 1e5f + 1.9f, 0.0f, 0.0f);
    addBox(world, 1.0f, 1.0f, 1.0f, 0.05f)->addComponent(new Steer(0.001f, 0.2f));
    addBox(world, 40.0f, 0.0f, 0.0f, 20.0f);
    addBox(world, 19.5f, 0.0f, 0.0f);
    addBox(world, 5.0f, 5.0f, 5.0f)->transform->scale(1.0f, 1.0f, 0.0f);
    addBox(world, -5.0f, 5.0f, 5.0f, 0.0f)->addComponent(new Steer(0.05f, 0.0f));

    // Two colliders with a steering between them: the second tests where the first did not.
    for (int i = 0; i < 10; ++i) {
        const float at = side * (static_cast<float>(i) / 10.0f - 0.45f);
        auto* twoBoxes = new GameObject(true, true, Point(at, -at, at * 0.5f, Color()));
        twoBoxes->addComponent(new BoxCollider(true, true, true, ORIGIN));
        twoBoxes->addComponent(new Steer(0.6f, 0.1f));
        twoBoxes->addComponent(new BoxCollider(true, true, true, ORIGIN));
        world.addObject(twoBoxes);
    }

    // A pair that parts: once apart, each box has no box left near it, yet it has run box
    // tests in the all-pairs step and shows that it touches nothing.
    counters.parting = new CandidateCount();
    addBox(world, 500.0f, 0.0f, 0.0f)->addComponent(counters.parting);
    addBox(world, 501.5f, 0.0f, 0.0f)->addComponent(new Steer(0.2f, 0.0f));

    // A box that stands still while the box it touches leaves at once: its other neighbour,
    // near enough to stay a candidate but apart, has not changed either, and yet the answer
    // has. Steps later a box lands on it.
    addBox(world, 700.0f, 0.0f, 0.0f);
    addBox(world, 697.99f, 0.0f, 0.0f);
    addBox(world, 701.5f, 0.0f, 0.0f)->addComponent(new Jump(30, 100.0f));
    addBox(world, 690.0f, 0.0f, 0.0f)->addComponent(new Jump(60, 8.5f));

    // Spheres: alone, and with a box, far from everything else.
    addObject(world, 300.0f, 0.0f, 0.0f, new CircleCollider(true, true, true, ORIGIN, 1.0f));
    addBox(world, 301.0f, 0.0f, 0.0f)
        ->addComponent(new CircleCollider(true, true, true, ORIGIN, 2.0f));
    world.objects.front()->addComponent(new Spawner(world, 35));
}

// One change made to both worlds alike before a given step.
struct Event {
    int step;
    std::function<void(World&)> apply;
};

const Event EVENTS[] = {
    // A collider attached to an object that had none, and an object without colliders.
    {5, [](World& w) { w.addObject(new GameObject(true, true, Point(2, 2, 2, Color()))); }},
    {10,
     [](World& w) { w.objects.back()->addComponent(new BoxCollider(true, true, true, ORIGIN)); }},
    {15, [](World& w) { addBox(w, -1.0f, 0.0f, 0.5f); }},
    {25,
     [](World& w) {
         auto* object = new GameObject(true, true, Point(0.5f, -1, 0, Color()));
         object->addComponent(new BoxCollider(true, true, true, ORIGIN));
         w.objects.emplace_back(object);
     }},
    {45, [](World& w) { w.running = false; }},
    {52, [](World& w) { w.running = true; }},
    {60, [](World& w) { w.objects[50]->drawEnabled = false; }},
    {70, [](World& w) { w.objects[40]->updateEnabled = true; }},
    {80, [](World& w) { w.objects[60]->updateEnabled = false; }},
};

}  // namespace

TEST(BroadPhaseTest, StepsExactlyAsTheAllPairsStep) {
    for (const bool withUnbounded : {true, false}) {
        SCOPED_TRACE(withUnbounded ? "a thousand boxes, some bounded by nothing"
                                   : "three hundred boxes, all bounded");
        const int fieldSize = withUnbounded ? 1000 : 300;
        World allPairs;
        World broad;
        broad.setBroadPhase(true);
        Counters allPairsCount;
        Counters broadCount;
        buildScene(allPairs, fieldSize, withUnbounded, allPairsCount);
        buildScene(broad, fieldSize, withUnbounded, broadCount);
        ASSERT_TRUE(
            sceneprobe::identical(sceneprobe::snapshot(allPairs), sceneprobe::snapshot(broad)));

        for (int step = 0; step < 100; ++step) {
            for (const Event& event : EVENTS) {
                if (event.step == step) {
                    event.apply(allPairs);
                    event.apply(broad);
                }
            }
            allPairs.update(17);
            broad.update(17);
            const std::vector<float> expected = sceneprobe::snapshot(allPairs);
            const std::vector<float> seen = sceneprobe::snapshot(broad);
            ASSERT_EQ(expected.size(), seen.size()) << "after step " << step;
            ASSERT_TRUE(sceneprobe::identical(expected, seen))
                << "after step " << step << ": the worlds differ";
        }
        EXPECT_EQ(allPairs.objects.size(), broad.objects.size());
        // The all-pairs step offers everything; the broad phase a handful.
        EXPECT_GE(allPairsCount.inField->most, static_cast<std::size_t>(fieldSize));
        EXPECT_LT(broadCount.inField->most, 40u);
        if (!withUnbounded) {
            // Its partner, then only the box that shows it has tested.
            EXPECT_EQ(broadCount.parting->most, 1u);
        }
    }
}
