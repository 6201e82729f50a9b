// Outlines, filled polygons and spheres as OpenGL really receives them, and the guarantee that
// a hidden shape sends nothing at all.

#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/Camera.h"
#include "app/FrameLoop.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "shapes/Bezier.h"
#include "shapes/Cube.h"
#include "shapes/Polygon.h"
#include "shapes/Shape.h"
#include "shapes/Sphere.h"
#include "support/gl/GlTest.h"

namespace {

using gltest::FeedbackVertex;
using gltest::Primitive;
using gltest::PrimitiveKind;

constexpr float TOLERANCE = 1e-3f;
const Color RED(1, 0, 0, 1);
const Color GREEN(0, 1, 0, 1);
const Color BLUE(0, 0, 1, 1);

// A vertex rounded to 1/1000 with its colour, to compare drawn corners as sets.
using Corner = std::tuple<float, float, float, float, float, float>;

std::set<Corner> cornersOf(const std::vector<Primitive>& primitives) {
    const auto round = [](float value) { return std::round(value * 1000.0f) / 1000.0f; };
    std::set<Corner> corners;
    for (const Primitive& p : primitives) {
        for (const FeedbackVertex& v : p.vertices) {
            corners.insert({round(v.x), round(v.y), round(v.z), v.r, v.g, v.b});
        }
    }
    return corners;
}

class ShapeDrawTest : public gltest::GlTest {};

TEST_F(ShapeDrawTest, OutlinesAndFilledPolygonsFollowTheirOwner) {
    GameObject object(true, true, Point(10, 0, 0, RED));
    auto* strip = new Shape(true, true, Point(10, 0, 0, RED), BLUE);
    auto* outline = new Polygon(true, true, Point(10, 0, 0, RED), BLUE, false);
    auto* filled = new Polygon(true, true, Point(10, 0, 0, RED), BLUE, true);
    for (Shape* shape : {strip, static_cast<Shape*>(outline), static_cast<Shape*>(filled)}) {
        shape->addPoint(Point(0, 0, 0, RED));
        shape->addPoint(Point(1, 0, 0, GREEN));
        shape->addPoint(Point(1, 1, 0, BLUE));
        object.addComponent(shape);
    }

    // A shape is an open strip: two segments for three points, the centre left out.
    const auto stripped = gltest::lineSegments(gltest::captureFeedback([&] { strip->draw(17); }));
    ASSERT_EQ(stripped.size(), 2u);
    EXPECT_TRUE(gltest::vertexNear(stripped[0].vertices[0], 10, 0, 0));
    EXPECT_EQ(stripped[0].vertices[0].r, 1.0f);  // the point's colour, not the shape's
    EXPECT_TRUE(gltest::vertexNear(stripped[1].vertices[1], 11, 1, 0));

    // An outlined polygon closes back to its first point.
    const auto looped = gltest::lineSegments(gltest::captureFeedback([&] { outline->draw(17); }));
    ASSERT_EQ(looped.size(), 3u);
    EXPECT_TRUE(gltest::vertexNear(looped[2].vertices[0], 11, 1, 0));
    EXPECT_TRUE(gltest::vertexNear(looped[2].vertices[1], 10, 0, 0));

    // Filled: one triangle, whichever corner the rasteriser starts from.
    const auto solid = gltest::captureFeedback([&] { filled->draw(17); });
    ASSERT_EQ(solid.size(), 1u);
    ASSERT_EQ(solid[0].kind, PrimitiveKind::Polygon);
    EXPECT_EQ(cornersOf(solid),
              (std::set<Corner>{{10, 0, 0, 1, 0, 0}, {11, 0, 0, 0, 1, 0}, {11, 1, 0, 0, 0, 1}}));
}

TEST_F(ShapeDrawTest, EmptyPolygonLeavesItsOwnColourCurrent) {
    Polygon empty(true, true, Point(), Color(0.25f, 0.5f, 0.75f, 1), true);
    EXPECT_TRUE(gltest::captureFeedback([&] { empty.draw(17); }).empty());
    empty.draw(17);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.25f);
    EXPECT_FLOAT_EQ(colour[1], 0.5f);
    EXPECT_FLOAT_EQ(colour[2], 0.75f);
}

