#include "math/Quaternion.h"

#include <algorithm>
#include <cmath>

#include "math/Matrix.h"

using _Tarn::Vector3;

// The Hamilton product and the componentwise operators are inline in the header: the
// transforms apply them to every point of every component, and a call per point cost several
// times the arithmetic.

namespace {

float roundedSin(float angle) {
    return static_cast<float>(std::sin(static_cast<double>(angle)));
}
float roundedCos(float angle) {
    return static_cast<float>(std::cos(static_cast<double>(angle)));
}

float halfAngleInRadians(float degrees) {
    return static_cast<float>(static_cast<double>(degrees) * Quaternion::DEG_TO_RAD / 2.0);
}

}  // namespace

Quaternion::Quaternion(float a, float b, float c) {
    const float A = halfAngleInRadians(a);
    const float B = halfAngleInRadians(b);
    const float C = halfAngleInRadians(c);
    const float sA = roundedSin(A), cA = roundedCos(A);
    const float sB = roundedSin(B), cB = roundedCos(B);
    const float sC = roundedSin(C), cC = roundedCos(C);
    w = cA * cB * cC - sA * sB * sC;
    x = sA * sB * cC + cA * cB * sC;
    y = sA * cB * cC + cA * sB * sC;
    z = cA * sB * cC - sA * cB * sC;
}

void Quaternion::setAxisAngle(Vector3 axis, float angle) {
    const float half = angle * 0.5f;
    axis.setLength(1.0f);
    const float s = std::sin(half);
    x = axis.x * s;
    y = axis.y * s;
    z = axis.z * s;
    w = std::cos(half);
}

void Quaternion::toAxisAngle(Vector3& axisOut, float& angleOut) const {
    const float vectorLength = std::sqrt(x * x + y * y + z * z);
    if (vectorLength > 0.0f) {
        axisOut = Vector3(x / vectorLength, y / vectorLength, z / vectorLength);
    } else {
        axisOut = Vector3(1.0f, 0.0f, 0.0f);
    }
    angleOut = 2.0f * std::acos(std::clamp(w, -1.0f, 1.0f));
}

void Quaternion::normalize() {
    const float n = w * w + x * x + y * y + z * z;
    const double squared = static_cast<double>(n);
    if (!(std::fabs(squared) > NORMALIZE_TOLERANCE) ||
        !(std::fabs(squared - 1.0) > NORMALIZE_TOLERANCE)) {
        return;
    }
    const float length = std::sqrt(n);
    w /= length;
    x /= length;
    y /= length;
    z /= length;
}

Quaternion Quaternion::normalized() const {
    return *this / norm();
}

Matrix Quaternion::toMatrix() const {
    Matrix m(4, 4);
    m.set(0, 0, w * w + x * x - y * y - z * z);
    m.set(0, 1, 2 * x * y - 2 * w * z);
    m.set(0, 2, 2 * x * z + 2 * w * y);
    m.set(1, 0, 2 * x * y + 2 * w * z);
    m.set(1, 1, w * w - x * x + y * y - z * z);
    m.set(1, 2, 2 * y * z - 2 * w * x);
    m.set(2, 0, 2 * x * z - 2 * y * w);
    m.set(2, 1, 2 * y * z + 2 * w * x);
    m.set(2, 2, w * w - x * x - y * y + z * z);
    m.set(3, 3, 1.0f);
    return m;
}

Vector3 Quaternion::rotateVector(const Vector3& v) const {
    Vector3 direction = v;
    direction.setLength(1.0f);
    const Quaternion vecQuat(0.0f, direction.x, direction.y, direction.z);
    Quaternion resQuat = vecQuat * conjugate();
    resQuat = *this * resQuat;
    return Vector3(resQuat.x, resQuat.y, resQuat.z);
}

Quaternion Quaternion::slerp(Quaternion to, float t) const {
    float cosom = w * to.w + x * to.x + y * to.y + z * to.z;
    if (cosom < 0.0f) {
        to = to * -1.0f;
        cosom = w * to.w + x * to.x + y * to.y + z * to.z;
    }
    const float omega = static_cast<float>(std::acos(std::clamp(cosom, -1.0f, 1.0f)));
    float s0;
    float s1;
    if (static_cast<double>(omega) > SLERP_THRESHOLD) {
        const float sinOmega = std::sin(omega);
        s0 = std::sin((1.0f - t) * omega) / sinOmega;
        s1 = std::sin(t * omega) / sinOmega;
    } else {
        s0 = 1.0f - t;
        s1 = t;
    }
    return *this * s0 + to * s1;
}
