// The draw tests trust these helpers to report geometry and pixels faithfully; a helper that
// mapped coordinates wrongly or read the wrong buffer would make every draw test meaningless.

#include <GL/gl.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "support/gl/GlTest.h"

namespace gltest {
namespace {

constexpr float kTolerance = 1e-3f;

class HelpersTest : public GlTest {};

TEST_F(HelpersTest, FeedbackReportsObjectCoordinatesAndColoursOfATriangle) {
    const auto primitives = captureFeedback([] {
        glBegin(GL_TRIANGLES);
        glColor3f(1, 0, 0);
        glVertex3f(-10, -5, 2);
        glColor3f(0, 1, 0);
        glVertex3f(30, -5, -7);
        glColor3f(0, 0, 1);
        glVertex3f(0, 40.5f, 0);
        glEnd();
    });

    ASSERT_EQ(primitives.size(), 1u);
    ASSERT_EQ(primitives[0].kind, PrimitiveKind::Polygon);
    const auto& v = primitives[0].vertices;
    ASSERT_EQ(v.size(), 3u);
    const float expected[3][7] = {
        {-10, -5, 2, 1, 0, 0, 1}, {30, -5, -7, 0, 1, 0, 1}, {0, 40.5f, 0, 0, 0, 1, 1}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE("vertex " + std::to_string(i));
        EXPECT_NEAR(v[i].x, expected[i][0], kTolerance);
        EXPECT_NEAR(v[i].y, expected[i][1], kTolerance);
        EXPECT_NEAR(v[i].z, expected[i][2], kTolerance);
        EXPECT_FLOAT_EQ(v[i].r, expected[i][3]);
        EXPECT_FLOAT_EQ(v[i].g, expected[i][4]);
        EXPECT_FLOAT_EQ(v[i].b, expected[i][5]);
        EXPECT_FLOAT_EQ(v[i].a, expected[i][6]);
    }

    // The capture must not disturb the caller's matrices.
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0], 1.0f);
    EXPECT_FLOAT_EQ(projection[10], 1.0f);
}

TEST_F(HelpersTest, FeedbackReportsLineSegmentsInOrderWithTransformsAndMarkers) {
    const auto primitives = captureFeedback([] {
        glPassThrough(7);
        glTranslatef(1, 2, 3);
        glBegin(GL_LINE_STRIP);
        glVertex3f(0, 0, 0);
        glVertex3f(10, 0, 0);
        glVertex3f(10, 10, 0);
        glEnd();
        glPassThrough(8);
        // An outline drawn in line polygon mode starts with a reset segment.
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glRectf(-20, -20, -10, -10);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    });

    ASSERT_EQ(primitives.size(), 8u);
    EXPECT_EQ(primitives[0].kind, PrimitiveKind::PassThrough);
    EXPECT_FLOAT_EQ(primitives[0].marker, 7.0f);
    // llvmpipe reports the first segment of a strip as a plain Line (see Feedback.h).
    EXPECT_TRUE(primitives[1].kind == PrimitiveKind::LineReset ||
                primitives[1].kind == PrimitiveKind::Line)
        << primitives[1];
    EXPECT_EQ(primitives[2].kind, PrimitiveKind::Line);
    ASSERT_EQ(primitives[1].vertices.size(), 2u);
    ASSERT_EQ(primitives[2].vertices.size(), 2u);
    EXPECT_NEAR(primitives[1].vertices[0].x, 1, kTolerance);
    EXPECT_NEAR(primitives[1].vertices[0].y, 2, kTolerance);
    EXPECT_NEAR(primitives[1].vertices[0].z, 3, kTolerance);
    EXPECT_NEAR(primitives[1].vertices[1].x, 11, kTolerance);
    EXPECT_NEAR(primitives[2].vertices[0].x, 11, kTolerance);
    EXPECT_NEAR(primitives[2].vertices[1].x, 11, kTolerance);
    EXPECT_NEAR(primitives[2].vertices[1].y, 12, kTolerance);

    EXPECT_EQ(primitives[3].kind, PrimitiveKind::PassThrough);
    EXPECT_EQ(primitives[4].kind, PrimitiveKind::LineReset);
    EXPECT_EQ(primitivesOfKind(primitives, PrimitiveKind::Line).size(), 5u);
    // glTranslatef applies to the rectangle too: every outline vertex is a moved corner.
    for (std::size_t i = 4; i < primitives.size(); ++i) {
        for (const FeedbackVertex& v : primitives[i].vertices) {
            EXPECT_TRUE(std::fabs(v.x + 19) < kTolerance || std::fabs(v.x + 9) < kTolerance) << v;
            EXPECT_TRUE(std::fabs(v.y + 18) < kTolerance || std::fabs(v.y + 8) < kTolerance) << v;
        }
    }
}

