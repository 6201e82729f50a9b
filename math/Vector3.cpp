#include "math/Vector3.h"

#include <cmath>

namespace _Tarn {

Vector3& Vector3::operator+=(const Vector3& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

Vector3& Vector3::operator-=(const Vector3& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

Vector3& Vector3::operator*=(const float& s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

Vector3& Vector3::operator/=(const float& s) {
    x /= s;
    y /= s;
    z /= s;
    return *this;
}

Vector3 Vector3::operator+(const Vector3& v) const {
    return Vector3(x + v.x, y + v.y, z + v.z);
}

Vector3 Vector3::operator-(const Vector3& v) const {
    return Vector3(x - v.x, y - v.y, z - v.z);
}

Vector3 Vector3::operator/(const float& s) const {
    return Vector3(x / s, y / s, z / s);
}

float Vector3::operator[](const int& i) const {
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

float Vector3::dot(const Vector3& v) const {
    return v.x * x + v.y * y + v.z * z;
}

Vector3 Vector3::cross(const Vector3& v) const {
    return Vector3(y * v.z - v.y * z, z * v.x - x * v.z, x * v.y - y * v.x);
}

float Vector3::length() const {
    // The squares are taken and summed in double precision, then rounded once to float.
    const double dx = static_cast<double>(x);
    const double dy = static_cast<double>(y);
    const double dz = static_cast<double>(z);
    const float sum = static_cast<float>(dx * dx + dy * dy + dz * dz);
    return std::sqrt(sum);
}

void Vector3::setLength(const float& len) {
    const float current = length();
    if (current == 0.0f) {
        return;
    }
    x = x / current * len;
    y = y / current * len;
    z = z / current * len;
}

void Vector3::truncate(const float& max) {
    if (length() > max) {
        setLength(1.0f);
        *this *= max;
    }
}

Vector3 Vector3::scaledTo(const float& len) const {
    Vector3 copy = *this;
    copy.setLength(len);
    return copy;
}

Vector3& Vector3::negate() {
    *this *= -1.0f;
    return *this;
}

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
