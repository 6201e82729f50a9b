#include "support/gl/Feedback.h"

#include <GL/gl.h>

#include <cmath>
#include <ostream>
#include <stdexcept>
#include <string>

namespace gltest {
namespace {

// GL_3D_COLOR in RGBA mode: x, y, z, then r, g, b, a.
constexpr std::size_t FLOATS_PER_VERTEX = 7;
constexpr std::size_t INITIAL_BUFFER_FLOATS = 1 << 14;
// A draw that needs more than this is runaway geometry, not something to capture.
constexpr std::size_t MAX_BUFFER_FLOATS = 1 << 26;

class Reader {
  public:
    Reader(const float* floats, std::size_t count) : data(floats), size(count) {}

    bool done() const { return next >= size; }

    float take() {
        if (next >= size) {
            throw std::runtime_error("Feedback buffer ends in the middle of a primitive");
        }
        return data[next++];
    }

    // Tokens and counts travel as floats; anything but a small whole number means the buffer
    // is not what we think it is (and converting it would be undefined).
    std::size_t whole(const char* what) {
        const float value = take();
        if (!(value >= 0.0f && value <= 1.0e7f) ||
            value != static_cast<float>(static_cast<std::size_t>(value))) {
            throw std::runtime_error(std::string("Bad ") + what +
                                     " in feedback buffer: " + std::to_string(value));
        }
        return static_cast<std::size_t>(value);
    }

    std::size_t remaining() const { return size - next; }

    FeedbackVertex vertex() {
        FeedbackVertex v;
        v.x = take();
        v.y = take();
        v.z = take();
        v.r = take();
        v.g = take();
        v.b = take();
        v.a = take();
        return v;
    }

