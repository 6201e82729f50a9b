// A long run of the demo with random keys held and let go, as a restless user would: nothing
// may turn non-finite, the spring scene must stay bounded, and no step may allocate.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "app/DemoScene.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "input/Keyboard.h"
#include "input/PlayerKeyboardControls.h"
#include "physics/Mount.h"
#include "shapes/Cube.h"
#include "support/alloc/AllocationCounter.h"
#include "support/world/WorldFixture.h"
#include "unit/support/SceneProbe.h"

namespace {

constexpr int STEPS = 100000;
// Every path of a step has run by then, so every buffer has its final capacity.
constexpr int WARM_UP = 2000;
// The schedule keeps the shear/scale group's net scale factor within these.
constexpr double MAX_NET_SCALE = 1e3;
constexpr double MIN_NET_SCALE = 1e-3;
// Gravity 0.5 against stiffness 0.1: the hanging box rests 5 below its anchor.
constexpr float REST_DROP = 5.0f;

const std::string MOVE_KEYS = "wasdqe";

class SoakTest : public WorldFixture {
  protected:
    bool held(char key) {
        return Keyboard::getInstance()->isKeyDown(
            Keyboard::slotOf(static_cast<unsigned char>(key)));
    }
    void releaseAll() {
        for (char key : MOVE_KEYS + " 139z") {
            release(key);
        }
    }

    // The hanging box's mount relative to where it would rest under the steered box's mount.
    float swing() {
        const Point& a = scene.leftBox.mount->componentTransform->points[1];
        const Point& b = scene.rightBox.mount->componentTransform->points[1];
        return std::sqrt((b.x - a.x) * (b.x - a.x) +
                         (b.y - a.y + REST_DROP) * (b.y - a.y + REST_DROP) +
                         (b.z - a.z) * (b.z - a.z));
    }

    // Keeps the books on what each step exercises.
    void beforeStep() override {
        const bool space = held(' ');
        const bool groupActs = world->running && scene.shearGroup->drawEnabled && space;
        if (groupActs) {
            // Let go of whichever scale key would take the group out of range.
            if (held('w') && !held('s') && netScale * 1.1 > MAX_NET_SCALE) {
                release('w');
            }
            if (held('s') && !held('w') && netScale * 0.9 < MIN_NET_SCALE) {
                release('s');
            }
            netScale *= (held('w') ? 1.1 : 1.0) * (held('s') ? 0.9 : 1.0);
            scaled += held('w') || held('s') ? 1 : 0;
            sheared += held('a') || held('d') ? 1 : 0;
        }
        const bool playerActs = world->running && scene.leftBox.object->drawEnabled;
        const bool turning =
            space && (held('w') || held('a') || held('s') || held('d') || held('q') || held('e'));
        if (playerActs && turning) {
            (player->quaternionMode ? quaternionTurns : matrixTurns) += 1;
        }
        ++steps;
    }

    const DemoScene scene = addDemoScene();
    const PlayerKeyboardControls* player = scene.player;
    int steps = 0;
    double netScale = 1.0;
    int scaled = 0;
    int sheared = 0;
    int quaternionTurns = 0;
    int matrixTurns = 0;
};

}  // namespace

