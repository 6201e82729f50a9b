#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "math/Matrix.h"

namespace {

Matrix column(float x, float y, float z) {
    Matrix p(4, 1);
    p.set(0, 0, x);
    p.set(1, 0, y);
    p.set(2, 0, z);
    p.set(3, 0, 1.0f);
    return p;
}

Matrix filled(int rows, int cols, float start) {
    Matrix m(rows, cols);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            m.set(r, c, start + static_cast<float>(r * cols + c));
        }
    }
    return m;
}

void expectSame(const Matrix& a, const Matrix& b) {
    ASSERT_EQ(a.getRows(), b.getRows());
    ASSERT_EQ(a.getCols(), b.getCols());
    for (int r = 0; r < a.getRows(); ++r) {
        for (int c = 0; c < a.getCols(); ++c) {
            EXPECT_EQ(a.get(r, c), b.get(r, c)) << r << "," << c;
        }
    }
}

}  // namespace

TEST(MatrixTest, ConstructionCopiesAndAssignmentResize) {
    const Matrix zeros(3, 2);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(zeros.get(r, c), 0.0f);
        }
    }
    const Matrix defaulted;
    EXPECT_EQ(defaulted.getRows(), 1);
    EXPECT_EQ(defaulted.getCols(), 1);
    EXPECT_EQ(defaulted.get(0, 0), 0.0f);

    Matrix small;
    const Matrix four = filled(4, 4, 1.0f);
    small = four;
    expectSame(small, four);
    small = small;  // self-assignment changes nothing
    expectSame(small, four);

    // Copies are deep, inline and on the heap alike.
    Matrix big = filled(6, 6, 0.5f);
    Matrix bigCopy(big);
    big.set(5, 5, -1.0f);
    EXPECT_EQ(bigCopy.get(5, 5), 35.5f);
    Matrix fourCopy = four;
    fourCopy.set(0, 0, 99.0f);
    EXPECT_EQ(four.get(0, 0), 1.0f);
    // Shrinking from heap to inline storage and back keeps the elements.
    Matrix changing = big;
    changing = four;
    expectSame(changing, four);
    changing = bigCopy;
    expectSame(changing, bigCopy);
}

TEST(MatrixTest, SizeMismatchesReturnTheLeftOperand) {
    const Matrix a = filled(2, 3, 1.0f);
    expectSame(a * filled(2, 3, 7.0f), a);
    expectSame(a + filled(3, 3, 1.0f), a);
    expectSame(a - filled(2, 2, 1.0f), a);
    Matrix b = a;
    b += filled(4, 4, 1.0f);
    expectSame(b, a);
    b -= filled(1, 1, 1.0f);
    expectSame(b, a);
}

TEST(MatrixTest, ArithmeticAndProduct) {
    const Matrix a = filled(2, 3, 1.0f);  // [[1,2,3],[4,5,6]]
    const Matrix b = filled(3, 2, 1.0f);  // [[1,2],[3,4],[5,6]]
    const Matrix ab = a * b;
    ASSERT_EQ(ab.getRows(), 2);
    ASSERT_EQ(ab.getCols(), 2);
    EXPECT_EQ(ab.get(0, 0), 22.0f);
    EXPECT_EQ(ab.get(0, 1), 28.0f);
    EXPECT_EQ(ab.get(1, 0), 49.0f);
    EXPECT_EQ(ab.get(1, 1), 64.0f);

    const Matrix sum = a + a;
    EXPECT_EQ(sum.get(1, 2), 12.0f);
    EXPECT_EQ((sum - a).get(1, 2), 6.0f);
    EXPECT_EQ((a * 3.0f).get(0, 1), 6.0f);
    EXPECT_EQ((a / 2.0f).get(0, 0), 0.5f);
    Matrix c = a;
    c *= 2.0f;
    c /= 4.0f;
    EXPECT_EQ(c.get(1, 1), 2.5f);
}

