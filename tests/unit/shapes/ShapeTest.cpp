#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "shapes/Cube.h"
#include "shapes/Polygon.h"
#include "shapes/Shape.h"
#include "shapes/Sphere.h"
#include "unit/support/TestGeometry.h"

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);
const Color BLUE(0.0f, 0.0f, 1.0f, 1.0f);

}  // namespace

TEST(ShapeTest, ConstructorsSetTagsFlagsAndPlacement) {
    const Point at(1, 2, 3, BLUE);
    struct Case {
        std::string name;
        std::unique_ptr<Shape> shape;
        std::string tag;
        bool update;
        bool draw;
        bool placed;  // built at `at` in blue
    };
    std::vector<Case> cases;
    cases.push_back({"Shape()", std::make_unique<Shape>(), "SHAPE", false, false, false});
    cases.push_back(
        {"Shape(t,f)", std::make_unique<Shape>(true, false), "SHAPE", true, false, false});
    cases.push_back(
        {"Shape(..)", std::make_unique<Shape>(false, true, at, BLUE), "SHAPE", false, true, true});
    cases.push_back({"Polygon()", std::make_unique<Polygon>(), "POLYGON", false, false, false});
    cases.push_back({"Polygon(..)", std::make_unique<Polygon>(true, true, at, BLUE, true),
                     "POLYGON", true, true, true});
    cases.push_back({"Cube()", std::make_unique<Cube>(), "CUBE", false, false, false});
    cases.push_back(
        {"Cube(..)", std::make_unique<Cube>(true, true, at, BLUE, true), "CUBE", true, true, true});
    cases.push_back({"Sphere()", std::make_unique<Sphere>(), "SPHERE", false, false, false});
    cases.push_back(
        {"Sphere(f,t)", std::make_unique<Sphere>(false, true), "SPHERE", false, true, false});
    cases.push_back({"Sphere(..)", std::make_unique<Sphere>(false, false, at, BLUE, true), "SPHERE",
                     false, false, true});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Shape& s = *c.shape;
        EXPECT_EQ(s.getTypeTag(), c.tag);
        EXPECT_EQ(s.updateEnabled, c.update);
        EXPECT_EQ(s.drawEnabled, c.draw);
        EXPECT_EQ(s.owner, nullptr);
        ASSERT_TRUE(s.hasComponentTransform());
        const ComponentTransform& ct = *s.componentTransform;
        // The geometry inherits the draw flag it had when the shape was built.
        EXPECT_EQ(ct.drawEnabled, c.draw);
        EXPECT_EQ(ct.component, &s);
        if (c.placed) {
            expectAt(s.getPosition(), 1, 2, 3);
            expectAt(s.getOffset(), 1, 2, 3);
            expectColour(s.getColor(), 0, 0, 1, 1);
            // The given point becomes the centre, in local terms only.
            expectAt(ct.offset, 1, 2, 3);
            expectAt(ct.localPoints[0], 1, 2, 3);
            expectAt(ct.points[0], 0, 0, 0);
        } else {
            expectAt(s.getPosition(), 0, 0, 0);
            expectColour(s.getPosition().color, 1, 0, 0, 1);
            expectColour(s.getOffset().color, 1, 0, 0, 1);
            expectColour(s.getColor(), 0, 0, 0, 0);
        }
    }
}

