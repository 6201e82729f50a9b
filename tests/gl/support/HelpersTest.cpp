// The draw tests trust these helpers to report geometry and pixels faithfully; a helper that
// mapped coordinates wrongly or read the wrong buffer would make every draw test meaningless.

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/gl/GlTest.h"

namespace gltest {
namespace {

constexpr float TOLERANCE = 1e-3f;

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
        EXPECT_NEAR(v[i].x, expected[i][0], TOLERANCE);
        EXPECT_NEAR(v[i].y, expected[i][1], TOLERANCE);
        EXPECT_NEAR(v[i].z, expected[i][2], TOLERANCE);
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
    EXPECT_NEAR(primitives[1].vertices[0].x, 1, TOLERANCE);
    EXPECT_NEAR(primitives[1].vertices[0].y, 2, TOLERANCE);
    EXPECT_NEAR(primitives[1].vertices[0].z, 3, TOLERANCE);
    EXPECT_NEAR(primitives[1].vertices[1].x, 11, TOLERANCE);
    EXPECT_NEAR(primitives[2].vertices[0].x, 11, TOLERANCE);
    EXPECT_NEAR(primitives[2].vertices[1].x, 11, TOLERANCE);
    EXPECT_NEAR(primitives[2].vertices[1].y, 12, TOLERANCE);

