#pragma once

// What the run loop does with the display directly, past GLUT. Built on X11 where the engine
// finds it (NativeDisplayX11.cpp); elsewhere GLUT's own handling stands in
// (NativeDisplayGlut.cpp).

/// Before GLUT opens the window: whether a display can be reached. When none can, says so in
/// one line on stderr, naming `program`, and returns false (GLUT would end the process with a
/// cryptic message of its own). Without X11 it leaves that to GLUT and returns true.
bool connectToDisplay(const char* program);
/// Once the window is open and its GL context current: leaves GLUT's main loop when another
/// client destroys the window, and has a held key repeat as presses alone.
void watchWindow();
/// After the run, the window gone: stops watching and closes what connectToDisplay() opened.
void disconnectFromDisplay();
