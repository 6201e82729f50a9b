#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

class World;

/// The window a program runs in, and the command line GLUT may read its own options from.
struct RunOptions {
    RunOptions() = default;
    /// The usual start of a program's main: the window's title, and the command line.
    RunOptions(std::string title, int argc, char** argv)
        : title(std::move(title)), argc(argc), argv(argv) {}

    std::string title = "Engine";
    int width = 500;
    int height = 500;
    /// Top-left corner on the screen.
    int x = 500;
    int y = 500;
    /// Handed to GLUT as they are (it takes -display, -geometry... out of them); argv[0] also
    /// names the program in the message shown when there is no display. Optional.
    int argc = 0;
    char** argv = nullptr;
    /// Whether the camera keys I, J, K and L (and the mouse) also hide the world's first
    /// object, as the demonstration's help text is hidden.
    bool cameraHidesFirstObject = false;
    /// Shows the stats line from the start; F3 shows and hides it.
    bool showStats = false;
    /// Where F12 saves the window's picture (PNG). Empty: "<program>-<n>.png" in the working
    /// directory, n the first number whose file does not exist.
    std::string screenshotPath;
    /// When above 0: after this many frames, save the picture (as F12 does) and end the run;
    /// runEngine then returns 0, or 1 when the picture could not be written.
    long screenshotAfterFrames = 0;
    /// Keys the run presses by itself, each "KEY:STEP" or "KEY:FIRST-LAST" (steps counted
    /// from 1; KEY one character or "space"): held down over those steps, as if on the
    /// keyboard. With screenshotAfterFrames, a picture of a scene set up by its keys.
    std::vector<std::string> pressKeys;
};

/// Fills the world once, before the first step. The World owns whatever is added to it.
using SceneBuilder = std::function<void(World& world)>;

/// Opens the window, builds the scene with `buildScene`, then runs the frame loop (one 17 ms
/// step per tick, one frame per step, the camera keys, Esc) until Esc, stopEngine(), or the
/// window is closed or destroyed. Everything the World, the Keyboard and the Camera held is
/// deleted before it returns. Returns 0, the status given to stopEngine(), or 1 when there is
/// no X display to open the window on (with a one-line message on stderr).
int runEngine(const RunOptions& options, const SceneBuilder& buildScene);

/// Ends the frame loop after the callback that calls it; runEngine() then returns `status`.
/// Called from a component's update, the step in progress still finishes.
void stopEngine(int status = 0);

/// Cumulative since runEngine() started: steps made and the time spent in World::update,
/// frames drawn and the time spent drawing them (clear to buffer swap), steps dropped.
struct LoopTimes {
    long steps = 0;
    double stepSeconds = 0.0;
    long frames = 0;
    double frameSeconds = 0.0;
    /// Steps the loop left out to keep pace: when steps cost more than their 17 ms, it makes
    /// at most a bounded number per frame and drops the rest.
    long droppedSteps = 0;
};
LoopTimes loopTimes();
