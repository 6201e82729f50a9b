#pragma once

#include "shapes/Shape.h"

// A closed shape: its points drawn as one filled polygon or as an outline.
class Polygon : public Shape {
  public:
    /// Outlined, both flags false, at the origin.
    Polygon();
    Polygon(bool updateEnabled, bool drawEnabled);
    Polygon(bool updateEnabled, bool drawEnabled, const Point& position, const Color& color,
            bool filled);

    /// GL_POLYGON when filled, GL_LINE_LOOP otherwise.
    void draw(int elapsedMs) override;

    /// Replaces the points with `sides` red corners on a circle of `radius` in the local x-y
    /// plane, the first on +x, counter-clockwise seen from +z. No sides: only the centre.
    void makeRegularPolygon(int sides, float radius);

    bool filled = false;
};
