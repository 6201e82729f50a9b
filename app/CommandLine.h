#pragma once

struct RunOptions;

/// Which parts of the window's geometry the command line gives GLUT's -geometry option
/// ("WxH+X+Y", "WxH" or "+X+Y"): those win over the program's RunOptions.
struct GeometryGiven {
    bool size = false;
    bool position = false;
};
GeometryGiven geometryOnCommandLine(int argc, char** argv);

/// The engine's own options, for any program that hands runEngine its command line:
///   -stats               show the stats line from the start
///   -screenshot FILE     where F12 and -screenshot-after save the picture
///   -screenshot-after N  save the picture after N frames, then end the run
///   -press KEY:STEPS     press a key by itself over those steps (RunOptions::pressKeys)
/// They fill the matching RunOptions fields; anything else is left to GLUT and the program.
/// An option without its value, or a count that is no positive number, is reported on stderr
/// and ignored (false is returned).
bool readEngineOptions(RunOptions& options);

/// A top-left corner that keeps a window of `width` x `height` on a screen of `screenWidth` x
/// `screenHeight`, moved as little as possible from (x, y); the top-left of the screen when
/// the window is larger.
void keepOnScreen(int& x, int& y, int width, int height, int screenWidth, int screenHeight);