TEST_F(SoakTest, HundredThousandStepsOfRandomKeysStayFiniteBoundedAndAllocationFree) {
    std::mt19937 random(20240917u);
    tap('3');  // show the shear/scale group, so that its keys act
    std::size_t allocations = 0;
    float largestQuietSwing = 0.0f;
    int quietSteps = 0;
    int quietWindows = 0;

    while (steps < STEPS) {
        releaseAll();
        // Now and then a switching key on its own: rotation mode, a scene, or pause.
        const std::uint32_t roll = random() % 40;
        if (roll < 6 || steps < WARM_UP / 2) {
            tap('9');
        } else if (roll == 6) {
            tap('1');
        } else if (roll == 7) {
            tap('3');
        } else if (roll == 8) {
            tap('z');
        }
        // Then a phase of held keys: a quarter of them quiet (the steered box at rest).
        const bool quiet = random() % 4 == 0;
        if (!quiet) {
            for (char key : MOVE_KEYS) {
                if (random() % 3 == 0) {
                    press(key);
                }
            }
        }
        if (random() % 2 == 0 || steps < WARM_UP) {
            press(' ');
        }
        if (steps < WARM_UP) {
            for (char key : MOVE_KEYS) {
                press(key);  // every path once, in both rotation modes
            }
        }
        const int length = 1 + static_cast<int>(random() % (quiet ? 1000 : 300));

        const AllocationCounter counter;
        float early = 0.0f;
        float late = 0.0f;
        for (int i = 0; i < length && steps < STEPS; ++i) {
            step();
            const std::string bad = sceneprobe::firstNonFinite(*world);
            ASSERT_EQ(bad, "") << "after step " << steps;
            const bool boxAtRest = quiet || !world->running || !scene.leftBox.object->drawEnabled;
            if (boxAtRest) {
                const float s = swing();
                largestQuietSwing = std::max(largestQuietSwing, s);
                ++quietSteps;
                if (quiet && i < 100) {
                    early = std::max(early, s);
                } else if (quiet && i >= length - 100) {
                    late = std::max(late, s);
                }
            }
        }
        if (steps > WARM_UP) {
            allocations += counter.count();
        }
        // Left alone, the swing neither grows nor dies: the step keeps its energy.
        if (quiet && world->running && length >= 400 && steps < STEPS) {
            ++quietWindows;
            ASSERT_LT(late, early * 1.05f + 1e-3f)
                << "the swing grew while nothing drove it, step " << steps;
            ASSERT_GT(late, early * 0.95f - 1e-3f) << "the swing died down, step " << steps;
        }
    }

    EXPECT_EQ(steps, STEPS);
    EXPECT_EQ(allocations, 0u) << "steps allocated after warm-up";
    EXPECT_LT(largestQuietSwing, 50.0f);
    std::printf(
        "soak: %d steps, %d quiet (largest swing %.2f, %d long windows), %d scaled, "
        "%d sheared, %d quaternion and %d matrix turns, net scale %.3g\n",
        steps, quietSteps, static_cast<double>(largestQuietSwing), quietWindows, scaled, sheared,
        quaternionTurns, matrixTurns, netScale);
    // The schedule really exercised what it is meant to.
    EXPECT_GT(quietWindows, 10);
    EXPECT_GT(scaled, 1000);
    EXPECT_GT(sheared, 1000);
    EXPECT_GT(quaternionTurns, 1000);
    EXPECT_GT(matrixTurns, 1000);
    EXPECT_GE(netScale, MIN_NET_SCALE);
    EXPECT_LE(netScale, MAX_NET_SCALE);
}

TEST_F(SoakTest, HoldingAScaleKeyForMinutesLosesNoCube) {
    tap('3');
    const auto& cube = *scene.shearCubes[0]->componentTransform;
    const auto edge = [&] { return std::fabs(cube.points[1].x - cube.points[3].x); };
    const float built = edge();
    // Space and W for about three minutes, then space and S as long: the cubes would grow
    // past the largest float and come back as NaN, or shrink to nothing for good.
    press(' ');
    for (char key : {'w', 's'}) {
        press(key);
        for (int i = 0; i < 10000; ++i) {
            world->update(STEP_MS);
            ASSERT_EQ(sceneprobe::firstNonFinite(*world), "") << key << " held, step " << i;
        }
        EXPECT_GT(edge(), 0.0f);
        release(key);
    }
    // From the smallest size back up by as many steps as it took to get there.
    press('w');
    for (int i = 0; i < 10000 && edge() < built; ++i) {
        world->update(STEP_MS);
    }
    EXPECT_NEAR(edge(), built, built * 0.1f);
}
