#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "math/Matrix.h"
#include "math/Quaternion.h"

using _Tarn::Vector3;

namespace {

void expectQuaternion(const Quaternion& q, float w, float x, float y, float z,
                      float tolerance = 1e-6f) {
    EXPECT_NEAR(q.w, w, tolerance);
    EXPECT_NEAR(q.x, x, tolerance);
    EXPECT_NEAR(q.y, y, tolerance);
    EXPECT_NEAR(q.z, z, tolerance);
}

}  // namespace

TEST(QuaternionTest, ConstantsAndConstruction) {
    EXPECT_EQ(Quaternion::DEG_TO_RAD, 3.14159 / 180.0);
    EXPECT_EQ(Quaternion::NORMALIZE_TOLERANCE, 9.999999747378752e-06);
    expectQuaternion(Quaternion(), 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);

    // Pi is taken as 3.14159, so the half angle is 0.7853975 rather than pi / 4.
    const Quaternion heading(90.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(heading.w, 0.7071072f);
    EXPECT_FLOAT_EQ(heading.y, 0.7071064f);
    EXPECT_EQ(heading.x, 0.0f);
    EXPECT_EQ(heading.z, 0.0f);

    Quaternion axisAngle;
    axisAngle.setAxisAngle(Vector3(0.0f, 0.0f, 2.0f), static_cast<float>(M_PI));
    expectQuaternion(axisAngle, 0.0f, 0.0f, 0.0f, 1.0f);
}

TEST(QuaternionTest, EulerAnglesComposeHeadingAttitudeBank) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> degrees(-180.0f, 180.0f);
    const auto about = [](float x, float y, float z, float deg) {
        Quaternion q;
        q.setAxisAngle(Vector3(x, y, z),
                       static_cast<float>(static_cast<double>(deg) * Quaternion::DEG_TO_RAD));
        return q;
    };
    for (int i = 0; i < 100; ++i) {
        const float a = degrees(random), b = degrees(random), c = degrees(random);
        const Quaternion expected = about(0, 1, 0, a) * about(0, 0, 1, b) * about(1, 0, 0, c);
        const Quaternion euler(a, b, c);
        expectQuaternion(euler, expected.w, expected.x, expected.y, expected.z, 2e-6f);
    }
}

TEST(QuaternionTest, ProductConjugateAndNormalisation) {
    const Quaternion q(0.5f, -1.0f, 2.0f, 3.5f);
    EXPECT_TRUE(Quaternion(1, 0, 0, 0) * q == q);
    EXPECT_TRUE(q * Quaternion(1, 0, 0, 0) == q);
    expectQuaternion(Quaternion(1, 2, 3, 4).conjugate(), 1, -2, -3, -4, 0.0f);
    // i * j = k, j * i = -k.
    expectQuaternion(Quaternion(0, 1, 0, 0) * Quaternion(0, 0, 1, 0), 0, 0, 0, 1, 0.0f);
    expectQuaternion(Quaternion(0, 0, 1, 0) * Quaternion(0, 1, 0, 0), 0, 0, 0, -1, 0.0f);

    Quaternion two(2, 0, 0, 0);
    two.normalize();
    expectQuaternion(two, 1, 0, 0, 0, 0.0f);
    Quaternion nearUnit(1, 0, 0, 0.001f);
    nearUnit.normalize();
    expectQuaternion(nearUnit, 1, 0, 0, 0.001f, 0.0f);
    Quaternion nearZero(0.001f, 0, 0, 0);
    nearZero.normalize();
    expectQuaternion(nearZero, 0.001f, 0, 0, 0, 0.0f);

    Quaternion sum(1, 1, 1, 1);
    sum += Quaternion(1, 2, 3, 4);
    sum -= Quaternion(0, 1, 1, 1);
    sum *= 2.0f;
    sum /= 4.0f;
    expectQuaternion(sum, 1, 1, 1.5f, 2, 0.0f);
    EXPECT_FLOAT_EQ(Quaternion(1, 2, 2, 4).norm(), 5.0f);
    EXPECT_FLOAT_EQ(Quaternion(0, 0, 3, 4).normalized().z, 0.8f);
}

TEST(QuaternionTest, RotationMatchesItsMatrixAndRotateVector) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (int i = 0; i < 200; ++i) {
        Quaternion q;
        q.setAxisAngle(Vector3(value(random), value(random), value(random)), 3 * value(random));
        const Vector3 v(value(random), value(random), value(random));
        Vector3 unit = v;
        unit.setLength(1.0f);
        const Matrix m = q.toMatrix();
        Matrix column(4, 1);
        column.set(0, 0, unit.x);
        column.set(1, 0, unit.y);
        column.set(2, 0, unit.z);
        column.set(3, 0, 1.0f);
        const Matrix rotated = m * column;
        const Vector3 byQuaternion = q.rotateVector(v);
        EXPECT_NEAR(byQuaternion.x, rotated.get(0, 0), 1e-5f);
        EXPECT_NEAR(byQuaternion.y, rotated.get(1, 0), 1e-5f);
        EXPECT_NEAR(byQuaternion.z, rotated.get(2, 0), 1e-5f);
        EXPECT_NEAR(byQuaternion.length(), 1.0f, 1e-5f);
    }
    Quaternion aboutX;
    aboutX.setAxisAngle(Vector3(1, 0, 0), static_cast<float>(M_PI / 2));
    EXPECT_NEAR(aboutX.rotateVector(Vector3(0, 0, 5)).length(), 1.0f, 1e-6f);
}

TEST(QuaternionTest, AxisAngleRoundTripAndDegenerateCases) {
    Quaternion q;
    q.setAxisAngle(Vector3(0, 3, 4), 1.2f);
    Vector3 axis(0, 0, 0);
    float angle = -1.0f;
    q.toAxisAngle(axis, angle);
    EXPECT_NEAR(axis.y, 0.6f, 1e-6f);
    EXPECT_NEAR(axis.z, 0.8f, 1e-6f);
    EXPECT_NEAR(angle, 1.2f, 1e-6f);

    // The identity has no axis; a defined one comes back instead of a division by zero.
    Quaternion(1, 0, 0, 0).toAxisAngle(axis, angle);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_FALSE(std::isnan(axis.x) || std::isnan(axis.y) || std::isnan(axis.z));
    // Rounding can leave w a hair above 1; the angle must not become NaN.
    Quaternion(1.0000001f, 0.0001f, 0, 0).toAxisAngle(axis, angle);
    EXPECT_FALSE(std::isnan(angle));
    EXPECT_EQ(angle, 0.0f);
}

TEST(QuaternionTest, Slerp) {
    Quaternion from;
    from.setAxisAngle(Vector3(0, 0, 1), 0.2f);
    Quaternion to;
    to.setAxisAngle(Vector3(0, 0, 1), 1.0f);
    const Quaternion start = from.slerp(to, 0.0f);
    expectQuaternion(start, from.w, from.x, from.y, from.z);
    const Quaternion middle = from.slerp(to, 0.5f);
    Quaternion expected;
    expected.setAxisAngle(Vector3(0, 0, 1), 0.6f);
    expectQuaternion(middle, expected.w, expected.x, expected.y, expected.z, 1e-6f);
    // Against the negated target, the shorter arc is taken towards -to.
    const Quaternion negated = from.slerp(to * -1.0f, 1.0f);
    expectQuaternion(negated, to.w, to.x, to.y, to.z, 1e-6f);
    // Equal quaternions fall back to linear interpolation.
    expectQuaternion(from.slerp(from, 0.3f), from.w, from.x, from.y, from.z, 1e-6f);
}
