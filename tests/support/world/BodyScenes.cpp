#include "support/world/BodyScenes.h"

#include <cmath>
#include <random>

#include "collision/BoxCollider.h"
#include "collision/CircleCollider.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "physics/RigidBody.h"
#include "shapes/Cube.h"

using _Tarn::Vector3;

namespace bodyScenes {

namespace {

const Point ORIGIN(0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f));
// Room for one box in the pit's lattice: more than the diagonal of a box, so that boxes
// turned any way start apart.
constexpr float LATTICE = 3.5f;
constexpr float PI = 3.14159265f;
constexpr float WALL_HALF_THICKNESS = 1.0f;

// An object at `at` with a box collider (and a cube), scaled and turned as asked.
GameObject& newBoxObject(World& world, const Vector3& at, const Vector3& half, const Vector3& turn,
                         bool visible, const Color& colour) {
    auto* object = new GameObject(true, true, Point(at.x, at.y, at.z, colour));
    if (visible) {
        object->addComponent(new Cube(true, true, ORIGIN, colour, true));
    }
    object->addComponent(new BoxCollider(true, true, true, ORIGIN));
    shape(*object, half, turn);
    world.addObject(object);
    return *object;
}

RigidBody& attachBody(GameObject& object, const BodyPlan& plan) {
    auto* body = new RigidBody(plan.mass, plan.friction, plan.restitution);
    object.addComponent(body);
    if (plan.gravity != 0.0f) {
        body->addConstantForce(Vector3(0.0f, -plan.gravity, 0.0f));
    }
    return *body;
}

}  // namespace

void shape(GameObject& object, const Vector3& halfWidths, const Vector3& turn) {
    const Vector3& s = halfWidths;
    if (s.x != 1.0f || s.y != 1.0f || s.z != 1.0f) {
        object.transform->scale(s.x, s.y, s.z);
    }
    if (turn.x != 0.0f || turn.y != 0.0f || turn.z != 0.0f) {
        object.transform->rotate(turn.x, turn.y, turn.z);
    }
}

RigidBody& addBox(World& world, const BodyPlan& plan) {
    const Color colour(0.2f, 0.5f, 0.9f, 1.0f);
    return attachBody(
        newBoxObject(world, plan.at, plan.halfWidths, plan.turn, plan.visible, colour), plan);
}

RigidBody& addBall(World& world, const BodyPlan& plan, float radius) {
    auto* object = new GameObject(true, true, Point(plan.at.x, plan.at.y, plan.at.z, ORIGIN.color));
    object->addComponent(new CircleCollider(true, plan.visible, true, ORIGIN, radius));
    world.addObject(object);
    return attachBody(*object, plan);
}

GameObject& addObstacle(World& world, const Vector3& at, const Vector3& halfWidths,
                        const Vector3& turn, bool visible) {
    return newBoxObject(world, at, halfWidths, turn, visible, Color(0.5f, 0.5f, 0.5f, 1.0f));
}

GameObject& addFloor(World& world, float halfWidth, bool visible) {
    return addObstacle(world, Vector3(0.0f, -1.0f, 0.0f), Vector3(halfWidth, 1.0f, halfWidth),
                       Vector3(0.0f, 0.0f, 0.0f), visible);
}

std::vector<RigidBody*> buildPyramid(World& world, int levels, float gap, bool visible) {
    addFloor(world, 2.0f * static_cast<float>(levels) + 10.0f, visible);
    std::vector<RigidBody*> boxes;
    for (int row = 0; row < levels; ++row) {
        const int count = levels - row;
        const float pitch = 2.0f + gap;
        const float first = -0.5f * pitch * static_cast<float>(count - 1);
        for (int i = 0; i < count; ++i) {
            BodyPlan plan;
            plan.at = Vector3(first + pitch * static_cast<float>(i),
                              1.0f + 2.0f * static_cast<float>(row), 0.0f);
            plan.visible = visible;
            boxes.push_back(&addBox(world, plan));
        }
    }
    return boxes;
}

Pit buildPit(World& world, int count, std::uint32_t seed, bool visible) {
    Pit pit;
    const int side = static_cast<int>(std::ceil(std::cbrt(static_cast<float>(count))));
    const int layers = (count + side * side - 1) / (side * side);
    // Room for the lattice and its shifted layers.
    pit.halfWidth = 0.5f * LATTICE * (static_cast<float>(side) + 0.5f);
    const float height = 2.0f + LATTICE * static_cast<float>(layers);
    const float h = pit.halfWidth;
    const float t = WALL_HALF_THICKNESS;
    addFloor(world, h + 2.0f * t, visible);
    const float wallY = 0.5f * height;
    addObstacle(world, Vector3(h + t, wallY, 0.0f), Vector3(t, 0.5f * height, h + 2.0f * t),
                Vector3(0.0f, 0.0f, 0.0f), visible);
    addObstacle(world, Vector3(-h - t, wallY, 0.0f), Vector3(t, 0.5f * height, h + 2.0f * t),
                Vector3(0.0f, 0.0f, 0.0f), visible);
    addObstacle(world, Vector3(0.0f, wallY, h + t), Vector3(h, 0.5f * height, t),
                Vector3(0.0f, 0.0f, 0.0f), visible);
    addObstacle(world, Vector3(0.0f, wallY, -h - t), Vector3(h, 0.5f * height, t),
                Vector3(0.0f, 0.0f, 0.0f), visible);

    std::mt19937 random(seed);
    // From the raw bits: the standard distributions may differ between library versions.
    const auto unit = [&random]() {
        return static_cast<float>(random() >> 8) * (1.0f / 16777216.0f);
    };
    const auto turn = [&unit]() { return (2.0f * unit() - 1.0f) * PI; };
    for (int n = 0; n < count; ++n) {
        const int layer = n / (side * side);
        const int row = (n / side) % side;
        const int column = n % side;
        // Every other layer half a place over, so that boxes land on the edges of the ones
        // below instead of stacking in columns.
        const float shift = layer % 2 == 0 ? 0.5f : 1.0f;
        BodyPlan plan;
        plan.at = Vector3(-h + LATTICE * (static_cast<float>(column) + shift),
                          2.0f + LATTICE * (static_cast<float>(layer) + 0.5f),
                          -h + LATTICE * (static_cast<float>(row) + shift));
        plan.turn = Vector3(turn(), turn(), turn());
        plan.visible = visible;
        pit.boxes.push_back(&addBox(world, plan));
    }
    return pit;
}

}  // namespace bodyScenes
