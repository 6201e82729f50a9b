#pragma once

#include <cstdint>

#include "math/Vector3.h"

// Where two solids touch: one normal and up to four points, as the contact functions
// (BoxContacts.h, SphereContacts.h) find them for a pair (a, b).
//
// The normal is a unit vector from a towards b: pushing b along it, and a against it,
// separates them. Each point lies midway between the two surfaces, `depth` deep into both
// together (0: just touching; a point of a pair in contact may lie a little apart, at a
// negative depth, so that a pair that rocks keeps its points). Its `id` names the features that
// made it (which face was clipped by which side, which two edges crossed), so that a point found
// again at the next step, a little further along, carries the same id and can take over what was
// learnt about it.
struct ContactPoint {
    _Tarn::Vector3 position{0.0f, 0.0f, 0.0f};
    float depth = 0.0f;
    std::uint32_t id = 0;
};

struct ContactManifold {
    static constexpr int MAX_POINTS = 4;

    _Tarn::Vector3 normal{0.0f, 1.0f, 0.0f};
    ContactPoint points[MAX_POINTS];
    int count = 0;

    /// The same contact seen from b: the normal turned round; points and ids unchanged.
    void flip() { normal = -normal; }
};
