#include "support/gl/Feedback.h"

#include <GL/gl.h>

#include <ostream>
#include <stdexcept>
#include <string>

namespace gltest {
namespace {

// GL_3D_COLOR in RGBA mode: x, y, z, then r, g, b, a.
constexpr std::size_t kFloatsPerVertex = 7;
constexpr std::size_t kInitialBufferFloats = 1 << 14;
// A draw that needs more than this is runaway geometry, not something to capture.
constexpr std::size_t kMaxBufferFloats = 1 << 26;

class Reader {
  public:
    Reader(const float* data, std::size_t size) : data_(data), size_(size) {}

    bool done() const { return next_ >= size_; }

    float take() {
        if (next_ >= size_) {
            throw std::runtime_error("Feedback buffer ends in the middle of a primitive");
        }
        return data_[next_++];
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

    std::size_t remaining() const { return size_ - next_; }

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
    const float* data_;
    std::size_t size_;
    std::size_t next_ = 0;
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
                if (vertexCount > in.remaining() / kFloatsPerVertex) {
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
    std::vector<GLfloat> buffer(kInitialBufferFloats);
    for (;;) {
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint used = glRenderMode(GL_RENDER);
        if (used >= 0) {
            return parseFeedback(buffer.data(), static_cast<std::size_t>(used));
        }
        if (buffer.size() >= kMaxBufferFloats) {
            throw std::runtime_error("Feedback needs more than " +
                                     std::to_string(kMaxBufferFloats) + " floats");
        }
        buffer.assign(buffer.size() * 2, 0.0f);
    }
}

// Window coordinates back to the capture box, undoing the viewport and the glOrtho below.
void toCaptureBox(std::vector<Primitive>& primitives, int viewportWidth, int viewportHeight) {
    const auto extent = static_cast<float>(kCaptureExtent);
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
    glOrtho(-kCaptureExtent, kCaptureExtent, -kCaptureExtent, kCaptureExtent, -kCaptureExtent,
            kCaptureExtent);
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
