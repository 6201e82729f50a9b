#include "collision/OrientedBox.h"

#include <cmath>
#include <limits>

using _Tarn::Vector3;

namespace {

// How far from orthonormal the axes of a box may be for it to have a finite reach. The test
// takes the axes as orthonormal, and within this tolerance it still answers for a box that
// the sphere holds; a box turned thousands of times drifts far less.
constexpr float ORTHONORMAL_TOLERANCE = 1e-4f;
// The reach's share over the exact half-diagonal: ample for rounding and for the skew above,
// and costs next to nothing in pairs that pass to the full test.
constexpr float REACH_SLACK = 1e-2f;
// Beyond this, squares of distances could overflow to infinity.
constexpr float LARGEST_COORDINATE = 1e18f;

// Strict, so that touching is contact; a NaN comparison is false and separates nothing.
inline bool separates(float projection, float ra, float rb) {
    return std::fabs(projection) > ra + rb;
}

// The unit vector along v, or v itself when it has no length.
Vector3 unit(const Vector3& v) {
    const float length = std::sqrt(v.dot(v));
    if (!(length > 0.0f)) {
        return v;
    }
    const float inverse = 1.0f / length;
    return Vector3(v.x * inverse, v.y * inverse, v.z * inverse);
}

// A unit vector at right angles to the unit vector u: across the world axis u is least
// aligned with, which keeps the cross product far from zero.
Vector3 perpendicular(const Vector3& u) {
    const float ax = std::fabs(u.x), ay = std::fabs(u.y), az = std::fabs(u.z);
    const Vector3 world = ax <= ay && ax <= az ? Vector3(1.0f, 0.0f, 0.0f)
                          : ay <= az           ? Vector3(0.0f, 1.0f, 0.0f)
                                               : Vector3(0.0f, 0.0f, 1.0f);
    return unit(u.cross(world));
}

// Answers whether the edge has length zero; its axis is then left for completeAxes().
bool readEdge(const Point& from, const Point& to, Vector3& axis, float& halfWidth) {
    const float dx = to.x - from.x;
    const float dy = to.y - from.y;
    const float dz = to.z - from.z;
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    halfWidth = 0.5f * length;
    if (length == 0.0f) {
        return true;
    }
    // A NaN or infinite length gives NaN axes, which no comparison separates along.
    const float inverse = 1.0f / length;
    axis = Vector3(dx * inverse, dy * inverse, dz * inverse);
    return false;
}

// A box flattened to a rectangle, a segment or a point still has three axes: the missing
// ones complete the edges that remain to an orthonormal set (any completion serves, the
// box has no extent along them). A zero axis instead would never separate anything, and a
// flattened box would touch every box in the world.
void completeAxes(Vector3 (&axes)[3], const bool (&zero)[3]) {
    const int missing = int{zero[0]} + int{zero[1]} + int{zero[2]};
    if (missing == 0) {
        return;
    }
    if (missing == 3) {
        axes[0] = Vector3(1.0f, 0.0f, 0.0f);
        axes[1] = Vector3(0.0f, 1.0f, 0.0f);
        axes[2] = Vector3(0.0f, 0.0f, 1.0f);
        return;
    }
    if (missing == 2) {
        const int kept = !zero[0] ? 0 : !zero[1] ? 1 : 2;
        const Vector3 second = perpendicular(axes[kept]);
        axes[(kept + 1) % 3] = second;
        axes[(kept + 2) % 3] = axes[kept].cross(second);
        return;
    }
    const int lost = zero[0] ? 0 : zero[1] ? 1 : 2;
    const Vector3& u = axes[(lost + 1) % 3];
    Vector3 completion = unit(u.cross(axes[(lost + 2) % 3]));
    if (!(completion.dot(completion) > 0.0f)) {
        // The two remaining edges are parallel: the box is no box, and its reach will be
        // infinite; any unit axis keeps the test from dividing by nothing.
        completion = perpendicular(u);
    }
    axes[lost] = completion;
}

// Written so that a NaN fails every check.
bool within(float value, float bound) {
    return std::fabs(value) <= bound;
}

float reachOf(const OrientedBox& box) {
    const float infinity = std::numeric_limits<float>::infinity();
    if (!within(box.centre.x, LARGEST_COORDINATE) || !within(box.centre.y, LARGEST_COORDINATE) ||
        !within(box.centre.z, LARGEST_COORDINATE)) {
        return infinity;
    }
    float squares = 0.0f;
    for (int i = 0; i < 3; ++i) {
        if (!within(box.halfWidths[i], LARGEST_COORDINATE) ||
            !within(box.axes[i].dot(box.axes[i]) - 1.0f, ORTHONORMAL_TOLERANCE) ||
            !within(box.axes[i].dot(box.axes[(i + 1) % 3]), ORTHONORMAL_TOLERANCE)) {
            return infinity;
        }
        squares += box.halfWidths[i] * box.halfWidths[i];
    }
    return std::sqrt(squares) * (1.0f + REACH_SLACK);
}

}  // namespace

