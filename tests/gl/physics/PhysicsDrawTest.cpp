#include <gtest/gtest.h>

#include <vector>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "physics/Mount.h"
#include "physics/Physics.h"
#include "physics/Tether.h"
#include "support/gl/GlTest.h"

using gltest::captureFeedback;
using gltest::FeedbackVertex;
using gltest::Primitive;
using gltest::PrimitiveKind;

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);
const Color BLUE(0.0f, 0.0f, 1.0f, 1.0f);
const Color YELLOW(1.0f, 1.0f, 0.0f, 1.0f);
const float TOLERANCE = 1e-3f;

class PhysicsDrawTest : public gltest::GlTest {};

// The vertex was emitted at p, in p's colour.
void expectVertex(const FeedbackVertex& v, const Point& p) {
    EXPECT_TRUE(gltest::vertexNear(v, p.x, p.y, p.z));
    EXPECT_TRUE(gltest::colourNear(v, p.color.r, p.color.g, p.color.b));
}

std::vector<Primitive> capture(Component& component) {
    return captureFeedback([&] { component.draw(17); });
}

}  // namespace

TEST_F(PhysicsDrawTest, TetherDrawsOneShadedSegment) {
    struct Case {
        const char* name;
        bool drawEnabled;
        bool setEnds;
        Point a;
        Point b;
    };
    const Point black;  // where both ends start
    const Case cases[] = {
        {"blue to yellow", true, true, Point(0, 0, 0, BLUE), Point(2, 0, 0, YELLOW)},
        {"zero length", true, true, Point(1, 2, 3, RED), Point(1, 2, 3, BLUE)},
        {"before any setEnds", true, false, black, black},
        {"hidden", false, true, Point(0, 0, 0, BLUE), Point(2, 0, 0, YELLOW)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tether tether(true, c.drawEnabled);
        if (c.setEnds) {
            tether.setEnds(c.a, c.b);
        }
        const std::vector<Primitive> drawn = capture(tether);
        if (!c.drawEnabled) {
            EXPECT_TRUE(drawn.empty());
            continue;
        }
        ASSERT_EQ(drawn.size(), 1u);
        // Mesa marks only some GL_LINES segments as resetting the stipple.
        EXPECT_TRUE(gltest::isSegment(drawn[0])) << drawn[0];
        ASSERT_EQ(drawn[0].vertices.size(), 2u);
        expectVertex(drawn[0].vertices[0], c.a);
        expectVertex(drawn[0].vertices[1], c.b);
    }
}

TEST_F(PhysicsDrawTest, MountDrawsPyramidCentreAndMountPoint) {
    GameObject object(true, true, Point(2, 0, 0, RED));
    auto* mount = new Mount(true, true, 1.0f);
    mount->componentTransform->scale(0.1f, 0.1f, 0.1f);
    object.addComponent(mount);
    const std::vector<Point>& points = mount->componentTransform->points;

    const std::vector<Primitive> drawn = capture(*mount);
    ASSERT_EQ(drawn.size(), 8u);
    for (size_t t = 0; t < 6; ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(drawn[t].kind, PrimitiveKind::Polygon);
        ASSERT_EQ(drawn[t].vertices.size(), 3u);
        for (size_t v = 0; v < 3; ++v) {
            expectVertex(drawn[t].vertices[v], points[2 + 3 * t + v]);
            EXPECT_NEAR(drawn[t].vertices[v].b, 0.0f, TOLERANCE);  // yellow
        }
    }
    EXPECT_EQ(drawn[6].kind, PrimitiveKind::Point);
    expectVertex(drawn[6].vertices[0], mount->componentTransform->position);
    EXPECT_NEAR(drawn[6].vertices[0].x, 2.0f, TOLERANCE);
    EXPECT_EQ(drawn[7].kind, PrimitiveKind::Point);
    expectVertex(drawn[7].vertices[0], Point(2, -0.1f, 0, BLUE));

    mount->drawEnabled = false;
    EXPECT_TRUE(capture(*mount).empty());
}

TEST_F(PhysicsDrawTest, PhysicsDrawsMassPointsFromTheSecondOn) {
    struct Case {
        const char* name;
        int massPoints;
        bool showPoints;
        size_t expected;
    };
    const Case cases[] = {
        {"one mass point: none shown", 1, true, 0},
        {"ten mass points: the last nine", 10, true, 9},
        {"points hidden", 10, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameObject object(true, true, Point(2, 0, 0, RED));
        auto* physics = new Physics(true, true);
        object.addComponent(physics);
        for (int i = 0; i < c.massPoints; ++i) {
            physics->addMass(Point(0.2f * static_cast<float>(i) - 1.0f, 0, 0, RED),
                             static_cast<float>(i + 1) * 0.5f);
        }
        physics->showPoints = c.showPoints;
        const std::vector<Primitive> drawn = capture(*physics);
        ASSERT_EQ(drawn.size(), c.expected);
        for (size_t i = 0; i < drawn.size(); ++i) {
            EXPECT_EQ(drawn[i].kind, PrimitiveKind::Point);
            expectVertex(drawn[i].vertices[0], physics->componentTransform->points[3 + i]);
        }
    }
}
