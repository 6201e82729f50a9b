// The Bezier surface as the evaluators really produce it, checked against a bicubic Bernstein
// evaluation of the control grid written out here, independently of the shape's own table.

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "shapes/Bezier.h"
#include "support/gl/GlTest.h"

namespace {

using gltest::FeedbackVertex;
using gltest::Primitive;
using gltest::PrimitiveKind;
using Vec = std::array<float, 3>;
using Rgb3 = std::array<float, 3>;

constexpr float TOLERANCE = 2e-3f;

// Row i (v), point j (u).
const Vec GRID[4][4] = {
    {{-3, -2, 4}, {-1, 2, 4}, {1, -2, 4}, {3, 2, 4}},
    {{-3, -5, 3}, {-1, -1, 2}, {1, -5, 3}, {3, -1, 3}},
    {{-3, -2, 2}, {-1, 2, 2}, {-1, -2, 2}, {3, 2, 2}},
    {{-3, -5, 1}, {-1, -1, 1}, {1, -5, 1}, {3, -1, 1}},
};
const Rgb3 GREY{0.5f, 0.5f, 0.5f};
const Rgb3 WHITE{1, 1, 1};
const Rgb3 COLUMN_COLOURS[4] = {{1, 1, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

double bernstein(int k, double t) {
    const double s = 1.0 - t;
    const double weights[4] = {s * s * s, 3 * t * s * s, 3 * t * t * s, t * t * t};
    return weights[k];
}

Vec cubic(const Vec (&control)[4], double t) {
    Vec p{0, 0, 0};
    for (int k = 0; k < 4; ++k) {
        for (int c = 0; c < 3; ++c) {
            p[c] += static_cast<float>(bernstein(k, t) * static_cast<double>(control[k][c]));
        }
    }
    return p;
}

Vec surfaceAt(double u, double v) {
    Vec p{0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            const double w = bernstein(i, v) * bernstein(j, u);
            for (int c = 0; c < 3; ++c) {
                p[c] += static_cast<float>(w * static_cast<double>(GRID[i][j][c]));
            }
        }
    }
    return p;
}

float distance(const FeedbackVertex& v, const Vec& p) {
    return std::sqrt((v.x - p[0]) * (v.x - p[0]) + (v.y - p[1]) * (v.y - p[1]) +
                     (v.z - p[2]) * (v.z - p[2]));
}

bool hasColour(const FeedbackVertex& v, const Rgb3& c) {
    return std::fabs(v.r - c[0]) < 1e-3f && std::fabs(v.g - c[1]) < 1e-3f &&
           std::fabs(v.b - c[2]) < 1e-3f;
}

std::vector<Primitive> segmentsIn(const std::vector<Primitive>& primitives, const Rgb3& colour) {
    std::vector<Primitive> segments;
    for (const Primitive& p : gltest::lineSegments(primitives)) {
        if (hasColour(p.vertices[0], colour)) {
            segments.push_back(p);
        }
    }
    return segments;
}

// Every vertex of the grey mesh is a grid vertex of the surface with at most `rows` steps
// in v, and each listed (i, j) grid vertex is among them.
void expectMesh(const std::vector<Primitive>& mesh, int rows,
                const std::vector<std::array<int, 2>>& samples) {
    const int steps = Bezier::SURFACE_STEPS;
    std::vector<Vec> grid;
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= steps; ++i) {
            grid.push_back(
                surfaceAt(static_cast<double>(i) / steps, static_cast<double>(j) / steps));
        }
    }
    int strays = 0;
    for (const Primitive& segment : mesh) {
        for (const FeedbackVertex& v : segment.vertices) {
            bool onGrid = false;
            for (size_t g = 0; g < grid.size() && !onGrid; ++g) {
                onGrid = distance(v, grid[g]) < TOLERANCE;
            }
            strays += onGrid ? 0 : 1;
        }
    }
    EXPECT_EQ(strays, 0) << "mesh vertices off the surface's grid";
    for (const auto& sample : samples) {
        const Vec p = surfaceAt(static_cast<double>(sample[0]) / steps,
                                static_cast<double>(sample[1]) / steps);
        bool found = false;
        for (const Primitive& segment : mesh) {
            for (const FeedbackVertex& v : segment.vertices) {
                found = found || distance(v, p) < TOLERANCE;
            }
        }
        EXPECT_TRUE(found) << "no mesh vertex at u step " << sample[0] << ", v step " << sample[1];
    }
}

class BezierDrawTest : public gltest::GlTest {};

TEST_F(BezierDrawTest, MeshEvaluatesTheControlGrid) {
    Bezier bezier;
    const auto primitives = gltest::captureFeedback([&] { bezier.draw(17); });
    const auto mesh = segmentsIn(primitives, GREY);
    // 51 strips of 50 segments along u, and as many along v.
    EXPECT_EQ(mesh.size(), 2u * 51u * 50u);
    // Corners, and the neighbourhoods of both irregular control points.
    expectMesh(mesh, 50, {{0, 0}, {50, 0}, {0, 50}, {50, 50}, {17, 17}, {33, 33}, {12, 41}});
}

