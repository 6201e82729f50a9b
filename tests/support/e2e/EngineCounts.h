#pragma once

// The counts the engine publishes for tests when ENGINE_PUBLISH_COUNTS is set in its
// environment: the steps it made, the frames it drew and the camera's offset, in the window
// property ENGINE_COUNTS. They let a test know how many steps passed while nothing on screen
// could show it (a paused world).

#include <string>

#include "support/e2e/EngineProcess.h"

namespace e2e {

struct EngineCounts {
    long ticks = -1;  // -1 while nothing is published yet
    long frames = -1;
    double cameraZ = 0.0;
    std::string text;  // as published, for failure messages
};

EngineCounts readCounts(EngineProcess& engine);

// Engines started while one of these lives publish their counts.
class PublishedCounts {
  public:
    PublishedCounts();
    ~PublishedCounts();
    PublishedCounts(const PublishedCounts&) = delete;
    PublishedCounts& operator=(const PublishedCounts&) = delete;
};

}  // namespace e2e
