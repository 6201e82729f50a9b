// A chain of boxes hanging by springs from a fixed anchor, swinging under gravity. The chain
// starts out to the side of the anchor, so it falls and swings; Esc quits.

#include "app/Run.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "physics/Mount.h"
#include "physics/Physics.h"
#include "physics/Spring.h"
#include "shapes/Cube.h"

namespace {

constexpr int LINKS = 5;
// Per step: a force is a change of velocity per step, so these two set the pace.
constexpr float STIFFNESS = 0.05f;
const _Tarn::Vector3 GRAVITY(0.0f, -0.01f, 0.0f);
constexpr float HALF_EDGE = 0.5f;
const Color RED(1.0f, 0.0f, 0.0f, 1.0f);

// A box of edge 1 centred on its object (a Cube has edge 2 until scaled).
Cube* newBox() {
    auto* cube = new Cube(true, true, Point(0.0f, 0.0f, 0.0f, RED), RED, true);
    cube->componentTransform->scale(HALF_EDGE, HALF_EDGE, HALF_EDGE);
    return cube;
}

// Where a spring is fastened: a small pyramid on the box's top (pointing up) or bottom
// (pointing down), whose tip is the spring's end.
Mount* newMount(bool top) {
    auto* mount = new Mount(true, true, top ? -1.0f : 1.0f);
    mount->componentTransform->scale(0.1f, 0.1f, 0.1f);
    mount->componentTransform->translate(0.0f, top ? HALF_EDGE : -HALF_EDGE, 0.0f);
    return mount;
}

void buildChain(World& world) {
    // The anchor has no Physics: a spring end without one does not move.
    auto* anchor = new GameObject(true, true, Point(0.0f, 8.0f, 0.0f, RED));
    anchor->addComponent(newBox());
    Mount* above = newMount(false);
    anchor->addComponent(above);
    world.addObject(anchor);

    // Boxes are added before the springs: a step updates objects in the order they were
    // added, so each spring reads where the physics has just moved its two ends.
    Spring* springs[LINKS];
    for (int i = 0; i < LINKS; ++i) {
        const float along = 1.6f * static_cast<float>(i + 1);
        auto* box = new GameObject(true, true, Point(along, 8.0f - 0.3f * along, 0.0f, RED));
        box->addComponent(newBox());
        Mount* top = newMount(true);
        box->addComponent(top);
        Mount* bottom = newMount(false);
        box->addComponent(bottom);
        auto* body = new Physics(true, false);
        body->addConstantForce(GRAVITY);
        box->addComponent(body);
        world.addObject(box);

        // Both ends must be attached to their objects before connect() looks up their Physics.
        springs[i] = new Spring(true, true, STIFFNESS, 0.0f);
        springs[i]->connect(above, top);
        above = bottom;
    }
    for (Spring* spring : springs) {
        world.addObject(spring);
    }
}

}  // namespace

int main(int argc, char** argv) {
    RunOptions options("Spring chain", argc, argv);
    options.viewControls = true;  // the mouse, F3 (stats) and F12 (picture)
    return runEngine(options, buildChain);
}
