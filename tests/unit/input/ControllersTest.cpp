#include <gtest/gtest.h>

#include <cmath>

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
#include "math/ComponentTransform.h"

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);

// A component with one point one unit right of its centre, to watch rotations and scaling.
class Marker : public Component {
  public:
    Marker() : Component(true, true) {
        componentTransform = std::make_unique<ComponentTransform>(this);
        componentTransform->addPoint(Point(1, 0, 0, RED));
    }
    const Point& tip() const { return componentTransform->points[1]; }
};

class ControllersTest : public ::testing::Test {
  protected:
    void TearDown() override {
        Keyboard::destroyInstance();
        World::destroyInstance();
    }
    void press(unsigned char key) { Keyboard::getInstance()->keyDown(key, 0, 0); }
    void release(unsigned char key) { Keyboard::getInstance()->keyUp(key, 0, 0); }
    void step(GameObject& object, int times = 1) {
        for (int i = 0; i < times; ++i) {
            object.update(17);
        }
    }
};

}  // namespace

TEST_F(ControllersTest, NumberKeysToggleOncePerPress) {
    GameObject object(true, true, Point());
    object.addComponent(new KeyboardControls1(true, true));
    press('1');
    step(object, 10);  // held: one toggle only
    EXPECT_FALSE(object.drawEnabled);
    release('1');
    step(object);
    EXPECT_FALSE(object.drawEnabled);
    press('1');
    step(object);
    EXPECT_TRUE(object.drawEnabled);

    // Two controllers on one object cancel each other out.
    GameObject doubled(true, true, Point());
    doubled.addComponent(new BezierKeyboardControls(true, true));
    doubled.addComponent(new BezierKeyboardControls(true, true));
    press('2');
    step(doubled);
    EXPECT_TRUE(doubled.drawEnabled);

    // A disabled controller, or a shifted key, does nothing.
    GameObject quiet(true, true, Point());
    auto* off = new KeyboardControls1(false, true);
    quiet.addComponent(off);
    release('1');
    press('1');
    step(quiet);
    EXPECT_TRUE(quiet.drawEnabled);
    EXPECT_EQ(off->getTypeTag(), "COMPONENT");
}

TEST_F(ControllersTest, ShearScaleGroupMovesScalesAndShears) {
    GameObject group(true, true, Point());
    auto* marker = new Marker();
    group.addComponent(marker);
    group.addComponent(new KeyboardControls3(true, true));

    press('d');
    press('q');
    step(group);
    EXPECT_FLOAT_EQ(group.getPosition().x, 0.1f);
    EXPECT_FLOAT_EQ(group.getPosition().y, 0.1f);
    release('d');
    release('q');
    press('w');
    press('s');  // opposite moves cancel
    step(group);
    EXPECT_NEAR(group.getPosition().z, 0.0f, 1e-7f);

    // With space, W and S scale (1.1 then 0.9: net 0.99) about the position; Q moves nothing.
    press(' ');
    press('q');
    const Point before = marker->tip();
    step(group);
    EXPECT_NEAR(marker->tip().x - group.getPosition().x, (before.x - group.getPosition().x) * 0.99f,
                1e-6f);
    EXPECT_FLOAT_EQ(group.getPosition().y, 0.1f);
    release('w');
    release('s');
    release('q');
    press('a');  // shear(1, 0, 0) about the pivot at the origin: x feeds y and z
    const Point unsheared = marker->tip();
    step(group);
    EXPECT_NEAR(marker->tip().y, unsheared.y + unsheared.x, 1e-5f);
    EXPECT_NEAR(marker->tip().z, unsheared.z + unsheared.x, 1e-5f);
    release('a');
    release(' ');

    // Hidden, it ignores movement but still answers key 3.
    press('3');
    step(group);
    EXPECT_FALSE(group.drawEnabled);
    release('3');
    press('d');
    const float x = group.getPosition().x;
    step(group);
    EXPECT_EQ(group.getPosition().x, x);
    press('3');
    step(group);
    EXPECT_TRUE(group.drawEnabled);
}

TEST_F(ControllersTest, PlayerRotatesThroughQuaternionsUntilNineIsPressed) {
    GameObject player(true, true, Point());
    auto* marker = new Marker();
    player.addComponent(marker);
    auto* controls = new PlayerKeyboardControls(true, false);
    player.addComponent(controls);
    EXPECT_TRUE(controls->quaternionMode);

    // Q turns counter-clockwise about z in quaternion mode, clockwise in matrix mode.
    press(' ');
    press('q');
    step(player);
    EXPECT_GT(marker->tip().y, 0.0f);
    EXPECT_NEAR(marker->tip().y, std::sin(5.0 * 3.14159 / 180.0), 1e-5);
    press('9');
    step(player);
    EXPECT_FALSE(controls->quaternionMode);
    // +5 degrees, then -0.1 radians.
    EXPECT_NEAR(marker->tip().y, std::sin(5.0 * 3.14159 / 180.0 - 0.1), 1e-5);
    step(player);
    EXPECT_FALSE(controls->quaternionMode);  // 9 still held: no second switch
    release('q');
    release(' ');
    release('9');

    // Without space the same keys translate.
    press('e');
    step(player, 3);
    EXPECT_NEAR(player.getPosition().y, -0.3f, 1e-6f);
    release('e');

    // A hidden player reacts to nothing, not even 9.
    player.drawEnabled = false;
    press('9');
    press('a');
    step(player);
    EXPECT_FALSE(controls->quaternionMode);
    EXPECT_NEAR(player.getPosition().x, 0.0f, 1e-6f);
}

TEST_F(ControllersTest, PauseFlipsTheWorldAndTheOverlayStatus) {
    auto* gui = new Gui();
    gui->addComponent(new KeyboardPauseController(true, true));
    World::getInstance()->addObject(gui);
    EXPECT_FALSE(gui->paused);
    press('z');
    World::getInstance()->update(17);
    EXPECT_FALSE(World::getInstance()->running);
    EXPECT_TRUE(gui->paused);
    World::getInstance()->update(17);  // held: nothing more
    EXPECT_TRUE(gui->paused);
    release('z');
    World::getInstance()->update(17);  // paused, but the first object still updates
    press('z');
    World::getInstance()->update(17);
    EXPECT_TRUE(World::getInstance()->running);
    EXPECT_FALSE(gui->paused);

    // On an object that is not the overlay it flips the running flag alone.
    GameObject plain(true, true, Point());
    plain.addComponent(new KeyboardPauseController(true, true));
    release('z');
    step(plain);
    press('z');
    step(plain);
    EXPECT_FALSE(World::getInstance()->running);
    EXPECT_FALSE(gui->paused);
}
