#pragma once

#include <cmath>

// Three-component single-precision vector: directions, axes, velocities and forces.
// A plain value type; every operation that returns a vector returns a new one.
namespace _Tarn {

class Vector3 {
  public:
    float x;
    float y;
    float z;

    Vector3(float x, float y, float z) : x(x), y(y), z(z) {}

    Vector3& operator+=(const Vector3& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    Vector3& operator-=(const Vector3& v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    Vector3& operator*=(const float& s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    /// The divisor is not checked.
    Vector3& operator/=(const float& s) {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }

    Vector3 operator+(const Vector3& v) const { return Vector3(x + v.x, y + v.y, z + v.z); }
    Vector3 operator-(const Vector3& v) const { return Vector3(x - v.x, y - v.y, z - v.z); }
    Vector3 operator*(const float& s) const { return Vector3(x * s, y * s, z * s); }
    /// The divisor is not checked.
    Vector3 operator/(const float& s) const { return Vector3(x / s, y / s, z / s); }
    Vector3 operator-() const { return Vector3(-x, -y, -z); }

    /// Component i (0 = x, 1 = y, 2 = z); any other index reads 0.
    float operator[](const int& i) const {
        switch (i) {
            case 0:
                return x;
            case 1:
                return y;
            case 2:
                return z;
            default:
                return 0.0f;
        }
    }

    /// No component infinite or NaN.
    bool isFinite() const { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }

    float dot(const Vector3& v) const { return v.x * x + v.y * y + v.z * z; }
    /// this x v, right-handed.
    Vector3 cross(const Vector3& v) const {
        return Vector3(y * v.z - v.y * z, z * v.x - x * v.z, x * v.y - y * v.x);
    }
    /// The squares are summed in double and the sum rounded once to float before the root.
    float length() const {
        const double dx = static_cast<double>(x);
        const double dy = static_cast<double>(y);
        const double dz = static_cast<double>(z);
        return std::sqrt(static_cast<float>(dx * dx + dy * dy + dz * dz));
    }

    /// Scales the vector to the given length; a zero vector stays zero.
    void setLength(const float& len) {
        const float current = length();
        if (current == 0.0f) {
            return;
        }
        x = x / current * len;
        y = y / current * len;
        z = z / current * len;
    }
    /// Limits the length to max, keeping the direction.
    void truncate(const float& max) {
        if (length() > max) {
            setLength(1.0f);
            *this *= max;
        }
    }
    /// A copy scaled to the given length; a zero vector gives a zero vector.
    Vector3 scaledTo(const float& len) const {
        Vector3 copy = *this;
        copy.setLength(len);
        return copy;
    }
    Vector3& negate() { return *this *= -1.0f; }

    /// (angle, radius, 0) of the planar point (px, py).
    static Vector3 toPolar(const float& px, const float& py);
    /// The planar point at the given radius and angle (radians), z = 0.
    static Vector3 fromPolar(const float& radius, const float& angle);
    /// Rotates v in the x-y plane by angle radians; the result's z is 0.
    static Vector3 rotate(const Vector3& v, const float& angle);
};

}  // namespace _Tarn
