#pragma once

#include <string>
#include <utility>
#include <vector>

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
    /// The viewer's controls: the mouse turns (left drag), pans (right drag) and zooms (wheel)
    /// the view, F3 shows and hides the stats line, F12 saves the window's picture. Off unless
    /// a program asks: it may have its own use for the mouse and those keys.
    bool viewControls = false;
    /// Shows the stats line from the start; F3 shows and hides it (with viewControls).
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
