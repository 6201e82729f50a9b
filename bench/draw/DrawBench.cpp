// One frame of the box field as the engine draws it, against a bare program that draws the
// same triangles and dots with two vertex-array calls, in the same window, projection and
// camera. Each iteration draws both in turn, so a busy machine slows both alike; the ratio of
// their times is what the engine's drawing costs beyond the primitives themselves. The GL
// calls of each frame are counted (GlCallCounter).
//
// It needs an X display (make bench runs it under Xvfb). Mesa's software rasteriser is asked
// to draw in the calling thread (LP_NUM_THREADS=0, unless set otherwise), so the thread's CPU
// time is the whole frame's cost, whatever else the machine runs: `ratio` compares those,
// `wall_ratio` the frames' wall time (with rasteriser threads, the one that counts on screen).

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "GlCallCounter.h"
#include "ThreadClock.h"
#include "app/Camera.h"
#include "app/FrameLoop.h"
#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "support/world/BoxField.h"

namespace {

constexpr int WINDOW_SIZE = 500;

// The example's view of the field: back far enough to see all of it, inside the far plane.
void placeCamera(int count) {
    const float side = boxFieldSide(count);
    Camera::getInstance()->z = -std::min(side, 75.0f - 0.5f * side);
}

// Every triangle vertex and every dot the engine draws for the field, in the same colours.
struct BareField {
    std::vector<Point> triangles;
    std::vector<Point> dots;

    explicit BareField(const World& world) {
        const Point objectDot(0.0f, 0.0f, 0.0f, Color(1.0f, 1.0f, 1.0f, 1.0f));
        for (const auto& object : world.objects) {
            for (const auto& component : object->components) {
                const ComponentTransform& geometry = *component->componentTransform;
                std::vector<Point>& into = component->typeTag == "CUBE" ? triangles : dots;
                into.insert(into.end(), geometry.points.begin() + 1, geometry.points.end());
                dots.push_back(geometry.position);
            }
            dots.push_back(object->transform->position);
            dots.push_back(objectDot);
        }
    }

    void draw() const {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(Point), &triangles[0].x);
        glColorPointer(3, GL_FLOAT, sizeof(Point), &triangles[0].color.r);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(triangles.size()));
        glPointSize(4.0f);
        glVertexPointer(3, GL_FLOAT, sizeof(Point), &dots[0].x);
        glColorPointer(3, GL_FLOAT, sizeof(Point), &dots[0].color.r);
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(dots.size()));
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
};

// One frame as the frame loop draws it, up to the finished picture (the swap is left out:
// both sides would pay the same).
template <typename Draw>
void frame(const Draw& draw) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyCamera();
    draw();
    glFinish();
}

struct Measured {
    double seconds = 0.0;
    double wallSeconds = 0.0;
    long calls = 0;
};

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

template <typename Draw>
void measure(Measured& into, const Draw& draw) {
    const long callsBefore = glCallsMade();
    const double start = threadSeconds();
    const double wallStart = wallSeconds();
    frame(draw);
    into.seconds += threadSeconds() - start;
    into.wallSeconds += wallSeconds() - wallStart;
    into.calls += glCallsMade() - callsBefore;
}

void BM_BoxFieldFrame(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    World& world = *World::getInstance();
    buildBoxField(world, count);
    placeCamera(count);
    const BareField bare(world);
    const auto engineDraw = [&world] { world.draw(FRAME_MS); };
    const auto bareDraw = [&bare] { bare.draw(); };
    frame(engineDraw);
    frame(bareDraw);

    Measured engine;
    Measured reference;
    for (auto _ : state) {
        measure(engine, engineDraw);
        measure(reference, bareDraw);
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["engine_ms"] = 1000.0 * engine.seconds / frames;
    state.counters["bare_ms"] = 1000.0 * reference.seconds / frames;
    state.counters["ratio"] = engine.seconds / reference.seconds;
    state.counters["wall_ratio"] = engine.wallSeconds / reference.wallSeconds;
    state.counters["engine_calls"] = static_cast<double>(engine.calls) / frames;
    state.counters["bare_calls"] = static_cast<double>(reference.calls) / frames;
    state.counters["triangles"] = static_cast<double>(bare.triangles.size() / 3);
    state.counters["dots"] = static_cast<double>(bare.dots.size());
    World::destroyInstance();
    Camera::destroyInstance();
}
BENCHMARK(BM_BoxFieldFrame)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void displayNothing() {}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "engine_draw_bench: no X display; run it under Xvfb (make bench)\n");
        return 1;
    }
    setenv("LP_NUM_THREADS", "0", 0);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(WINDOW_SIZE, WINDOW_SIZE);
    glutInitWindowPosition(0, 0);
    windowId = glutCreateWindow("engine draw bench");
    glutDisplayFunc(displayNothing);
    glutMainLoopEvent();
    // The frame loop's fixed state and projection.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    reshape(WINDOW_SIZE, WINDOW_SIZE);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
