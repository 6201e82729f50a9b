#include "app/DemoScene.h"

#include <limits>

#include "collision/BoxCollider.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/BezierKeyboardControls.h"
#include "input/Gui.h"
#include "input/KeyboardControls1.h"
#include "input/KeyboardControls3.h"
#include "input/KeyboardPauseController.h"
#include "input/PlayerKeyboardControls.h"
#include "physics/Mount.h"
#include "physics/Physics.h"
#include "physics/Spring.h"
#include "shapes/Bezier.h"
#include "shapes/Cube.h"

using _Tarn::Vector3;

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);
const Color BLUE(0.0f, 0.0f, 1.0f, 1.0f);
const Color BLACK(0.0f, 0.0f, 0.0f, 1.0f);
const Point ORIGIN(0.0f, 0.0f, 0.0f, RED);

// Spring stiffness and the gravity of the falling box, both per step.
constexpr float SPRING_STIFFNESS = 0.1f;
constexpr float SPRING_LENGTH = 2.0f;
const Vector3 GRAVITY(0.0f, -0.5f, 0.0f);

Cube* newCube(const Color& color) {
    return new Cube(true, true, ORIGIN, color, true);
}

// Mounts are built at height 1 and shrunk to a tenth before they are attached.
Mount* newSmallMount() {
    auto* mount = new Mount(true, true, 1.0f);
    mount->componentTransform->scale(0.1f, 0.1f, 0.1f);
    return mount;
}

// Ten mass points along x from -1 to 0.8; the first is infinitely heavy, the others weigh
// 1, 1/2, ..., 1/9.
Physics* newFallingBody() {
    auto* physics = new Physics(true, true);
    for (int i = 0; i < 10; ++i) {
        const double spacing = static_cast<double>(0.1f);
        const auto x = static_cast<float>(i * spacing * 2.0 - 1.0);
        const float mass =
            i == 0 ? std::numeric_limits<float>::infinity() : 1.0f / static_cast<float>(i);
        physics->addMass(Point(x, 0.0f, 0.0f, RED), mass);
    }
    physics->addConstantForce(GRAVITY);
    return physics;
}

}  // namespace

DemoScene buildScene(World& world) {
    DemoScene scene;

    // Scene 1: the box the player steers, joined by a spring to a box that falls and swings.
    SpringBox& left = scene.leftBox;
    left.object = new GameObject(true, true, ORIGIN);
    scene.player = new PlayerKeyboardControls(true, false);
    left.object->addComponent(scene.player);
    left.collider = new BoxCollider(true, true, true, ORIGIN);
    left.object->addComponent(left.collider);
    left.cube = newCube(BLUE);
    left.object->addComponent(left.cube);
    left.mount = newSmallMount();
    left.object->addComponent(left.mount);
    left.object->addComponent(new KeyboardControls1(true, true));

    SpringBox& right = scene.rightBox;
    right.object = new GameObject(true, true, ORIGIN);
    right.cube = newCube(BLUE);
    right.object->addComponent(right.cube);
    right.collider = new BoxCollider(true, true, true, ORIGIN);
    right.object->addComponent(right.collider);
    right.mount = newSmallMount();
    right.object->addComponent(right.mount);
    scene.fallingBody = newFallingBody();
    right.object->addComponent(scene.fallingBody);
    right.object->addComponent(new KeyboardControls1(true, true));
    right.object->transform->translate(2.0f, 0.0f, 0.0f);

    scene.spring = new Spring(true, true, SPRING_STIFFNESS, SPRING_LENGTH);
    auto* springToggle = new KeyboardControls1(true, true);
    scene.spring->connect(left.mount, right.mount);
    scene.spring->addComponent(springToggle);

    // Scene 2: the Bezier surface, hidden at start.
    scene.bezierObject = new GameObject(true, false, ORIGIN);
    scene.bezier = new Bezier();
    scene.bezierObject->addComponent(new BezierKeyboardControls(true, true));
    scene.bezierObject->addComponent(scene.bezier);

    // Scene 3: four cubes on the corners of a square of side 3, hidden at start.
    scene.shearGroup = new GameObject(true, false, ORIGIN);
    Cube* const* cubes = scene.shearCubes;
    for (Cube*& cube : scene.shearCubes) {
        cube = newCube(BLACK);
    }
    cubes[1]->componentTransform->translate(3.0f, 0.0f, 0.0f);
    cubes[2]->componentTransform->translate(0.0f, 3.0f, 0.0f);
    cubes[3]->componentTransform->translate(3.0f, 3.0f, 0.0f);
    for (Cube* cube : scene.shearCubes) {
        scene.shearGroup->addComponent(cube);
    }
    scene.shearGroup->addComponent(new KeyboardControls3(true, true));

    // The overlay comes first in the world: a paused world updates only its first object, so
    // the pause key keeps working.
    scene.overlay = new Gui();
    scene.overlay->addComponent(new KeyboardPauseController(true, true));

    scene.originCube = new GameObject(true, true, ORIGIN);
    scene.originCube->addComponent(newCube(BLACK));

    // Updates run in this order: the falling box moves before the spring reads the mounts.
    world.addObject(scene.overlay);
    world.addObject(scene.shearGroup);
    world.addObject(scene.bezierObject);
    world.addObject(left.object);
    world.addObject(right.object);
    world.addObject(scene.spring);
    world.addObject(scene.originCube);
    return scene;
}

DemoScene buildScene() {
    return buildScene(*World::getInstance());
}
