#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "collision/BroadPhase.h"
#include "core/Transform.h"
#include "support/world/BoxField.h"
#include "support/world/Scripted.h"
#include "support/world/WorldFixture.h"
#include "unit/support/SceneProbe.h"

// The broad phase must change nothing that can be seen: a world with it and a world without
// it, built alike and stepped side by side, must agree on every point, colour, position and
// velocity after every step, while the broad phase offers each object only a few others and
// its parts stay sound.

namespace {

// Moves and turns its object a little each step, as a steering controller does; turns back
// every 20 steps so that it stays among its neighbours.
Scripted* steering(float speed, float turn) {
    return new Scripted([speed, turn, step = 0](GameObject& object) mutable {
        const float sign = (step++ / 20) % 2 == 0 ? 1.0f : -1.0f;
        object.transform->translate(sign * speed, 0.5f * speed, -sign * speed);
        object.transform->rotate(turn, 0.5f * turn, 0.0f);
    });
}

// Keeps in `most` the most candidates its object was offered in any step.
Scripted* candidateCount(std::size_t& most) {
    return new Scripted(
        [&most](GameObject& object) { most = std::max(most, object.collisionCandidates.size()); });
}

// A new object at (x, y, z) with a box collider, not yet in any world.
GameObject* newBox(float x, float y, float z) {
    auto* object = new GameObject(true, true, Point(x, y, z, Color()));
    WorldFixture::addBox(*object);
    return object;
}

// Jumps `distance` along x.
void jump(GameObject& object, float distance) {
    object.transform->translate(distance, 0.0f, 0.0f);
}

class DerivedBox : public BoxCollider {
  public:
    DerivedBox() : BoxCollider(true, true, true, Point()) {}
};

class BroadPhaseTest : public WorldFixture {
  protected:
    // The most candidates a box in the field, and a box that parts from its partner, were
    // offered in any step.
    struct Counters {
        std::size_t inField = 0;
        std::size_t parting = 0;
    };

    BoxCollider& addScaledBox(float x, float y, float z, float size) {
        return addBox(Pose{{x, y, z}, {size, size, size}});
    }
    // A box whose steering runs before its collider: the collider tests where the box has
    // just moved, against boxes that earlier objects of the step moved.
    void addSteeredBox(float x, float y, float z, float speed) {
        GameObject& object = addObject(x, y, z);
        attach(object, steering(speed, 0.05f));
        addBox(object);
    }
    void steer(BoxCollider& box, float speed, float turn) {
        attach(*box.owner, steering(speed, turn));
    }

