#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/DemoScene.h"
#include "collision/BoxCollider.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/Gui.h"
#include "input/Keyboard.h"
#include "input/PlayerKeyboardControls.h"
#include "physics/Mount.h"
#include "physics/Physics.h"
#include "physics/Spring.h"
#include "shapes/Bezier.h"
#include "shapes/Cube.h"
#include "support/world/WorldFixture.h"

namespace {

class DemoSceneTest : public WorldFixture {
  protected:
    static std::vector<std::string> tags(const GameObject& object) {
        std::vector<std::string> result;
        for (const auto& component : object.components) {
            result.push_back(component->getTypeTag());
        }
        return result;
    }
    static const std::vector<Point>& points(const Component& component) {
        return component.componentTransform->points;
    }
    const DemoScene scene = addDemoScene();
    const SpringBox& left = scene.leftBox;
    const SpringBox& right = scene.rightBox;
};

}  // namespace

TEST_F(DemoSceneTest, SevenObjectsInOrderWithTheirComponents) {
    const GameObject* order[] = {scene.overlay, scene.shearGroup, scene.bezierObject, left.object,
                                 right.object,  scene.spring,     scene.originCube};
    ASSERT_EQ(world->objects.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(world->objects[i].get(), order[i]) << "object " << i;
    }
    using Tags = std::vector<std::string>;
    EXPECT_EQ(tags(*scene.overlay), Tags{"COMPONENT"});
    EXPECT_EQ(tags(*scene.shearGroup), (Tags{"CUBE", "CUBE", "CUBE", "CUBE", "COMPONENT"}));
    EXPECT_EQ(tags(*scene.bezierObject), (Tags{"COMPONENT", "SHAPE"}));
    EXPECT_EQ(tags(*left.object), (Tags{"COMPONENT", "BOXCOLLIDER", "CUBE", "MOUNT", "COMPONENT"}));
    EXPECT_EQ(tags(*right.object), (Tags{"CUBE", "BOXCOLLIDER", "MOUNT", "PHYSICS", "COMPONENT"}));
    EXPECT_EQ(tags(*scene.spring), (Tags{"COMPONENT", "COMPONENT"}));  // its tether, then key 1
    EXPECT_EQ(tags(*scene.originCube), Tags{"CUBE"});
    // The handles name the components in those places.
    EXPECT_EQ(left.object->components[0].get(), scene.player);
    const Component* parts[] = {left.collider,  left.cube,   left.mount,        right.cube,
                                right.collider, right.mount, scene.fallingBody, scene.bezier};
    const Component* placed[] = {
        left.object->components[1].get(),  left.object->components[2].get(),
        left.object->components[3].get(),  right.object->components[0].get(),
        right.object->components[1].get(), right.object->components[2].get(),
        right.object->components[3].get(), scene.bezierObject->components[1].get()};
    for (size_t i = 0; i < std::size(parts); ++i) {
        EXPECT_EQ(parts[i], placed[i]) << "part " << i;
    }

    // Shown at start: overlay, both boxes, spring, origin cube.
    const bool shown[] = {true, false, false, true, true, true, true};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(order[i]->drawEnabled, shown[i]) << "object " << i;
    }

    // The shear/scale cubes stand on the corners of a square of side 3.
    const float corners[4][2] = {{0, 0}, {3, 0}, {0, 3}, {3, 3}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(scene.shearGroup->components[i].get(), scene.shearCubes[i]);
        const Point& centre = points(*scene.shearCubes[i])[0];
        EXPECT_EQ(centre.x, corners[i][0]);
        EXPECT_EQ(centre.y, corners[i][1]);
    }
}

