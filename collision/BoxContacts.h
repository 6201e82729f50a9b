#pragma once

#include "collision/ContactManifold.h"
#include "collision/OrientedBox.h"

/// The contact of two boxes that overlap or touch, with the normal from a towards b.
///
/// The fifteen axes of the separating-axis test are the candidates; the one along which the
/// boxes overlap least gives the normal and the depth, a face axis being preferred unless
/// another is clearly better, so that a resting pair keeps the same answer from step to step.
/// Along a face axis, that face is the reference face and the other box's face most turned
/// against it the incident face: the incident face is clipped by the reference face's four
/// side planes, and the points of it that lie below the reference face are the contact (the
/// four that span the largest area when there are more). Along the cross product of two
/// edges, the one point where the edges pass closest.
///
/// False, and no points, when the boxes are apart, or when either is no plain box (its reach
/// is infinite: sheared, not finite, or beyond the coordinate range): the answer would be no
/// geometry.
bool boxContacts(const OrientedBox& a, const OrientedBox& b, ContactManifold& out);
