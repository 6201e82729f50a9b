#include "app/DemoScene.h"

#include <limits>

#include "collision/BoxCollider.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/BezierKeyboardControls.h"
#include "input/Gui.h"
#include "input/KeyboardControls1.h"
#include "input/KeyboardControls3.h"
#include "input/KeyboardPauseController.h"
#include "input/PlayerKeyboardControls.h"
#include "math/ComponentTransform.h"
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

void buildScene() {
    // Scene 1: the box the player steers, joined by a spring to a box that falls and swings.
    auto* leftBox = new GameObject(true, true, ORIGIN);
    leftBox->addComponent(new PlayerKeyboardControls(true, false));
    leftBox->addComponent(new BoxCollider(true, true, true, ORIGIN));
    leftBox->addComponent(newCube(BLUE));
    auto* leftMount = newSmallMount();
    leftBox->addComponent(leftMount);
    leftBox->addComponent(new KeyboardControls1(true, true));

    auto* rightBox = new GameObject(true, true, ORIGIN);
    rightBox->addComponent(newCube(BLUE));
    rightBox->addComponent(new BoxCollider(true, true, true, ORIGIN));
    auto* rightMount = newSmallMount();
    rightBox->addComponent(rightMount);
    rightBox->addComponent(newFallingBody());
    rightBox->addComponent(new KeyboardControls1(true, true));
    rightBox->transform->translate(2.0f, 0.0f, 0.0f);

    auto* spring = new Spring(true, true, SPRING_STIFFNESS, SPRING_LENGTH);
    auto* springToggle = new KeyboardControls1(true, true);
    spring->connect(leftMount, rightMount);
    spring->addComponent(springToggle);

    // Scene 2: the Bezier surface, hidden at start.
    auto* bezierObject = new GameObject(true, false, ORIGIN);
    auto* bezier = new Bezier();
    bezierObject->addComponent(new BezierKeyboardControls(true, true));
    bezierObject->addComponent(bezier);

    // Scene 3: four cubes on the corners of a square of side 3, hidden at start.
    auto* shearGroup = new GameObject(true, false, ORIGIN);
    Cube* cubes[4] = {newCube(BLACK), newCube(BLACK), newCube(BLACK), newCube(BLACK)};
    cubes[1]->componentTransform->translate(3.0f, 0.0f, 0.0f);
    cubes[2]->componentTransform->translate(0.0f, 3.0f, 0.0f);
    cubes[3]->componentTransform->translate(3.0f, 3.0f, 0.0f);
    for (Cube* cube : cubes) {
        shearGroup->addComponent(cube);
    }
    shearGroup->addComponent(new KeyboardControls3(true, true));

    // The overlay comes first in the world: a paused world updates only its first object, so
    // the pause key keeps working.
    auto* overlay = new Gui();
    overlay->addComponent(new KeyboardPauseController(true, true));

    auto* originCube = new GameObject(true, true, ORIGIN);
    originCube->addComponent(newCube(BLACK));

    // Updates run in this order: the falling box moves before the spring reads the mounts.
    World* world = World::getInstance();
    world->addObject(overlay);
    world->addObject(shearGroup);
    world->addObject(bezierObject);
    world->addObject(leftBox);
    world->addObject(rightBox);
    world->addObject(spring);
    world->addObject(originCube);
}
