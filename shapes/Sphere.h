#pragma once

#include "shapes/Polygon.h"

// A GLUT sphere of radius 0.5 at the centre of the geometry, solid when filled, in the shape's
// colour. Like every shape it stands where its object puts it and turns with the camera's
// view; its radius is fixed (the object's scale does not reach it).
class Sphere : public Polygon {
  public:
    static constexpr double RADIUS = 0.5;
    static constexpr int SLICES = 36;
    static constexpr int STACKS = 18;

    Sphere();
    Sphere(bool updateEnabled, bool drawEnabled);
    Sphere(bool updateEnabled, bool drawEnabled, const Point& position, const Color& color,
           bool filled);

    void draw(int elapsedMs) override;
};
