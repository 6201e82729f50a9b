#pragma once

#include "input/SwitchingController.h"

// The shear/scale scene: key 3 shows and hides it; while shown, W A S D Q E move it, and with
// space held W and S scale it by 1.1 and 0.9 while A and D shear it.
//
// Scaling stops at a net factor of MAX_NET_SCALE up or MIN_NET_SCALE down.
class KeyboardControls3 : public SwitchingController {
  public:
    KeyboardControls3() = default;
    KeyboardControls3(bool updateEnabled, bool drawEnabled)
        : SwitchingController(updateEnabled, drawEnabled) {}

    void update(int elapsedMs) override;

    static constexpr float MAX_NET_SCALE = 1e3f;
    static constexpr float MIN_NET_SCALE = 1e-3f;
    /// The product of every scale factor applied so far.
    float netScale = 1.0f;

  private:
    void scaleBy(float factor);
};
