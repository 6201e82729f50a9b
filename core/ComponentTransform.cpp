#include "core/ComponentTransform.h"

#include <atomic>
#include <cmath>

#include "core/Assert.h"
#include "core/Component.h"
#include "core/GameObject.h"
#include "math/AboutPivot.h"

using _Tarn::Vector3;

namespace {

const Color CENTRE_COLOUR(0.0f, 0.33f, 0.0f, 1.0f);

// One sequence for all transforms: a transform created where a deleted one lived can never
// show a reader the revision that reader saw last.
std::atomic<std::uint64_t> lastRevision{0};

// A 4 x 4 matrix applied to many points with its three rows side by side, in the lanes of one
// vector: lane i sums 0 + m(i, 0) x + m(i, 1) y + m(i, 2) z + m(i, 3) in that order, exactly
// as Matrix::transformPoint does, so the results are the same to the bit, at a third of the
// instructions. Every move of every object runs this for every point.
class RowsSideBySide {
  public:
    explicit RowsSideBySide(const Matrix& m) {
        for (int k = 0; k < 4; ++k) {
            columns[k] = Lanes{m.get(0, k), m.get(1, k), m.get(2, k), 0.0f};
        }
    }

    void apply(Point& p) const {
        Lanes sum = Lanes{0.0f, 0.0f, 0.0f, 0.0f} + columns[0] * p.x;
        sum = sum + columns[1] * p.y;
        sum = sum + columns[2] * p.z;
        sum = sum + columns[3] * 1.0f;
        p.x = sum[0];
        p.y = sum[1];
        p.z = sum[2];
    }

  private:
    typedef float Lanes __attribute__((vector_size(16)));
    Lanes columns[4];
};

Vector3 absoluteDirection(const Point& from, const Point& to) {
    Vector3 direction(std::fabs(to.x - from.x), std::fabs(to.y - from.y), std::fabs(to.z - from.z));
    direction.setLength(1.0f);
    return direction;
}

}  // namespace

ComponentTransform::ComponentTransform(Component* component)
    : ComponentTransform(false, component != nullptr && component->drawEnabled, component) {}

ComponentTransform::ComponentTransform(bool /*updateEnabled*/, bool drawEnabled,
                                       Component* component)
    : component(component), drawEnabled(drawEnabled) {
    addPoint(position);
}

void ComponentTransform::update(int /*elapsedMs*/) {}

// `revision` is declared ahead of `points`, so that both share a cache line: a box test reads
// the one and paints its corners through the other.
void ComponentTransform::pointsChanged() {
    const std::uint64_t before = revision;
    revision = lastRevision.fetch_add(1, std::memory_order_relaxed) + 1;
    // Readers keep what they derived for as long as the revision stays: it must only grow.
    ENGINE_ASSERT(revision > before);
    // The owner's broad phase, if any, reads the bounds again when it next needs them.
    if (component != nullptr && component->owner != nullptr) {
        component->owner->geometryChanged();
    }
}

// A list grown point by point doubles its block and leaves the old ones behind: a cube's
// 37 points would sit in room for 64, twice, among the holes of the smaller blocks.
void ComponentTransform::reservePoints(std::size_t count) {
    points.reserve(count);
    localPoints.reserve(count);
}

void ComponentTransform::addPoint(const Point& p) {
    localPoints.push_back(p);
    points.emplace_back(p.x + ownerAt.x, p.y + ownerAt.y, p.z + ownerAt.z, p.color);
    pointsChanged();
}

void ComponentTransform::clearPoints() {
    points.clear();
    localPoints.clear();
    points.push_back(offset);
    localPoints.push_back(offset);
    pointsChanged();
}

void ComponentTransform::setCentre(Point p) {
    offset = p;
    if (!localPoints.empty()) {
        localPoints[0] = p;
    }
    pointsChanged();
}

void ComponentTransform::setPosition(Point p) {
    ownerAt = p;
    position = p;
    for (Point& point : points) {
        point.x += p.x;
        point.y += p.y;
        point.z += p.z;
    }
    position.color = CENTRE_COLOUR;
    pointsChanged();
}

void ComponentTransform::followCentre() {
    ENGINE_ASSERT(!points.empty());
    position = points[0];
    offset.x = position.x - ownerAt.x;
    offset.y = position.y - ownerAt.y;
    offset.z = position.z - ownerAt.z;
}

