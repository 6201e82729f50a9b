#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/Component.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "math/AboutPivot.h"
#include "math/ComponentTransform.h"
#include "unit/support/TestGeometry.h"

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);

class Geometry : public TestGeometry {
  public:
    Geometry() : TestGeometry({Point(1, 1, 1, RED), Point(-1, 0.5f, 2, RED)}) {}
};

// Applies m to (x, y, z, 1) through the matrix product, the reference for every operation.
Point through(const Matrix& m, const Point& p) {
    Matrix column(4, 1);
    column.set(0, 0, p.x);
    column.set(1, 0, p.y);
    column.set(2, 0, p.z);
    column.set(3, 0, 1.0f);
    const Matrix r = m * column;
    return Point(r.get(0, 0), r.get(1, 0), r.get(2, 0), p.color);
}

struct Scene {
    GameObject object{true, true, Point(0, 0, 0, RED)};
    Geometry* a = new Geometry();
    Geometry* b = new Geometry();
    Scene() {
        object.addComponent(a);
        b->componentTransform->translate(0, 3, 0);  // off-centre before attachment
        object.addComponent(b);
    }
    std::vector<Point> allPoints() const {
        std::vector<Point> all = a->componentTransform->points;
        all.insert(all.end(), b->componentTransform->points.begin(),
                   b->componentTransform->points.end());
        return all;
    }
    void expectQueuesEmpty() const {
        EXPECT_TRUE(object.transform->matrices.empty());
        EXPECT_TRUE(object.transform->quaternions.empty());
        for (const Geometry* g : {a, b}) {
            EXPECT_TRUE(g->componentTransform->matrices.empty());
            EXPECT_TRUE(g->componentTransform->quaternions.empty());
        }
    }
};

}  // namespace

TEST(TransformTest, EveryOperationMovesComponentsExactlyAsItsMatrices) {
    Scene scene;
    const Matrix m(4, 4);

    std::vector<Point> before = scene.allPoints();
    scene.object.transform->translate(2, 0, 0);
    expectAt(scene.object.getPosition(), 2, 0, 0, 0);
    std::vector<Point> after = scene.allPoints();
    for (size_t i = 0; i < before.size(); ++i) {
        const Point expected = through(m.translate(2, 0, 0), before[i]);
        expectAt(after[i], expected.x, expected.y, expected.z, 0);
    }
    scene.expectQueuesEmpty();

    // Scale and rotation are centred on the position, which stays put.
    before = after;
    scene.object.transform->scale(1.1f, 1.1f, 1.1f);
    after = scene.allPoints();
    const Matrix scaling = m.translate(2, 0, 0) * m.scale(1.1f, 1.1f, 1.1f) * m.translate(-2, 0, 0);
    for (size_t i = 0; i < before.size(); ++i) {
        const Point expected = through(scaling, before[i]);
        expectAt(after[i], expected.x, expected.y, expected.z);
    }
    expectAt(scene.object.getPosition(), 2, 0, 0);

    before = after;
    scene.object.transform->rotate(0.3f, -0.2f, 0.1f);
    after = scene.allPoints();
    const Matrix rotation = m.translate(2, 0, 0) * m.rotateZ(0.1f) * m.rotateY(-0.2f) *
                            m.rotateX(0.3f) * m.translate(-2, 0, 0);
    for (size_t i = 0; i < before.size(); ++i) {
        const Point expected = through(rotation, before[i]);
        expectAt(after[i], expected.x, expected.y, expected.z);
    }
    expectAt(scene.object.getPosition(), 2, 0, 0);
    scene.expectQueuesEmpty();
}

TEST(TransformTest, ShearIsCentredOnThePivotWhichDoesNotFollowTranslate) {
    Scene scene;
    scene.object.transform->translate(2, 0, 0);
    scene.object.transform->shear(0.5f, 0, 0);
    expectAt(scene.object.getPosition(), 2, 1, 1, 0);
    expectAt(scene.object.transform->getPivot(), 0, 0, 0, 0);
    // Point (1, 1, 1) of the first component, now at (3, 1, 1), sheared about the origin.
    expectAt(scene.a->componentTransform->points[1], 3, 2.5f, 2.5f);
    scene.expectQueuesEmpty();
}

TEST(TransformTest, QuaternionRotationAgreesWithMatrixRotationAboutEachAxis) {
    const float radians = 0.25f;
    const float degrees = static_cast<float>(0.25 * 180.0 / 3.14159);
    for (int axis = 0; axis < 3; ++axis) {
        Scene byMatrix;
        Scene byQuaternion;
        byMatrix.object.transform->translate(1, -2, 0.5f);
        byQuaternion.object.transform->translate(1, -2, 0.5f);
        const float r[3] = {axis == 0 ? radians : 0, axis == 1 ? radians : 0,
                            axis == 2 ? radians : 0};
        const float d[3] = {axis == 0 ? degrees : 0, axis == 1 ? degrees : 0,
                            axis == 2 ? degrees : 0};
        byMatrix.object.transform->rotate(r[0], r[1], r[2]);
        byQuaternion.object.transform->rotateQuaternion(d[0], d[1], d[2]);
        const auto expected = byMatrix.allPoints();
        const auto actual = byQuaternion.allPoints();
        for (size_t i = 0; i < expected.size(); ++i) {
            expectAt(actual[i], expected[i].x, expected[i].y, expected[i].z, 2e-5f);
        }
        expectAt(byQuaternion.object.getPosition(), 1, -2, 0.5f, 1e-5f);
        byQuaternion.expectQueuesEmpty();
    }
}

TEST(TransformTest, HandsEachMatrixToTheComponentsInOrder) {
    GameObject object(true, true, Point());
    auto* recorder = new TestGeometry();
    object.addComponent(recorder);
    auto* bare = new Component(true, true);  // no geometry: receives nothing
    object.addComponent(bare);
    object.transform->translate(1, 0, 0);
    // rotate(0, 0.1, 0) hands over five matrices; the centre ends where it started.
    object.transform->rotate(0, 0.1f, 0);
    expectAt(recorder->componentTransform->points[0], 1, 0, 0);
    expectAt(recorder->componentTransform->offset, 0, 0, 0);
    // A quaternion displacement (w = 0) reaches the components as a translation.
    object.transform->rotateQuaternion(0, 0, 0);
    expectAt(recorder->componentTransform->points[0], 1, 0, 0);

    // The queue goes to each component in one go; the points end exactly, to the bit, where
    // handing the matrices over one at a time puts them.
    Scene batched;
    Scene oneByOne;
    batched.object.transform->rotate(0.3f, -0.2f, 0.1f);
    const Matrix m(4, 4);
    emitMatricesAbout(oneByOne.object.getPosition(),
                      {m.rotateX(0.3f), m.rotateY(-0.2f), m.rotateZ(0.1f)},
                      [&](const Matrix& step) { oneByOne.object.applyMatrixToComponents(step); });
    const std::vector<Point> expected = oneByOne.allPoints();
    const std::vector<Point> seen = batched.allPoints();
    ASSERT_EQ(expected.size(), seen.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(std::memcmp(&expected[i].x, &seen[i].x, 3 * sizeof(float)), 0) << "point " << i;
    }
}
