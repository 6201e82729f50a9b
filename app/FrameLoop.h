#pragma once

// The GLUT callbacks of the demo: one fixed simulation step per timer tick, one frame per
// display. Every step counts as FRAME_MS whatever the clock says.

constexpr int FRAME_MS = 17;

/// The window the callbacks draw into; set once by main.
extern int windowId;

/// Off (the default): each tick asks for one frame, so no more frames are drawn than steps
/// are made. On: each frame asks for the next at once, as many as the machine can draw.
extern bool redrawContinuously;

/// Builds the scene and latches key taps, before the main loop starts.
void initialise();
/// Draw block: clear, camera, world, swap (and request the next frame when redrawing
/// continuously).
void display();
/// Viewport and projection (60 degrees, near 1, far 100, scene 20 units back).
void reshape(int width, int height);
/// Update block: one world step, the camera's keys, re-arm the timer, quit if Esc is held
/// (or was tapped since the last tick), request a frame.
void timerTick(int value);
/// Simulation steps made and frames drawn so far.
long ticksMade();
long framesDrawn();
/// Key callbacks: record the press or release in the Keyboard.
void keyPressed(unsigned char key, int x, int y);
void keyReleased(unsigned char key, int x, int y);
/// The Camera's view, onto the current model-view matrix.
void applyCamera();
/// Destroys the window and everything the world owns, then exits with status 0.
[[noreturn]] void quitProgram();
/// Frees the singletons; used by quitProgram and when the window is closed.
void releaseEngine();
/// The window is going away without Esc (closed through the window manager, or destroyed by
/// another client): frees the engine and checks for leaks while the GL driver is still loaded.
void windowClosed();
