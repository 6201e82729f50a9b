#pragma once

#include <cstdint>
#include <vector>

#include "math/Vector3.h"

class GameObject;
class RigidBody;
class World;

// Scenes of rigid bodies that the tests check and the benchmarks measure against Bullet.
// Lengths are world units, boxes have edge 2 unless told otherwise, and time is in steps of
// 1/60 s: gravity is 9.81 units/s^2 as a change of velocity per step.
namespace bodyScenes {

constexpr float STEPS_PER_SECOND = 60.0f;
constexpr float GRAVITY = 9.81f / (STEPS_PER_SECOND * STEPS_PER_SECOND);

/// What a body is made of, and how it starts.
struct BodyPlan {
    _Tarn::Vector3 at{0.0f, 0.0f, 0.0f};
    _Tarn::Vector3 halfWidths{1.0f, 1.0f, 1.0f};
    /// Radians about x, then y, then z.
    _Tarn::Vector3 turn{0.0f, 0.0f, 0.0f};
    float mass = 1.0f;
    float friction = 0.5f;
    float restitution = 0.0f;
    /// Downward change of velocity per step; 0 for none.
    float gravity = GRAVITY;
    /// A filled Cube the size of the box, as a visible box has.
    bool visible = true;
};

/// Scales `object` by `halfWidths`, then turns it (radians about x, then y, then z) through
/// its Transform; a scale of 1 and a turn of 0 are not applied at all.
void shape(GameObject& object, const _Tarn::Vector3& halfWidths, const _Tarn::Vector3& turn);

/// An object with a BoxCollider (and a Cube when visible) and a RigidBody, added to `world`.
RigidBody& addBox(World& world, const BodyPlan& plan);
/// A sphere of the given radius (a CircleCollider) with a RigidBody.
RigidBody& addBall(World& world, const BodyPlan& plan, float radius);
/// An immovable box: a BoxCollider (and a Cube when visible) without a body.
GameObject& addObstacle(World& world, const _Tarn::Vector3& at, const _Tarn::Vector3& halfWidths,
                        const _Tarn::Vector3& turn = _Tarn::Vector3(0.0f, 0.0f, 0.0f),
                        bool visible = true);

/// A floor whose top is at y = 0, wide enough for the scenes here.
GameObject& addFloor(World& world, float halfWidth = 100.0f, bool visible = true);

/// A wall of `levels` rows of boxes on the floor, each row one box shorter and centred on the
/// one below, `gap` apart within a row: levels (levels + 1) / 2 boxes, resting as they are.
std::vector<RigidBody*> buildPyramid(World& world, int levels, float gap = 0.0f,
                                     bool visible = true);

/// A floor walled on four sides, and `count` boxes above it in a lattice, each turned at
/// random (from `seed`), every other layer half a place over, falling in: the walls hold a
/// square as wide as the lattice.
struct Pit {
    float halfWidth = 0.0f;  // inside the walls
    std::vector<RigidBody*> boxes;
};
Pit buildPit(World& world, int count, std::uint32_t seed = 1, bool visible = true);

}  // namespace bodyScenes
