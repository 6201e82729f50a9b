#include "core/Transform.h"

#include <cstddef>

#include "core/GameObject.h"
#include "math/AboutPivot.h"

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
}

void Transform::applyQueuedMatrices() {
    // Each component takes the whole queue in one go: every point still meets the matrices
    // one by one in order, and the owner's position, which the components read, moves only
    // afterwards, so the result is the same as handing over one matrix at a time.
    if (owner != nullptr) {
        owner->applyMatricesToComponents(matrices);
    }
    applyMatrices();
}

void Transform::queue(const Quaternion& q) {
    quaternions.push_back(q);
    if (owner != nullptr) {
        owner->applyQuaternionToComponents(q);
    }
}

void Transform::translate(float dx, float dy, float dz) {
    queue(Matrix::translation(dx, dy, dz));
    applyQueuedMatrices();
}

void Transform::scale(float sx, float sy, float sz) {
    emitMatricesAbout(position, {Matrix::scaling(sx, sy, sz)},
                      [this](const Matrix& m) { queue(m); });
    applyQueuedMatrices();
}

void Transform::rotate(float ax, float ay, float az) {
    emitMatricesAbout(position,
                      {Matrix::rotationX(ax), Matrix::rotationY(ay), Matrix::rotationZ(az)},
                      [this](const Matrix& step) { queue(step); });
    applyQueuedMatrices();
}

void Transform::shear(float a, float b, float c) {
    emitMatricesAbout(pivot, {Matrix::shearing(a, b, c)}, [this](const Matrix& m) { queue(m); });
    applyQueuedMatrices();
}

void Transform::rotateQuaternion(float ax, float ay, float az) {
    emitQuaternionsAbout(position, ax, ay, az, [this](const Quaternion& q) { queue(q); });
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
