#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "core/Component.h"
#include "core/ComponentTransform.h"

// A component with a point list and nothing else, as shapes and colliders have, to watch
// what the object model does to geometry.
class TestGeometry : public Component {
  public:
    explicit TestGeometry(std::initializer_list<Point> points = {}) : Component(true, true) {
        componentTransform = std::make_unique<ComponentTransform>(this);
        for (const Point& p : points) {
            componentTransform->addPoint(p);
        }
    }
};

inline void expectAt(const Point& p, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
    EXPECT_NEAR(p.z, z, tolerance);
}

inline void expectColour(const Color& c, float r, float g, float b, float a) {
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_FLOAT_EQ(c.a, a);
}
