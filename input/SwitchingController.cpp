#include "input/SwitchingController.h"

#include "core/GameObject.h"
#include "input/Keyboard.h"

SwitchingController::SwitchingController(bool updateEnabled, bool drawEnabled)
    : Component(updateEnabled, drawEnabled) {}

void SwitchingController::draw(int /*elapsedMs*/) {}

bool SwitchingController::switchPressed(int slot) {
    const bool down = Keyboard::getInstance()->isKeyDown(slot);
    const bool fire = down && armed;
    if (fire) {
        armed = false;
    }
    if (!down) {
        armed = true;
    }
    return fire;
}

void VisibilityController::update(int /*elapsedMs*/) {
    if (!updateEnabled || owner == nullptr) {
        return;
    }
    if (switchPressed(slot)) {
        owner->drawEnabled = !owner->drawEnabled;
    }
}
