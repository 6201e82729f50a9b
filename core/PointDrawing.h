#pragma once

// Drawing of points for the components and objects that show them. The point types stay plain
// values that know nothing of OpenGL; the GL calls are here.

class ComponentTransform;
struct Point;

/// One 4-pixel dot in the point's colour; the point size stays 4 afterwards.
void drawDot(const Point& p);
/// Colour and vertex of the geometry's points [from, to), while its drawEnabled; to <= 0
/// means up to the last point, and from <= 0 draws nothing. The caller opens and closes the
/// primitive.
void emitVertices(const ComponentTransform& geometry, int from, int to);
