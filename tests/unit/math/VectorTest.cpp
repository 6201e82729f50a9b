#include <gtest/gtest.h>

#include <cmath>

#include "math/Vector2.h"
#include "math/Vector3.h"

using _Tarn::Vector3;

namespace {

void expectVector(const Vector3& v, float x, float y, float z, float tolerance = 1e-6f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

}  // namespace

TEST(Vector3Test, IndexOutsideTheThreeComponentsReadsZero) {
    const Vector3 v(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[1], 2.0f);
    EXPECT_EQ(v[2], 3.0f);
    for (int i : {3, -1, 7, 1000, -1000}) {
        EXPECT_EQ(v[i], 0.0f) << "index " << i;
    }
}

TEST(Vector3Test, LengthScalingAndTruncation) {
    Vector3 zero(0.0f, 0.0f, 0.0f);
    zero.setLength(1.0f);
    expectVector(zero, 0.0f, 0.0f, 0.0f, 0.0f);

    Vector3 v(3.0f, 4.0f, 0.0f);
    EXPECT_EQ(v.length(), 5.0f);
    v.setLength(1.0f);
    expectVector(v, 0.6f, 0.8f, 0.0f);

    Vector3 exact(3.0f, 4.0f, 0.0f);
    exact.truncate(5.0f);
    expectVector(exact, 3.0f, 4.0f, 0.0f, 0.0f);
    exact.truncate(1.0f);
    expectVector(exact, 0.6f, 0.8f, 0.0f);

    expectVector(Vector3(0.0f, 0.0f, 0.0f).scaledTo(3.0f), 0.0f, 0.0f, 0.0f, 0.0f);
    expectVector(Vector3(0.0f, 2.0f, 0.0f).scaledTo(3.0f), 0.0f, 3.0f, 0.0f);
}

TEST(Vector3Test, ArithmeticCrossAndDot) {
    const Vector3 x(1.0f, 0.0f, 0.0f);
    const Vector3 y(0.0f, 1.0f, 0.0f);
    expectVector(x.cross(y), 0.0f, 0.0f, 1.0f, 0.0f);
    expectVector(y.cross(x), 0.0f, 0.0f, -1.0f, 0.0f);
    EXPECT_EQ(Vector3(1.0f, 2.0f, 3.0f).dot(Vector3(4.0f, -5.0f, 6.0f)), 12.0f);

    Vector3 v(1.0f, 2.0f, 3.0f);
    v += Vector3(1.0f, 1.0f, 1.0f);
    v -= Vector3(0.5f, 0.5f, 0.5f);
    v *= 2.0f;
    v /= 4.0f;
    expectVector(v, 0.75f, 1.25f, 1.75f, 0.0f);
    expectVector(v + v - Vector3(0.5f, 0.5f, 0.5f), 1.0f, 2.0f, 3.0f, 0.0f);
    expectVector(v / 0.25f, 3.0f, 5.0f, 7.0f, 0.0f);

    Vector3 n(1.0f, -2.0f, 0.0f);
    n.negate();
    expectVector(n, -1.0f, 2.0f, 0.0f, 0.0f);
    EXPECT_TRUE(std::signbit(n.z));
}

TEST(Vector3Test, PlanarHelpersDropZ) {
    const float halfPi = static_cast<float>(M_PI / 2);
    expectVector(Vector3::toPolar(0.0f, 1.0f), halfPi, 1.0f, 0.0f);
    expectVector(Vector3::fromPolar(2.0f, 0.0f), 2.0f, 0.0f, 0.0f);
    expectVector(Vector3::rotate(Vector3(1.0f, 0.0f, 7.0f), halfPi), 0.0f, 1.0f, 0.0f);
}

TEST(Vector2Test, MirrorsTheThreeComponentOperations) {
    Vector2 v(3.0f, 4.0f);
    EXPECT_EQ(v.length(), 5.0f);
    v.truncate(1.0f);
    EXPECT_NEAR(v.x, 0.6f, 1e-6f);
    EXPECT_NEAR(v.y, 0.8f, 1e-6f);
    Vector2 zero(0.0f, 0.0f);
    zero.setLength(2.0f);
    EXPECT_EQ(zero.x, 0.0f);
    const Vector2 r = Vector2::rotate(Vector2(1.0f, 0.0f), static_cast<float>(M_PI / 2));
    EXPECT_NEAR(r.x, 0.0f, 1e-6f);
    EXPECT_NEAR(r.y, 1.0f, 1e-6f);
    const Vector2 polar = Vector2::toPolar(0.0f, 2.0f);
    EXPECT_NEAR(polar.x, static_cast<float>(M_PI / 2), 1e-6f);
    EXPECT_EQ(polar.y, 2.0f);
    EXPECT_EQ(Vector2(1.0f, 2.0f).dot(Vector2(3.0f, 4.0f)), 11.0f);
}
