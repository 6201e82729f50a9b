#include "app/Pace.h"

#include <algorithm>

Pace::Pace(Clock::duration step, int maxStepsPerFrame)
    : step(step), maxStepsPerFrame(std::max(1, maxStepsPerFrame)) {}

void Pace::start(Clock::time_point now) {
    origin = now;
    scheduled = 0;
    droppedSteps = 0;
}

int Pace::stepsDue(Clock::time_point now) {
    if (now < origin) {
        return 0;
    }
    // Steps 0 to (now - origin) / step are due.
    const long due = static_cast<long>((now - origin) / step) + 1;
    const long late = due - scheduled;
    if (late <= 0) {
        return 0;
    }
    const long made = std::min<long>(late, maxStepsPerFrame);
    droppedSteps += late - made;
    scheduled = due;
    return static_cast<int>(made);
}

Pace::Clock::duration Pace::untilNext(Clock::time_point now) const {
    const Clock::time_point next = origin + scheduled * step;
    return next > now ? next - now : Clock::duration::zero();
}
