#pragma once

// Three-component single-precision vector: directions, axes, velocities and forces.
// A plain value type; every operation that returns a vector returns a new one.
namespace _Tarn {

class Vector3 {
  public:
    float x;
    float y;
    float z;

    Vector3(float x, float y, float z) : x(x), y(y), z(z) {}

    Vector3& operator+=(const Vector3& v);
    Vector3& operator-=(const Vector3& v);
    Vector3& operator*=(const float& s);
    /// The divisor is not checked.
    Vector3& operator/=(const float& s);

    Vector3 operator+(const Vector3& v) const;
    Vector3 operator-(const Vector3& v) const;
    /// The divisor is not checked.
    Vector3 operator/(const float& s) const;

    /// Component i (0 = x, 1 = y, 2 = z); any other index reads 0.
    float operator[](const int& i) const;

    float dot(const Vector3& v) const;
    Vector3 cross(const Vector3& v) const;
    float length() const;

    /// Scales the vector to the given length; a zero vector stays zero.
    void setLength(const float& len);
    /// Limits the length to max, keeping the direction.
    void truncate(const float& max);
    /// A copy scaled to the given length; a zero vector gives a zero vector.
    Vector3 scaledTo(const float& len) const;
    Vector3& negate();

    /// (angle, radius, 0) of the planar point (px, py).
    static Vector3 toPolar(const float& px, const float& py);
    /// The planar point at the given radius and angle (radians), z = 0.
    static Vector3 fromPolar(const float& radius, const float& angle);
    /// Rotates v in the x-y plane by angle radians; the result's z is 0.
    static Vector3 rotate(const Vector3& v, const float& angle);
};

}  // namespace _Tarn
