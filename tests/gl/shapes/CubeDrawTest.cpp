// What a cube really sends down the pipeline: its triangles and their face colours, what back-face
// culling keeps from the demo's point of view, the outline loop, and the picture itself.

#include <GL/freeglut.h>

#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/Camera.h"
#include "app/FrameLoop.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "shapes/Cube.h"
#include "support/gl/GlTest.h"

namespace {

using gltest::FeedbackVertex;
using gltest::Primitive;
using gltest::PrimitiveKind;

constexpr float TOLERANCE = 1e-3f;
constexpr float PI = 3.14159265f;

using Rgb3 = std::tuple<float, float, float>;

const Rgb3 RED{1, 0, 0};
const Rgb3 GREEN{0, 1, 0};
const Rgb3 BLUE{0, 0, 1};
const Rgb3 MAGENTA{1, 0, 1};
const Rgb3 CYAN{0, 1, 1};
const Rgb3 YELLOW{1, 1, 0};

Rgb3 colourOf(const FeedbackVertex& v) {
    return {v.r, v.g, v.b};
}

// A cube on an object of its own, where the scene builder would put one.
struct PlacedCube {
    explicit PlacedCube(bool filled, Point at = Point())
        : object(true, true, at), cube(new Cube(true, true, at, Color(1, 1, 1, 1), filled)) {
        object.addComponent(cube);
    }
    GameObject object;
    Cube* cube;  // owned by object
};

class CubeDrawTest : public gltest::GlTest {};

TEST_F(CubeDrawTest, FilledCubeEmitsTwelveTrianglesInFaceColoursThenItsCentre) {
    PlacedCube placed(true);
    const auto primitives = gltest::captureFeedback([&] { placed.cube->draw(17); });

    const Rgb3 faceOrder[6] = {RED, GREEN, BLUE, MAGENTA, CYAN, YELLOW};
    const std::vector<Point>& points = placed.cube->componentTransform->points;
    ASSERT_EQ(primitives.size(), 13u);
    for (size_t t = 0; t < 12; ++t) {
        SCOPED_TRACE("triangle " + std::to_string(t));
        const Primitive& triangle = primitives[t];
        ASSERT_EQ(triangle.kind, PrimitiveKind::Polygon);
        ASSERT_EQ(triangle.vertices.size(), 3u);
        for (size_t k = 0; k < 3; ++k) {
            const FeedbackVertex& v = triangle.vertices[k];
            const Point& p = points[1 + t * 3 + k];
            EXPECT_EQ(colourOf(v), faceOrder[t / 2]);
            EXPECT_TRUE(gltest::vertexNear(v, p.x, p.y, p.z));
        }
    }
    const Primitive& centre = primitives[12];
    ASSERT_EQ(centre.kind, PrimitiveKind::Point);
    EXPECT_NEAR(centre.vertices[0].x, 0.0f, TOLERANCE);
    EXPECT_NEAR(centre.vertices[0].g, 0.33f, 1e-2f);
    EXPECT_EQ(centre.vertices[0].r, 0.0f);

    // The centre dot leaves its size behind for later dots.
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 4.0f);
}

