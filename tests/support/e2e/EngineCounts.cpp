#include "support/e2e/EngineCounts.h"

#include <cstdio>
#include <cstdlib>

namespace e2e {

EngineCounts readCounts(EngineProcess& engine) {
    EngineCounts counts;
    counts.text = engine.windowText("ENGINE_COUNTS");
    if (std::sscanf(counts.text.c_str(), "ticks=%ld frames=%ld cameraZ=%lf", &counts.ticks,
                    &counts.frames, &counts.cameraZ) != 3) {
        counts.ticks = -1;
    }
    return counts;
}

PublishedCounts::PublishedCounts() {
    setenv("ENGINE_PUBLISH_COUNTS", "1", 1);
}

PublishedCounts::~PublishedCounts() {
    unsetenv("ENGINE_PUBLISH_COUNTS");
}

}  // namespace e2e
