#include "collision/SphereContacts.h"

#include <cmath>
#include <limits>

using _Tarn::Vector3;

namespace {

bool solid(const Vector3& centre, float radius) {
    return centre.isFinite() && radius >= 0.0f && radius < std::numeric_limits<float>::infinity();
}

void onePoint(const Vector3& normal, const Vector3& position, float depth, ContactManifold& out) {
    out.normal = normal;
    out.count = 1;
    out.points[0].position = position;
    out.points[0].depth = depth;
    out.points[0].id = 0;
}

}  // namespace

bool sphereContacts(const Vector3& a, float radiusA, const Vector3& b, float radiusB,
                    ContactManifold& out) {
    out.count = 0;
    if (!solid(a, radiusA) || !solid(b, radiusB)) {
        return false;
    }
    const Vector3 d = b - a;
    const float squared = d.dot(d);
    const float reach = radiusA + radiusB;
    if (squared > reach * reach) {
        return false;
    }
    const float distance = std::sqrt(squared);
    const Vector3 normal = distance > 0.0f ? d / distance : Vector3(0.0f, 1.0f, 0.0f);
    // Midway between the two surfaces along the line of centres.
    const Vector3 onA = a + normal * radiusA;
    const Vector3 onB = b - normal * radiusB;
    onePoint(normal, (onA + onB) * 0.5f, reach - distance, out);
    return true;
}

bool boxSphereContacts(const OrientedBox& a, const Vector3& b, float radiusB,
                       ContactManifold& out) {
    out.count = 0;
    if (!a.isPlain() || !solid(b, radiusB)) {
        return false;
    }
    const Vector3 d = b - a.centre;
    float local[3];
    bool inside = true;
    for (int k = 0; k < 3; ++k) {
        local[k] = d.dot(a.axes[k]);
        inside = inside && std::fabs(local[k]) <= a.halfWidths[k];
    }
    if (inside) {
        // Out through the face nearest to the centre.
        int face = 0;
        float nearest = a.halfWidths[0] - std::fabs(local[0]);
        for (int k = 1; k < 3; ++k) {
            const float gap = a.halfWidths[k] - std::fabs(local[k]);
            if (gap < nearest) {
                nearest = gap;
                face = k;
            }
        }
        const Vector3 normal = a.axes[face] * (local[face] >= 0.0f ? 1.0f : -1.0f);
        const Vector3 onA = b + normal * nearest;
        const Vector3 onB = b - normal * radiusB;
        onePoint(normal, (onA + onB) * 0.5f, radiusB + nearest, out);
        return true;
    }
    Vector3 closest = a.centre;
    for (int k = 0; k < 3; ++k) {
        const float clamped = std::fmax(-a.halfWidths[k], std::fmin(a.halfWidths[k], local[k]));
        closest += a.axes[k] * clamped;
    }
    const Vector3 gap = b - closest;
    const float squared = gap.dot(gap);
    if (squared > radiusB * radiusB) {
        return false;
    }
    const float distance = std::sqrt(squared);
    Vector3 normal = gap / distance;
    if (!(distance > 0.0f)) {
        // Outside by less than rounding can tell: out through the face it is beyond.
        int face = 0;
        for (int k = 1; k < 3; ++k) {
            if (std::fabs(local[k]) - a.halfWidths[k] >
                std::fabs(local[face]) - a.halfWidths[face]) {
                face = k;
            }
        }
        normal = a.axes[face] * (local[face] >= 0.0f ? 1.0f : -1.0f);
    }
    const Vector3 onB = b - normal * radiusB;
    onePoint(normal, (closest + onB) * 0.5f, radiusB - distance, out);
    return true;
}
