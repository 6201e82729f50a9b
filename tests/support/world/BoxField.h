#pragma once

#include <cstdint>

class World;

/// Side of the cube that holds a field of `count` boxes: it grows with the cube root of the
/// count, so the density of boxes, and with it the number of boxes each box overlaps (about
/// three away from the field's faces), stays the same whatever the count.
float boxFieldSide(int count);

/// Adds `count` objects to `world`, each with a filled Cube and a BoxCollider of the same
/// size (edge 2), at positions and rotations drawn from `seed` inside a cube of side
/// boxFieldSide(count) centred on the origin. The same seed gives the same field on every
/// machine. Nothing in the field moves by itself: it measures and tests collision.
void buildBoxField(World& world, int count, std::uint32_t seed = 1);
