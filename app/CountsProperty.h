#pragma once

/// For end-to-end tests, which cannot see inside the process: when the environment variable
/// ENGINE_PUBLISH_COUNTS is set, keeps the text property ENGINE_COUNTS of the run's window at
/// "ticks=T frames=F cameraZ=Z" (steps made, frames drawn, the camera's offset along the eye
/// axis) until the run ends. Otherwise, and where the engine is built without X11, it does
/// nothing, so the demo a person runs never changes. Call it from the scene builder, where the
/// window is open.
void publishCountsIfAsked();
