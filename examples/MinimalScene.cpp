// The smallest program on the engine, as the README shows it: one cube; I J K L and the mouse
// move the camera; Esc quits.

#include "app/Run.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "shapes/Cube.h"

int main(int argc, char** argv) {
    // The window's title and the command line; 500 x 500 at (500, 500) unless told otherwise.
    RunOptions options("My scene", argc, argv);
    options.viewControls = true;  // the mouse turns, pans and zooms; F3 stats; F12 a picture
    return runEngine(options, [](World& world) {
        const Point origin(0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f));
        auto* box = new GameObject(true, true, origin);
        box->addComponent(new Cube(true, true, origin, Color(0.0f, 0.0f, 1.0f, 1.0f), true));
        world.addObject(box);  // the World owns the box, the box its cube
    });
}
