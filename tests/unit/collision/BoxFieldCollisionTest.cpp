#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "collision/BoxCollider.h"
#include "collision/OrientedBox.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "support/world/BoxField.h"
#include "support/world/WorldFixture.h"

// The thousand boxes of the benchmark field: the quick sphere rejection, and the boxes the
// colliders keep between tests, must give exactly the answers of the full test on geometry
// read afresh, for every ordered pair, and so must a whole step of the world.
namespace {

class BoxFieldCollisionTest : public WorldFixture {};

}  // namespace

TEST_F(BoxFieldCollisionTest, EarlyRejectionAgreesWithTheFullTestOnEveryPair) {
    buildBoxField(*world, 1000);
    std::vector<BoxCollider*> colliders;
    std::vector<OrientedBox> boxes;
    for (const auto& object : world->objects) {
        auto* collider = dynamic_cast<BoxCollider*>(object->colliders.at(0));
        ASSERT_NE(collider, nullptr);
        OrientedBox box;
        ASSERT_TRUE(OrientedBox::fromCorners(collider->componentTransform->points, box));
        colliders.push_back(collider);
        boxes.push_back(box);
    }

    const size_t n = boxes.size();
    size_t rejected = 0, touching = 0, wrongRejections = 0, wrongAnswers = 0;
    std::vector<bool> touchesAny(n, false);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j) {
            if (i == j) {
                continue;
            }
            const bool full = boxes[i].touches(boxes[j]);
            touching += full;
            touchesAny[i] = touchesAny[i] || full;
            if (!boxes[i].mayTouch(boxes[j])) {
                ++rejected;
                wrongRejections += full;
            }
            wrongAnswers += colliders[i]->collideWithBox(colliders[j]) != full;
        }
    }
    EXPECT_EQ(wrongRejections, 0u);
    EXPECT_EQ(wrongAnswers, 0u);
    // About three contacts per box, and the spheres settle nearly every other pair.
    EXPECT_GT(touching, 2u * 1000u);
    EXPECT_LT(touching, 2u * 2000u);
    EXPECT_GT(rejected, n * (n - 1) * 99 / 100);

    // One step: a box shows contact exactly when the full test finds it touching any other.
    step();
    size_t wrongColours = 0;
    for (size_t i = 0; i < n; ++i) {
        const std::string expected = touchesAny[i] ? "green" : "red";
        wrongColours += cornerColour(*colliders[i]) != expected;
    }
    EXPECT_EQ(wrongColours, 0u);
}
