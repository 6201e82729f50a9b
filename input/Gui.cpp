#include "input/Gui.h"

#include <GL/freeglut.h>

namespace {

struct Line {
    float x;
    float y;
    const char* text;
};

// Raster positions in the scene's own space: under the demo's projection, y = +-11 sits just
// inside the top and bottom of a square window and x = -11 just inside its left edge.
constexpr Line HELP_LINES[] = {
    {7.5f, 11.0f, "Quit = Esc"},
    {-11.0f, -11.0f, "Pause/Start = z"},
    {-11.0f, -10.0f, "1 = Spring Physics   2 = Bezier    3 = Shear/Scale"},
    {-11.0f, -9.0f, "WASDQE control translation"},
    {-11.0f, -8.0f, "WASDQE + space control rotation"},
    {-11.0f, -7.0f, "9 changes to quaternion rotation"},
    {-11.0f, -6.0f, "IJKL controls camera"},
};

void drawText(void* font, float x, float y, const char* text) {
    glRasterPos3f(x, y, 0.0f);
    for (const char* c = text; *c != '\0'; ++c) {
        glutBitmapCharacter(font, *c);
    }
}

}  // namespace

Gui::Gui() : font(GLUT_BITMAP_8_BY_13) {
    drawEnabled = true;
    updateEnabled = true;
}

void Gui::draw(int /*elapsedMs*/) {
    if (!drawEnabled) {
        return;
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    drawText(font, -11.0f, 11.0f, paused ? "Status = Paused" : "Status = Running");
    for (const Line& line : HELP_LINES) {
        drawText(font, line.x, line.y, line.text);
    }
}
