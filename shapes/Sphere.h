#pragma once

#include "shapes/Polygon.h"

// A GLUT sphere of radius 0.5 at the centre of the geometry, solid when filled.
//
// It is placed in eye coordinates: the model-view matrix is replaced for the draw and
// restored after it, so the camera does not move it while the projection still applies. It
// sets no colour and draws in whatever colour is current.
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
