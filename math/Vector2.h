#pragma once

#include <cmath>

// Two-component companion of Vector3, for planar work.
class Vector2 {
  public:
    float x;
    float y;

    Vector2(float x, float y) : x(x), y(y) {}

    Vector2& operator+=(const Vector2& v) {
        x += v.x;
        y += v.y;
        return *this;
    }
    Vector2& operator-=(const Vector2& v) {
        x -= v.x;
        y -= v.y;
        return *this;
    }
    Vector2& operator*=(const float& s) {
        x *= s;
        y *= s;
        return *this;
    }
    /// The divisor is not checked.
    Vector2& operator/=(const float& s) {
        x /= s;
        y /= s;
        return *this;
    }

    float length() const { return std::sqrt(x * x + y * y); }
    /// Scales the vector to the given length; a zero vector stays zero.
    void setLength(const float& len) {
        const float current = length();
        if (current == 0.0f) {
            return;
        }
        x = x / current * len;
        y = y / current * len;
    }
    /// Limits the length to max, keeping the direction.
    void truncate(const float& max) {
        if (length() > max) {
            setLength(1.0f);
            *this *= max;
        }
    }
    Vector2& negate() { return *this *= -1.0f; }
    float dot(const Vector2& v) const { return x * v.x + y * v.y; }

    /// (angle, radius) of the point (px, py).
    static Vector2 toPolar(const float& px, const float& py);
    static Vector2 fromPolar(const float& radius, const float& angle);
    static Vector2 rotate(const Vector2& v, const float& angle);
};
