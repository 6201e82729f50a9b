#include "physics/BodyMotion.h"

#include <cmath>

using _Tarn::Vector3;

namespace {

// Rows of the rotation by |w| radians about w (Rodrigues); the identity for no turn.
void rotation(const Vector3& w, float (&r)[3][3]) {
    const float angle = std::sqrt(w.dot(w));
    if (!(angle > 0.0f)) {
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                r[i][j] = i == j ? 1.0f : 0.0f;
            }
        }
        return;
    }
    const Vector3 k = w / angle;
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float t = 1.0f - c;
    r[0][0] = c + t * k.x * k.x;
    r[0][1] = t * k.x * k.y - s * k.z;
    r[0][2] = t * k.x * k.z + s * k.y;
    r[1][0] = t * k.x * k.y + s * k.z;
    r[1][1] = c + t * k.y * k.y;
    r[1][2] = t * k.y * k.z - s * k.x;
    r[2][0] = t * k.x * k.z - s * k.y;
    r[2][1] = t * k.y * k.z + s * k.x;
    r[2][2] = c + t * k.z * k.z;
}

Vector3 times(const float (&r)[3][3], const Vector3& v) {
    return Vector3(r[0][0] * v.x + r[0][1] * v.y + r[0][2] * v.z,
                   r[1][0] * v.x + r[1][1] * v.y + r[1][2] * v.z,
                   r[2][0] * v.x + r[2][1] * v.y + r[2][2] * v.z);
}

// p -> linear p + (to - linear from): what is at `from` goes to `to`.
Matrix affine(const float (&linear)[3][3], const Vector3& from, const Vector3& to) {
    const Vector3 moved = times(linear, from);
    Matrix m = Matrix::translation(to.x - moved.x, to.y - moved.y, to.z - moved.z);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            m.set(i, j, linear[i][j]);
        }
    }
    return m;
}

Vector3 unit(const Vector3& v) {
    return v / std::sqrt(v.dot(v));
}

}  // namespace

Matrix rigidMotion(const Vector3& centre, const Vector3& shift, const Vector3& turn) {
    if (!(turn.dot(turn) > 0.0f)) {
        return Matrix::translation(shift.x, shift.y, shift.z);
    }
    float r[3][3];
    rotation(turn, r);
    return affine(r, centre, centre + shift);
}

Matrix boxMotion(const OrientedBox& current, const Vector3& halfWidths, const Vector3& shift,
                 const Vector3& turn) {
    const float want[3] = {halfWidths.x, halfWidths.y, halfWidths.z};
    // The box's frame as its corners stand: columns are the half-edges.
    float edges[3][3];
    for (int j = 0; j < 3; ++j) {
        const Vector3 e = current.axes[j] * current.halfWidths[j];
        edges[0][j] = e.x;
        edges[1][j] = e.y;
        edges[2][j] = e.z;
    }
    const float determinant =
        edges[0][0] * (edges[1][1] * edges[2][2] - edges[1][2] * edges[2][1]) -
        edges[0][1] * (edges[1][0] * edges[2][2] - edges[1][2] * edges[2][0]) +
        edges[0][2] * (edges[1][0] * edges[2][1] - edges[1][1] * edges[2][0]);
    const float volume = current.halfWidths[0] * current.halfWidths[1] * current.halfWidths[2];
    // A flat box has no frame to undo; half its volume lost to skew is no box either.
    if (!(std::fabs(determinant) > 0.5f * volume) ||
        !(want[0] > 0.0f && want[1] > 0.0f && want[2] > 0.0f)) {
        return rigidMotion(current.centre, shift, turn);
    }
    // Its inverse, by cofactors.
    float inverse[3][3];
    const float f = 1.0f / determinant;
    inverse[0][0] = f * (edges[1][1] * edges[2][2] - edges[1][2] * edges[2][1]);
    inverse[0][1] = f * (edges[0][2] * edges[2][1] - edges[0][1] * edges[2][2]);
    inverse[0][2] = f * (edges[0][1] * edges[1][2] - edges[0][2] * edges[1][1]);
    inverse[1][0] = f * (edges[1][2] * edges[2][0] - edges[1][0] * edges[2][2]);
    inverse[1][1] = f * (edges[0][0] * edges[2][2] - edges[0][2] * edges[2][0]);
    inverse[1][2] = f * (edges[0][2] * edges[1][0] - edges[0][0] * edges[1][2]);
    inverse[2][0] = f * (edges[1][0] * edges[2][1] - edges[1][1] * edges[2][0]);
    inverse[2][1] = f * (edges[0][1] * edges[2][0] - edges[0][0] * edges[2][1]);
    inverse[2][2] = f * (edges[0][0] * edges[1][1] - edges[0][1] * edges[1][0]);

    // The nearest square frame (Gram-Schmidt, keeping the box's handedness), turned.
    Vector3 square[3] = {unit(current.axes[0]), Vector3(0.0f, 0.0f, 0.0f),
                         Vector3(0.0f, 0.0f, 0.0f)};
    square[1] = unit(current.axes[1] - square[0] * current.axes[1].dot(square[0]));
    square[2] = square[0].cross(square[1]);
    if (square[2].dot(current.axes[2]) < 0.0f) {
        square[2] = -square[2];
    }
    float r[3][3];
    rotation(turn, r);
    // Where the half-edges go: the turned square frame, at the box's own half-widths.
    float target[3][3];
    for (int j = 0; j < 3; ++j) {
        const Vector3 e = times(r, square[j]) * want[j];
        target[0][j] = e.x;
        target[1][j] = e.y;
        target[2][j] = e.z;
    }
    float linear[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            linear[i][j] = target[i][0] * inverse[0][j] + target[i][1] * inverse[1][j] +
                           target[i][2] * inverse[2][j];
        }
    }
    return affine(linear, current.centre, current.centre + shift);
}
