#pragma once

#include "input/SwitchingController.h"

// Steers the player's box: W A S D Q E move it; with space held they rotate it, through
// quaternions (5 degrees per step) or through matrices (0.1 radians per step). Key 9 switches
// between the two. Nothing reacts while the owner is hidden.
class PlayerKeyboardControls : public SwitchingController {
  public:
    PlayerKeyboardControls() = default;
    PlayerKeyboardControls(bool updateEnabled, bool drawEnabled)
        : SwitchingController(updateEnabled, drawEnabled) {}

    void update(int elapsedMs) override;

    /// Rotation keys act through quaternions when true, matrices when false.
    bool quaternionMode = true;
};
