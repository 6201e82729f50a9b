#pragma once

// Pixels captured from a window on the X server.

#include "support/RgbImage.h"

namespace e2e {

using testsupport::isGrey;
using testsupport::isRed;
using testsupport::isWhite;
using testsupport::Region;
using testsupport::Rgb;
// A capture of a window in X's convention: at(0, 0) is the TOP-left pixel, y grows downwards.
using Screenshot = testsupport::RgbImage;

}  // namespace e2e
