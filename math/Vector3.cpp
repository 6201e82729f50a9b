#include "math/Vector3.h"

// The arithmetic lives in the header, inline: it sits in the innermost loops of the physics
// and collision steps, where a call per operation costs more than the operation. Only the
// trigonometric helpers, which nothing steps through, are here.

namespace _Tarn {

Vector3 Vector3::toPolar(const float& px, const float& py) {
    return Vector3(std::atan2(py, px), std::sqrt(px * px + py * py), 0.0f);
}

Vector3 Vector3::fromPolar(const float& radius, const float& angle) {
    return Vector3(radius * std::cos(angle), radius * std::sin(angle), 0.0f);
}

Vector3 Vector3::rotate(const Vector3& v, const float& angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return Vector3(v.x * c - v.y * s, v.x * s + v.y * c, 0.0f);
}

}  // namespace _Tarn
