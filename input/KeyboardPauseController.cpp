#include "input/KeyboardPauseController.h"

#include "core/World.h"
#include "input/Gui.h"
#include "input/Keyboard.h"

void KeyboardPauseController::update(int /*elapsedMs*/) {
    if (!updateEnabled) {
        return;
    }
    if (!switchPressed(KEY_Z)) {
        return;
    }
    World* world = World::getInstance();
    world->running = !world->running;
    if (auto* gui = dynamic_cast<Gui*>(owner)) {
        gui->togglePaused();
    }
}