    // A field of boxes, some steered or falling, and every kind of object that the broad
    // phase must handle as the all-pairs step does. Boxes bounded by nothing (sheared, out of
    // range) are offered to every box, which would hide a box that is offered nothing: the
    // scene is built with and without them.
    void buildScene(int fieldSize, bool withUnbounded, Counters& counters) {
        buildBoxField(*world, fieldSize, 5);
        const float side = boxFieldSide(fieldSize);
        for (int i = 0; i < 40; ++i) {
            const float at = side * (static_cast<float>(i) / 40.0f - 0.5f);
            addSteeredBox(at, -at * 0.5f, at * 0.3f, 0.15f * static_cast<float>(i % 5));
        }
        auto& objects = world->objects;
        for (std::size_t i = 0; i < objects.size(); i += 7) {
            attach(*objects[i], steering(0.02f, 0.03f));
        }
        for (std::size_t i = 3; i < objects.size(); i += 50) {
            attach(*objects[i], new Physics(true, true))
                .addConstantForce(_Tarn::Vector3(0.0f, -0.001f, 0.0f));
        }
        if (withUnbounded) {
            objects[10]->transform->shear(0.4f, 0.0f, 0.0f);
            objects[20]->transform->shear(0.0f, -0.3f, 0.2f);
            addBox(3e7f, 0.0f, 0.0f);
            // Turning boxes whose corners rounding moves out of square.
            steer(addBox(1e5f + 5.0f, 0.0f, 0.0f), 0.5f, 0.1f);
            steer(addScaledBox(1.0f, 1.0f, 1.0f, 1e-3f), 0.001f, 0.2f);
            // A class of its own may test anything: offered everything, tested as a box.
            GameObject& derived = addObject(-2.0f, 1.0f, 0.0f);
            attach(derived, new DerivedBox());
            attach(derived, steering(0.1f, 0.0f));
        }
        objects[30]->drawEnabled = false;
        objects[40]->updateEnabled = false;
        attach(*objects[1], candidateCount(counters.inField));
        // Two boxes on a spring, the second falling, as in the demonstration.
        const SpringPair pair = addSpringPair();
        addBox(*pair.anchor.object);
        addBox(*pair.body.object);
        pair.body.physics->addConstantForce(_Tarn::Vector3(0.0f, -0.002f, 0.0f));

        // Exactly touching, far away, tiny, huge, flat and shrunk to a point.
        addBox(200.0f, 0.0f, 0.0f);
        addBox(202.0f, 0.0f, 0.0f);
        addBox(1e5f, 0.0f, 0.0f);
        addBox(1e5f + 1.9f, 0.0f, 0.0f);
        steer(addScaledBox(1.0f, 1.0f, 1.0f, 0.05f), 0.001f, 0.2f);
        addScaledBox(40.0f, 0.0f, 0.0f, 20.0f);
        addBox(19.5f, 0.0f, 0.0f);
        addBox(Pose{{5.0f, 5.0f, 5.0f}, {1.0f, 1.0f, 0.0f}});
        steer(addScaledBox(-5.0f, 5.0f, 5.0f, 0.0f), 0.05f, 0.0f);

        // Two colliders with a steering between them: the second tests where the first did not.
        for (int i = 0; i < 10; ++i) {
            const float at = side * (static_cast<float>(i) / 10.0f - 0.45f);
            GameObject& twoBoxes = addObject(at, -at, at * 0.5f);
            addBox(twoBoxes);
            attach(twoBoxes, steering(0.6f, 0.1f));
            addBox(twoBoxes);
        }

        // A pair that parts: once apart, each box has no box left near it, yet it has run box
        // tests in the all-pairs step and shows that it touches nothing.
        attach(*addBox(500.0f, 0.0f, 0.0f).owner, candidateCount(counters.parting));
        steer(addBox(501.5f, 0.0f, 0.0f), 0.2f, 0.0f);

        // A box that stands still while the box it touches leaves at once: its other
        // neighbour, near enough to stay a candidate but apart, has not changed either, and
        // yet the answer has. Steps later a box lands on it.
        addBox(700.0f, 0.0f, 0.0f);
        addBox(697.99f, 0.0f, 0.0f);
        attach(*addBox(701.5f, 0.0f, 0.0f).owner,
               atUpdate(30, [](GameObject& o) { jump(o, 100); }));
        attach(*addBox(690.0f, 0.0f, 0.0f).owner,
               atUpdate(60, [](GameObject& o) { jump(o, 8.5f); }));

        // Spheres: alone, and with a box, far from everything else.
        addSphere(300.0f, 0.0f, 0.0f, 1.0f);
        addSphere(*addBox(301.0f, 0.0f, 0.0f).owner, 2.0f);
        // A box put into the world next to the first object, in the middle of a step.
        attach(*objects.front(), atUpdate(35, [into = world](GameObject& o) {
            into->addObject(newBox(o.getPosition().x + 1.0f, o.getPosition().y, 0.0f));
        }));
    }
};

// Asked after a step, as a later stage would: every object's candidates are other objects
// with colliders in insertion order, and hold every plain box that touches its plain box.
void expectCandidatesAfterTheStep(World& broad) {
    const auto& objects = broad.objects;
    const auto boxOf = [&](std::size_t i) {
        return objects[i]->colliders.size() == 1
                   ? static_cast<Collider*>(objects[i]->colliders[0])->plainBox()
                   : nullptr;
    };
    std::vector<GameObject*> candidates;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        candidates.clear();
        broad.collectCandidates(*objects[i], candidates);
        const OrientedBox* mine = boxOf(i);
        std::size_t next = 0;  // candidates[next] is the next one expected in insertion order
        for (std::size_t j = 0; j < objects.size(); ++j) {
            const bool offered = next < candidates.size() && candidates[next] == objects[j].get();
            next += offered ? 1 : 0;
            ASSERT_FALSE(offered && (j == i || !objects[j]->hasCollider)) << i << " offered " << j;
            const OrientedBox* theirs = j != i && mine != nullptr ? boxOf(j) : nullptr;
            ASSERT_FALSE(theirs != nullptr && mine->touches(*theirs) && !offered)
                << "object " << i << " touches object " << j << ", which it is not offered";
        }
        ASSERT_EQ(next, candidates.size()) << "object " << i << ": candidates out of order";
    }
}

