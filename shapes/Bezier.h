#pragma once

#include "shapes/Shape.h"

// A bicubic Bezier surface over a fixed 4 x 4 control grid, drawn by the OpenGL evaluators as
// a grey wire mesh, with its control points and the cubic curve of every grid column in
// yellow, red, green and blue, and one further white curve with its four control points.
//
// The data is drawn as it is, in the current model-view space: the owner's position and the
// ComponentTransform play no part. After a draw both evaluators stay enabled, the point size
// is 8, the line width 1 and the current colour white.
class Bezier : public Shape {
  public:
    /// Mesh steps along each parameter, and steps of every curve.
    static constexpr int SURFACE_STEPS = 50;
    static constexpr int CURVE_STEPS = 30;

    /// Visible, not updated, with the fixed control grid; the extra curve is grid row 0.
    Bezier();

    /// Control points, column curves, the mesh over `visibleFraction` of the rows, then the
    /// extra curve. Hidden: no GL call at all.
    void draw(int elapsedMs) override;

    /// Copies `surface` into `columns`, transposed.
    void buildColumns();

    /// Rows of four control points (x, y, z); u runs along a row, v from row to row.
    float surface[4][4][3];
    /// Part of the v range drawn, 0 to 1; values outside are clamped and NaN draws as 0.
    float visibleFraction = 1.0f;
    /// Control points of the extra curve.
    float curve[4][3];
    /// Column k of `surface` as four consecutive points.
    float columns[4][4][3];

    /// How many of the SURFACE_STEPS mesh rows `visibleFraction` asks for.
    int visibleRows() const;
};
