#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "math/Vector3.h"
#include "shapes/Cube.h"

using _Tarn::Vector3;

namespace {

const Color GREY(0.5f, 0.5f, 0.5f, 1.0f);

Vector3 at(const Point& p) {
    return Vector3(p.x, p.y, p.z);
}

// Outward normal of one face and the colour it must carry, in drawing order.
struct FaceExpectation {
    Vector3 normal;
    Color color;
};

const FaceExpectation FACE_ORDER[6] = {
    {Vector3(0, 0, 1), Color(1, 0, 0, 1)},  {Vector3(1, 0, 0), Color(0, 1, 0, 1)},
    {Vector3(0, 0, -1), Color(0, 0, 1, 1)}, {Vector3(-1, 0, 0), Color(1, 0, 1, 1)},
    {Vector3(0, 1, 0), Color(0, 1, 1, 1)},  {Vector3(0, -1, 0), Color(1, 1, 0, 1)},
};

// Checks the 36 face points starting at `first`: face by face, both triangles lie in the
// face's plane, are wound counter-clockwise seen from outside, cover the whole face between
// them, and carry the face colour.
void expectFaceTable(const std::vector<Point>& points, size_t first) {
    ASSERT_EQ(points.size(), first + Cube::FACE_POINTS);
    for (size_t face = 0; face < 6; ++face) {
        SCOPED_TRACE(face);
        const FaceExpectation& want = FACE_ORDER[face];
        std::set<std::tuple<float, float, float>> corners;
        for (size_t t = 0; t < 2; ++t) {
            const size_t base = first + face * 6 + t * 3;
            const Vector3 a = at(points[base]);
            const Vector3 b = at(points[base + 1]);
            const Vector3 c = at(points[base + 2]);
            const Vector3 n = (b - a).cross(c - a);
            // Right-angled half of a 2 x 2 square: the normal has length 4, pointing out.
            EXPECT_FLOAT_EQ(n.dot(want.normal), 4.0f) << "triangle " << t;
            for (size_t k = 0; k < 3; ++k) {
                const Point& p = points[base + k];
                EXPECT_FLOAT_EQ(at(p).dot(want.normal), 1.0f);
                EXPECT_EQ(p.color.r, want.color.r);
                EXPECT_EQ(p.color.g, want.color.g);
                EXPECT_EQ(p.color.b, want.color.b);
                EXPECT_EQ(p.color.a, 1.0f);
                corners.insert({p.x, p.y, p.z});
            }
        }
        EXPECT_EQ(corners.size(), 4u) << "two triangles must span all four corners";
    }
}

}  // namespace

TEST(CubeTest, ConstructorsBuildTheirPoints) {
    Cube empty;
    EXPECT_EQ(empty.componentTransform->points.size(), 1u);
    EXPECT_FALSE(empty.filled);

    Cube placed(true, true, Point(0, 0, 0, GREY), GREY, true);
    EXPECT_TRUE(placed.filled);
    expectFaceTable(placed.componentTransform->points, 1);
    // Local and world points agree until the cube has an owner.
    expectFaceTable(placed.componentTransform->localPoints, 1);

    Cube inner(true, true);
    EXPECT_FALSE(inner.filled);
    const std::vector<Point>& points = inner.componentTransform->points;
    ASSERT_EQ(points.size(), 40u);
    // The extra first triangle is red and faces into the cube, on the z = +1 face.
    const Vector3 n = (at(points[2]) - at(points[1])).cross(at(points[3]) - at(points[1]));
    EXPECT_FLOAT_EQ(n.z, -4.0f);
    for (size_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(points[i].z, 1.0f);
        EXPECT_EQ(points[i].color.r, 1.0f);
        EXPECT_EQ(points[i].color.g, 0.0f);
    }
    expectFaceTable(points, 4);
}

TEST(CubeTest, AttachingMovesTheCubeOntoItsOwner) {
    GameObject object(true, true, Point(5, -2, 1, GREY));
    auto* cube = new Cube(true, true, Point(5, -2, 1, GREY), GREY, true);
    ASSERT_TRUE(object.addComponent(cube));
    const ComponentTransform& ct = *cube->componentTransform;
    EXPECT_FLOAT_EQ(ct.position.x, 5.0f);
    EXPECT_FLOAT_EQ(ct.position.y, -2.0f);
    EXPECT_FLOAT_EQ(ct.position.color.g, 0.33f);
    for (size_t i = 1; i < ct.points.size(); ++i) {
        EXPECT_FLOAT_EQ(ct.points[i].x - ct.localPoints[i].x, 5.0f);
        EXPECT_FLOAT_EQ(ct.points[i].y - ct.localPoints[i].y, -2.0f);
        EXPECT_FLOAT_EQ(ct.points[i].z - ct.localPoints[i].z, 1.0f);
    }
    EXPECT_FLOAT_EQ(cube->getOffset().x, 0.0f);
    EXPECT_FLOAT_EQ(cube->getOffset().z, 0.0f);

    // The owner's moves reach the faces: they stay a unit from the centre.
    object.transform->translate(1, 0, 0);
    EXPECT_FLOAT_EQ(ct.points[0].x, 6.0f);
    EXPECT_FLOAT_EQ(ct.points[1].x, 5.0f);  // (-1, 1, 1) of the red face
}
