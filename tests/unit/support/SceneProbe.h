#pragma once

#include <string>
#include <vector>

class World;

// Reads a whole world as plain numbers, so that two runs can be compared exactly and every
// coordinate checked in one go. Shared by the long-run tests and the fuzz target.
namespace sceneprobe {

/// Every flag, position, pivot, point (coordinates and colour), velocity and controller state
/// of the world, in a fixed order.
std::vector<float> snapshot(const World& world);

/// Where two worlds first differ in their snapshots, named ("object 4 component 1
/// (BOXCOLLIDER) point 3 colour g: 0.5 expected, 0 seen"), or an empty string when they hold
/// the same bits.
std::string firstDifference(const World& expected, const World& seen);

/// True when both snapshots hold the same bits (NaN included).
bool identical(const std::vector<float>& a, const std::vector<float>& b);

/// Where the first non-finite coordinate sits, e.g. "object 4 component 1 point 3", or an
/// empty string when every position, pivot and point of the world is finite.
std::string firstNonFinite(const World& world);

}  // namespace sceneprobe
