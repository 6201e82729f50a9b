#pragma once

/// Cumulative since runEngine() started: steps made and the time spent in World::update,
/// frames drawn and the time spent drawing them (clear to buffer swap), steps dropped.
struct LoopTimes {
    long steps = 0;
    double stepSeconds = 0.0;
    long frames = 0;
    double frameSeconds = 0.0;
    /// Steps the loop left out to keep pace: when steps cost more than their 17 ms, it makes
    /// at most a bounded number per frame and drops the rest.
    long droppedSteps = 0;
};
LoopTimes loopTimes();
