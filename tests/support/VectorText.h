#pragma once

#include <string>

#include "math/Vector3.h"

// A vector as a failure message shows it: "(1.000000, -2.000000, 0.500000)".
inline std::string show(const _Tarn::Vector3& v) {
    return "(" + std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z) +
           ")";
}
