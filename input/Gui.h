#pragma once

#include "core/GameObject.h"

// The demo's help and status text, drawn with GLUT bitmap characters in white.
//
// It carries the pause controller, whose presses of z also flip the status line. Its draw
// replaces the object draw entirely: no components, no position dot, no origin dot.
class Gui : public GameObject {
  public:
    /// Drawn and updated from the start; status "Running".
    Gui();

    void draw(int elapsedMs) override;
    void togglePaused() { paused = !paused; }

    /// Chooses the status line: "Status = Paused" when true, "Status = Running" otherwise.
    bool paused = false;
    /// The GLUT bitmap font of every line (8 x 13 pixel glyphs).
    void* font = nullptr;
};
