#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "math/AboutPivot.h"
#include "support/world/WorldFixture.h"
#include "unit/support/TestGeometry.h"

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);

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

class TransformTest : public WorldFixture {
  protected:
    // An object at the origin with two components of the same geometry, the second moved off
    // centre before it was attached.
    GameObject& addTwoPartObject() {
        GameObject& object = addObject(0, 0, 0);
        const auto geometry = [] {
            return new TestGeometry({Point(1, 1, 1, RED), Point(-1, 0.5f, 2, RED)});
        };
        attach(object, geometry());
        attach(object, geometry()).componentTransform->translate(0, 3, 0);
        return object;
    }
    static std::vector<Point> allPoints(const GameObject& object) {
        std::vector<Point> all;
        for (const auto& component : object.components) {
            if (!component->componentTransform) {
                continue;
            }
            const auto& points = component->componentTransform->points;
            all.insert(all.end(), points.begin(), points.end());
        }
        return all;
    }
    static void expectQueuesEmpty(const GameObject& object) {
        EXPECT_TRUE(object.transform->matrices.empty());
        EXPECT_TRUE(object.transform->quaternions.empty());
        for (const auto& component : object.components) {
            EXPECT_TRUE(component->componentTransform->matrices.empty());
            EXPECT_TRUE(component->componentTransform->quaternions.empty());
        }
    }
};

}  // namespace

TEST_F(TransformTest, EveryOperationMovesComponentsExactlyAsItsMatrices) {
    GameObject& object = addTwoPartObject();
    const Matrix m(4, 4);

    std::vector<Point> before = allPoints(object);
    object.transform->translate(2, 0, 0);
    expectAt(object.getPosition(), 2, 0, 0, 0);
    std::vector<Point> after = allPoints(object);
    for (size_t i = 0; i < before.size(); ++i) {
        const Point expected = through(m.translate(2, 0, 0), before[i]);
        expectAt(after[i], expected.x, expected.y, expected.z, 0);
    }
    expectQueuesEmpty(object);

    // Scale and rotation are centred on the position, which stays put.
    before = after;
    object.transform->scale(1.1f, 1.1f, 1.1f);
    after = allPoints(object);
    const Matrix scaling = m.translate(2, 0, 0) * m.scale(1.1f, 1.1f, 1.1f) * m.translate(-2, 0, 0);
    for (size_t i = 0; i < before.size(); ++i) {
        const Point expected = through(scaling, before[i]);
        expectAt(after[i], expected.x, expected.y, expected.z);
    }
    expectAt(object.getPosition(), 2, 0, 0);

    before = after;
    object.transform->rotate(0.3f, -0.2f, 0.1f);
    after = allPoints(object);
    const Matrix rotation = m.translate(2, 0, 0) * m.rotateZ(0.1f) * m.rotateY(-0.2f) *
                            m.rotateX(0.3f) * m.translate(-2, 0, 0);
    for (size_t i = 0; i < before.size(); ++i) {
        const Point expected = through(rotation, before[i]);
        expectAt(after[i], expected.x, expected.y, expected.z);
    }
    expectAt(object.getPosition(), 2, 0, 0);
    expectQueuesEmpty(object);
}

TEST_F(TransformTest, ShearIsCentredOnThePivotWhichDoesNotFollowTranslate) {
    GameObject& object = addTwoPartObject();
    object.transform->translate(2, 0, 0);
    object.transform->shear(0.5f, 0, 0);
    expectAt(object.getPosition(), 2, 1, 1, 0);
    expectAt(object.transform->getPivot(), 0, 0, 0, 0);
    // Point (1, 1, 1) of the first component, now at (3, 1, 1), sheared about the origin.
    expectAt(object.components[0]->componentTransform->points[1], 3, 2.5f, 2.5f);
    expectQueuesEmpty(object);
}

TEST_F(TransformTest, QuaternionRotationAgreesWithMatrixRotationAboutEachAxis) {
    const float radians = 0.25f;
    const float degrees = static_cast<float>(0.25 * 180.0 / 3.14159);
    for (int axis = 0; axis < 3; ++axis) {
        restart();
        GameObject& byMatrix = addTwoPartObject();
        GameObject& byQuaternion = addTwoPartObject();
        byMatrix.transform->translate(1, -2, 0.5f);
        byQuaternion.transform->translate(1, -2, 0.5f);
        const float r[3] = {axis == 0 ? radians : 0, axis == 1 ? radians : 0,
                            axis == 2 ? radians : 0};
        const float d[3] = {axis == 0 ? degrees : 0, axis == 1 ? degrees : 0,
                            axis == 2 ? degrees : 0};
        byMatrix.transform->rotate(r[0], r[1], r[2]);
        byQuaternion.transform->rotateQuaternion(d[0], d[1], d[2]);
        const auto expected = allPoints(byMatrix);
        const auto actual = allPoints(byQuaternion);
        for (size_t i = 0; i < expected.size(); ++i) {
            expectAt(actual[i], expected[i].x, expected[i].y, expected[i].z, 2e-5f);
        }
        expectAt(byQuaternion.getPosition(), 1, -2, 0.5f, 1e-5f);
        expectQueuesEmpty(byQuaternion);
    }
}

TEST_F(TransformTest, HandsEachMatrixToTheComponentsInOrder) {
    GameObject& object = addObject(0, 0, 0);
    TestGeometry* recorder = &attach(object, new TestGeometry());
    attach(object, new Component(true, true));  // no geometry: receives nothing
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
    GameObject& batched = addTwoPartObject();
    GameObject& oneByOne = addTwoPartObject();
    batched.transform->rotate(0.3f, -0.2f, 0.1f);
    for (const Matrix& turn : rotationAbout(oneByOne.getPosition(), 0.3f, -0.2f, 0.1f)) {
        oneByOne.applyMatrixToComponents(turn);
    }
    const std::vector<Point> expected = allPoints(oneByOne);
    const std::vector<Point> seen = allPoints(batched);
    ASSERT_EQ(expected.size(), seen.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(std::memcmp(&expected[i].x, &seen[i].x, 3 * sizeof(float)), 0) << "point " << i;
    }
}

TEST_F(TransformTest, MatricesOtherCodeQueuedActBeforeTheOperation) {
    GameObject& object = addTwoPartObject();
    const Matrix m(4, 4);
    std::vector<Point> before = allPoints(object);
    object.transform->matrices.push_back(m.translate(0, 1, 0));
    object.transform->translate(2, 0, 0);
    expectAt(object.getPosition(), 2, 1, 0, 0);
    std::vector<Point> after = allPoints(object);
    for (size_t i = 0; i < before.size(); ++i) {
        expectAt(after[i], before[i].x + 2, before[i].y + 1, before[i].z, 0);
    }
    // Queued quaternions move only the position; the operation's reach the components too.
    before = after;
    object.transform->quaternions.push_back(Quaternion(0, 0, 0, 3));
    object.transform->rotateQuaternion(0, 0, 0);
    expectAt(object.getPosition(), 2, 1, 3, 0);
    after = allPoints(object);
    for (size_t i = 0; i < before.size(); ++i) {
        expectAt(after[i], before[i].x, before[i].y, before[i].z);
    }
    // A component's own queue acts first too.
    ComponentTransform& part = *object.components[0]->componentTransform;
    const Point first = part.points[1];
    part.matrices.push_back(m.scale(2, 2, 2));
    part.translate(1, 0, 0);
    expectAt(part.points[1], first.x * 2 + 1, first.y * 2, first.z * 2);
    expectQueuesEmpty(object);
}