TEST(FeedbackParseTest, DecodesEveryTokenAndRejectsDamagedBuffers) {
    const float buffer[] = {
        GL_PASS_THROUGH_TOKEN,
        3,  //
        GL_POINT_TOKEN,
        1,
        2,
        3,
        0.5f,
        0.25f,
        0,
        1,  //
        GL_LINE_RESET_TOKEN,
        0,
        0,
        0,
        1,
        1,
        1,
        1,
        4,
        0,
        0,
        1,
        1,
        1,
        1,  //
        GL_LINE_TOKEN,
        4,
        0,
        0,
        1,
        1,
        1,
        1,
        4,
        4,
        0,
        1,
        1,
        1,
        1,  //
        GL_POLYGON_TOKEN,
        4,
        0,
        0,
        0,
        0,
        0,
        0,
        0,
        1,
        0,
        0,
        0,
        0,
        0,
        0,  //
        1,
        1,
        0,
        0,
        0,
        0,
        0,
        0,
        1,
        0,
        0,
        0,
        0,
        0,  //
        GL_BITMAP_TOKEN,
        5,
        6,
        0,
        1,
        1,
        1,
        1,  //
    };
    const auto primitives = parseFeedback(buffer, sizeof buffer / sizeof buffer[0]);
    ASSERT_EQ(primitives.size(), 6u);
    EXPECT_EQ(primitives[0].kind, PrimitiveKind::PassThrough);
    EXPECT_FLOAT_EQ(primitives[0].marker, 3);
    EXPECT_EQ(primitives[1].kind, PrimitiveKind::Point);
    EXPECT_FLOAT_EQ(primitives[1].vertices[0].z, 3);
    EXPECT_FLOAT_EQ(primitives[1].vertices[0].g, 0.25f);
    EXPECT_EQ(primitives[2].kind, PrimitiveKind::LineReset);
    EXPECT_FLOAT_EQ(primitives[2].vertices[1].x, 4);
    EXPECT_EQ(primitives[3].kind, PrimitiveKind::Line);
    EXPECT_EQ(primitives[4].kind, PrimitiveKind::Polygon);
    ASSERT_EQ(primitives[4].vertices.size(), 4u);
    EXPECT_FLOAT_EQ(primitives[4].vertices[3].y, 1);
    EXPECT_EQ(primitives[5].kind, PrimitiveKind::Bitmap);
    EXPECT_FLOAT_EQ(primitives[5].vertices[0].y, 6);

    const float truncated[] = {GL_LINE_TOKEN, 0, 0, 0, 1, 1, 1, 1, 4};
    EXPECT_THROW(parseFeedback(truncated, 9), std::runtime_error);
    const float hugePolygon[] = {GL_POLYGON_TOKEN, 1e6f, 0, 0, 0};
    EXPECT_THROW(parseFeedback(hugePolygon, 5), std::runtime_error);
    const float unknown[] = {12345, 0};
    EXPECT_THROW(parseFeedback(unknown, 2), std::runtime_error);
    const float negative[] = {-1};
    EXPECT_THROW(parseFeedback(negative, 1), std::runtime_error);
    EXPECT_TRUE(parseFeedback(buffer, 0).empty());
}

TEST_F(HelpersTest, FeedbackGrowsItsBufferForLargeDraws) {
    // Far more than the initial buffer holds: the capture has to retry with a bigger one.
    constexpr int kPoints = 20000;
    const auto primitives = captureFeedback([] {
        glBegin(GL_POINTS);
        for (int i = 0; i < kPoints; ++i) {
            glVertex2f(static_cast<float>(i % 100) - 50, static_cast<float>(i / 200) - 50);
        }
        glEnd();
    });
    ASSERT_EQ(primitives.size(), static_cast<std::size_t>(kPoints));
    EXPECT_NEAR(primitives.back().vertices[0].x, 49, kTolerance);
    EXPECT_NEAR(primitives.back().vertices[0].y, 49, kTolerance);
}

TEST_F(HelpersTest, FeedbackWithCurrentMatricesReportsWindowCoordinates) {
    useDemoProjection();
    const auto primitives = captureFeedbackWithCurrentMatrices([] {
        glBegin(GL_POINTS);
        glVertex3f(0, 0, 0);
        glVertex3f(5, 5, 0);
        glEnd();
    });
    ASSERT_EQ(primitives.size(), 2u);
    // The origin is straight ahead of the camera: the centre of the window.
    EXPECT_NEAR(primitives[0].vertices[0].x, kWindowSize / 2.0, 0.01);
    EXPECT_NEAR(primitives[0].vertices[0].y, kWindowSize / 2.0, 0.01);
    const auto expected = projectToWindow(5, 5, 0);
    EXPECT_NEAR(primitives[1].vertices[0].x, expected[0], 0.01);
    EXPECT_NEAR(primitives[1].vertices[0].y, expected[1], 0.01);
    EXPECT_NEAR(primitives[1].vertices[0].z, expected[2], 1e-4);
    // 20 units away with a 60 degree field of view: 5 units is 5 / (20 tan 30) of half the window.
    EXPECT_NEAR(expected[0], 250 + 250 * 5 / (20 * 0.57735), 0.01);
}

TEST_F(HelpersTest, ReadPixelsSeesAFilledQuadInTheBackBuffer) {
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, kWindowSize, 0, kWindowSize, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glColor3ub(200, 100, 50);
    // The lower-left quarter, so a flipped read would find black where the quad is.
    glRecti(0, 0, kWindowSize / 2, kWindowSize / 2);

    const Image all = readPixels(0, 0, kWindowSize, kWindowSize);
    EXPECT_EQ(all.at(kWindowSize / 4, kWindowSize / 4), (Rgb{200, 100, 50}));
    EXPECT_EQ(all.at(kWindowSize * 3 / 4, kWindowSize * 3 / 4), (Rgb{0, 0, 0}));
    EXPECT_EQ(all.at(kWindowSize / 4, kWindowSize * 3 / 4), (Rgb{0, 0, 0}));
    EXPECT_EQ(all.count(Rgb{200, 100, 50}), kWindowSize * kWindowSize / 4);

    // A block read is addressed from its own bottom-left corner.
    const Image block = readPixels(kWindowSize / 2 - 1, 10, 2, 1);
    EXPECT_EQ(block.at(0, 0), (Rgb{200, 100, 50}));
    EXPECT_EQ(block.at(1, 0), (Rgb{0, 0, 0}));
    EXPECT_THROW(block.at(2, 0), std::out_of_range);
}

}  // namespace
}  // namespace gltest
