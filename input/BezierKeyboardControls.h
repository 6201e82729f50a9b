#pragma once

#include "input/Keyboard.h"
#include "input/SwitchingController.h"

// Key 2 shows and hides the Bezier scene.
class BezierKeyboardControls : public VisibilityController {
  public:
    BezierKeyboardControls() : VisibilityController(KEY_2) {}
    BezierKeyboardControls(bool updateEnabled, bool drawEnabled)
        : VisibilityController(KEY_2, updateEnabled, drawEnabled) {}
};
