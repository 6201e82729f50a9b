#pragma once

#include <chrono>

// Schedules the fixed simulation steps against a monotonic clock: step k is due at
// start + k * step. A loop that asks when it wakes makes every step due by then, so the world
// keeps real time even when a frame takes longer than a step; past a bound per frame, the
// steps beyond it are dropped (and counted) rather than made, so a world whose steps cost more
// than their own length slows down gracefully instead of falling ever further behind.
class Pace {
  public:
    using Clock = std::chrono::steady_clock;

    /// A quarter of a second of the world per frame, at 17 ms a step.
    static constexpr int MAX_STEPS_PER_FRAME = 15;

    explicit Pace(Clock::duration step, int maxStepsPerFrame = MAX_STEPS_PER_FRAME);

    /// Step 0 is due at `now`.
    void start(Clock::time_point now);
    /// The steps to make now: those due by `now` and not yet handed out, at most
    /// maxStepsPerFrame. The ones beyond the bound are dropped: never handed out, counted in
    /// dropped().
    int stepsDue(Clock::time_point now);
    /// How long from `now` until the next step not yet handed out is due; zero when it is.
    Clock::duration untilNext(Clock::time_point now) const;
    long dropped() const { return droppedSteps; }

  private:
    Clock::duration step;
    int maxStepsPerFrame;
    Clock::time_point origin;
    // Steps handed out or dropped: the next one due is step number `scheduled`.
    long scheduled = 0;
    long droppedSteps = 0;
};
