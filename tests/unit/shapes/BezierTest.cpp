#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/ComponentTransform.h"
#include "shapes/Bezier.h"

TEST(BezierTest, StartsVisibleWithTheControlGrid) {
    Bezier bezier;
    EXPECT_EQ(bezier.getTypeTag(), "SHAPE");
    EXPECT_TRUE(bezier.drawEnabled);
    EXPECT_FALSE(bezier.updateEnabled);
    EXPECT_EQ(bezier.visibleFraction, 1.0f);
    ASSERT_TRUE(bezier.hasComponentTransform());
    EXPECT_EQ(bezier.componentTransform->points.size(), 1u);

    // Corners of the grid and the two irregular entries.
    EXPECT_EQ(bezier.surface[0][0][0], -3.0f);
    EXPECT_EQ(bezier.surface[0][3][1], 2.0f);
    EXPECT_EQ(bezier.surface[3][3][2], 1.0f);
    EXPECT_EQ(bezier.surface[1][1][2], 2.0f);
    EXPECT_EQ(bezier.surface[1][0][2], 3.0f);
    EXPECT_EQ(bezier.surface[2][2][0], -1.0f);
    EXPECT_EQ(bezier.surface[1][2][0], 1.0f);

    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(bezier.columns[k][i][c], bezier.surface[i][k][c]);
            }
        }
        for (int c = 0; c < 3; ++c) {
            EXPECT_TRUE(std::isfinite(bezier.curve[i][c]));
        }
    }

    // Columns are a snapshot: later grid changes need another buildColumns.
    bezier.surface[2][1][0] = 7.0f;
    EXPECT_EQ(bezier.columns[1][2][0], -1.0f);
    bezier.buildColumns();
    EXPECT_EQ(bezier.columns[1][2][0], 7.0f);
}

TEST(BezierTest, VisibleRowsClampsTheFraction) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float fraction;
        int rows;
    };
    const Case cases[] = {
        {1.0f, 50}, {0.5f, 25}, {0.03f, 1}, {0.019f, 0}, {0.0f, 0},   {-2.0f, 0},
        {3.0f, 50}, {nan, 0},   {inf, 50},  {-inf, 0},   {1e30f, 50},
    };
    Bezier bezier;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fraction);
        bezier.visibleFraction = c.fraction;
        EXPECT_EQ(bezier.visibleRows(), c.rows);
    }
}