TEST_F(DemoSceneTest, TheRightBoxStartsTwoUnitsRightWithItsTenMassPoints) {
    EXPECT_EQ(right.object->getPosition().x, 2.0f);
    const Component* rightParts[] = {right.cube, right.collider, right.mount, scene.fallingBody};
    for (const Component* part : rightParts) {
        EXPECT_EQ(points(*part)[0].x, 2.0f) << part->getTypeTag();
    }
    const Component* leftParts[] = {left.cube, left.collider, left.mount};
    for (const Component* part : leftParts) {
        EXPECT_EQ(points(*part)[0].x, 0.0f) << part->getTypeTag();
    }
    const Physics& physics = *scene.fallingBody;
    const auto& masses = points(physics);
    ASSERT_EQ(masses.size(), 12u);
    const float xs[] = {-1.0f, -0.8f, -0.6f, -0.4f, -0.2f, 1.4901161e-8f, 0.2f, 0.4f, 0.6f, 0.8f};
    const float weights[] = {INFINITY, 1.0f,        0.5f,        0.33333334f, 0.25f,
                             0.2f,     0.16666667f, 0.14285715f, 0.125f,      0.11111111f};
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_FLOAT_EQ(masses[i + 2].x, xs[i] + 2.0f) << i;
        EXPECT_FLOAT_EQ(physics.masses[i + 2], weights[i]) << i;
    }
    // The mounts are a tenth of their built size: the mount point hangs 0.1 below the centre.
    EXPECT_FLOAT_EQ(points(*right.mount)[1].y, -0.1f);
    EXPECT_FLOAT_EQ(points(*right.mount)[1].x, 2.0f);
}

TEST_F(DemoSceneTest, KeysSteerTheBoxAndSwitchScenes) {
    press('d');
    step(5);
    EXPECT_NEAR(left.object->getPosition().x, 0.5f, 1e-5f);
    release('d');

    // After one press of 9, space + W rotates by matrices: 0.1 radians per step about x.
    tap('9');
    EXPECT_FALSE(scene.player->quaternionMode);
    const Point before = points(*left.cube)[1];
    press(' ');
    tap('w');
    release(' ');
    const Point after = points(*left.cube)[1];
    const Point centre = left.object->getPosition();
    const float y = before.y - centre.y;
    const float z = before.z - centre.z;
    EXPECT_NEAR(after.y - centre.y, std::cos(0.1f) * y + std::sin(0.1f) * z, 1e-5f);

    // 1 hides the three spring objects together; they keep updating.
    const float fallingY = right.object->getPosition().y;
    tap('1');
    EXPECT_FALSE(left.object->drawEnabled);
    EXPECT_FALSE(right.object->drawEnabled);
    EXPECT_FALSE(scene.spring->drawEnabled);
    EXPECT_NE(right.object->getPosition().y, fallingY);

    tap('2');
    EXPECT_TRUE(scene.bezierObject->drawEnabled);
    tap('3');
    EXPECT_TRUE(scene.shearGroup->drawEnabled);
}

TEST_F(DemoSceneTest, PauseFreezesEverythingButTheOverlay) {
    step(3);
    tap('z');
    EXPECT_TRUE(scene.overlay->paused);
    EXPECT_FALSE(world->running);
    const Point frozen = right.object->getPosition();
    press('d');
    step(20);
    release('d');
    EXPECT_EQ(right.object->getPosition().y, frozen.y);
    EXPECT_EQ(left.object->getPosition().x, 0.0f);
    tap('z');
    EXPECT_TRUE(world->running);
    EXPECT_FALSE(scene.overlay->paused);
    step();
    EXPECT_NE(right.object->getPosition().y, frozen.y);
}

TEST_F(DemoSceneTest, TheSpringSceneSwingsBoundedAndShowsContact) {
    step();
    // The boxes start exactly touching (edge 2, centres 2 apart): both show contact.
    EXPECT_EQ(cornerColour(*left.collider), "green");
    EXPECT_EQ(cornerColour(*right.collider), "green");

    float lowest = 0.0f;
    float highest = -1e9f;
    for (int i = 0; i < 100000; ++i) {
        step();
        const Point p = right.object->getPosition();
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
    for (const Point& p : points(*right.cube)) {
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    }

    // Lift the left box well clear of the hanging box: neither shows contact any more.
    press('q');
    step(100);
    release('q');
    EXPECT_EQ(cornerColour(*left.collider), "red");
    EXPECT_EQ(cornerColour(*right.collider), "red");
}
