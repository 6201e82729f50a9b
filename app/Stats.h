#pragma once

#include <cstddef>
#include <string>

struct LoopTimes;

/// The stats line: frames and steps per second, the mean step and frame in milliseconds,
/// the world's objects and the steps dropped so far, from the loop's counts at two moments
/// `seconds` apart.
std::string statsText(const LoopTimes& from, const LoopTimes& to, double seconds,
                      std::size_t objects);

/// Whether the frame loop draws the stats line (F3 toggles it).
void setStatsShown(bool shown);
void toggleStats();
/// Draws the line at the window's top left, over the scene, while shown; the figures are
/// renewed twice a second. Called by the frame loop after the world is drawn.
void drawStatsIfShown();