TEST(ShapeTest, PositionAndOffsetFollowTheOwner) {
    // Without an owner, position and offset are the same place.
    Shape loose;
    loose.setPosition(Point(4, 5, 6, BLUE));
    expectAt(loose.getOffset(), 4, 5, 6);
    expectColour(loose.getOffset().color, 1, 0, 0, 1);
    expectColour(loose.getPosition().color, 0, 0, 1, 1);
    loose.setOffset(Point(-1, 0, 1, BLUE));
    expectAt(loose.getPosition(), -1, 0, 1);
    expectColour(loose.getPosition().color, 1, 0, 0, 1);
    expectColour(loose.getOffset().color, 0, 0, 1, 1);

    GameObject object(false, true, Point(1, 2, 3, RED));
    auto* shape = new Shape(false, true, Point(1, 1, 1, BLUE), BLUE);
    shape->addPoint(Point(1, 0, 0, RED));
    ASSERT_TRUE(object.addComponent(shape));
    EXPECT_EQ(shape->owner, &object);
    expectAt(shape->getOffset(), 0, -1, -2);
    expectColour(shape->getOffset().color, 1, 0, 0, 1);
    expectAt(shape->getPosition(), 1, 1, 1);
    // The geometry moved onto the owner, centre included.
    expectAt(shape->componentTransform->points[0], 1, 2, 3);
    expectAt(shape->componentTransform->points[1], 2, 2, 3);

    shape->setOffset(Point(1, 0, 0, BLUE));
    expectAt(shape->getPosition(), 2, 2, 3);
    shape->setPosition(Point(0, 0, 0, BLUE));
    expectAt(shape->getOffset(), -1, -2, -3);

    // A null owner changes nothing at all.
    Shape kept(false, true, Point(7, 8, 9, BLUE), BLUE);
    kept.addPoint(Point(1, 0, 0, RED));
    kept.setOwner(nullptr);
    EXPECT_EQ(kept.owner, nullptr);
    expectAt(kept.getPosition(), 7, 8, 9);
    expectAt(kept.getOffset(), 7, 8, 9);
    expectColour(kept.getOffset().color, 0, 0, 1, 1);
    expectAt(kept.componentTransform->points[1], 1, 0, 0);
}

TEST(ShapeTest, ColourAndPointLists) {
    Shape shape;
    Color& stored = shape.setColor(0.1f, 0.2f, 0.3f, 0.4f);
    stored.g = 0.9f;  // the returned reference is the shape's own colour
    expectColour(shape.getColor(), 0.1f, 0.9f, 0.3f, 0.4f);

    shape.addPoint(Point(1, 0, 0, RED));
    shape.addPoint(Point(0, 1, 0, RED));
    ASSERT_EQ(shape.componentTransform->points.size(), 3u);
    shape.clearPoints();
    EXPECT_EQ(shape.componentTransform->points.size(), 1u);
    EXPECT_EQ(shape.componentTransform->localPoints.size(), 1u);
}

TEST(PolygonTest, RegularPolygonCorners) {
    struct Case {
        int sides;
        float radius;
        std::vector<std::vector<float>> corners;
    };
    const std::vector<Case> cases = {
        {4, 2.0f, {{2, 0}, {0, 2}, {-2, 0}, {0, -2}}},
        {3, 1.0f, {{1, 0}, {-0.5f, 0.8660254f}, {-0.5f, -0.8660254f}}},
        {1, 3.0f, {{3, 0}}},
        {0, 5.0f, {}},
        {-3, 5.0f, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sides);
        Polygon polygon;
        polygon.addPoint(Point(9, 9, 9, BLUE));  // replaced
        polygon.makeRegularPolygon(c.sides, c.radius);
        const std::vector<Point>& points = polygon.componentTransform->points;
        ASSERT_EQ(points.size(), c.corners.size() + 1);
        for (size_t i = 0; i < c.corners.size(); ++i) {
            const Point& p = points[i + 1];
            EXPECT_NEAR(p.x, c.corners[i][0], 1e-4f);
            EXPECT_NEAR(p.y, c.corners[i][1], 1e-4f);
            EXPECT_EQ(p.z, 0.0f);
            expectColour(p.color, 1, 0, 0, 1);
        }
    }

    // The step is 6.28318 / sides, a hair short of a full turn: the last corner of a hexagon
    // stops at 5 * 1.047197 radians, not at 5 * pi / 3.
    Polygon hexagon;
    hexagon.makeRegularPolygon(6, 1.0f);
    const float angle = 5.0f * (6.28318f / 6.0f);
    EXPECT_FLOAT_EQ(hexagon.componentTransform->points[6].x, std::cos(angle));
    EXPECT_FLOAT_EQ(hexagon.componentTransform->points[6].y, std::sin(angle));
}
