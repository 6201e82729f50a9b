#pragma once

// Where the demo's scenes appear in its 500 x 500 window, and what its picture shows.

#include "support/e2e/EngineProcess.h"

namespace e2e {

// Where the demo's projection puts the scene: 60 degrees of view with the scene 20 units
// back, so a front face at z = 1 shows about 22.8 pixels per unit, centred in the window.
constexpr int CENTRE = 250;
constexpr double PIXELS_PER_UNIT = 22.79;

// The window column of a scene x, and the row of a scene y, on the plane of the front faces.
// Rows count downwards.
constexpr int toPixel(double x) {
    return CENTRE + static_cast<int>(x * PIXELS_PER_UNIT);
}
constexpr int toRow(double y) {
    return CENTRE - static_cast<int>(y * PIXELS_PER_UNIT);
}

// "Status = Running" or "Status = Paused", at the top-left.
constexpr Region STATUS_LINE{0, 0, 150, 20};
// Everything below the top line of text: what the scenes draw.
constexpr Region SCENE{0, 30, 500, 500};

// Holds once the status line no longer reads as in `running`, a shot taken while the world
// ran: it reads "Status = Paused".
PictureCondition statusLineChangedFrom(const Screenshot& running);

}  // namespace e2e
