// A first scene: one cube. W A S D Q E move it, and turn it while space is held; I J K L move
// the camera; Esc quits.

#include "app/Run.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/PlayerKeyboardControls.h"
#include "shapes/Cube.h"

namespace {

const Point ORIGIN(0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f));

void buildFirstScene(World& world) {
    // Components are created with new and handed over: the object owns and deletes them.
    auto* box = new GameObject(true, true, ORIGIN);
    // The controller comes first, so the cube is drawn where this step's keys have put it.
    box->addComponent(new PlayerKeyboardControls(true, false));
    box->addComponent(new Cube(true, true, ORIGIN, Color(0.0f, 0.0f, 1.0f, 1.0f), true));
    // Turned a little (radians) so that three faces show; the cube turns with its object.
    box->transform->rotate(0.4f, 0.6f, 0.0f);
    // The World owns the object from here on, and deletes it when the program ends.
    world.addObject(box);
}

}  // namespace

int main(int argc, char** argv) {
    RunOptions options;
    options.title = "First scene";
    options.argc = argc;
    options.argv = argv;
    return runEngine(options, buildFirstScene);
}
