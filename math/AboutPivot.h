#pragma once

#include <array>

#include "math/Matrix.h"
#include "math/Point.h"
#include "math/Quaternion.h"

// Scales, rotations and shears act about a pivot: a move of the pivot to the origin, the
// operations, and the move back. Object transforms and component point lists build the same
// sequences; these helpers return each step in the order it must act. The pivot is taken by
// value: applying a step may move the geometry it was read from.

/// The 4 x 4 matrices of one operation (a scale or a shear) about `pivot`.
inline std::array<Matrix, 3> matricesAbout(Point pivot, const Matrix& operation) {
    return {Matrix::translation(-pivot.x, -pivot.y, -pivot.z), operation,
            Matrix::translation(pivot.x, pivot.y, pivot.z)};
}

/// The 4 x 4 matrices of the rotation by angles in radians about x, then y, then z, about
/// `pivot`.
inline std::array<Matrix, 5> rotationAbout(Point pivot, float ax, float ay, float az) {
    return {Matrix::translation(-pivot.x, -pivot.y, -pivot.z), Matrix::rotationX(ax),
            Matrix::rotationY(ay), Matrix::rotationZ(az),
            Matrix::translation(pivot.x, pivot.y, pivot.z)};
}

/// The rotation by angles in degrees about x, y and z as one unit quaternion, about `pivot`;
/// the moves are pure quaternions (w = 0), which the point lists read as displacements.
inline std::array<Quaternion, 3> quaternionsAbout(Point pivot, float ax, float ay, float az) {
    // The Euler constructor takes (heading, attitude, bank): the axes are passed rotated and
    // every angle negated, matching the sense of the matrix rotations.
    Quaternion q(-ay, -az, -ax);
    if (q.norm() != 1.0f) {
        q.normalize();
    }
    return {Quaternion(0.0f, -pivot.x, -pivot.y, -pivot.z), q,
            Quaternion(0.0f, pivot.x, pivot.y, pivot.z)};
}
