// A first scene: one cube. A D move it sideways, Q E up and down, W S away and nearer, and
// with space held they turn it; I J K L move the camera; Esc quits. A component of the
// program's own draws the cube's recent path.

#include <GL/gl.h>

#include <algorithm>
#include <array>

#include "app/Run.h"
#include "core/Component.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/PlayerKeyboardControls.h"
#include "shapes/Cube.h"

namespace {

const Point ORIGIN(0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f));

// The last places its object moved through, drawn as a line that fades towards the oldest.
// The places live in a fixed array: a step allocates nothing.
class Trail : public Component {
  public:
    Trail() : Component(true, true) {}

    // Once per step: remember where the object stands now, if it has moved.
    void update(int /*elapsedMs*/) override {
        if (!updateEnabled || owner == nullptr) {
            return;
        }
        const Point at = owner->getPosition();
        const Point& last = places[(next + LENGTH - 1) % LENGTH];
        if (count > 0 && at.x == last.x && at.y == last.y && at.z == last.z) {
            return;
        }
        places[next] = at;
        next = (next + 1) % LENGTH;
        count = std::min(count + 1, LENGTH);
    }

    // Once per frame, with the camera's view already on the model-view matrix.
    void draw(int /*elapsedMs*/) override {
        if (!drawEnabled || count < 2) {
            return;
        }
        glBegin(GL_LINE_STRIP);
        for (int i = 0; i < count; ++i) {
            const Point& p = places[(next - count + i + LENGTH) % LENGTH];
            const float shade = static_cast<float>(i + 1) / static_cast<float>(count);
            glColor3f(shade, shade, 0.0f);
            glVertex3f(p.x, p.y, p.z);
        }
        glEnd();
    }

  private:
    static constexpr int LENGTH = 60;
    std::array<Point, LENGTH> places;
    int next = 0;
    int count = 0;
};

void buildFirstScene(World& world) {
    // Components are created with new and handed over: the object owns and deletes them.
    auto* box = new GameObject(true, true, ORIGIN);
    // Components update in the order they were attached: the controller moves the object
    // first, so the trail records where this step's keys have put it.
    box->addComponent(new PlayerKeyboardControls(true, false));
    box->addComponent(new Trail());
    box->addComponent(new Cube(true, true, ORIGIN, Color(0.0f, 0.0f, 1.0f, 1.0f), true));
    // Turned a little (radians) so that three faces show; the cube turns with its object.
    box->transform->rotate(0.4f, 0.6f, 0.0f);
    // The World owns the object from here on, and deletes it when the program ends.
    world.addObject(box);
}

}  // namespace

int main(int argc, char** argv) {
    RunOptions options("First scene", argc, argv);
    options.viewControls = true;  // the mouse, F3 (stats) and F12 (picture)
    return runEngine(options, buildFirstScene);
}
