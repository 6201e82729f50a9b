#pragma once

// Xlib's header defines macros (None, Status, Bool...) that clash with other code.
struct _XDisplay;

/// For end-to-end tests, which cannot see inside the process: when the environment variable
/// ENGINE_PUBLISH_COUNTS is set, keeps the text property ENGINE_COUNTS of the window at
/// "ticks=T frames=F cameraZ=Z" (steps made, frames drawn, the camera's offset along the eye
/// axis). Otherwise it does nothing, so the demo a person runs never changes.
void publishCountsIfAsked(_XDisplay* display, unsigned long window);
