#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/DemoScene.h"
#include "collision/BoxCollider.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/Gui.h"
#include "input/Keyboard.h"
#include "input/PlayerKeyboardControls.h"
#include "math/ComponentTransform.h"
#include "physics/Physics.h"
#include "physics/Spring.h"

namespace {

enum Index { OVERLAY, SHEAR_GROUP, BEZIER, LEFT_BOX, RIGHT_BOX, SPRING, ORIGIN_CUBE };

class DemoSceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        buildScene();
        world = World::getInstance();
    }
    void TearDown() override {
        World::destroyInstance();
        Keyboard::destroyInstance();
    }
    GameObject& object(Index i) { return *world->objects[static_cast<size_t>(i)]; }
    void step(int times = 1) {
        for (int i = 0; i < times; ++i) {
            world->update(17);
        }
    }
    void press(unsigned char key) { Keyboard::getInstance()->keyDown(key, 0, 0); }
    void release(unsigned char key) { Keyboard::getInstance()->keyUp(key, 0, 0); }
    std::vector<std::string> tags(Index i) {
        std::vector<std::string> result;
        for (const auto& component : object(i).components) {
            result.push_back(component->getTypeTag());
        }
        return result;
    }
    const ComponentTransform& geometry(Index i, const std::string& tag) {
        return *object(i).getComponent(tag)->componentTransform;
    }
    bool cornersGreen(Index i) {
        const auto& corners = geometry(i, "BOXCOLLIDER").points;
        return corners[1].color.g == 0.5f && corners[8].color.g == 0.5f;
    }
    World* world = nullptr;
};

}  // namespace

TEST_F(DemoSceneTest, SevenObjectsInOrderWithTheirComponents) {
    ASSERT_EQ(world->objects.size(), 7u);
    EXPECT_NE(dynamic_cast<Gui*>(&object(OVERLAY)), nullptr);
    EXPECT_NE(dynamic_cast<Spring*>(&object(SPRING)), nullptr);
    using Tags = std::vector<std::string>;
    EXPECT_EQ(tags(OVERLAY), Tags{"COMPONENT"});
    EXPECT_EQ(tags(SHEAR_GROUP), (Tags{"CUBE", "CUBE", "CUBE", "CUBE", "COMPONENT"}));
    EXPECT_EQ(tags(BEZIER), (Tags{"COMPONENT", "SHAPE"}));
    EXPECT_EQ(tags(LEFT_BOX), (Tags{"COMPONENT", "BOXCOLLIDER", "CUBE", "MOUNT", "COMPONENT"}));
    EXPECT_EQ(tags(RIGHT_BOX), (Tags{"CUBE", "BOXCOLLIDER", "MOUNT", "PHYSICS", "COMPONENT"}));
    EXPECT_EQ(tags(SPRING), (Tags{"COMPONENT", "COMPONENT"}));  // its tether, then key 1
    EXPECT_EQ(tags(ORIGIN_CUBE), Tags{"CUBE"});

    // Shown at start: overlay, both boxes, spring, origin cube.
    const bool shown[] = {true, false, false, true, true, true, true};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(world->objects[static_cast<size_t>(i)]->drawEnabled, shown[i]) << i;
    }

    // The shear/scale cubes stand on the corners of a square of side 3.
    const float corners[4][2] = {{0, 0}, {3, 0}, {0, 3}, {3, 3}};
    for (size_t i = 0; i < 4; ++i) {
        const Point& centre = object(SHEAR_GROUP).components[i]->componentTransform->points[0];
        EXPECT_EQ(centre.x, corners[i][0]);
        EXPECT_EQ(centre.y, corners[i][1]);
    }
}

TEST_F(DemoSceneTest, TheRightBoxStartsTwoUnitsRightWithItsTenMassPoints) {
    EXPECT_EQ(object(RIGHT_BOX).getPosition().x, 2.0f);
    for (const char* tag : {"CUBE", "BOXCOLLIDER", "MOUNT", "PHYSICS"}) {
        EXPECT_EQ(geometry(RIGHT_BOX, tag).points[0].x, 2.0f) << tag;
        EXPECT_EQ(geometry(LEFT_BOX, tag == std::string("PHYSICS") ? "CUBE" : tag).points[0].x,
                  0.0f);
    }
    const auto& physics = dynamic_cast<const Physics&>(*object(RIGHT_BOX).getComponent("PHYSICS"));
    const auto& points = physics.componentTransform->points;
    ASSERT_EQ(points.size(), 12u);
    const float xs[] = {-1.0f, -0.8f, -0.6f, -0.4f, -0.2f, 1.4901161e-8f, 0.2f, 0.4f, 0.6f, 0.8f};
    const float masses[] = {INFINITY, 1.0f,        0.5f,        0.33333334f, 0.25f,
                            0.2f,     0.16666667f, 0.14285715f, 0.125f,      0.11111111f};
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_FLOAT_EQ(points[i + 2].x, xs[i] + 2.0f) << i;
        EXPECT_FLOAT_EQ(physics.masses[i + 2], masses[i]) << i;
    }
    // The mounts are a tenth of their built size: the mount point hangs 0.1 below the centre.
    EXPECT_FLOAT_EQ(geometry(RIGHT_BOX, "MOUNT").points[1].y, -0.1f);
    EXPECT_FLOAT_EQ(geometry(RIGHT_BOX, "MOUNT").points[1].x, 2.0f);
}

