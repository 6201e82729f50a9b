#include "core/DrawBatch.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "math/Point.h"

namespace {

// What the driver reads of a point: its position and its colour's red, green and blue.
struct Vertex {
    float x, y, z;
    float r, g, b;
};

// Vertices appended in place; the storage only grows, so a frame like the last one writes
// into memory it already has.
struct Stream {
    std::vector<Vertex> storage;
    std::size_t used = 0;

    void append(const Point* points, int count) {
        const std::size_t needed = used + static_cast<std::size_t>(count);
        if (needed > storage.size()) {
            storage.resize(std::max(needed, 2 * storage.size()));
        }
        Vertex* out = storage.data() + used;
        for (int i = 0; i < count; ++i) {
            const Point& p = points[i];
            out[i] = Vertex{p.x, p.y, p.z, p.color.r, p.color.g, p.color.b};
        }
        used = needed;
    }
};

// Consecutive dots of one size.
struct DotRun {
    float size;
    int count;
};

// One batch for the one thread that draws.
struct Batch {
    int depth = 0;
    // The point size the next dot without its own takes: GL's at opening and after code that
    // draws by other means, else the last dot's.
    float pointSize = 1.0f;
    Stream triangles;
    Stream dots;
    std::vector<DotRun> runs;
};
Batch batch;

float currentGlPointSize() {
    GLfloat size = 1.0f;
    glGetFloatv(GL_POINT_SIZE, &size);
    return size;
}

void addDots(const Point* points, int count, float size) {
    batch.dots.append(points, count);
    if (batch.runs.empty() || batch.runs.back().size != size) {
        batch.runs.push_back(DotRun{size, 0});
    }
    batch.runs.back().count += count;
}

void drawArray(GLenum mode, const Vertex* vertices, int count) {
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &vertices->x);
    glColorPointer(3, GL_FLOAT, sizeof(Vertex), &vertices->r);
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
    if (batch.triangles.used == 0 && batch.dots.used == 0) {
        return;
    }
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (batch.triangles.used > 0) {
        drawArray(GL_TRIANGLES, batch.triangles.storage.data(),
                  static_cast<int>(batch.triangles.used));
    }
    const Vertex* dots = batch.dots.storage.data();
    for (const DotRun& run : batch.runs) {
        glPointSize(run.size);
        drawArray(GL_POINTS, dots, run.count);
        dots += run.count;
    }
    glPopClientAttrib();
    batch.triangles.used = 0;
    batch.dots.used = 0;
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
        batch.triangles.append(points, count);
    } else {
        addDots(points, count, batch.pointSize);
    }
}

void gatherDot(const Point& p, float size) {
    addDots(&p, 1, size);
    batch.pointSize = size;
}
