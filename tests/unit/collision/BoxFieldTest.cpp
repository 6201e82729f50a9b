#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/Component.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "support/world/BoxField.h"

namespace {

std::vector<Point> positions(const World& world) {
    std::vector<Point> result;
    for (const auto& object : world.objects) {
        result.push_back(object->getPosition());
    }
    return result;
}

bool samePlaces(const std::vector<Point>& a, const std::vector<Point>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].z != b[i].z) {
            return false;
        }
    }
    return true;
}

}  // namespace

TEST(BoxFieldTest, BoxesWithACubeAndAColliderSpreadThroughACubeThatGrowsWithTheirNumber) {
    // Eight times the boxes, twice the side: the density stays the same.
    EXPECT_NEAR(boxFieldSide(8000) / boxFieldSide(1000), 2.0f, 1e-5f);
    EXPECT_EQ(boxFieldSide(0), 0.0f);
    EXPECT_EQ(boxFieldSide(-5), 0.0f);

    for (const int count : {1, 10, 1000}) {
        SCOPED_TRACE("count " + std::to_string(count));
        World world;
        buildBoxField(world, count);
        ASSERT_EQ(world.objects.size(), static_cast<size_t>(count));
        const float half = boxFieldSide(count) / 2;
        float lowest = half, highest = -half;
        for (const auto& object : world.objects) {
            ASSERT_EQ(object->components.size(), 2u);
            EXPECT_EQ(object->components[0]->getTypeTag(), "CUBE");
            EXPECT_EQ(object->components[1]->getTypeTag(), "BOXCOLLIDER");
            EXPECT_EQ(object->colliders.size(), 1u);
            EXPECT_TRUE(object->updateEnabled && object->drawEnabled);
            const Point p = object->getPosition();
            for (const float coordinate : {p.x, p.y, p.z}) {
                EXPECT_LE(std::fabs(coordinate), half);
                lowest = std::min(lowest, coordinate);
                highest = std::max(highest, coordinate);
            }
        }
        if (count == 1000) {
            // Spread through the whole cube, not bunched in a corner of it.
            EXPECT_LT(lowest, -0.95f * half);
            EXPECT_GT(highest, 0.95f * half);
        }
    }

    // The same seed gives the same field; another seed another one.
    World first, again, other;
    buildBoxField(first, 50, 7);
    buildBoxField(again, 50, 7);
    buildBoxField(other, 50, 8);
    EXPECT_TRUE(samePlaces(positions(first), positions(again)));
    EXPECT_FALSE(samePlaces(positions(first), positions(other)));
}
