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

    void setEnds(const Point& a, const Point& b);
    void update(int elapsedMs) override;
    void draw(int elapsedMs) override;

    Point endA;
    Point endB;
};