TEST_F(ShapeDrawTest, HiddenShapesSendNothing) {
    struct Case {
        std::string name;
        std::unique_ptr<Shape> shape;
    };
    std::vector<Case> cases;
    cases.push_back({"shape", std::make_unique<Shape>(true, true, Point(), RED)});
    cases.push_back({"outline", std::make_unique<Polygon>(true, true, Point(), RED, false)});
    cases.push_back({"polygon", std::make_unique<Polygon>(true, true, Point(), RED, true)});
    cases.push_back({"cube", std::make_unique<Cube>(true, true, Point(), RED, true)});
    cases.push_back({"open cube", std::make_unique<Cube>(true, true)});
    cases.push_back({"sphere", std::make_unique<Sphere>(true, true, Point(), RED, true)});
    cases.push_back({"wire sphere", std::make_unique<Sphere>(true, true, Point(), RED, false)});
    cases.push_back({"bezier", std::make_unique<Bezier>()});
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.shape->addPoint(Point(1, 0, 0, RED));
        c.shape->addPoint(Point(0, 1, 0, RED));
        c.shape->addPoint(Point(-1, 0, 0, RED));
        // Visible, each of them draws something.
        EXPECT_FALSE(gltest::captureFeedback([&] { c.shape->draw(17); }).empty());
        c.shape->drawEnabled = false;
        EXPECT_TRUE(gltest::captureFeedback([&] { c.shape->draw(17); }).empty());
    }
}

TEST_F(ShapeDrawTest, SphereStandsAtItsCentreUnderTheViewInItsOwnColour) {
    GameObject object(true, true, Point(3, -2, 1, RED));
    auto* solid = new Sphere(true, true, Point(3, -2, 1, RED), RED, true);
    auto* wire = new Sphere(true, true, Point(3, -2, 1, RED), RED, false);
    object.addComponent(solid);
    object.addComponent(wire);

    for (Sphere* sphere : {solid, wire}) {
        SCOPED_TRACE(sphere->filled ? "solid" : "wire");
        GLfloat before[16];
        GLfloat after[16];
        const auto primitives = gltest::captureFeedback([&] {
            // A view the sphere must stand in, and a colour it must not take.
            glTranslatef(50, 0, 0);
            glColor3f(0.2f, 0.6f, 0.4f);
            glGetFloatv(GL_MODELVIEW_MATRIX, before);
            sphere->draw(17);
            glGetFloatv(GL_MODELVIEW_MATRIX, after);
        });
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(before[i], after[i]) << i;
        }
        const PrimitiveKind kind = sphere->filled ? PrimitiveKind::Polygon : PrimitiveKind::Line;
        size_t vertices = 0;
        for (const Primitive& p : primitives) {
            if (p.kind == PrimitiveKind::LineReset) {
                EXPECT_EQ(kind, PrimitiveKind::Line);
            } else {
                EXPECT_EQ(p.kind, kind);
            }
            for (const FeedbackVertex& v : p.vertices) {
                ++vertices;
                EXPECT_NEAR(std::sqrt((v.x - 53) * (v.x - 53) + (v.y + 2) * (v.y + 2) +
                                      (v.z - 1) * (v.z - 1)),
                            0.5f, TOLERANCE);
                ASSERT_TRUE(gltest::colourNear(v, 1, 0, 0)) << "vertex " << vertices;
            }
        }
        // 36 slices by 18 stacks.
        EXPECT_GT(vertices, 36u * 17u);
    }

    // Without a centre to stand on, the sphere is skipped rather than read out of range.
    solid->componentTransform->points.clear();
    EXPECT_TRUE(gltest::captureFeedback([&] { solid->draw(17); }).empty());
}

TEST_F(ShapeDrawTest, CameraMovesSpheresAsItMovesCubes) {
    GameObject object(true, true, Point(2, 1, 0, RED));
    auto* sphere = new Sphere(true, true, Point(2, 1, 0, RED), RED, true);
    auto* cube = new Cube(true, true, Point(2, 1, 0, RED), RED, true);
    object.addComponent(sphere);
    object.addComponent(cube);

    const auto onScreen = [](Shape* shape, float cameraX) {
        Camera::destroyInstance();
        Camera::getInstance()->move(cameraX, 0.0f, 0.0f);
        gltest::useDemoProjection();
        glLoadIdentity();
        applyCamera();
        const auto primitives =
            gltest::captureFeedbackWithCurrentMatrices([&] { shape->draw(17); });
        Camera::destroyInstance();
        return primitives;
    };

    for (Shape* shape : {static_cast<Shape*>(sphere), static_cast<Shape*>(cube)}) {
        SCOPED_TRACE(shape->getTypeTag());
        const auto still = onScreen(shape, 0.0f);
        const auto moved = onScreen(shape, 3.0f);
        ASSERT_FALSE(still.empty());
        ASSERT_EQ(still.size(), moved.size());
        EXPECT_GT(moved[0].vertices[0].x - still[0].vertices[0].x, 10.0f);
    }
}

}  // namespace
