#pragma once

/// Cumulative since runEngine() started: steps made and the time spent in World::update,
/// frames drawn and the time spent drawing them (clear to buffer swap).
struct LoopTimes {
    long steps = 0;
    double stepSeconds = 0.0;
    long frames = 0;
    double frameSeconds = 0.0;
};
LoopTimes loopTimes();
