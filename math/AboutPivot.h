#pragma once

#include <initializer_list>

#include "math/Matrix.h"
#include "math/Point.h"
#include "math/Quaternion.h"

// Scales, rotations and shears act about a pivot: a move of the pivot to the origin, the
// operations, and the move back. Object transforms and component point lists build the same
// sequences; these helpers hand each step, in the order it must act, to `emit`. The pivot is
// taken by value: handing a step over may move the geometry it was read from.

/// The 4 x 4 matrices of `operations` about `pivot`.
template <typename Emit>
void emitMatricesAbout(Point pivot, std::initializer_list<Matrix> operations, Emit emit) {
    emit(Matrix::translation(-pivot.x, -pivot.y, -pivot.z));
    for (const Matrix& operation : operations) {
        emit(operation);
    }
    emit(Matrix::translation(pivot.x, pivot.y, pivot.z));
}

/// The rotation by angles in degrees about x, y and z as one unit quaternion, about `pivot`;
/// the moves are pure quaternions (w = 0), which the point lists read as displacements.
template <typename Emit>
void emitQuaternionsAbout(Point pivot, float ax, float ay, float az, Emit emit) {
    emit(Quaternion(0.0f, -pivot.x, -pivot.y, -pivot.z));
    // The Euler constructor takes (heading, attitude, bank): the axes are passed rotated and
    // every angle negated, matching the sense of the matrix rotations.
    Quaternion q(-ay, -az, -ax);
    if (q.norm() != 1.0f) {
        q.normalize();
    }
    emit(q);
    emit(Quaternion(0.0f, pivot.x, pivot.y, pivot.z));
}