  private:
    const float* data;
    std::size_t size;
    std::size_t next = 0;
};

}  // namespace

std::vector<Primitive> parseFeedback(const float* data, std::size_t count) {
    std::vector<Primitive> primitives;
    Reader in(data, count);
    while (!in.done()) {
        const auto token = static_cast<GLenum>(in.whole("token"));
        Primitive primitive;
        std::size_t vertexCount = 0;
        switch (token) {
            case GL_POINT_TOKEN:
                primitive.kind = PrimitiveKind::Point;
                vertexCount = 1;
                break;
            case GL_LINE_TOKEN:
                primitive.kind = PrimitiveKind::Line;
                vertexCount = 2;
                break;
            case GL_LINE_RESET_TOKEN:
                primitive.kind = PrimitiveKind::LineReset;
                vertexCount = 2;
                break;
            case GL_POLYGON_TOKEN:
                primitive.kind = PrimitiveKind::Polygon;
                vertexCount = in.whole("vertex count");
                if (vertexCount > in.remaining() / FLOATS_PER_VERTEX) {
                    throw std::runtime_error("Polygon of " + std::to_string(vertexCount) +
                                             " vertices overruns the feedback buffer");
                }
                break;
            case GL_BITMAP_TOKEN:
                primitive.kind = PrimitiveKind::Bitmap;
                vertexCount = 1;
                break;
            case GL_DRAW_PIXEL_TOKEN:
                primitive.kind = PrimitiveKind::DrawPixels;
                vertexCount = 1;
                break;
            case GL_COPY_PIXEL_TOKEN:
                primitive.kind = PrimitiveKind::CopyPixels;
                vertexCount = 1;
                break;
            case GL_PASS_THROUGH_TOKEN:
                primitive.kind = PrimitiveKind::PassThrough;
                primitive.marker = in.take();
                break;
            default:
                throw std::runtime_error("Unknown feedback token " + std::to_string(token));
        }
        primitive.vertices.reserve(vertexCount);
        for (std::size_t i = 0; i < vertexCount; ++i) {
            primitive.vertices.push_back(in.vertex());
        }
        primitives.push_back(std::move(primitive));
    }
    return primitives;
}

namespace {

std::vector<Primitive> capture(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(INITIAL_BUFFER_FLOATS);
    for (;;) {
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint used = glRenderMode(GL_RENDER);
        if (used >= 0) {
            return parseFeedback(buffer.data(), static_cast<std::size_t>(used));
        }
        if (buffer.size() >= MAX_BUFFER_FLOATS) {
            throw std::runtime_error("Feedback needs more than " +
                                     std::to_string(MAX_BUFFER_FLOATS) + " floats");
        }
        buffer.assign(buffer.size() * 2, 0.0f);
    }
}

// Window coordinates back to the capture box, undoing the viewport and the glOrtho below.
void toCaptureBox(std::vector<Primitive>& primitives, int viewportWidth, int viewportHeight) {
    const auto extent = static_cast<float>(CAPTURE_EXTENT);
    const auto width = static_cast<float>(viewportWidth);
    const auto height = static_cast<float>(viewportHeight);
    for (Primitive& primitive : primitives) {
        for (FeedbackVertex& v : primitive.vertices) {
            v.x = (v.x / width * 2.0f - 1.0f) * extent;
            v.y = (v.y / height * 2.0f - 1.0f) * extent;
            // glOrtho flips z: the near plane (z = +extent) is at depth 0.
            v.z = (1.0f - v.z * 2.0f) * extent;
        }
    }
}

}  // namespace

std::vector<Primitive> captureFeedbackWithCurrentMatrices(const std::function<void()>& draw) {
    return capture(draw);
}

std::vector<Primitive> captureFeedback(const std::function<void()>& draw) {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-CAPTURE_EXTENT, CAPTURE_EXTENT, -CAPTURE_EXTENT, CAPTURE_EXTENT, -CAPTURE_EXTENT,
            CAPTURE_EXTENT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    // Restore the caller's matrices even when the draw or the parser throws.
    struct Restore {
        GLint mode;
        ~Restore() {
            glRenderMode(GL_RENDER);
            glMatrixMode(GL_PROJECTION);
            glPopMatrix();
            glMatrixMode(GL_MODELVIEW);
            glPopMatrix();
            glMatrixMode(static_cast<GLenum>(mode));
        }
    } restore{matrixMode};

    // The model-view may be changed by draw(); each retry has to start from identity again.
    std::vector<Primitive> primitives = capture([&draw] {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        draw();
    });
    toCaptureBox(primitives, viewport[2], viewport[3]);
    return primitives;
}

std::vector<Primitive> primitivesOfKind(const std::vector<Primitive>& primitives,
                                        PrimitiveKind kind) {
    std::vector<Primitive> matching;
    for (const Primitive& primitive : primitives) {
        if (primitive.kind == kind) {
            matching.push_back(primitive);
        }
    }
    return matching;
}

bool isSegment(const Primitive& primitive) {
    return primitive.kind == PrimitiveKind::Line || primitive.kind == PrimitiveKind::LineReset;
}

std::vector<Primitive> lineSegments(const std::vector<Primitive>& primitives) {
    std::vector<Primitive> segments;
    for (const Primitive& primitive : primitives) {
        if (isSegment(primitive)) {
            segments.push_back(primitive);
        }
    }
    return segments;
}

namespace {

::testing::AssertionResult within(const FeedbackVertex& vertex, const float (&actual)[3],
                                  const float (&expected)[3], float tolerance, const char* what) {
    for (int i = 0; i < 3; ++i) {
        if (!(std::fabs(actual[i] - expected[i]) <= tolerance)) {
            return ::testing::AssertionFailure()
                   << "vertex " << vertex << " is not within " << tolerance << " of " << what
                   << " (" << expected[0] << ", " << expected[1] << ", " << expected[2] << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

::testing::AssertionResult vertexNear(const FeedbackVertex& vertex, float x, float y, float z,
                                      float tolerance) {
    return within(vertex, {vertex.x, vertex.y, vertex.z}, {x, y, z}, tolerance, "position");
}

::testing::AssertionResult colourNear(const FeedbackVertex& vertex, float r, float g, float b,
                                      float tolerance) {
    return within(vertex, {vertex.r, vertex.g, vertex.b}, {r, g, b}, tolerance, "colour");
}

std::ostream& operator<<(std::ostream& out, PrimitiveKind kind) {
    switch (kind) {
        case PrimitiveKind::Point:
            return out << "Point";
        case PrimitiveKind::Line:
            return out << "Line";
        case PrimitiveKind::LineReset:
            return out << "LineReset";
        case PrimitiveKind::Polygon:
            return out << "Polygon";
        case PrimitiveKind::Bitmap:
            return out << "Bitmap";
        case PrimitiveKind::DrawPixels:
            return out << "DrawPixels";
        case PrimitiveKind::CopyPixels:
            return out << "CopyPixels";
        case PrimitiveKind::PassThrough:
            return out << "PassThrough";
    }
    return out << "PrimitiveKind(" << static_cast<int>(kind) << ")";
}

std::ostream& operator<<(std::ostream& out, const FeedbackVertex& v) {
    return out << "(" << v.x << ", " << v.y << ", " << v.z << " | " << v.r << ", " << v.g << ", "
               << v.b << ", " << v.a << ")";
}

std::ostream& operator<<(std::ostream& out, const Primitive& primitive) {
    out << primitive.kind;
    if (primitive.kind == PrimitiveKind::PassThrough) {
        return out << " " << primitive.marker;
    }
    for (const FeedbackVertex& v : primitive.vertices) {
        out << " " << v;
    }
    return out;
}

}  // namespace gltest
