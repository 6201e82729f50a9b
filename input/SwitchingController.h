#pragma once

#include "core/Component.h"

// Base of the keyboard controllers: components polled once per step that act on their owner.
//
// A switching key (show or hide, change mode, pause) fires once per press: on the first step
// it is seen down, and not again until it has been seen up. Holding it does nothing more, and
// a press shorter than one step is missed.
class SwitchingController : public Component {
  public:
    /// Controllers draw nothing.
    void draw(int elapsedMs) override;

    /// The switching key may fire.
    bool armed = true;

  protected:
    SwitchingController() = default;
    SwitchingController(bool updateEnabled, bool drawEnabled);

    /// True once per press of the key in `slot`.
    bool switchPressed(int slot);
};

// Shows and hides its owner with one number key.
class VisibilityController : public SwitchingController {
  public:
    void update(int elapsedMs) override;

  protected:
    explicit VisibilityController(int slot) : slot(slot) {}
    VisibilityController(int slot, bool updateEnabled, bool drawEnabled)
        : SwitchingController(updateEnabled, drawEnabled), slot(slot) {}

  private:
    int slot;
};
