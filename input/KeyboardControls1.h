#pragma once

#include "input/Keyboard.h"
#include "input/SwitchingController.h"

// Key 1 shows and hides the spring scene; each of its objects carries one.
class KeyboardControls1 : public VisibilityController {
  public:
    KeyboardControls1() : VisibilityController(KEY_1) {}
    KeyboardControls1(bool updateEnabled, bool drawEnabled)
        : VisibilityController(KEY_1, updateEnabled, drawEnabled) {}
};
