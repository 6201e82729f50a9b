#pragma once

// Two-component companion of Vector3, for planar work.
class Vector2 {
  public:
    float x;
    float y;

    Vector2(float x, float y) : x(x), y(y) {}

    Vector2& operator+=(const Vector2& v);
    Vector2& operator-=(const Vector2& v);
    Vector2& operator*=(const float& s);
    /// The divisor is not checked.
    Vector2& operator/=(const float& s);

    float length() const;
    /// Scales the vector to the given length; a zero vector stays zero.
    void setLength(const float& len);
    /// Limits the length to max, keeping the direction.
    void truncate(const float& max);
    Vector2& negate();
    float dot(const Vector2& v) const;

    /// (angle, radius) of the point (px, py).
    static Vector2 toPolar(const float& px, const float& py);
    static Vector2 fromPolar(const float& radius, const float& angle);
    static Vector2 rotate(const Vector2& v, const float& angle);
};
