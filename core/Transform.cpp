#include "core/Transform.h"

#include <cstddef>

#include "core/GameObject.h"

namespace {

const Color POSITION_COLOUR(0.0f, 1.0f, 0.0f, 1.0f);

// The longest queues one operation builds (rotate: five matrices; rotateQuaternion: three
// quaternions). Reserved at construction, so that the first turn or scale of a running scene
// does not allocate either.
constexpr size_t LONGEST_MATRIX_QUEUE = 5;
constexpr size_t LONGEST_QUATERNION_QUEUE = 3;

}  // namespace

Transform::Transform(GameObject* owner)
    : owner(owner),
      updateEnabled(owner != nullptr && owner->updateEnabled),
      drawEnabled(owner != nullptr && owner->drawEnabled) {
    matrices.reserve(LONGEST_MATRIX_QUEUE);
    quaternions.reserve(LONGEST_QUATERNION_QUEUE);
}

Transform::~Transform() {
    owner = nullptr;
}

void Transform::draw(int elapsedMs) {
    if (drawEnabled) {
        position.draw(elapsedMs);
    }
}

void Transform::update(int /*elapsedMs*/) {}

void Transform::setPosition(Point p) {
    position = p;
    position.color = POSITION_COLOUR;
}

void Transform::queue(const Matrix& m) {
    matrices.push_back(m);
    if (owner != nullptr) {
        owner->applyMatrixToComponents(m);
    }
}

void Transform::queue(const Quaternion& q) {
    quaternions.push_back(q);
    if (owner != nullptr) {
        owner->applyQuaternionToComponents(q);
    }
}

void Transform::translate(float dx, float dy, float dz) {
    queue(Matrix(4, 4).translate(dx, dy, dz));
    applyMatrices();
}

void Transform::scale(float sx, float sy, float sz) {
    const Matrix m(4, 4);
    const Point p = position;
    queue(m.translate(-p.x, -p.y, -p.z));
    queue(m.scale(sx, sy, sz));
    queue(m.translate(p.x, p.y, p.z));
    applyMatrices();
}

void Transform::rotate(float ax, float ay, float az) {
    const Matrix m(4, 4);
    const Point p = position;
    queue(m.translate(-p.x, -p.y, -p.z));
    queue(m.rotateX(ax));
    queue(m.rotateY(ay));
    queue(m.rotateZ(az));
    queue(m.translate(p.x, p.y, p.z));
    applyMatrices();
}

void Transform::shear(float a, float b, float c) {
    const Matrix m(4, 4);
    const Point v = pivot;
    queue(m.translate(-v.x, -v.y, -v.z));
    queue(m.shear(a, b, c));
    queue(m.translate(v.x, v.y, v.z));
    applyMatrices();
}

void Transform::rotateQuaternion(float ax, float ay, float az) {
    const Point p = position;
    queue(Quaternion(0.0f, -p.x, -p.y, -p.z));
    // The Euler constructor takes (heading, attitude, bank): the axes are passed rotated and
    // every angle negated, matching the sense of the matrix rotations.
    Quaternion q(-ay, -az, -ax);
    if (q.norm() != 1.0f) {
        q.normalize();
    }
    queue(q);
    queue(Quaternion(0.0f, p.x, p.y, p.z));
    applyQuaternions();
}

void Transform::applyMatrices() {
    for (const Matrix& m : matrices) {
        m.transformPoint(position.x, position.y, position.z);
    }
    matrices.clear();
}

void Transform::applyQuaternions() {
    Quaternion p(0.0f, position.x, position.y, position.z);
    for (const Quaternion& q : quaternions) {
        if (q.w != 0.0f) {
            p = (q * p) * q.conjugate();
        } else {
            p = p + q;
        }
    }
    position.x = p.x;
    position.y = p.y;
    position.z = p.z;
    quaternions.clear();
}
