#include <GL/gl.h>
#include <gtest/gtest.h>

#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/PointDrawing.h"
#include "core/Transform.h"
#include "support/gl/GlTest.h"

using gltest::captureFeedback;
using gltest::Primitive;
using gltest::PrimitiveKind;

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);

class ObjectDrawTest : public gltest::GlTest {};

// Emits its points from index 1 as one line strip.
class Outline : public Component {
  public:
    Outline() : Component(true, true) {
        componentTransform = std::make_unique<ComponentTransform>(this);
        componentTransform->addPoint(Point(1, 0, 0, RED));
        componentTransform->addPoint(Point(0, 1, 0, Color(0, 0, 1, 1)));
    }
    void draw(int /*elapsedMs*/) override {
        glBegin(GL_LINE_STRIP);
        emitVertices(*componentTransform, 1, -1);
        glEnd();
    }
};

void expectPoint(const Primitive& p, float x, float y, float z, float r, float g, float b) {
    ASSERT_EQ(p.kind, PrimitiveKind::Point);
    ASSERT_EQ(p.vertices.size(), 1u);
    EXPECT_TRUE(gltest::vertexNear(p.vertices[0], x, y, z));
    EXPECT_TRUE(gltest::colourNear(p.vertices[0], r, g, b));
}

}  // namespace

TEST_F(ObjectDrawTest, ComponentsThenGreenPositionThenWhiteOriginDot) {
    GameObject object(true, true, Point(3, 2, 1, RED));
    object.addComponent(new Outline());
    const auto drawn = captureFeedback([&] { object.draw(17); });
    ASSERT_EQ(drawn.size(), 3u);
    // The outline, shifted onto the object's position, each vertex in its own colour.
    ASSERT_EQ(drawn[0].vertices.size(), 2u);
    EXPECT_NEAR(drawn[0].vertices[0].x, 4.0f, 1e-3f);
    EXPECT_NEAR(drawn[0].vertices[1].y, 3.0f, 1e-3f);
    EXPECT_NEAR(drawn[0].vertices[1].b, 1.0f, 1e-3f);
    expectPoint(drawn[1], 3, 2, 1, 0, 1, 0);
    expectPoint(drawn[2], 0, 0, 0, 1, 1, 1);
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 4.0f);
}

TEST_F(ObjectDrawTest, HiddenObjectsAndTransformsEmitNothing) {
    GameObject hidden(true, false, Point(1, 1, 1, RED));
    hidden.addComponent(new Outline());
    EXPECT_TRUE(captureFeedback([&] { hidden.draw(17); }).empty());

    // The transform took the object's draw flag at construction; switching the object on
    // later shows the components and the origin dot, not the position.
    hidden.drawEnabled = true;
    const auto drawn = captureFeedback([&] { hidden.draw(17); });
    ASSERT_EQ(drawn.size(), 2u);
    expectPoint(drawn[1], 0, 0, 0, 1, 1, 1);
}

TEST_F(ObjectDrawTest, PointListDrawsOnlyTheRequestedRangeAndNeverPastTheEnd) {
    Outline outline;
    ComponentTransform& ct = *outline.componentTransform;
    const auto count = [&](int from, int to) {
        const auto drawn = captureFeedback([&] {
            glBegin(GL_POINTS);
            emitVertices(ct, from, to);
            glEnd();
        });
        return drawn.size();
    };
    EXPECT_EQ(count(1, -1), 2u);
    EXPECT_EQ(count(0, -1), 0u);
    EXPECT_EQ(count(2, 0), 1u);
    EXPECT_EQ(count(1, 2), 1u);
    EXPECT_EQ(count(1, 50), 2u);  // clamped to the list
    ct.drawEnabled = false;
    EXPECT_EQ(count(1, -1), 0u);
}
