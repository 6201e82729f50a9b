#include "app/Stats.h"

#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>

#include "app/LoopTimes.h"
#include "core/World.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double RENEW_SECONDS = 0.5;
void* const FONT = GLUT_BITMAP_HELVETICA_12;

bool shown = false;
bool measuring = false;
Clock::time_point since;
LoopTimes last;
std::string text;

double perSecond(long count, double seconds) {
    return seconds > 0.0 ? static_cast<double>(count) / seconds : 0.0;
}

double meanMs(double seconds, long count) {
    return count > 0 ? 1000.0 * seconds / static_cast<double>(count) : 0.0;
}

// Below the demonstration's status line, which sits at the top of the window.
void drawLine(const std::string& line) {
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, width, 0.0, height);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // Yellow on a black strip, readable over any scene.
    const auto* characters = reinterpret_cast<const unsigned char*>(line.c_str());
    const int baseline = height - 30;
    glColor3f(0.0f, 0.0f, 0.0f);
    glRecti(0, baseline - 4, glutBitmapLength(FONT, characters) + 8, baseline + 12);
    glColor3f(1.0f, 1.0f, 0.0f);
    glRasterPos2i(4, baseline);
    glutBitmapString(FONT, characters);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace

std::string statsText(const LoopTimes& from, const LoopTimes& to, double seconds,
                      std::size_t objects) {
    const long steps = to.steps - from.steps;
    const long frames = to.frames - from.frames;
    char line[160];
    std::snprintf(
        line, sizeof line,
        "%.0f fps   %.0f steps/s   step %.2f ms   frame %.2f ms   %zu objects   %ld dropped",
        perSecond(frames, seconds), perSecond(steps, seconds),
        meanMs(to.stepSeconds - from.stepSeconds, steps),
        meanMs(to.frameSeconds - from.frameSeconds, frames), objects, to.droppedSteps);
    return line;
}

void setStatsShown(bool show) {
    shown = show;
    measuring = false;
}

void toggleStats() {
    setStatsShown(!shown);
}

void drawStatsIfShown() {
    if (!shown) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (!measuring) {
        measuring = true;
        since = now;
        last = loopTimes();
        text = "measuring...";
    }
    const double seconds = std::chrono::duration<double>(now - since).count();
    if (seconds >= RENEW_SECONDS) {
        const LoopTimes times = loopTimes();
        text = statsText(last, times, seconds, World::getInstance()->objects.size());
        last = times;
        since = now;
    }
    drawLine(text);
}
