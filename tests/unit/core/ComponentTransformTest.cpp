#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "unit/support/TestGeometry.h"

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);

using Geometry = TestGeometry;

}  // namespace

TEST(ComponentTransformTest, StartsWithTheCentreAndShiftsPointsOntoTheOwner) {
    Geometry loose;
    ComponentTransform& ct = *loose.componentTransform;
    ASSERT_EQ(ct.points.size(), 1u);
    ASSERT_EQ(ct.localPoints.size(), 1u);
    expectAt(ct.points[0], 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(ct.points[0].color.g, 0.33f);
    EXPECT_EQ(ct.typeTag, "COMPONENTTRANSFORM");
    EXPECT_TRUE(ct.drawEnabled);

    ct.addPoint(Point(1, 1, 1, RED));  // no owner yet: stored as given
    expectAt(ct.points[1], 1, 1, 1, 0);

    GameObject object(true, true, Point(5, 0, 0, RED));
    auto* attached = new Geometry();
    object.addComponent(attached);
    ComponentTransform& shifted = *attached->componentTransform;
    shifted.addPoint(Point(1, 1, 1, RED));
    expectAt(shifted.localPoints[1], 1, 1, 1, 0);
    expectAt(shifted.points[1], 6, 1, 1, 0);
    EXPECT_EQ(shifted.points[1].color.r, 1.0f);

    // Each setPosition moves every point, the centre included, by the full amount.
    ct.setPosition(Point(2, 3, 4, RED));
    ct.setPosition(Point(2, 3, 4, RED));
    expectAt(ct.points[0], 4, 6, 8, 0);
    expectAt(ct.points[1], 5, 7, 9, 0);
    EXPECT_FLOAT_EQ(ct.position.color.g, 0.33f);
    EXPECT_EQ(ct.position.color.r, 0.0f);
}

TEST(ComponentTransformTest, KnowsWhereItsOwnerStandsAfterEveryMoveAndPlacement) {
    GameObject object(true, true, Point(5, 0, 0, RED));
    auto* attached = new Geometry();
    object.addComponent(attached);
    ComponentTransform& ct = *attached->componentTransform;
    // Moved with its owner: new points go around the owner's new position.
    object.transform->translate(1, 2, 0);
    ct.addPoint(Point(1, 0, 0, RED));
    expectAt(ct.points.back(), 7, 2, 0);
    object.transform->rotateQuaternion(0, 0, 90);
    ct.addPoint(Point(1, 0, 0, RED));
    expectAt(ct.points.back(), 7, 2, 0, 1e-4f);
    // Placed elsewhere: the geometry stays, and its offset is measured from the new place.
    object.moveTo(Point(0, 0, 0, RED));
    ct.addPoint(Point(1, 0, 0, RED));
    expectAt(ct.points.back(), 1, 0, 0);
    ct.translate(0, 0, 0);
    expectAt(ct.offset, 6, 2, 0, 1e-4f);
}

TEST(ComponentTransformTest, MatricesActAboutTheOffset) {
    Geometry geometry;
    ComponentTransform& ct = *geometry.componentTransform;
    ct.addPoint(Point(1, 0, 0, RED));
    ct.addPoint(Point(0, 2, -1, RED));

    ct.translate(1, 0, 0);
    expectAt(ct.points[0], 1, 0, 0, 0);
    expectAt(ct.points[1], 2, 0, 0, 0);
    EXPECT_TRUE(ct.matrices.empty());
    expectAt(ct.position, 1, 0, 0, 0);
    expectAt(ct.offset, 1, 0, 0, 0);  // no owner: the offset is the centre's world place

    // Scaling about the offset (1, 0, 0) keeps the centre and doubles distances from it.
    ct.scale(2, 2, 2);
    expectAt(ct.points[0], 1, 0, 0);
    expectAt(ct.points[1], 3, 0, 0);
    expectAt(ct.points[2], 1, 4, -2);

    ct.clearPoints();
    ASSERT_EQ(ct.points.size(), 1u);
    expectAt(ct.points[0], 1, 0, 0);
    ct.addPoint(Point(2, 0, 0, RED));
    ct.rotate(0, 0, static_cast<float>(M_PI / 2));  // clockwise about z, seen from +z
    expectAt(ct.points[1], 1, -1, 0);
    ct.shear(0, 0.5f, 0);  // y feeds x and z, relative to the offset
    expectAt(ct.points[1], 0.5f, -1, -0.5f);
}

TEST(ComponentTransformTest, PointListsMoveBitForBitAsSinglePointsDo) {
    // The point list applies a queue of matrices point by point. Every coordinate must come
    // out exactly as Matrix::transformPoint gives it, matrix after matrix, signed zeros and
    // infinities too (a NaN's sign may depend on which of two NaNs an addition keeps), and
    // exactly, NaNs included, as handing the matrices over one at a time leaves it. Queues of
    // up to 11 matrices, now and then one of an odd size.
    std::mt19937 random(17);
    std::uniform_real_distribution<float> value(-100.0f, 100.0f);
    const float inf = std::numeric_limits<float>::infinity();
    const float specials[] = {0.0f, -0.0f, 1.0f, inf, -inf, std::nanf(""), 3e38f, 1e-40f};
    const auto pick = [&](int i) {
        return i % 7 == 0 ? specials[static_cast<size_t>(i / 7) % 8] : value(random);
    };
    const auto same = [](float a, float b) {
        return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
    };
    int compared = 0;
    for (int round = 0; round < 200; ++round) {
        std::vector<Matrix> queue;
        for (int q = 0; q <= round % 11; ++q) {
            Matrix m(4, q == 4 && round % 5 == 0 ? 3 : 4);
            for (int i = 0; i < m.getRows() * m.getCols(); ++i) {
                m.set(i / m.getCols(), i % m.getCols(),
                      round % 3 == 0 ? pick(i + round + q) : value(random));
            }
            queue.push_back(m);
        }
        Geometry queued;
        Geometry oneByOne;
        for (int i = 0; i < 12; ++i) {
            const Point p(pick(3 * i + round), pick(3 * i + 1), pick(3 * i + 2 + round), RED);
            queued.componentTransform->addPoint(p);
            oneByOne.componentTransform->addPoint(p);
        }
        const std::vector<Point> before = queued.componentTransform->points;
        queued.componentTransform->applyMatrices(queue);
        for (const Matrix& m : queue) {
            oneByOne.componentTransform->applyMatrix(m);
        }
        const std::vector<Point>& seen = queued.componentTransform->points;
        for (size_t j = 0; j < before.size(); ++j) {
            float x = before[j].x, y = before[j].y, z = before[j].z;
            for (const Matrix& m : queue) {
                m.transformPoint(x, y, z);
            }
            EXPECT_TRUE(same(x, seen[j].x) && same(y, seen[j].y) && same(z, seen[j].z))
                << "round " << round << ", point " << j;
            ASSERT_EQ(std::memcmp(&seen[j].x, &oneByOne.componentTransform->points[j].x,
                                  3 * sizeof(float)),
                      0)
                << "round " << round << ", point " << j;
            ++compared;
        }
        // The centre follows point 0.
        EXPECT_EQ(
            std::memcmp(&queued.componentTransform->position.x, &seen[0].x, 3 * sizeof(float)), 0);
    }
    EXPECT_EQ(compared, 200 * 13);
}

TEST(ComponentTransformTest, QuaternionsDisplaceOrRotate) {
    Geometry geometry;
    ComponentTransform& ct = *geometry.componentTransform;
    ct.addPoint(Point(1, 0, 0, RED));

    ct.applyQuaternion(Quaternion(0, 1, 2, 3));  // w = 0: a displacement
    expectAt(ct.points[0], 1, 2, 3, 0);
    expectAt(ct.points[1], 2, 2, 3, 0);
    EXPECT_TRUE(ct.quaternions.empty());

    Quaternion quarterTurn;
    quarterTurn.setAxisAngle(_Tarn::Vector3(0, 0, 1), static_cast<float>(M_PI / 2));
    ct.applyQuaternion(quarterTurn);  // counter-clockwise about the world origin
    expectAt(ct.points[0], -2, 1, 3);
    expectAt(ct.points[1], -2, 2, 3);

    // About each axis, a quaternion rotation about the offset agrees with the matrix one.
    const float radians = 0.2f;
    const float degrees = static_cast<float>(0.2 * 180.0 / 3.14159);
    for (int axis = 0; axis < 3; ++axis) {
        Geometry byMatrix;
        Geometry byQuaternion;
        for (Geometry* g : {&byMatrix, &byQuaternion}) {
            g->componentTransform->translate(1, 2, 3);
            g->componentTransform->addPoint(Point(2, -1, 0.5f, RED));
        }
        const float a[3] = {axis == 0 ? 1.0f : 0.0f, axis == 1 ? 1.0f : 0.0f,
                            axis == 2 ? 1.0f : 0.0f};
        byMatrix.componentTransform->rotate(a[0] * radians, a[1] * radians, a[2] * radians);
        byQuaternion.componentTransform->rotateQuaternion(a[0] * degrees, a[1] * degrees,
                                                          a[2] * degrees);
        const Point& m = byMatrix.componentTransform->points[1];
        expectAt(byQuaternion.componentTransform->points[1], m.x, m.y, m.z, 1e-5f);
        expectAt(byQuaternion.componentTransform->points[0], 1, 2, 3, 1e-5f);
    }
}

TEST(ComponentTransformTest, EdgeNormalsAndCornersOfABox) {
    Geometry box;
    ComponentTransform& ct = *box.componentTransform;
    EXPECT_TRUE(ct.getEdgeNormals().empty());  // too few points: nothing read out of range
    const float corners[8][3] = {{1, 1, 1},   {1, -1, 1}, {-1, -1, 1}, {-1, 1, 1},
                                 {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}};
    for (const auto& c : corners) {
        ct.addPoint(Point(c[0], c[1], c[2], RED));
    }
    const float expected[8][3] = {{0, 1, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1},
                                  {1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, 1}};
    const auto normals = ct.getEdgeNormals();
    ASSERT_EQ(normals.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(normals[i].x, expected[i][0]) << i;
        EXPECT_EQ(normals[i].y, expected[i][1]) << i;
        EXPECT_EQ(normals[i].z, expected[i][2]) << i;
    }
    const auto all = ct.getCorners();
    ASSERT_EQ(all.size(), 9u);
    EXPECT_EQ(all[0].x, 0.0f);
    EXPECT_EQ(all[8].z, -1.0f);
}

TEST(ComponentTransformTest, RevisionChangesWithTheGeometryAndOnlyThen) {
    Geometry geometry;
    ComponentTransform& ct = *geometry.componentTransform;
    ct.addPoint(Point(1, 1, 1, RED));

    struct Case {
        const char* name;
        void (*act)(ComponentTransform&);
        bool changes;
    };
    const Case cases[] = {
        {"translate", [](ComponentTransform& t) { t.translate(1, 0, 0); }, true},
        {"scale", [](ComponentTransform& t) { t.scale(2, 2, 2); }, true},
        {"rotate", [](ComponentTransform& t) { t.rotate(0.1f, 0, 0); }, true},
        {"shear", [](ComponentTransform& t) { t.shear(1, 0, 0); }, true},
        {"rotateQuaternion", [](ComponentTransform& t) { t.rotateQuaternion(0, 5, 0); }, true},
        {"applyMatrix", [](ComponentTransform& t) { t.applyMatrix(Matrix(4, 4).identity()); },
         true},
        {"applyQuaternion",
         [](ComponentTransform& t) { t.applyQuaternion(Quaternion(0, 1, 0, 0)); }, true},
        {"setPosition", [](ComponentTransform& t) { t.setPosition(Point(1, 2, 3, RED)); }, true},
        {"setCentre", [](ComponentTransform& t) { t.setCentre(Point(1, 2, 3, RED)); }, true},
        {"addPoint", [](ComponentTransform& t) { t.addPoint(Point(0, 1, 0, RED)); }, true},
        {"clearPoints", [](ComponentTransform& t) { t.clearPoints(); }, true},
        {"direct write, announced",
         [](ComponentTransform& t) {
             t.points[0].x += 1;
             t.pointsChanged();
         },
         true},
        // Reading, and recolouring, leave the geometry as it was.
        {"corners read", [](ComponentTransform& t) { (void)t.getCorners(); }, false},
        {"normals read", [](ComponentTransform& t) { (void)t.getEdgeNormals(); }, false},
        {"recoloured", [](ComponentTransform& t) { t.points[0].color = RED; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::uint64_t before = ct.getRevision();
        EXPECT_NE(before, 0u);
        c.act(ct);
        EXPECT_EQ(ct.getRevision() != before, c.changes);
    }

    // Every transform draws from one sequence: a new one never repeats another's revision,
    // so a reader cannot mistake it for the geometry it read before.
    Geometry other;
    EXPECT_NE(other.componentTransform->getRevision(), ct.getRevision());
    EXPECT_GT(other.componentTransform->getRevision(), ct.getRevision());
}
