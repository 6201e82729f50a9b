// Cost of drawing the shapes through a real GL context (software rendering under Xvfb): the
// filled and outlined cube of the box scenes and the evaluator-built Bezier surface. Each
// iteration ends with glFinish so the rasteriser's share is counted too.

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "shapes/Bezier.h"
#include "shapes/Cube.h"
#include "shapes/Polygon.h"

namespace {

// One window for the whole run, with the demo's projection; false without an X display.
bool glReady() {
    static const bool ready = [] {
        if (std::getenv("DISPLAY") == nullptr) {
            return false;
        }
        int argc = 1;
        char name[] = "engine_bench";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(500, 500);
        glutCreateWindow("engine_bench");
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1.0, 1.0, 100.0);
        glTranslatef(0.0f, 0.0f, -20.0f);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        return true;
    }();
    return ready;
}

void BM_CubeDraw(benchmark::State& state) {
    if (!glReady()) {
        state.SkipWithError("needs an X display");
        return;
    }
    const bool filled = state.range(0) != 0;
    GameObject object(true, true, Point());
    object.addComponent(new Cube(true, true, Point(), Color(1, 1, 1, 1), filled));
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        object.components[0]->draw(17);
        glFinish();
    }
}
BENCHMARK(BM_CubeDraw)->ArgName("filled")->Arg(0)->Arg(1);

void BM_BezierDraw(benchmark::State& state) {
    if (!glReady()) {
        state.SkipWithError("needs an X display");
        return;
    }
    Bezier bezier;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        bezier.draw(17);
        glFinish();
    }
}
BENCHMARK(BM_BezierDraw);

// Scene building, not per frame: replacing a polygon's corners.
void BM_MakeRegularPolygon(benchmark::State& state) {
    Polygon polygon;
    const int sides = static_cast<int>(state.range(0));
    for (auto _ : state) {
        polygon.makeRegularPolygon(sides, 1.0f);
        benchmark::DoNotOptimize(polygon.componentTransform->points.data());
    }
}
BENCHMARK(BM_MakeRegularPolygon)->Arg(6)->Arg(64);

}  // namespace