TEST_F(BezierDrawTest, VisibleFractionLimitsTheRows) {
    struct Case {
        float fraction;
        int rows;
    };
    for (const Case& c : {Case{0.5f, 25}, Case{0.01f, 0}, Case{1.7f, 50}}) {
        SCOPED_TRACE(c.fraction);
        Bezier bezier;
        bezier.visibleFraction = c.fraction;
        const auto mesh = segmentsIn(gltest::captureFeedback([&] { bezier.draw(17); }), GREY);
        // rows + 1 strips along u of 50 segments, 51 strips along v of `rows` segments.
        EXPECT_EQ(mesh.size(), static_cast<size_t>((c.rows + 1) * 50 + 51 * c.rows));
        expectMesh(mesh, c.rows, {{0, c.rows}, {50, c.rows}, {25, c.rows / 2}});
    }
}

TEST_F(BezierDrawTest, ControlPointsAndColumnCurves) {
    Bezier bezier;
    const auto primitives = gltest::captureFeedback([&] { bezier.draw(17); });

    const auto points = gltest::primitivesOfKind(primitives, PrimitiveKind::Point);
    ASSERT_EQ(points.size(), 20u);
    // Column by column, each in its colour, down the rows.
    for (int k = 0; k < 4; ++k) {
        for (int i = 0; i < 4; ++i) {
            const FeedbackVertex& v = points[static_cast<size_t>(k * 4 + i)].vertices[0];
            EXPECT_LT(distance(v, GRID[i][k]), TOLERANCE) << "column " << k << " row " << i;
            EXPECT_TRUE(hasColour(v, COLUMN_COLOURS[k])) << "column " << k;
        }
    }
    // The extra curve's points, each in its own colour.
    for (int k = 0; k < 4; ++k) {
        const FeedbackVertex& v = points[static_cast<size_t>(16 + k)].vertices[0];
        EXPECT_LT(distance(v, Vec{bezier.curve[k][0], bezier.curve[k][1], bezier.curve[k][2]}),
                  TOLERANCE);
        EXPECT_TRUE(hasColour(v, COLUMN_COLOURS[k]));
    }

    // Each column's cubic in that column's colour, 30 steps in order; columns 0 and 3 are
    // the surface's u edges.
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE("column " + std::to_string(k));
        const Vec column[4] = {GRID[0][k], GRID[1][k], GRID[2][k], GRID[3][k]};
        const auto curve = segmentsIn(primitives, COLUMN_COLOURS[k]);
        ASSERT_EQ(curve.size(), 30u);
        for (int s = 0; s < 30; ++s) {
            const double t = s / 30.0;
            EXPECT_LT(distance(curve[static_cast<size_t>(s)].vertices[0], cubic(column, t)),
                      TOLERANCE)
                << s;
            if (k == 0 || k == 3) {
                EXPECT_LT(distance(curve[static_cast<size_t>(s)].vertices[0],
                                   surfaceAt(k == 0 ? 0.0 : 1.0, t)),
                          TOLERANCE);
            }
        }
        EXPECT_LT(distance(curve.back().vertices[1], GRID[3][k]), TOLERANCE);
    }

    // The white curve follows its own control points.
    const Vec extra[4] = {{bezier.curve[0][0], bezier.curve[0][1], bezier.curve[0][2]},
                          {bezier.curve[1][0], bezier.curve[1][1], bezier.curve[1][2]},
                          {bezier.curve[2][0], bezier.curve[2][1], bezier.curve[2][2]},
                          {bezier.curve[3][0], bezier.curve[3][1], bezier.curve[3][2]}};
    const auto white = segmentsIn(primitives, WHITE);
    ASSERT_EQ(white.size(), 30u);
    EXPECT_LT(distance(white[10].vertices[0], cubic(extra, 10 / 30.0)), TOLERANCE);
    EXPECT_LT(distance(white[29].vertices[1], extra[3]), TOLERANCE);
}

TEST_F(BezierDrawTest, LeavesTheStateItPromisesAndHiddenTouchesNone) {
    Bezier bezier;
    glPointSize(3.0f);
    glLineWidth(2.0f);
    glColor3f(0.1f, 0.2f, 0.3f);

    bezier.drawEnabled = false;
    bezier.draw(17);
    GLfloat value = 0;
    GLfloat colour[4];
    glGetFloatv(GL_POINT_SIZE, &value);
    EXPECT_EQ(value, 3.0f);
    glGetFloatv(GL_LINE_WIDTH, &value);
    EXPECT_EQ(value, 2.0f);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.1f);
    EXPECT_FALSE(glIsEnabled(GL_MAP1_VERTEX_3));
    EXPECT_FALSE(glIsEnabled(GL_MAP2_VERTEX_3));

    bezier.drawEnabled = true;
    bezier.draw(17);
    glGetFloatv(GL_POINT_SIZE, &value);
    EXPECT_EQ(value, 8.0f);
    glGetFloatv(GL_LINE_WIDTH, &value);
    EXPECT_EQ(value, 1.0f);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_MAP1_VERTEX_3));
    EXPECT_TRUE(glIsEnabled(GL_MAP2_VERTEX_3));
}

}  // namespace