// OrientedBox keeps its centre and reach last and together: the early rejection (mayTouch)
// reads only these two.
bool OrientedBox::fromCorners(const std::vector<Point>& points, OrientedBox& box) {
    if (points.size() < POINT_COUNT) {
        return false;
    }
    const Point& c = points[CENTRE];
    box.centre = Vector3(c.x, c.y, c.z);
    const bool zero[3] = {
        readEdge(points[X_EDGE[0]], points[X_EDGE[1]], box.axes[0], box.halfWidths[0]),
        readEdge(points[Y_EDGE[0]], points[Y_EDGE[1]], box.axes[1], box.halfWidths[1]),
        readEdge(points[Z_EDGE[0]], points[Z_EDGE[1]], box.axes[2], box.halfWidths[2])};
    completeAxes(box.axes, zero);
    box.reach = reachOf(box);
    return true;
}

bool OrientedBox::bounds(Bounds& out) const {
    if (!isPlain()) {
        return false;
    }
    // The box's own extent along each world axis, plus the same share for rounding and skew
    // that the reach carries over the half-diagonal, on every axis alike: a box flat along
    // one world axis still gets room there.
    const float slack =
        REACH_SLACK * std::sqrt(halfWidths[0] * halfWidths[0] + halfWidths[1] * halfWidths[1] +
                                halfWidths[2] * halfWidths[2]);
    const float c[3] = {centre.x, centre.y, centre.z};
    float extent[3];
    for (int k = 0; k < 3; ++k) {
        extent[k] = slack;
        for (int i = 0; i < 3; ++i) {
            const float along = k == 0 ? axes[i].x : k == 1 ? axes[i].y : axes[i].z;
            extent[k] += halfWidths[i] * std::fabs(along);
        }
    }
    out = Bounds::around(c, extent);
    return true;
}

bool OrientedBox::touches(const OrientedBox& other) const {
    const float* hwA = halfWidths;
    const float* hwB = other.halfWidths;

    // B's axes and the centres' offset in A's frame.
    const Relative relative = relativeOf(other);
    const auto& R = relative.R;
    const auto& AbsR = relative.AbsR;
    const float* t = relative.t;

    // Face axes of A.
    for (int i = 0; i < 3; ++i) {
        const float rb = hwB[0] * AbsR[i][0] + hwB[1] * AbsR[i][1] + hwB[2] * AbsR[i][2];
        if (separates(t[i], hwA[i], rb)) {
            return false;
        }
    }

    // Face axes of B.
    for (int i = 0; i < 3; ++i) {
        const float ra = hwA[0] * AbsR[0][i] + hwA[1] * AbsR[1][i] + hwA[2] * AbsR[2][i];
        const float p = t[0] * R[0][i] + t[1] * R[1][i] + t[2] * R[2][i];
        if (separates(p, ra, hwB[i])) {
            return false;
        }
    }

    // Edge axes a[i] x b[j]. The projections of both boxes and of t onto each cross product
    // are written out through R, so no cross product is ever formed.
    // a[0] x b[0]
    if (separates(t[2] * R[1][0] - t[1] * R[2][0], hwA[1] * AbsR[2][0] + hwA[2] * AbsR[1][0],
                  hwB[1] * AbsR[0][2] + hwB[2] * AbsR[0][1])) {
        return false;
    }
    // a[0] x b[1]
    if (separates(t[2] * R[1][1] - t[1] * R[2][1], hwA[1] * AbsR[2][1] + hwA[2] * AbsR[1][1],
                  hwB[0] * AbsR[0][2] + hwB[2] * AbsR[0][0])) {
        return false;
    }
    // a[0] x b[2]
    if (separates(t[2] * R[1][2] - t[1] * R[2][2], hwA[1] * AbsR[2][2] + hwA[2] * AbsR[1][2],
                  hwB[0] * AbsR[0][1] + hwB[1] * AbsR[0][0])) {
        return false;
    }
    // a[1] x b[0]
    if (separates(t[0] * R[2][0] - t[2] * R[0][0], hwA[0] * AbsR[2][0] + hwA[2] * AbsR[0][0],
                  hwB[1] * AbsR[1][2] + hwB[2] * AbsR[1][1])) {
        return false;
    }
    // a[1] x b[1]
    if (separates(t[0] * R[2][1] - t[2] * R[0][1], hwA[0] * AbsR[2][1] + hwA[2] * AbsR[0][1],
                  hwB[0] * AbsR[1][2] + hwB[2] * AbsR[1][0])) {
        return false;
    }
    // a[1] x b[2]
    if (separates(t[0] * R[2][2] - t[2] * R[0][2], hwA[0] * AbsR[2][2] + hwA[2] * AbsR[0][2],
                  hwB[0] * AbsR[1][1] + hwB[1] * AbsR[1][0])) {
        return false;
    }
    // a[2] x b[0]
    if (separates(t[1] * R[0][0] - t[0] * R[1][0], hwA[0] * AbsR[1][0] + hwA[1] * AbsR[0][0],
                  hwB[1] * AbsR[2][2] + hwB[2] * AbsR[2][1])) {
        return false;
    }
    // a[2] x b[1]
    if (separates(t[1] * R[0][1] - t[0] * R[1][1], hwA[0] * AbsR[1][1] + hwA[1] * AbsR[0][1],
                  hwB[0] * AbsR[2][2] + hwB[2] * AbsR[2][0])) {
        return false;
    }
    // a[2] x b[2]
    if (separates(t[1] * R[0][2] - t[0] * R[1][2], hwA[0] * AbsR[1][2] + hwA[1] * AbsR[0][2],
                  hwB[0] * AbsR[2][1] + hwB[1] * AbsR[2][0])) {
        return false;
    }
    return true;
}
