#pragma once

#include "collision/ContactManifold.h"
#include "collision/OrientedBox.h"
#include "math/Vector3.h"

// Contacts with spheres, each one point, with the normal from a towards b. A sphere is its
// centre and radius; a radius that is negative or not finite, or a centre not finite, makes
// no solid and touches nothing. Spheres that just touch are in contact at depth 0.

/// Two spheres. Concentric spheres push apart along y.
bool sphereContacts(const _Tarn::Vector3& a, float radiusA, const _Tarn::Vector3& b, float radiusB,
                    ContactManifold& out);

/// A box and a sphere. A sphere whose centre is inside the box is pushed out through the
/// face nearest to its centre.
bool boxSphereContacts(const OrientedBox& a, const _Tarn::Vector3& b, float radiusB,
                       ContactManifold& out);
