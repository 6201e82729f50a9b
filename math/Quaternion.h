#pragma once

#include <cmath>

#include "math/Vector3.h"

class Matrix;

// Rotation value: four floats stored w, x, y, z, with Hamilton arithmetic.
//
// A quaternion whose w is exactly 0 is a pure vector; the transforms read it as a
// displacement rather than a rotation.
class Quaternion {
  public:
    /// pi / 180 with pi taken as 3.14159, as every degree conversion of the engine uses.
    static constexpr double DEG_TO_RAD = 3.14159 / 180.0;
    /// Tolerance of normalize(): the single-precision 1e-5 widened to double.
    static constexpr double NORMALIZE_TOLERANCE = static_cast<double>(1e-5f);
    /// Below this angle slerp falls back to linear interpolation.
    static constexpr double SLERP_THRESHOLD = 1e-6;

    float w = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    /// (0, 0, 0, 0): all components zero, not the identity rotation.
    Quaternion() = default;
    Quaternion(float w, float x, float y, float z) : w(w), x(x), y(y), z(z) {}
    /// Qy(a) * Qz(b) * Qx(c) from heading a, attitude b and bank c, in degrees.
    Quaternion(float a, float b, float c);

    float getW() const { return w; }
    float getX() const { return x; }
    float getY() const { return y; }
    float getZ() const { return z; }

    /// Rotation by angle radians about axis; the axis is normalised first.
    void setAxisAngle(_Tarn::Vector3 axis, float angle);
    /// The unit axis and the angle in radians. With no vector part the axis is (1, 0, 0);
    /// w is clamped to [-1, 1] so rounding can never produce a NaN angle.
    void toAxisAngle(_Tarn::Vector3& axisOut, float& angleOut) const;

    /// The Hamilton product this * q.
    Quaternion operator*(const Quaternion& q) const {
        return Quaternion(
            q.w * w - q.x * x - q.y * y - q.z * z, w * q.x + q.w * x + y * q.z - q.y * z,
            w * q.y + q.w * y + q.x * z - x * q.z, w * q.z + q.w * z + x * q.y - q.x * y);
    }
    Quaternion operator+(const Quaternion& q) const {
        return Quaternion(w + q.w, x + q.x, y + q.y, z + q.z);
    }
    Quaternion operator-(const Quaternion& q) const {
        return Quaternion(w - q.w, x - q.x, y - q.y, z - q.z);
    }
    Quaternion operator*(float s) const { return Quaternion(w * s, x * s, y * s, z * s); }
    /// The divisor is not checked.
    Quaternion operator/(float s) const { return Quaternion(w / s, x / s, y / s, z / s); }
    /// The compound forms change this quaternion and return a copy of its new value.
    Quaternion operator*=(const Quaternion& q) { return *this = *this * q; }
    Quaternion operator+=(const Quaternion& q) { return *this = *this + q; }
    Quaternion operator-=(const Quaternion& q) { return *this = *this - q; }
    Quaternion operator*=(float s) { return *this = *this * s; }
    Quaternion operator/=(float s) { return *this = *this / s; }
    /// Exact comparison of all four components.
    bool operator==(const Quaternion& q) const {
        return w == q.w && x == q.x && y == q.y && z == q.z;
    }

    Quaternion conjugate() const { return Quaternion(w, -x, -y, -z); }
    /// The point held as the quaternion p, moved as the transforms move points: translated by
    /// (x, y, z) when w is 0 (a pivot step), otherwise turned as q p q*.
    Quaternion appliedTo(const Quaternion& p) const {
        return w != 0.0f ? (*this * p) * conjugate() : p + *this;
    }
    float norm() const { return std::sqrt(w * w + x * x + y * y + z * z); }
    /// Divides by the norm, unless the quaternion is near zero or already near unit length.
    void normalize();
    /// This divided by its norm, unguarded.
    Quaternion normalized() const;

    /// The 4 x 4 rotation matrix (counter-clockwise under M * p).
    Matrix toMatrix() const;
    /// Rotates the direction of v (its length is dropped: the result is a unit vector).
    _Tarn::Vector3 rotateVector(const _Tarn::Vector3& v) const;
    /// Spherical interpolation from this (t = 0) to `to` (t = 1) along the shorter arc.
    Quaternion slerp(Quaternion to, float t) const;
};
