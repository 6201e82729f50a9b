#pragma once

// The GLUT callbacks that runEngine() installs: fixed simulation steps on the clock's pace (one
// per FRAME_MS of real time), one frame per display. Every step counts as FRAME_MS. The run
// function (Run.h) drives this loop; the loop knows nothing of it.

#include "app/LoopTimes.h"

constexpr int FRAME_MS = 17;

/// The window the callbacks draw into; set by runEngine().
extern int windowId;

/// Off (the default): each tick asks for one frame, so no more frames are drawn than steps
/// are made. On: each frame asks for the next at once, as many as the machine can draw.
extern bool redrawContinuously;

/// Back to no steps, no frames and no stop requested, before a run starts.
void resetFrameLoop();
/// Draw block: clear, camera, world, swap (and request the next frame when redrawing
/// continuously).
void display();
/// Viewport and projection (60 degrees, near 1, far 100, scene 20 units back).
void reshape(int width, int height);
/// Update block: the steps due by now (Pace), each a world step and the camera's keys, and
/// the run stops if Esc is held (or was tapped since the last step); then re-arm the timer for
/// the next step's time and request a frame. No step after a stop.
void timerTick(int value);
/// Key callbacks: record the press or release in the Keyboard.
void keyPressed(unsigned char key, int x, int y);
void keyReleased(unsigned char key, int x, int y);
/// The Camera's view, onto the current model-view matrix.
void applyCamera();
/// Leaves GLUT's main loop after the callback in progress, once per run; runEngine() then
/// returns `status`. No step is made after it. GLUT must be initialised.
void requestStop(int status);
/// Whether a stop was requested during this run, and the status it was given.
bool stopRequested();
int requestedStatus();
/// Frees the singletons; used when the window goes and after the main loop has returned.
void releaseEngine();
/// The window is going away (Esc or stopEngine() left the main loop, the window manager
/// closed it, or another client destroyed it): frees the engine and checks for leaks while
/// the GL driver is still loaded.
void windowClosed();
