#pragma once

#include "math/Vector3.h"

// A symmetric 3 x 3 matrix: a body's inverse inertia in world space.
struct SymmetricMatrix3 {
    float xx = 0.0f, xy = 0.0f, xz = 0.0f;
    float yy = 0.0f, yz = 0.0f;
    float zz = 0.0f;

    _Tarn::Vector3 operator*(const _Tarn::Vector3& v) const {
        return _Tarn::Vector3(xx * v.x + xy * v.y + xz * v.z, xy * v.x + yy * v.y + yz * v.z,
                              xz * v.x + yz * v.y + zz * v.z);
    }

    /// R diag(d) R^T, where the columns of R are the unit axes: the inverse inertia of a body
    /// turned so that its principal axes lie along `axes`, with d its inverse moments about
    /// them.
    static SymmetricMatrix3 turned(const _Tarn::Vector3 (&axes)[3], const float (&d)[3]) {
        SymmetricMatrix3 m;
        for (int k = 0; k < 3; ++k) {
            const _Tarn::Vector3& a = axes[k];
            m.xx += d[k] * a.x * a.x;
            m.xy += d[k] * a.x * a.y;
            m.xz += d[k] * a.x * a.z;
            m.yy += d[k] * a.y * a.y;
            m.yz += d[k] * a.y * a.z;
            m.zz += d[k] * a.z * a.z;
        }
        return m;
    }
};

// What the contact solver knows of a body during one step: its velocities (world units and
// radians per step), the push velocities that correct overlap without adding energy (they
// move the body in this step and are then forgotten), and its inverse mass and inertia. An
// immovable body has both inverses 0.
struct SolverBody {
    _Tarn::Vector3 velocity{0.0f, 0.0f, 0.0f};
    _Tarn::Vector3 angularVelocity{0.0f, 0.0f, 0.0f};
    _Tarn::Vector3 pushVelocity{0.0f, 0.0f, 0.0f};
    _Tarn::Vector3 pushAngularVelocity{0.0f, 0.0f, 0.0f};
    /// Where the body's centre of mass stands: contact points are taken relative to it.
    _Tarn::Vector3 centre{0.0f, 0.0f, 0.0f};
    float inverseMass = 0.0f;
    SymmetricMatrix3 inverseInertia;
};
