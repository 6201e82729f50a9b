#pragma once

#include "core/Component.h"
#include "math/Point.h"

// The line a spring is drawn as: one segment shading from one end's colour to the other's.
// It has no geometry of its own; its spring hands it both ends at every step.
class Tether : public Component {
  public:
    /// Both flags false; both ends at the origin in black until the first setEnds.
    Tether();
    Tether(bool updateEnabled, bool drawEnabled);

    /// The line's ends, each drawn in its point's colour.
    void setEnds(const Point& a, const Point& b);
    /// Does nothing: the spring sets the ends.
    void update(int elapsedMs) override;
    /// One GL_LINES segment from endA to endB while drawEnabled.
    void draw(int elapsedMs) override;

    Point endA;
    Point endB;
};
