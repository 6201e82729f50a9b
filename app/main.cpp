// The demonstration: three scenes in one world, in the "Engine" window.

#include "app/CountsProperty.h"
#include "app/DemoScene.h"
#include "app/Run.h"

int main(int argc, char** argv) {
    RunOptions options("Engine", argc, argv);
    // The help text is the world's first object; it goes once the view moves.
    options.cameraHidesFirstObject = true;
    options.viewControls = true;
    return runEngine(options, [](World& world) {
        buildScene(world);
        // For the end-to-end tests: nothing unless ENGINE_PUBLISH_COUNTS is set.
        publishCountsIfAsked();
    });
}
