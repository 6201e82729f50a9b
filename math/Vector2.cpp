#include "math/Vector2.h"

#include <cmath>

Vector2& Vector2::operator+=(const Vector2& v) {
    x += v.x;
    y += v.y;
    return *this;
}

Vector2& Vector2::operator-=(const Vector2& v) {
    x -= v.x;
    y -= v.y;
    return *this;
}

Vector2& Vector2::operator*=(const float& s) {
    x *= s;
    y *= s;
    return *this;
}

Vector2& Vector2::operator/=(const float& s) {
    x /= s;
    y /= s;
    return *this;
}

float Vector2::length() const {
    return std::sqrt(x * x + y * y);
}

void Vector2::setLength(const float& len) {
    const float current = length();
    if (current == 0.0f) {
        return;
    }
    x = x / current * len;
    y = y / current * len;
}

void Vector2::truncate(const float& max) {
    if (length() > max) {
        setLength(1.0f);
        *this *= max;
    }
}

Vector2& Vector2::negate() {
    *this *= -1.0f;
    return *this;
}

float Vector2::dot(const Vector2& v) const {
    return x * v.x + y * v.y;
}

Vector2 Vector2::toPolar(const float& px, const float& py) {
    return Vector2(std::atan2(py, px), std::sqrt(px * px + py * py));
}

Vector2 Vector2::fromPolar(const float& radius, const float& angle) {
    return Vector2(radius * std::cos(angle), radius * std::sin(angle));
}

Vector2 Vector2::rotate(const Vector2& v, const float& angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return Vector2(v.x * c - v.y * s, v.x * s + v.y * c);
}
