#include "core/Transform.h"

#include <cstddef>

#include "core/GameObject.h"
#include "core/PointDrawing.h"
#include "math/AboutPivot.h"

namespace {

const Color POSITION_COLOUR(0.0f, 1.0f, 0.0f, 1.0f);

}  // namespace

Transform::Transform(GameObject* owner)
    : owner(owner),
      updateEnabled(owner != nullptr && owner->updateEnabled),
      drawEnabled(owner != nullptr && owner->drawEnabled) {}

Transform::~Transform() {
    owner = nullptr;
}

void Transform::draw(int /*elapsedMs*/) {
    if (drawEnabled) {
        drawDot(position);
    }
}

void Transform::update(int /*elapsedMs*/) {}

void Transform::setPosition(Point p) {
    position = p;
    position.color = POSITION_COLOUR;
    positionChanged();
}

void Transform::positionChanged() {
    if (owner != nullptr) {
        owner->positionChanged();
    }
}

// An operation's matrices live on the stack, not in `matrices`: a queue kept per object for
// them would hold five matrices (480 bytes) apart from everything else the object touches,
// written and read again on every move. Each component takes all of them in one go: every
// point still meets the matrices one by one in order, and the owner's position, of which the
// components are told, moves only afterwards, so the result is the same as handing over one
// matrix at a time. Matrices that other code left queued act first, as they always did.
void Transform::apply(const Matrix* ms, std::size_t count) {
    if (!matrices.empty()) {
        matrices.insert(matrices.end(), ms, ms + count);
        if (owner != nullptr) {
            owner->applyMatricesToComponents(matrices);
        }
        applyMatrices();
        return;
    }
    if (owner != nullptr) {
        owner->applyMatricesToComponents(ms, count);
    }
    for (std::size_t i = 0; i < count; ++i) {
        ms[i].transformPoint(position.x, position.y, position.z);
    }
    positionChanged();
}

void Transform::apply(const Quaternion* qs, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (owner != nullptr) {
            owner->applyQuaternionToComponents(qs[i]);
        }
    }
    if (!quaternions.empty()) {
        quaternions.insert(quaternions.end(), qs, qs + count);
        applyQuaternions();
        return;
    }
    Quaternion p(0.0f, position.x, position.y, position.z);
    for (std::size_t i = 0; i < count; ++i) {
        p = qs[i].appliedTo(p);
    }
    position.x = p.x;
    position.y = p.y;
    position.z = p.z;
    positionChanged();
}

void Transform::applyMatrix(const Matrix& m) {
    apply(&m, 1);
}

void Transform::translate(float dx, float dy, float dz) {
    const Matrix move = Matrix::translation(dx, dy, dz);
    apply(&move, 1);
}

void Transform::scale(float sx, float sy, float sz) {
    const auto steps = matricesAbout(position, Matrix::scaling(sx, sy, sz));
    apply(steps.data(), steps.size());
}

void Transform::rotate(float ax, float ay, float az) {
    const auto steps = rotationAbout(position, ax, ay, az);
    apply(steps.data(), steps.size());
}

void Transform::shear(float a, float b, float c) {
    const auto steps = matricesAbout(pivot, Matrix::shearing(a, b, c));
    apply(steps.data(), steps.size());
}

void Transform::rotateQuaternion(float ax, float ay, float az) {
    const auto steps = quaternionsAbout(position, ax, ay, az);
    apply(steps.data(), steps.size());
}

void Transform::applyMatrices() {
    for (const Matrix& m : matrices) {
        m.transformPoint(position.x, position.y, position.z);
    }
    matrices.clear();
    positionChanged();
}

void Transform::applyQuaternions() {
    Quaternion p(0.0f, position.x, position.y, position.z);
    for (const Quaternion& q : quaternions) {
        p = q.appliedTo(p);
    }
    position.x = p.x;
    position.y = p.y;
    position.z = p.z;
    quaternions.clear();
    positionChanged();
}
