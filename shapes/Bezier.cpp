#include "shapes/Bezier.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

namespace {

// Row i, point j. Two entries break the pattern on purpose: row 1 point 1 sits lower in z
// and row 2 point 2 is pulled back to x = -1, so the surface has a dent and a fold.
const float CONTROL_GRID[4][4][3] = {
    {{-3, -2, 4}, {-1, 2, 4}, {1, -2, 4}, {3, 2, 4}},
    {{-3, -5, 3}, {-1, -1, 2}, {1, -5, 3}, {3, -1, 3}},
    {{-3, -2, 2}, {-1, 2, 2}, {-1, -2, 2}, {3, 2, 2}},
    {{-3, -5, 1}, {-1, -1, 1}, {1, -5, 1}, {3, -1, 1}},
};

// Columns 0 to 3, and the control points of the extra curve.
const float COLUMN_COLOURS[4][3] = {{1, 1, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

}  // namespace

Bezier::Bezier() : Shape() {
    visibleFraction = 1.0f;
    drawEnabled = true;
    std::memcpy(surface, CONTROL_GRID, sizeof(surface));
    // The extra curve traces the surface's v = 0 edge; its points are the first row's.
    std::memcpy(curve, CONTROL_GRID[0], sizeof(curve));
    buildColumns();
}

void Bezier::buildColumns() {
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k) {
            for (int c = 0; c < 3; ++c) {
                columns[k][i][c] = surface[i][k][c];
            }
        }
    }
}

int Bezier::visibleRows() const {
    // Clamped before the conversion: a float out of int range does not convert. The first
    // test also sends NaN to 0.
    const double fraction = static_cast<double>(visibleFraction);
    if (!(fraction > 0.0)) {
        return 0;
    }
    if (fraction >= 1.0) {
        return SURFACE_STEPS;
    }
    return static_cast<int>(fraction * SURFACE_STEPS);
}

void Bezier::draw(int elapsedMs) {
    Component::draw(elapsedMs);
    if (!drawEnabled) {
        return;
    }

    glPointSize(5.0f);
    for (int k = 0; k < 4; ++k) {
        glColor3fv(COLUMN_COLOURS[k]);
        glBegin(GL_POINTS);
        for (int i = 0; i < 4; ++i) {
            glVertex3fv(surface[i][k]);
        }
        glEnd();
    }

    glColor3f(0.5f, 0.5f, 0.5f);
    glMap2f(GL_MAP2_VERTEX_3, 0.0f, 1.0f, 3, 4, 0.0f, 1.0f, 12, 4, &surface[0][0][0]);
    glEnable(GL_MAP2_VERTEX_3);
    glMapGrid2f(SURFACE_STEPS, 0.0f, 1.0f, SURFACE_STEPS, 0.0f, 1.0f);
    glEvalMesh2(GL_LINE, 0, SURFACE_STEPS, 0, visibleRows());

    // Columns 0 and 3 are the surface's u edges; the inner two only steer it.
    for (int k = 0; k < 4; ++k) {
        glColor3fv(COLUMN_COLOURS[k]);
        glMap1f(GL_MAP1_VERTEX_3, 0.0f, 1.0f, 3, 4, &columns[k][0][0]);
        glEnable(GL_MAP1_VERTEX_3);
        glMapGrid1f(CURVE_STEPS, 0.0f, 1.0f);
        glEvalMesh1(GL_LINE, 0, CURVE_STEPS);
        glColor3f(1.0f, 1.0f, 1.0f);
    }

    glPointSize(8.0f);
    glColor3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_POINTS);
    for (int k = 0; k < 4; ++k) {
        glColor3fv(COLUMN_COLOURS[k]);
        glVertex3fv(curve[k]);
    }
    glEnd();

    glColor3f(1.0f, 1.0f, 1.0f);
    glMap1f(GL_MAP1_VERTEX_3, 0.0f, 1.0f, 3, 4, &curve[0][0]);
    glEnable(GL_MAP1_VERTEX_3);
    glMapGrid1f(CURVE_STEPS, 0.0f, 1.0f);
    glEvalMesh1(GL_LINE, 0, CURVE_STEPS);

    glLineWidth(1.0f);
}
