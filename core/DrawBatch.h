#pragma once

// Gathers the triangles and dots that components send while World::draw runs, and sends each
// kind with one vertex-array call when the frame ends, or earlier when a component that draws
// by other means is about to. A draw call costs a driver far more than the vertices in it:
// one per shape (or one call per vertex) makes the frame's cost grow with the number of
// shapes instead of the number of vertices.
//
// Within each kind the order stays as sent; triangles go before dots. With the depth test on,
// the picture differs from drawing each shape in turn only where a dot and a triangle sent
// after it have exactly the same depth.

struct Point;

/// From now until closeDrawBatch(), drawPoints() gathers triangles and dots, and drawDot()
/// dots. Opens and closes nest; only the outermost close sends.
void openDrawBatch();
void closeDrawBatch();
/// Sends what is gathered (in the current matrices), for code about to draw by other means.
void flushDrawBatch();
/// After code that draws by other means: dots gathered from now on that set no size of their
/// own take the point size it left.
void resumeDrawBatch();

/// Whether a batch is open and takes primitives of `mode` (GL_TRIANGLES or GL_POINTS).
bool drawBatchTakes(unsigned int mode);
/// Appends `count` points of that mode; dots get the current point size.
void gatherPoints(unsigned int mode, const Point* points, int count);
/// Appends one dot of the given size, which becomes the current point size.
void gatherDot(const Point& p, float size);
