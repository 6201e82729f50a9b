#include <gtest/gtest.h>

#include <cmath>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/BezierKeyboardControls.h"
#include "input/Gui.h"
#include "input/Keyboard.h"
#include "input/KeyboardControls1.h"
#include "input/KeyboardControls3.h"
#include "input/KeyboardPauseController.h"
#include "input/PlayerKeyboardControls.h"
#include "support/world/WorldFixture.h"
#include "unit/support/TestGeometry.h"

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);

class ControllersTest : public WorldFixture {
  protected:
    // One point one unit right of the object's centre, to watch rotations and scaling.
    static const Point& addMarker(GameObject& object) {
        return attach(object, new TestGeometry({Point(1, 0, 0, RED)}))
            .componentTransform->points[1];
    }
    // Updates one object alone, as its own step.
    static void update(GameObject& object, int times = 1) {
        for (int i = 0; i < times; ++i) {
            object.update(STEP_MS);
        }
    }
};

}  // namespace

TEST_F(ControllersTest, NumberKeysToggleOncePerPress) {
    GameObject& object = addObject(0, 0, 0);
    attach(object, new KeyboardControls1(true, true));
    press('1');
    update(object, 10);  // held: one toggle only
    EXPECT_FALSE(object.drawEnabled);
    release('1');
    update(object);
    EXPECT_FALSE(object.drawEnabled);
    press('1');
    update(object);
    EXPECT_TRUE(object.drawEnabled);

    // Two controllers on one object cancel each other out.
    GameObject& doubled = addObject(0, 0, 0);
    attach(doubled, new BezierKeyboardControls(true, true));
    attach(doubled, new BezierKeyboardControls(true, true));
    press('2');
    update(doubled);
    EXPECT_TRUE(doubled.drawEnabled);

    // A disabled controller, or a shifted key, does nothing.
    GameObject& quiet = addObject(0, 0, 0);
    const auto& off = attach(quiet, new KeyboardControls1(false, true));
    release('1');
    press('1');
    update(quiet);
    EXPECT_TRUE(quiet.drawEnabled);
    EXPECT_EQ(off.getTypeTag(), "COMPONENT");
}

TEST_F(ControllersTest, ShearScaleGroupMovesScalesAndShears) {
    GameObject& group = addObject(0, 0, 0);
    const Point& tip = addMarker(group);
    attach(group, new KeyboardControls3(true, true));

    press('d');
    press('q');
    update(group);
    EXPECT_FLOAT_EQ(group.getPosition().x, 0.1f);
    EXPECT_FLOAT_EQ(group.getPosition().y, 0.1f);
    release('d');
    release('q');
    press('w');
    press('s');  // opposite moves cancel
    update(group);
    EXPECT_NEAR(group.getPosition().z, 0.0f, 1e-7f);

    // With space, W and S scale (1.1 then 0.9: net 0.99) about the position; Q moves nothing.
    press(' ');
    press('q');
    const Point before = tip;
    update(group);
    EXPECT_NEAR(tip.x - group.getPosition().x, (before.x - group.getPosition().x) * 0.99f, 1e-6f);
    EXPECT_FLOAT_EQ(group.getPosition().y, 0.1f);
    release('w');
    release('s');
    release('q');
    press('a');  // shear(1, 0, 0) about the pivot at the origin: x feeds y and z
    const Point unsheared = tip;
    update(group);
    EXPECT_NEAR(tip.y, unsheared.y + unsheared.x, 1e-5f);
    EXPECT_NEAR(tip.z, unsheared.z + unsheared.x, 1e-5f);
    release('a');
    release(' ');

    // Hidden, it ignores movement but still answers key 3.
    press('3');
    update(group);
    EXPECT_FALSE(group.drawEnabled);
    release('3');
    press('d');
    const float x = group.getPosition().x;
    update(group);
    EXPECT_EQ(group.getPosition().x, x);
    press('3');
    update(group);
    EXPECT_TRUE(group.drawEnabled);
}

TEST_F(ControllersTest, PlayerRotatesThroughQuaternionsUntilNineIsPressed) {
    GameObject& player = addObject(0, 0, 0);
    const Point& tip = addMarker(player);
    auto* controls = &attach(player, new PlayerKeyboardControls(true, false));
    EXPECT_TRUE(controls->quaternionMode);

    // Q turns counter-clockwise about z in quaternion mode, clockwise in matrix mode.
    press(' ');
    press('q');
    update(player);
    EXPECT_GT(tip.y, 0.0f);
    EXPECT_NEAR(tip.y, std::sin(5.0 * 3.14159 / 180.0), 1e-5);
    press('9');
    update(player);
    EXPECT_FALSE(controls->quaternionMode);
    // +5 degrees, then -0.1 radians.
    EXPECT_NEAR(tip.y, std::sin(5.0 * 3.14159 / 180.0 - 0.1), 1e-5);
    update(player);
    EXPECT_FALSE(controls->quaternionMode);  // 9 still held: no second switch
    release('q');
    release(' ');
    release('9');

    // Without space the same keys translate.
    press('e');
    update(player, 3);
    EXPECT_NEAR(player.getPosition().y, -0.3f, 1e-6f);
    release('e');

    // A hidden player reacts to nothing, not even 9.
    player.drawEnabled = false;
    press('9');
    press('a');
    update(player);
    EXPECT_FALSE(controls->quaternionMode);
    EXPECT_NEAR(player.getPosition().x, 0.0f, 1e-6f);
}

TEST_F(ControllersTest, PauseFlipsTheWorldAndTheOverlayStatus) {
    auto* gui = new Gui();
    gui->addComponent(new KeyboardPauseController(true, true));
    world->addObject(gui);
    EXPECT_FALSE(gui->paused);
    press('z');
    step();
    EXPECT_FALSE(world->running);
    EXPECT_TRUE(gui->paused);
    step();  // held: nothing more
    EXPECT_TRUE(gui->paused);
    release('z');
    step();  // paused, but the first object still updates
    press('z');
    step();
    EXPECT_TRUE(world->running);
    EXPECT_FALSE(gui->paused);

    // On an object that is not the overlay it flips the running flag alone.
    GameObject& plain = addObject(0, 0, 0);
    attach(plain, new KeyboardPauseController(true, true));
    release('z');
    update(plain);
    press('z');
    update(plain);
    EXPECT_FALSE(world->running);
    EXPECT_FALSE(gui->paused);
}
