#pragma once

#include <functional>

#include "app/LoopTimes.h"
#include "app/RunOptions.h"

class World;

/// Fills the world once, before the first step. The World owns whatever is added to it.
using SceneBuilder = std::function<void(World& world)>;

/// Opens the window, builds the scene with `buildScene`, then runs the frame loop (17 ms steps
/// kept to the clock's pace, a frame after them, the camera keys and mouse, Esc) until Esc,
/// stopEngine(), the picture asked for by RunOptions::screenshotAfterFrames, or the
/// window is closed or destroyed. Everything the World, the Keyboard and the Camera held is
/// deleted before it returns. Returns 0, the status given to stopEngine(), or 1 when there is
/// no X display to open the window on (with a one-line message on stderr).
///
/// Should `buildScene` throw, the window is closed, the world emptied and GLUT shut down, and
/// the exception reaches the caller: the engine is as it was before the run, and runEngine()
/// may be called again. One run at a time: a call from inside a run is refused (returns 1,
/// with a message on stderr).
int runEngine(const RunOptions& options, const SceneBuilder& buildScene);

/// Ends the frame loop after the callback that calls it; runEngine() then returns `status`.
/// Called from a component's update, the step in progress still finishes. Called while no run
/// is in progress (before the first, between two), it does nothing.
void stopEngine(int status = 0);