TEST(MatrixTest, BuildersActOnColumnPoints) {
    const Matrix m(4, 4);
    Matrix p = m.translate(1.0f, 2.0f, 3.0f) * column(4.0f, 5.0f, 6.0f);
    EXPECT_EQ(p.get(0, 0), 5.0f);
    EXPECT_EQ(p.get(1, 0), 7.0f);
    EXPECT_EQ(p.get(2, 0), 9.0f);
    EXPECT_EQ(p.get(3, 0), 1.0f);

    const float halfPi = static_cast<float>(M_PI / 2);
    p = m.rotateZ(halfPi) * column(1.0f, 0.0f, 0.0f);
    EXPECT_NEAR(p.get(0, 0), 0.0f, 1e-6f);
    EXPECT_NEAR(p.get(1, 0), -1.0f, 1e-6f);
    p = m.rotateX(halfPi) * column(0.0f, 1.0f, 0.0f);
    EXPECT_NEAR(p.get(1, 0), 0.0f, 1e-6f);
    EXPECT_NEAR(p.get(2, 0), -1.0f, 1e-6f);
    p = m.rotateY(halfPi) * column(1.0f, 0.0f, 0.0f);
    EXPECT_NEAR(p.get(0, 0), 0.0f, 1e-6f);
    EXPECT_NEAR(p.get(2, 0), 1.0f, 1e-6f);

    p = m.shear(0.5f, 0.0f, 0.0f) * column(2.0f, 0.0f, 0.0f);
    EXPECT_EQ(p.get(0, 0), 2.0f);
    EXPECT_EQ(p.get(1, 0), 1.0f);
    EXPECT_EQ(p.get(2, 0), 1.0f);
    p = m.scale(2.0f, 3.0f, 4.0f) * column(1.0f, 1.0f, 1.0f);
    EXPECT_EQ(p.get(2, 0), 4.0f);

    const Matrix odd = Matrix(2, 3).identity();
    EXPECT_EQ(odd.getRows(), 1);
    EXPECT_EQ(odd.getCols(), 1);
    EXPECT_EQ(odd.get(0, 0), 0.0f);
    // Undersized receivers give matrices of their own size instead of writing past them.
    EXPECT_EQ(Matrix(2, 2).translate(1.0f, 2.0f, 3.0f).getRows(), 2);
}

TEST(MatrixTest, FourByFourBuildersHoldWhatTheGeneralBuildersPutInTheCorner) {
    // A 5 x 5 receiver takes the general path: identity, then the entries set one by one.
    // The 4 x 4 transforms, written out at once, must hold its top-left corner exactly.
    const Matrix five(5, 5);
    const auto corner = [](const Matrix& m) {
        Matrix c(4, 4);
        for (int r = 0; r < 4; ++r) {
            for (int k = 0; k < 4; ++k) {
                c.set(r, k, m.get(r, k));
            }
        }
        return c;
    };
    expectSame(Matrix::translation(1.5f, -2.0f, 3.0f), corner(five.translate(1.5f, -2.0f, 3.0f)));
    expectSame(Matrix::rotationX(0.7f), corner(five.rotateX(0.7f)));
    expectSame(Matrix::rotationY(-1.1f), corner(five.rotateY(-1.1f)));
    expectSame(Matrix::rotationZ(2.3f), corner(five.rotateZ(2.3f)));
    expectSame(Matrix::scaling(2.0f, 0.5f, -1.0f), corner(five.scale(2.0f, 0.5f, -1.0f)));
    expectSame(Matrix::shearing(0.2f, 0.3f, 0.4f), corner(five.shear(0.2f, 0.3f, 0.4f)));
    const Matrix four(4, 4);
    expectSame(four.rotateY(-1.1f), Matrix::rotationY(-1.1f));
    expectSame(four.shear(0.2f, 0.3f, 0.4f), Matrix::shearing(0.2f, 0.3f, 0.4f));
}

TEST(MatrixTest, TransformPointMatchesTheProductExactly) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-3.0f, 3.0f);
    const Matrix m(4, 4);
    for (int i = 0; i < 200; ++i) {
        const Matrix t = m.rotateX(value(random)) * m.shear(value(random), value(random), 0.0f) *
                         m.translate(value(random), value(random), value(random));
        float x = value(random), y = value(random), z = value(random);
        const Matrix expected = t * column(x, y, z);
        t.transformPoint(x, y, z);
        EXPECT_EQ(x, expected.get(0, 0));
        EXPECT_EQ(y, expected.get(1, 0));
        EXPECT_EQ(z, expected.get(2, 0));
    }
}

TEST(MatrixTest, Determinant) {
    Matrix two(2, 2);
    two.set(0, 0, 1.0f);
    two.set(0, 1, 2.0f);
    two.set(1, 0, 3.0f);
    two.set(1, 1, 4.0f);
    EXPECT_EQ(two.determinant(), -2.0f);
    EXPECT_EQ(Matrix(3, 3).identity().determinant(), 1.0f);
    EXPECT_EQ(filled(2, 3, 1.0f).determinant(), 0.0f);
    EXPECT_EQ(filled(3, 3, 1.0f).determinant(), 0.0f);  // rows in arithmetic progression
    Matrix scaled = Matrix(4, 4).scale(2.0f, 3.0f, 4.0f);
    EXPECT_EQ(scaled.determinant(), 24.0f);
    Matrix one(1, 1);
    one.set(0, 0, 5.0f);
    EXPECT_EQ(one.determinant(), 5.0f);
    EXPECT_EQ(Matrix(5, 5).identity().determinant(), 1.0f);
}
