#pragma once

// Reads back what a draw call sends down the pipeline, using OpenGL feedback mode: every
// point, line and polygon that survives clipping and culling is reported with its window
// position and final colour instead of being rasterised. This lets draw tests assert on
// geometry exactly, without guessing from pixels.

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <vector>

#include <gtest/gtest.h>

namespace gltest {

enum class PrimitiveKind {
    Point,
    Line,       // a segment that continues the previous one (GL_LINE_TOKEN)
    LineReset,  // the first segment of a strip or loop, or any GL_LINES segment
    Polygon,
    Bitmap,
    DrawPixels,
    CopyPixels,
    PassThrough,  // a glPassThrough marker; its value is in Primitive::marker
};

struct FeedbackVertex {
    float x = 0, y = 0, z = 0;
    float r = 0, g = 0, b = 0, a = 0;
};

struct Primitive {
    PrimitiveKind kind = PrimitiveKind::Point;
    std::vector<FeedbackVertex> vertices;
    float marker = 0;  // only meaningful for PassThrough
};

// Half the edge of the capture box: captureFeedback() draws under
// glOrtho(-CAPTURE_EXTENT, CAPTURE_EXTENT, ...) on every axis, so anything outside is clipped.
constexpr double CAPTURE_EXTENT = 100.0;

// Runs draw() in feedback mode with an orthographic projection covering the box
// [-CAPTURE_EXTENT, CAPTURE_EXTENT]^3 and an identity model-view, then maps the window
// coordinates back, so vertices come out in the coordinates that were current when draw()
// started (object coordinates for code that transforms relative to the identity).
// The caller's matrices, viewport and matrix mode are restored afterwards.
// draw() may run more than once (the buffer grows and the capture retries on overflow), so
// it must not change state that a second run depends on.
std::vector<Primitive> captureFeedback(const std::function<void()>& draw);

// Same capture, but under whatever projection, model-view and viewport are current (for code
// that sets up its own camera). Vertices are raw window coordinates: x and y in pixels from
// the bottom-left corner of the window, z the depth in [0, 1].
std::vector<Primitive> captureFeedbackWithCurrentMatrices(const std::function<void()>& draw);

// Decodes a GL_3D_COLOR feedback buffer (RGBA mode) of `count` floats. Throws
// std::runtime_error on an unknown token or a primitive cut short.
std::vector<Primitive> parseFeedback(const float* data, std::size_t count);

// The primitives of one kind, in drawing order.
std::vector<Primitive> primitivesOfKind(const std::vector<Primitive>& primitives,
                                        PrimitiveKind kind);

// Whether the primitive is a line segment: Mesa reports separate segments, and the first of a
// strip, with either line token, so tests that do not care accept both.
bool isSegment(const Primitive& primitive);
// The line segments of a capture, of both kinds, in drawing order.
std::vector<Primitive> lineSegments(const std::vector<Primitive>& primitives);

// Whether the vertex lies within `tolerance` of (x, y, z) on every axis; for EXPECT_TRUE,
// whose message then shows the vertex.
::testing::AssertionResult vertexNear(const FeedbackVertex& vertex, float x, float y, float z,
                                      float tolerance = 1e-3f);
// Whether the vertex has the colour (r, g, b) within `tolerance` on every channel.
::testing::AssertionResult colourNear(const FeedbackVertex& vertex, float r, float g, float b,
                                      float tolerance = 1e-3f);

std::ostream& operator<<(std::ostream& out, PrimitiveKind kind);
std::ostream& operator<<(std::ostream& out, const FeedbackVertex& vertex);
std::ostream& operator<<(std::ostream& out, const Primitive& primitive);

}  // namespace gltest
