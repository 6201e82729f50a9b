#pragma once

#include <time.h>

// Seconds of CPU time this thread has used: benchmarks that time two things in alternation
// within one iteration compare them on this clock, which other work on the machine does not
// advance.
inline double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}
