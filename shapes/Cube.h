#pragma once

#include "shapes/Polygon.h"

// A cube of edge 2 around its centre, each face in a colour of its own.
//
// The faces are twelve triangles, wound counter-clockwise seen from outside, so back-face
// culling hides the far side. Unfilled, the same 36 points are drawn as one line loop. The
// centre is drawn as a dark-green dot after the faces.
class Cube : public Polygon {
  public:
    /// Triangles in the face table, three corners each.
    static constexpr int FACE_POINTS = 36;

    /// No points at all.
    Cube();
    /// An extra red triangle facing into the cube, then the 36 face points; outlined.
    Cube(bool updateEnabled, bool drawEnabled);
    /// The 36 face points around `position`, which becomes the centre.
    Cube(bool updateEnabled, bool drawEnabled, const Point& position, const Color& color,
         bool filled);

    /// GL_TRIANGLES when filled, one GL_LINE_LOOP otherwise; then the centre dot.
    void draw(int elapsedMs) override;
    /// True for this class itself; a subclass may draw by other means.
    bool drawsThroughBatch() const override;

  private:
    void addFaces();
};