// The operations hand their matrices and quaternions over from the stack: queues kept per
// transform for them would be heap blocks of nearly 500 bytes, in every shape and collider,
// that no move touches but every object carries between the blocks a move does touch.
// Queued entries, which only other code leaves, still act first.
void ComponentTransform::applyAfterQueue(const Matrix* ms, std::size_t count) {
    if (matrices.empty()) {
        applyMatrices(ms, count);
        return;
    }
    matrices.insert(matrices.end(), ms, ms + count);
    applyMatrices();
}

void ComponentTransform::applyAfterQueue(const Quaternion* qs, std::size_t count) {
    if (quaternions.empty()) {
        applyEach(qs, count);
        return;
    }
    quaternions.insert(quaternions.end(), qs, qs + count);
    applyQuaternions();
}

void ComponentTransform::applyMatrix(const Matrix& m) {
    applyAfterQueue(&m, 1);
}

void ComponentTransform::applyQuaternion(const Quaternion& q) {
    applyAfterQueue(&q, 1);
}

void ComponentTransform::applyMatrices() {
    applyMatrices(matrices.data(), matrices.size());
    // clear() keeps the capacity: code that queues again does not allocate again.
    matrices.clear();
}

void ComponentTransform::applyMatrices(const std::vector<Matrix>& ms) {
    applyMatrices(ms.data(), ms.size());
}

void ComponentTransform::applyMatrices(const Matrix* ms, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const Matrix& m = ms[i];
        if (points.empty()) {
            break;
        }
        if (m.getRows() != 4 || m.getCols() != 4) {
            for (Point& p : points) {
                m.transformPoint(p.x, p.y, p.z);
            }
            followCentre();
            continue;
        }
        const RowsSideBySide rows(m);
        for (Point& p : points) {
            rows.apply(p);
        }
        // Between two matrices nothing reads position and offset, so following the centre
        // once per matrix, after all points, leaves them as following it after point 0.
        followCentre();
    }
    pointsChanged();
}

void ComponentTransform::applyQuaternions() {
    applyEach(quaternions.data(), quaternions.size());
    quaternions.clear();
}

void ComponentTransform::applyEach(const Quaternion* qs, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        // A copy, not a reference: the points cannot alias it, so its conjugate is taken once.
        const Quaternion q = qs[i];
        for (size_t j = 0; j < points.size(); ++j) {
            Point& p = points[j];
            const Quaternion t = q.appliedTo(Quaternion(0.0f, p.x, p.y, p.z));
            p.x = t.x;
            p.y = t.y;
            p.z = t.z;
            if (j == 0) {
                followCentre();
            }
        }
    }
    pointsChanged();
}

void ComponentTransform::translate(float tx, float ty, float tz) {
    const Matrix move = Matrix::translation(tx, ty, tz);
    applyAfterQueue(&move, 1);
}

void ComponentTransform::scale(float sx, float sy, float sz) {
    const auto steps = matricesAbout(offset, Matrix::scaling(sx, sy, sz));
    applyAfterQueue(steps.data(), steps.size());
}

void ComponentTransform::rotate(float ax, float ay, float az) {
    const auto steps = rotationAbout(offset, ax, ay, az);
    applyAfterQueue(steps.data(), steps.size());
}

void ComponentTransform::shear(float a, float b, float c) {
    const auto steps = matricesAbout(offset, Matrix::shearing(a, b, c));
    applyAfterQueue(steps.data(), steps.size());
}

void ComponentTransform::rotateQuaternion(float ax, float ay, float az) {
    const auto steps = quaternionsAbout(offset, ax, ay, az);
    applyAfterQueue(steps.data(), steps.size());
}

std::vector<Vector3> ComponentTransform::getCorners() const {
    std::vector<Vector3> corners;
    corners.reserve(points.size());
    for (const Point& p : points) {
        corners.emplace_back(p.x, p.y, p.z);
    }
    return corners;
}

std::vector<Vector3> ComponentTransform::getEdgeNormals() const {
    std::vector<Vector3> normals;
    const size_t n = points.size();
    if (n < 4) {
        return normals;
    }
    normals.reserve(n - 1);
    for (size_t i = 1; i + 1 < n; ++i) {
        normals.push_back(absoluteDirection(points[i], points[i + 1]));
    }
    normals.push_back(absoluteDirection(points[n - 1], points[3]));
    return normals;
}
