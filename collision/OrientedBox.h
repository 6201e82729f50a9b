#pragma once

#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "collision/Bounds.h"
#include "math/Point.h"
#include "math/Vector3.h"

// A box as the separating-axis test sees it: a centre, three unit axes and the half-width of
// the box along each axis. It is read from a box collider's world-space point list, so it
// follows every move, scale and rotation of the owner.
struct OrientedBox {
    /// Where a box collider keeps its geometry: point 0 is the centre, then eight corners.
    /// Each axis runs along one edge: x from corner 5 to 6, y from 3 to 4, z from 8 to 3.
    static constexpr size_t CENTRE = 0;
    static constexpr size_t X_EDGE[2] = {5, 6};
    static constexpr size_t Y_EDGE[2] = {3, 4};
    static constexpr size_t Z_EDGE[2] = {8, 3};
    static constexpr size_t POINT_COUNT = 9;

    _Tarn::Vector3 axes[3]{{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
    float halfWidths[3]{0.0f, 0.0f, 0.0f};
    // Centre and reach stay last (see OrientedBox.cpp).
    _Tarn::Vector3 centre{0.0f, 0.0f, 0.0f};
    /// Radius of a sphere about the centre that holds the box, with room to spare for
    /// rounding. Infinite unless the axes are orthonormal and everything is finite and within
    /// 1e18 of the origin: the fifteen-axis test of a sheared or flattened box is no plain
    /// geometric test, and only that test may answer for it.
    float reach = std::numeric_limits<float>::infinity();

    /// A plain box: its reach is finite, and the contact functions may read it as geometry.
    bool isPlain() const { return reach < std::numeric_limits<float>::infinity(); }

    /// Reads centre, axes and half-widths in place from a box collider's points. Answers
    /// false and leaves `box` as it was when there are fewer than nine points. An edge of
    /// length zero (a box flattened or shrunk to a point) has half-width 0 along a unit axis
    /// that completes the other edges to an orthonormal set.
    static bool fromCorners(const std::vector<Point>& points, OrientedBox& box);

    /// World-axis bounds that hold every point the fifteen-axis test can find this box in
    /// contact with, so that two boxes whose bounds are apart never touch. False when there
    /// are none (an infinite reach): such a box must be tested against everything.
    bool bounds(Bounds& out) const;

    /// The cheap test that comes first: false when the two boxes' spheres are apart, and then
    /// touches() is false as well; true decides nothing. A NaN never rejects.
    bool mayTouch(const OrientedBox& other) const {
        return spheresMayMeet(centre, reach, other.centre, other.reach);
    }
    /// The same for two spheres given by centre and radius, seen from the first.
    static bool spheresMayMeet(const _Tarn::Vector3& centre, float reach,
                               const _Tarn::Vector3& otherCentre, float otherReach) {
        const _Tarn::Vector3 d = otherCentre - centre;
        const float limit = reach + otherReach;
        return !(d.dot(d) > limit * limit);
    }

    /// The fifteen-axis separating-axis test: the three face axes of each box, then the nine
    /// cross products of an axis of this box with an axis of `other`. Boxes that just touch
    /// are in contact, and a NaN anywhere never separates.
    bool touches(const OrientedBox& other) const;

    /// How another box lies in this one's frame, as the fifteen-axis tests read it:
    /// R(i, j) = axes[i] . other.axes[j]; AbsR, |R| plus a small epsilon, so that nearly
    /// parallel edges, whose cross product is close to zero, never report a separation that
    /// rounding made up; and the offset of the centres along this box's axes.
    struct Relative {
        float R[3][3];
        float AbsR[3][3];
        float t[3];
    };
    Relative relativeOf(const OrientedBox& other) const {
        constexpr float PARALLEL_EPSILON = 1e-6f;
        Relative r;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                r.R[i][j] = axes[i].dot(other.axes[j]);
                r.AbsR[i][j] = std::fabs(r.R[i][j]) + PARALLEL_EPSILON;
            }
        }
        const _Tarn::Vector3 d = other.centre - centre;
        for (int i = 0; i < 3; ++i) {
            r.t[i] = d.dot(axes[i]);
        }
        return r;
    }
};
