#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

// An axis-aligned box in world space, lo to hi on each axis. Boxes that only touch overlap.
struct Bounds {
    float lo[3]{0.0f, 0.0f, 0.0f};
    float hi[3]{0.0f, 0.0f, 0.0f};

    /// Holds nothing; merging anything into it gives that thing.
    static Bounds empty() {
        const float inf = std::numeric_limits<float>::infinity();
        Bounds b;
        for (int k = 0; k < 3; ++k) {
            b.lo[k] = inf;
            b.hi[k] = -inf;
        }
        return b;
    }

    /// The box from centre - extent to centre + extent on each axis, rounded outwards, so
    /// that it holds the exact interval whatever the rounding of the sums.
    static Bounds around(const float centre[3], const float extent[3]) {
        const float inf = std::numeric_limits<float>::infinity();
        Bounds b;
        for (int k = 0; k < 3; ++k) {
            b.lo[k] = std::nextafter(centre[k] - extent[k], -inf);
            b.hi[k] = std::nextafter(centre[k] + extent[k], inf);
        }
        return b;
    }

    bool overlaps(const Bounds& other) const {
        return lo[0] <= other.hi[0] && other.lo[0] <= hi[0] && lo[1] <= other.hi[1] &&
               other.lo[1] <= hi[1] && lo[2] <= other.hi[2] && other.lo[2] <= hi[2];
    }

    bool contains(const Bounds& other) const {
        return lo[0] <= other.lo[0] && lo[1] <= other.lo[1] && lo[2] <= other.lo[2] &&
               other.hi[0] <= hi[0] && other.hi[1] <= hi[1] && other.hi[2] <= hi[2];
    }

    void merge(const Bounds& other) {
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], other.lo[k]);
            hi[k] = std::max(hi[k], other.hi[k]);
        }
    }

    /// Half the surface area: the cost a tree pays for a node this large.
    float halfArea() const {
        const float dx = hi[0] - lo[0];
        const float dy = hi[1] - lo[1];
        const float dz = hi[2] - lo[2];
        return dx * dy + dy * dz + dz * dx;
    }
};

inline Bounds merged(Bounds a, const Bounds& b) {
    a.merge(b);
    return a;
}