// One change made to both worlds alike before a given step.
struct Event {
    int step;
    std::function<void(World&)> apply;
};

const Event EVENTS[] = {
    // A collider attached to an object that had none, and an object without colliders.
    {5, [](World& w) { w.addObject(new GameObject(true, true, Point(2, 2, 2, Color()))); }},
    {10, [](World& w) { WorldFixture::addBox(*w.objects.back()); }},
    {15, [](World& w) { w.addObject(newBox(-1.0f, 0.0f, 0.5f)); }},
    {25, [](World& w) { w.objects.emplace_back(newBox(0.5f, -1, 0)); }},
    {45, [](World& w) { w.running = false; }},
    {52, [](World& w) { w.running = true; }},
    {60, [](World& w) { w.objects[50]->drawEnabled = false; }},
    {70, [](World& w) { w.objects[40]->updateEnabled = true; }},
    {80, [](World& w) { w.objects[60]->updateEnabled = false; }},
};

}  // namespace

TEST_F(BroadPhaseTest, StepsExactlyAsTheAllPairsStep) {
    for (const bool withUnbounded : {true, false}) {
        SCOPED_TRACE(withUnbounded ? "a thousand boxes, some bounded by nothing"
                                   : "three hundred boxes, all bounded");
        const int fieldSize = withUnbounded ? 1000 : 300;
        World allPairs;
        World broad;
        auto source = std::make_unique<BroadPhase>();
        const BroadPhase& broadPhase = *source;
        broad.setCandidateSource(std::move(source));
        Counters counters[2];
        World* const worlds[2] = {&allPairs, &broad};
        for (int w = 0; w < 2; ++w) {
            world = worlds[w];
            buildScene(fieldSize, withUnbounded, counters[w]);
        }
        ASSERT_EQ(sceneprobe::firstDifference(allPairs, broad), "");

        for (int step = 0; step < 100; ++step) {
            for (World* target : worlds) {
                for (const Event& event : EVENTS) {
                    if (event.step == step) {
                        event.apply(*target);
                    }
                }
                target->update(STEP_MS);
            }
            ASSERT_EQ(sceneprobe::firstDifference(allPairs, broad), "") << "after step " << step;
            ASSERT_EQ(broadPhase.validate(), "") << "after step " << step;
        }
        // The all-pairs step offers everything; the broad phase a handful.
        EXPECT_GE(counters[0].inField, static_cast<std::size_t>(fieldSize));
        EXPECT_LT(counters[1].inField, 40u);
        if (!withUnbounded) {
            // Its partner, and then nothing: no far-away box to show that it has tested.
            EXPECT_EQ(counters[1].parting, 1u);
        }
        expectCandidatesAfterTheStep(broad);
    }
}
