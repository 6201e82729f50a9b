#include "support/world/BoxField.h"

#include <cmath>
#include <random>

#include "collision/BoxCollider.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "shapes/Cube.h"

namespace {

constexpr float PI = 3.14159265f;

// Volume of the cube per box. Two boxes of edge 2 in random orientations overlap when the
// centre of one lies in a region of about 88 cubic units around the other (twice a box's
// volume plus its surface times its mean width), so 88 / 3 per box makes three overlaps.
constexpr float VOLUME_PER_BOX = 88.0f / 3.0f;

// Uniform in [0, 1) from the generator's raw bits: the standard distributions may differ
// between library versions, and the field must not.
float unit(std::mt19937& random) {
    return static_cast<float>(random() >> 8) * (1.0f / 16777216.0f);
}

}  // namespace

float boxFieldSide(int count) {
    return std::cbrt(VOLUME_PER_BOX * static_cast<float>(count > 0 ? count : 0));
}

void buildBoxField(World& world, int count, std::uint32_t seed) {
    std::mt19937 random(seed);
    const float side = boxFieldSide(count);
    const Point origin(0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f));
    for (int i = 0; i < count; ++i) {
        const float x = (unit(random) - 0.5f) * side;
        const float y = (unit(random) - 0.5f) * side;
        const float z = (unit(random) - 0.5f) * side;
        const Color colour(unit(random), unit(random), unit(random), 1.0f);
        auto* object = new GameObject(true, true, Point(x, y, z, colour));
        object->addComponent(new Cube(true, true, origin, colour, true));
        object->addComponent(new BoxCollider(true, true, true, origin));
        object->transform->rotate((2.0f * unit(random) - 1.0f) * PI,
                                  (2.0f * unit(random) - 1.0f) * PI,
                                  (2.0f * unit(random) - 1.0f) * PI);
        world.addObject(object);
    }
}
