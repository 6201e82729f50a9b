#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/DemoScene.h"
#include "collision/BoxCollider.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/Keyboard.h"
#include "input/PlayerKeyboardControls.h"
#include "shapes/Cube.h"
#include "support/alloc/AllocationCounter.h"
#include "support/world/BoxField.h"
#include "support/world/WorldFixture.h"

namespace {

// Written through a volatile, so the compiler may not drop the allocations it is shown.
void* volatile allocationSink = nullptr;

// What a phase of held keys must visibly do, so that a script whose keys stopped acting
// cannot pass by doing nothing.
enum class Effect { NONE, MOVES_BOX, TURNS_BOX, MOVES_CUBES, PAUSES };

struct Phase {
    const char* keys;
    int steps;
    Effect effect;
    bool quaternions;  // the rotation mode the box must be in (TURNS_BOX only)
};

// Translation, rotation through quaternions and through matrices, scaling and shearing of the
// cubes, pause and resume, scenes hidden and shown again. Every toggle is pressed an even
// number of times, so the script can run again from where it ends.
const Phase SCRIPT[] = {
    {"d", 40, Effect::MOVES_BOX, true},     {"qw", 40, Effect::MOVES_BOX, true},
    {" w", 40, Effect::TURNS_BOX, true},    {" ae", 40, Effect::TURNS_BOX, true},
    {"9", 1, Effect::NONE, false},          {" sd", 40, Effect::TURNS_BOX, false},
    {" q", 40, Effect::TURNS_BOX, false},   {"3", 1, Effect::NONE, false},
    {" w", 4, Effect::MOVES_CUBES, false},  {" s", 4, Effect::MOVES_CUBES, false},
    {" a", 3, Effect::MOVES_CUBES, false},  {" d", 3, Effect::MOVES_CUBES, false},
    {"as", 40, Effect::MOVES_CUBES, false}, {"3", 1, Effect::NONE, false},
    {"", 1, Effect::NONE, false},           {"9", 1, Effect::NONE, false},
    {"z", 1, Effect::NONE, false},          {"e", 40, Effect::PAUSES, false},
    {"z", 1, Effect::NONE, false},          {"1", 1, Effect::NONE, false},
    {"2", 1, Effect::NONE, false},          {"", 1, Effect::NONE, false},
    {"12", 1, Effect::NONE, false},         {"", 1, Effect::NONE, false},
    {"a", 154, Effect::MOVES_BOX, true},
};
constexpr size_t PHASES = sizeof(SCRIPT) / sizeof(SCRIPT[0]);

bool moved(const Point& from, const Point& to) {
    return from.x != to.x || from.y != to.y || from.z != to.z;
}

class SteadyStateAllocationTest : public WorldFixture {
  protected:
    void hold(const char* keys, bool down) {
        for (const char* k = keys; *k != '\0'; ++k) {
            const auto key = static_cast<unsigned char>(*k);
            down ? press(key) : release(key);
        }
    }

    // Runs one phase and answers whether it did what it should. Allocates nothing itself.
    bool runPhase(const DemoScene& scene, const Phase& phase) {
        const GameObject& box = *scene.leftBox.object;
        const auto& boxCorners = scene.leftBox.collider->componentTransform->points;
        const auto& cubeCorners = scene.shearCubes[0]->componentTransform->points;
        const Point boxAt = box.getPosition();
        const Point boxCorner = boxCorners[1];
        const Point cubeCorner = cubeCorners[1];
        const Point fallingAt = scene.rightBox.object->getPosition();
        bool pausedThroughout = true;
        for (int s = 0; s < phase.steps; ++s) {
            step();
            pausedThroughout = pausedThroughout && !world->running;
        }
        const bool boxMoved = moved(boxAt, box.getPosition());
        switch (phase.effect) {
            case Effect::MOVES_BOX:
                return boxMoved;
            case Effect::TURNS_BOX:
                return !boxMoved && moved(boxCorner, boxCorners[1]) &&
                       scene.player->quaternionMode == phase.quaternions;
            case Effect::MOVES_CUBES:
                return moved(cubeCorner, cubeCorners[1]);
            case Effect::PAUSES:
                return pausedThroughout && !boxMoved &&
                       scene.rightBox.object->getPosition().y == fallingAt.y;
            case Effect::NONE:
                return true;
        }
        return false;
    }
};

}  // namespace

TEST(AllocationCounterTest, CountsEveryKindOfAllocation) {
    const AllocationCounter counter;
    auto single = std::make_unique<int>(1);
    allocationSink = single.get();
    std::vector<int> many(100);
    allocationSink = many.data();
    auto array = std::unique_ptr<int[]>(new int[5]);
    allocationSink = array.get();
    EXPECT_EQ(counter.count(), 3u);
}

TEST_F(SteadyStateAllocationTest, DemonstrationStepsWithKeysHeldAllocateNothing) {
    const DemoScene scene = addDemoScene();
    Keyboard::getInstance();
    step(3);

    // 2 x 500 steps; the outcome of each phase is checked only after counting stops.
    bool acted[2][PHASES];
    int steps = 0;
    const AllocationCounter counter;
    for (auto& pass : acted) {
        for (size_t p = 0; p < PHASES; ++p) {
            hold(SCRIPT[p].keys, true);
            pass[p] = runPhase(scene, SCRIPT[p]);
            hold(SCRIPT[p].keys, false);
            steps += SCRIPT[p].steps;
        }
    }
    const size_t allocations = counter.count();

    EXPECT_EQ(steps, 1000);
    EXPECT_EQ(allocations, 0u);
    for (size_t pass = 0; pass < 2; ++pass) {
        for (size_t p = 0; p < PHASES; ++p) {
            EXPECT_TRUE(acted[pass][p])
                << "pass " << pass << ", phase " << p << " (keys \"" << SCRIPT[p].keys << "\")";
        }
    }
}

TEST_F(SteadyStateAllocationTest, StepsOfAThousandCollidingBoxesAllocateNothing) {
    for (const bool broadPhase : {false, true}) {
        SCOPED_TRACE(broadPhase ? "broad phase" : "all pairs");
        restart();
        useBroadPhase(*world, broadPhase);
        buildBoxField(*world, 1000);
        step(2);

        const AllocationCounter counter;
        step(10);
        EXPECT_EQ(counter.count(), 0u);
    }
}

TEST_F(SteadyStateAllocationTest, MovingBoxesWithTheBroadPhaseAllocateNothing) {
    // Every box turns and moves back and forth: its bounds change every step, it moves in
    // the tree every few, and its neighbours change.
    useBroadPhase(*world, true);
    buildBoxField(*world, 1000);
    const auto move = [this](int s) {
        const float sign = (s / 10) % 2 == 0 ? 1.0f : -1.0f;
        for (const auto& object : world->objects) {
            object->transform->translate(0.05f * sign, 0.0f, 0.0f);
            object->transform->rotate(0.0f, 0.02f, 0.0f);
        }
        step();
    };
    for (int s = 0; s < 20; ++s) {
        move(s);
    }
    const AllocationCounter counter;
    for (int s = 20; s < 40; ++s) {
        move(s);
    }
    EXPECT_EQ(counter.count(), 0u);
}
