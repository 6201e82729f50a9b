#include <GL/gl.h>

#include <memory>
#include <string>
#include <vector>

#include "collision/BoxCollider.h"
#include "collision/CircleCollider.h"
#include "collision/Collider.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "support/gl/GlTest.h"

using gltest::captureFeedback;
using gltest::FeedbackVertex;
using gltest::Primitive;
using gltest::PrimitiveKind;

namespace {

struct Expected {
    float x, y, z;
    float r, g, b;
};

// Feedback reports colours and positions after a float round trip through window coordinates,
// hence the default tolerance of the helpers.
void expectVertex(const FeedbackVertex& actual, const Expected& e) {
    EXPECT_TRUE(gltest::vertexNear(actual, e.x, e.y, e.z));
    EXPECT_TRUE(gltest::colourNear(actual, e.r, e.g, e.b));
}

// The point primitives of a capture, one vertex each.
std::vector<FeedbackVertex> pointsOf(const std::vector<Primitive>& primitives) {
    std::vector<FeedbackVertex> points;
    for (const Primitive& p : primitives) {
        EXPECT_EQ(p.kind, PrimitiveKind::Point);
        if (p.kind == PrimitiveKind::Point && p.vertices.size() == 1) {
            points.push_back(p.vertices[0]);
        }
    }
    return points;
}

std::unique_ptr<GameObject> objectAt(float x, float y, float z) {
    return std::make_unique<GameObject>(true, true, Point(x, y, z, Color()));
}

// The centre's dot is green at 0.33 as every geometry centre is.
const float CENTRE_GREEN = 0.33f;

class ColliderDrawTest : public gltest::GlTest {};

}  // namespace

TEST_F(ColliderDrawTest, ColliderDrawsItsCentreAsOneDot) {
    auto object = objectAt(1, 2, 3);
    auto* collider = new Collider(true, true, Point(), true);
    object->addComponent(collider);

    const auto points = pointsOf(captureFeedback([&] { collider->draw(17); }));
    ASSERT_EQ(points.size(), 1u);
    expectVertex(points[0], {1, 2, 3, 0, CENTRE_GREEN, 0});
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 4.0f);

    collider->drawEnabled = false;
    EXPECT_TRUE(captureFeedback([&] { collider->draw(17); }).empty());
}

TEST_F(ColliderDrawTest, CircleColliderDrawsThreeColouredDiameters) {
    struct Case {
        const char* name;
        float radius;
    };
    for (const Case& c : {Case{"radius 2", 2.0f}, Case{"radius 0 still draws", 0.0f}}) {
        SCOPED_TRACE(c.name);
        auto object = objectAt(1, 2, 3);
        auto* circle = new CircleCollider(true, true, true, Point(), c.radius);
        object->addComponent(circle);

        const auto primitives = captureFeedback([&] { circle->draw(17); });
        const float r = c.radius;
        const Expected segments[3][2] = {
            {{1 - r, 2, 3, 0.33f, 0, 0}, {1 + r, 2, 3, 0.33f, 0, 0}},
            {{1, 2 - r, 3, 0.33f, 0.33f, 0}, {1, 2 + r, 3, 0.33f, 0.33f, 0}},
            {{1, 2, 3 - r, 0.66f, 0, 0.33f}, {1, 2, 3 + r, 0.66f, 0, 0.33f}},
        };
        ASSERT_EQ(primitives.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE("segment " + std::to_string(i));
            // Separate segments; Mesa reports each one with the plain line token.
            EXPECT_TRUE(gltest::isSegment(primitives[i])) << primitives[i];
            ASSERT_EQ(primitives[i].vertices.size(), 2u);
            expectVertex(primitives[i].vertices[0], segments[i][0]);
            expectVertex(primitives[i].vertices[1], segments[i][1]);
        }

        circle->drawEnabled = false;
        EXPECT_TRUE(captureFeedback([&] { circle->draw(17); }).empty());
    }
}

