#include "math/Vector2.h"

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
