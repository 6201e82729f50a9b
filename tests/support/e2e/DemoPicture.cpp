#include "support/e2e/DemoPicture.h"

namespace e2e {

PictureCondition statusLineChangedFrom(const Screenshot& running) {
    // "Running" and "Paused" differ in far more than 20 pixels of the 8 x 13 font.
    return measured(
        "the status line to change to \"Status = Paused\"", "status line pixels changed",
        [running](const Screenshot& shot) { return shot.differences(running, STATUS_LINE); },
        [](int changed) { return changed > 20; });
}

}  // namespace e2e
