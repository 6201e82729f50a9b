#pragma once

// Drawing of points for the components and objects that show them. The point types stay plain
// values that know nothing of OpenGL; the GL calls are here.

class ComponentTransform;
struct Point;

/// One 4-pixel dot in the point's colour; the point size stays 4 afterwards. Gathered while a
/// draw batch is open (core/DrawBatch.h).
void drawDot(const Point& p);
/// Colour and vertex of the geometry's points [from, to), while its drawEnabled; to <= 0
/// means up to the last point, and from <= 0 draws nothing. The caller opens and closes the
/// primitive. For a component's own immediate-mode drawing; drawPoints is the faster way.
void emitVertices(const ComponentTransform& geometry, int from, int to);
/// The same points as one primitive of `mode` (GL_TRIANGLES, GL_POINTS...), sent straight
/// from the point list with one vertex-array draw call: the same vertices and colours as
/// glBegin(mode), emitVertices(...) and glEnd(). Nothing is sent for an empty range. The
/// vertex-array state is left as it was. While a draw batch is open, triangles and points are
/// gathered into it, and other modes send the batch first.
void drawPoints(unsigned int mode, const ComponentTransform& geometry, int from, int to);