    EXPECT_EQ(primitives[3].kind, PrimitiveKind::PassThrough);
    EXPECT_EQ(primitives[4].kind, PrimitiveKind::LineReset);
    EXPECT_EQ(primitivesOfKind(primitives, PrimitiveKind::Line).size(), 5u);
    // glTranslatef applies to the rectangle too: every outline vertex is a moved corner.
    for (std::size_t i = 4; i < primitives.size(); ++i) {
        for (const FeedbackVertex& v : primitives[i].vertices) {
            EXPECT_TRUE(std::fabs(v.x + 19) < TOLERANCE || std::fabs(v.x + 9) < TOLERANCE) << v;
            EXPECT_TRUE(std::fabs(v.y + 18) < TOLERANCE || std::fabs(v.y + 8) < TOLERANCE) << v;
        }
    }
}

TEST(FeedbackParseTest, DecodesEveryTokenAndRejectsDamagedBuffers) {
    // One primitive a line: its token, then each vertex as x, y, z, r, g, b, a.
    // clang-format off
    const float buffer[] = {
        GL_PASS_THROUGH_TOKEN, 3,
        GL_POINT_TOKEN, 1, 2, 3, 0.5f, 0.25f, 0, 1,
        GL_LINE_RESET_TOKEN, 0, 0, 0, 1, 1, 1, 1, 4, 0, 0, 1, 1, 1, 1,
        GL_LINE_TOKEN, 4, 0, 0, 1, 1, 1, 1, 4, 4, 0, 1, 1, 1, 1,
        GL_POLYGON_TOKEN, 4, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0,
                             1, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0,
        GL_BITMAP_TOKEN, 5, 6, 0, 1, 1, 1, 1,
    };
    // clang-format on
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
    constexpr int POINTS = 20000;
    const auto primitives = captureFeedback([] {
        glBegin(GL_POINTS);
        for (int i = 0; i < POINTS; ++i) {
            glVertex2f(static_cast<float>(i % 100) - 50, static_cast<float>(i / 200) - 50);
        }
        glEnd();
    });
    ASSERT_EQ(primitives.size(), static_cast<std::size_t>(POINTS));
    EXPECT_NEAR(primitives.back().vertices[0].x, 49, TOLERANCE);
    EXPECT_NEAR(primitives.back().vertices[0].y, 49, TOLERANCE);
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
    EXPECT_NEAR(primitives[0].vertices[0].x, WINDOW_SIZE / 2.0, 0.01);
    EXPECT_NEAR(primitives[0].vertices[0].y, WINDOW_SIZE / 2.0, 0.01);
    const auto expected = projectToWindow(5, 5, 0);
    EXPECT_NEAR(primitives[1].vertices[0].x, expected[0], 0.01);
    EXPECT_NEAR(primitives[1].vertices[0].y, expected[1], 0.01);
    EXPECT_NEAR(primitives[1].vertices[0].z, expected[2], 1e-4);
    // 20 units away with a 60 degree field of view: 5 units is 5 / (20 tan 30) of half the window.
    EXPECT_NEAR(expected[0], 250 + 250 * 5 / (20 * 0.57735), 0.01);
}

TEST_F(HelpersTest, ReadPixelsSeesAFilledQuadInTheBackBuffer) {
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, WINDOW_SIZE, 0, WINDOW_SIZE, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glColor3ub(200, 100, 50);
    // The lower-left quarter, so a flipped read would find black where the quad is.
    glRecti(0, 0, WINDOW_SIZE / 2, WINDOW_SIZE / 2);

    const Image all = readPixels(0, 0, WINDOW_SIZE, WINDOW_SIZE);
    EXPECT_EQ(all.at(WINDOW_SIZE / 4, WINDOW_SIZE / 4), (Rgb{200, 100, 50}));
    EXPECT_EQ(all.at(WINDOW_SIZE * 3 / 4, WINDOW_SIZE * 3 / 4), (Rgb{0, 0, 0}));
    EXPECT_EQ(all.at(WINDOW_SIZE / 4, WINDOW_SIZE * 3 / 4), (Rgb{0, 0, 0}));
    EXPECT_EQ(all.count(Rgb{200, 100, 50}), WINDOW_SIZE * WINDOW_SIZE / 4);

    // A block read is addressed from its own bottom-left corner.
    const Image block = readPixels(WINDOW_SIZE / 2 - 1, 10, 2, 1);
    EXPECT_EQ(block.at(0, 0), (Rgb{200, 100, 50}));
    EXPECT_EQ(block.at(1, 0), (Rgb{0, 0, 0}));
    EXPECT_THROW(block.at(2, 0), std::out_of_range);
}

TEST(PictureHelpersTest, RegionsCountDifferAndSearchWithinTheirBounds) {
    // 3 x 2, row 0 first: a red pixel at (1, 0), white at (2, 1), black elsewhere.
    std::vector<std::uint8_t> rgb(3 * 2 * 3, 0);
    rgb[3] = 255;
    rgb.at(15) = rgb.at(16) = rgb.at(17) = 255;
    const Image image(3, 2, rgb, Image::Origin::TopLeft);
    EXPECT_EQ(image.count(image.all(), testsupport::isRed), 1);
    EXPECT_EQ(image.count({0, 0, 1, 2}, testsupport::isRed), 0);  // right and bottom excluded
    EXPECT_EQ(image.count({1, 0, 2, 1}, testsupport::isRed), 1);
    EXPECT_EQ(image.count({-5, -5, 50, 50}, testsupport::isWhite), 1);  // clipped, not thrown
    EXPECT_TRUE(image.anyNear(0, 1, 1, testsupport::isRed));
    EXPECT_FALSE(image.anyNear(0, 1, 0, testsupport::isRed));

    const Image same(3, 2, rgb, Image::Origin::TopLeft);
    EXPECT_EQ(image.differences(same, image.all()), 0);
    rgb[3] = 0;
    const Image changed(3, 2, rgb, Image::Origin::TopLeft);
    EXPECT_EQ(image.differences(changed, image.all()), 1);
    EXPECT_EQ(image.differences(changed, {2, 0, 3, 2}), 0);
    // A smaller picture differs in every pixel it lacks.
    const Image column(1, 2, std::vector<std::uint8_t>(6, 0), Image::Origin::TopLeft);
    EXPECT_EQ(image.differences(column, image.all()), 4);
}

TEST(VertexHelpersTest, PositionAndColourMustBeWithinTheTolerance) {
    const FeedbackVertex v{1.0f, 2.0f, 3.0f, 0.5f, 0.25f, 0.0f, 1.0f};
    EXPECT_TRUE(vertexNear(v, 1.0f, 2.0f, 3.0f));
    EXPECT_FALSE(vertexNear(v, 1.0f, 2.0f, 3.01f));
    EXPECT_TRUE(vertexNear(v, 1.0f, 2.0f, 3.01f, 0.02f));
    EXPECT_TRUE(colourNear(v, 0.5f, 0.25f, 0.0f));
    EXPECT_FALSE(colourNear(v, 0.5f, 0.0f, 0.25f));
    const FeedbackVertex lost{std::nanf(""), 2.0f, 3.0f, 0, 0, 0, 1};
    EXPECT_FALSE(vertexNear(lost, 1.0f, 2.0f, 3.0f));
}

}  // namespace
}  // namespace gltest