TEST_F(DemoSceneTest, KeysSteerTheBoxAndSwitchScenes) {
    press('d');
    step(5);
    EXPECT_NEAR(object(LEFT_BOX).getPosition().x, 0.5f, 1e-5f);
    release('d');

    // After one press of 9, space + W rotates by matrices: 0.1 radians per step about x.
    auto* player = dynamic_cast<PlayerKeyboardControls*>(object(LEFT_BOX).components[0].get());
    ASSERT_NE(player, nullptr);
    press('9');
    step();
    release('9');
    EXPECT_FALSE(player->quaternionMode);
    const Point before = geometry(LEFT_BOX, "CUBE").points[1];
    press(' ');
    press('w');
    step();
    release('w');
    release(' ');
    const Point after = geometry(LEFT_BOX, "CUBE").points[1];
    const float y = before.y - object(LEFT_BOX).getPosition().y;
    const float z = before.z - object(LEFT_BOX).getPosition().z;
    EXPECT_NEAR(after.y - object(LEFT_BOX).getPosition().y, std::cos(0.1f) * y + std::sin(0.1f) * z,
                1e-5f);

    // 1 hides the three spring objects together; they keep updating.
    const float fallingY = object(RIGHT_BOX).getPosition().y;
    press('1');
    step();
    release('1');
    EXPECT_FALSE(object(LEFT_BOX).drawEnabled);
    EXPECT_FALSE(object(RIGHT_BOX).drawEnabled);
    EXPECT_FALSE(object(SPRING).drawEnabled);
    EXPECT_NE(object(RIGHT_BOX).getPosition().y, fallingY);

    press('2');
    step();
    release('2');
    EXPECT_TRUE(object(BEZIER).drawEnabled);
    press('3');
    step();
    release('3');
    EXPECT_TRUE(object(SHEAR_GROUP).drawEnabled);
}

TEST_F(DemoSceneTest, PauseFreezesEverythingButTheOverlay) {
    step(3);
    press('z');
    step();
    release('z');
    auto& overlay = dynamic_cast<Gui&>(object(OVERLAY));
    EXPECT_TRUE(overlay.paused);
    EXPECT_FALSE(world->running);
    const Point frozen = object(RIGHT_BOX).getPosition();
    press('d');
    step(20);
    release('d');
    EXPECT_EQ(object(RIGHT_BOX).getPosition().y, frozen.y);
    EXPECT_EQ(object(LEFT_BOX).getPosition().x, 0.0f);
    press('z');
    step();
    release('z');
    EXPECT_TRUE(world->running);
    EXPECT_FALSE(overlay.paused);
    step();
    EXPECT_NE(object(RIGHT_BOX).getPosition().y, frozen.y);
}

TEST_F(DemoSceneTest, TheSpringSceneSwingsBoundedAndShowsContact) {
    step();
    // The boxes start exactly touching (edge 2, centres 2 apart): both show contact.
    EXPECT_TRUE(cornersGreen(LEFT_BOX));
    EXPECT_TRUE(cornersGreen(RIGHT_BOX));

    float lowest = 0.0f;
    float highest = -1e9f;
    for (int i = 0; i < 100000; ++i) {
        step();
        const Point p = object(RIGHT_BOX).getPosition();
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << i;
        if (i > 1000) {
            lowest = std::min(lowest, p.y);
            highest = std::max(highest, p.y);
        }
    }
    // Gravity 0.5 against stiffness 0.1 hangs the box about 5 below the anchor; it swings
    // about that without gaining energy.
    EXPECT_GT(lowest, -15.0f);
    EXPECT_LT(highest, 5.0f);
    for (const Point& p : geometry(RIGHT_BOX, "CUBE").points) {
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    }

    // Lift the left box well clear of the hanging box: neither shows contact any more.
    press('q');
    step(100);
    release('q');
    EXPECT_FALSE(cornersGreen(LEFT_BOX));
    EXPECT_FALSE(cornersGreen(RIGHT_BOX));
}
