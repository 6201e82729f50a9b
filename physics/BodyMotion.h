#pragma once

#include "collision/OrientedBox.h"
#include "math/Matrix.h"
#include "math/Vector3.h"

// The one 4 x 4 matrix that carries a rigid body's geometry through a step, handed to its
// object's Transform: every point of every component meets one matrix per step.

/// A turn by |turn| radians about the axis `turn` through `centre` (counter-clockwise seen
/// from the axis's tip), then a move by `shift`.
Matrix rigidMotion(const _Tarn::Vector3& centre, const _Tarn::Vector3& shift,
                   const _Tarn::Vector3& turn);

/// The same for a box that must stay a box. Moving points by one matrix after another rounds
/// a little every time, and the corners of a box that turns for long enough stop being square
/// (far from the origin within a few hundred steps), until the box test no longer takes it for
/// a box. This matrix takes the box `current`, as its corners stand, onto the box of
/// `halfWidths` with square corners, turned and moved: the rounding of one step is undone at
/// the next instead of adding up. A box flat along an axis gets the rigid motion.
Matrix boxMotion(const OrientedBox& current, const _Tarn::Vector3& halfWidths,
                 const _Tarn::Vector3& shift, const _Tarn::Vector3& turn);
