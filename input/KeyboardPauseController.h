#pragma once

#include "input/SwitchingController.h"

// Key z pauses and resumes the World, and flips the overlay's status line when its owner is
// the Gui. A paused world only updates its first object, so this controller can resume the
// world only from the first object.
class KeyboardPauseController : public SwitchingController {
  public:
    KeyboardPauseController() = default;
    KeyboardPauseController(bool updateEnabled, bool drawEnabled)
        : SwitchingController(updateEnabled, drawEnabled) {}

    void update(int elapsedMs) override;
};
