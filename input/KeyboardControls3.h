#pragma once

#include "input/SwitchingController.h"

// The shear/scale scene: key 3 shows and hides it; while shown, W A S D Q E move it, and with
// space held W and S scale it by 1.1 and 0.9 while A and D shear it.
class KeyboardControls3 : public SwitchingController {
  public:
    KeyboardControls3() = default;
    KeyboardControls3(bool updateEnabled, bool drawEnabled)
        : SwitchingController(updateEnabled, drawEnabled) {}

    void update(int elapsedMs) override;
};