TEST_F(ColliderDrawTest, BoxColliderDrawsItsCornersInTheirColoursThenItsCentre) {
    const float corners[8][3] = {{1, 1, 1},   {1, -1, 1}, {-1, -1, 1}, {-1, 1, 1},
                                 {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}};
    struct Case {
        const char* name;
        float otherX;
        float r, g, b;
    };
    const Case cases[] = {{"apart", 12, 1, 0, 0}, {"in contact", 2, 0, 0.5f, 0.1f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto object = objectAt(1, 2, 3);
        auto* box = new BoxCollider(true, true, true, Point());
        object->addComponent(box);
        auto other = objectAt(c.otherX, 2, 3);
        auto* otherBox = new BoxCollider(true, true, true, Point());
        other->addComponent(otherBox);
        box->collideWithBox(otherBox);

        const auto points = pointsOf(captureFeedback([&] { box->draw(17); }));
        ASSERT_EQ(points.size(), 9u);
        for (size_t i = 0; i < 8; ++i) {
            SCOPED_TRACE("corner " + std::to_string(i + 1));
            expectVertex(points[i],
                         {1 + corners[i][0], 2 + corners[i][1], 3 + corners[i][2], c.r, c.g, c.b});
        }
        expectVertex(points[8], {1, 2, 3, 0, CENTRE_GREEN, 0});
    }
}

TEST_F(ColliderDrawTest, BoxColliderDrawIsGatedByItsUpdateFlag) {
    // Drawing follows updateEnabled: a box that does not test shows nothing, even with
    // drawEnabled set; one created not to draw shows only its centre.
    auto object = objectAt(0, 0, 0);
    auto* idle = new BoxCollider(false, true, true, Point());
    auto* hidden = new BoxCollider(true, false, true, Point());
    object->addComponent(idle);
    object->addComponent(hidden);

    EXPECT_TRUE(captureFeedback([&] { idle->draw(17); }).empty());
    const auto points = pointsOf(captureFeedback([&] { hidden->draw(17); }));
    ASSERT_EQ(points.size(), 1u);
    expectVertex(points[0], {0, 0, 0, 0, CENTRE_GREEN, 0});
}

TEST_F(ColliderDrawTest, TurnedBoxShowsItsCornersWhereTheTransformPutThem) {
    auto object = objectAt(0, 0, 0);
    auto* box = new BoxCollider(true, true, true, Point());
    object->addComponent(box);
    object->transform->scale(2, 1, 1);
    object->transform->rotate(0, 0, 3.14159265f / 2);  // clockwise seen from +z

    const auto points = pointsOf(captureFeedback([&] { box->draw(17); }));
    ASSERT_EQ(points.size(), 9u);
    // Corner 1, (1, 1, 1), stretched to (2, 1, 1) and turned to (1, -2, 1).
    expectVertex(points[0], {1, -2, 1, 1, 0, 0});
    // Corner 8, (-1, -1, -1), becomes (-1, 2, -1).
    expectVertex(points[7], {-1, 2, -1, 1, 0, 0});
}

TEST_F(ColliderDrawTest, CornersShowOnScreenInTheContactColour) {
    // Under the demo's camera, a dot of the contact colour lands where each corner projects.
    gltest::useDemoProjection();
    auto object = objectAt(0, 0, 0);
    auto* box = new BoxCollider(true, true, true, Point());
    object->addComponent(box);
    auto other = objectAt(1.5f, 0, 0);
    auto* otherBox = new BoxCollider(true, true, true, Point());
    other->addComponent(otherBox);
    ASSERT_TRUE(box->collideWithBox(otherBox));

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPointSize(3);
    box->draw(17);
    const gltest::Image image = gltest::readPixels(0, 0, gltest::WINDOW_SIZE, gltest::WINDOW_SIZE);

    const auto isContactGreen = [](const gltest::Rgb& c) {
        return c.r <= 2 && c.g >= 125 && c.g <= 130 && c.b >= 23 && c.b <= 28;
    };
    for (size_t i = 1; i <= 8; ++i) {
        SCOPED_TRACE("corner " + std::to_string(i));
        const Point& corner = box->componentTransform->points[i];
        const auto at = gltest::projectToWindow(corner.x, corner.y, corner.z);
        const int px = static_cast<int>(at[0]);
        const int py = static_cast<int>(at[1]);
        EXPECT_TRUE(image.anyNear(px, py, 1, isContactGreen)) << "at pixel " << px << ", " << py;
    }
}