TEST_F(CubeDrawTest, CullingKeepsExactlyTheFacesTurnedToTheViewer) {
    struct Case {
        std::string name;
        Point at;
        float turnY;  // radians, about the cube's centre
        std::set<Rgb3> visible;
    };
    const Color white(1, 1, 1, 1);
    const std::vector<Case> cases = {
        {"at the origin", Point(0, 0, 0, white), 0.0f, {RED}},
        {"to the right", Point(6, 0, 0, white), 0.0f, {RED, MAGENTA}},
        {"below", Point(0, -6, 0, white), 0.0f, {RED, CYAN}},
        {"up and left", Point(-6, 6, 0, white), 0.0f, {RED, GREEN, YELLOW}},
        {"turned round", Point(0, 0, 0, white), PI, {BLUE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlacedCube placed(true, c.at);
        placed.object.transform->rotate(0.0f, c.turnY, 0.0f);

        gltest::resetGlState();
        gltest::useDemoProjection();
        applyCamera();
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        const auto primitives =
            gltest::captureFeedbackWithCurrentMatrices([&] { placed.cube->draw(17); });

        const auto triangles = gltest::primitivesOfKind(primitives, PrimitiveKind::Polygon);
        ASSERT_EQ(triangles.size(), 2 * c.visible.size());
        std::set<Rgb3> seen;
        for (const Primitive& triangle : triangles) {
            for (const FeedbackVertex& v : triangle.vertices) {
                EXPECT_EQ(colourOf(v), colourOf(triangle.vertices[0]));
            }
            seen.insert(colourOf(triangle.vertices[0]));
        }
        EXPECT_EQ(seen, c.visible);
    }
}

TEST_F(CubeDrawTest, OutlinedCubeIsOneClosedLoopOfAllItsPoints) {
    PlacedCube placed(false, Point(2, 0, 0, Color(1, 1, 1, 1)));
    const std::vector<Point>& points = placed.cube->componentTransform->points;
    const auto primitives = gltest::captureFeedback([&] { placed.cube->draw(17); });

    const std::vector<Primitive> segments = gltest::lineSegments(primitives);
    ASSERT_EQ(segments.size(), 36u);
    // Only the first segment may start a new line: the loop is never broken.
    for (size_t i = 1; i < segments.size(); ++i) {
        EXPECT_EQ(segments[i].kind, PrimitiveKind::Line) << i;
    }
    for (size_t i = 0; i < 36; ++i) {
        SCOPED_TRACE("segment " + std::to_string(i));
        const Point& from = points[1 + i];
        const Point& to = points[1 + (i + 1) % 36];
        EXPECT_TRUE(gltest::vertexNear(segments[i].vertices[0], from.x, from.y, from.z));
        EXPECT_TRUE(gltest::vertexNear(segments[i].vertices[1], to.x, to.y, to.z));
    }
    // The closing segment runs from (-1, -1, -1) back to (-1, 1, 1), around the owner at x = 2.
    EXPECT_NEAR(segments[35].vertices[0].x, 1.0f, TOLERANCE);
    EXPECT_NEAR(segments[35].vertices[1].y, 1.0f, TOLERANCE);
    EXPECT_EQ(gltest::primitivesOfKind(primitives, PrimitiveKind::Point).size(), 1u);
}

TEST_F(CubeDrawTest, FrameLoopProjectionShowsTheRedFrontFaceAtTheCentre) {
    PlacedCube placed(true);
    const int previousWindow = windowId;
    windowId = glutGetWindow();
    reshape(gltest::WINDOW_SIZE, gltest::WINDOW_SIZE);
    windowId = previousWindow;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    applyCamera();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    placed.cube->draw(17);
    glFinish();

    const int centre = gltest::WINDOW_SIZE / 2;
    const gltest::Image image = gltest::readPixels(0, 0, gltest::WINDOW_SIZE, gltest::WINDOW_SIZE);
    const gltest::Rgb red{255, 0, 0};
    // The centre dot lies behind the face and loses the depth test.
    EXPECT_EQ(image.at(centre, centre), red);
    EXPECT_EQ(image.at(centre - 15, centre + 15), red);
    // A 2-unit face 19 units from the eye under a 60-degree view spans about 45 pixels.
    EXPECT_EQ(image.at(centre + 30, centre), (gltest::Rgb{0, 0, 0}));
    const int redPixels = image.count(red);
    const float side = 2.0f * 250.0f / (19.0f * std::tan(PI / 6.0f));
    EXPECT_NEAR(redPixels, side * side, 0.1f * side * side);
    if (HasFailure()) {
        image.writePpm("CubeDrawTest_front_face.ppm");
    }
}

}  // namespace
