#include "core/DrawBatch.h"

#include <GL/gl.h>

#include <vector>

#include "math/Point.h"

namespace {

// Consecutive dots of one size.
struct DotRun {
    float size;
    int count;
};

// One batch for the one thread that draws; its lists keep their room from frame to frame.
struct Batch {
    int depth = 0;
    // The point size the next dot without its own takes: GL's at opening and after code that
    // draws by other means, else the last dot's.
    float pointSize = 1.0f;
    std::vector<Point> triangles;
    std::vector<Point> dots;
    std::vector<DotRun> runs;
};
Batch batch;

float currentGlPointSize() {
    GLfloat size = 1.0f;
    glGetFloatv(GL_POINT_SIZE, &size);
    return size;
}

void addDots(const Point* points, int count, float size) {
    batch.dots.insert(batch.dots.end(), points, points + count);
    if (batch.runs.empty() || batch.runs.back().size != size) {
        batch.runs.push_back(DotRun{size, 0});
    }
    batch.runs.back().count += count;
}

// A Point is x, y, z then its colour's r, g, b, a: both arrays read the list in place,
// sizeof(Point) apart. Three colour components, as glColor3f sends: alpha is 1.
void drawArray(GLenum mode, const Point* points, int count) {
    glVertexPointer(3, GL_FLOAT, sizeof(Point), &points->x);
    glColorPointer(3, GL_FLOAT, sizeof(Point), &points->color.r);
    glDrawArrays(mode, 0, count);
}

}  // namespace

void openDrawBatch() {
    if (batch.depth++ == 0) {
        batch.pointSize = currentGlPointSize();
    }
}

void closeDrawBatch() {
    if (batch.depth > 0 && --batch.depth == 0) {
        flushDrawBatch();
    }
}

void flushDrawBatch() {
    if (batch.triangles.empty() && batch.dots.empty()) {
        return;
    }
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (!batch.triangles.empty()) {
        drawArray(GL_TRIANGLES, batch.triangles.data(), static_cast<int>(batch.triangles.size()));
    }
    const Point* dots = batch.dots.data();
    for (const DotRun& run : batch.runs) {
        glPointSize(run.size);
        drawArray(GL_POINTS, dots, run.count);
        dots += run.count;
    }
    glPopClientAttrib();
    batch.triangles.clear();
    batch.dots.clear();
    batch.runs.clear();
}

void resumeDrawBatch() {
    if (batch.depth > 0) {
        batch.pointSize = currentGlPointSize();
    }
}

bool drawBatchTakes(unsigned int mode) {
    return batch.depth > 0 && (mode == GL_TRIANGLES || mode == GL_POINTS);
}

void gatherPoints(unsigned int mode, const Point* points, int count) {
    if (mode == GL_TRIANGLES) {
        batch.triangles.insert(batch.triangles.end(), points, points + count);
    } else {
        addDots(points, count, batch.pointSize);
    }
}

void gatherDot(const Point& p, float size) {
    addDots(&p, 1, size);
    batch.pointSize = size;
}
