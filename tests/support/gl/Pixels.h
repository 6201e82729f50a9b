#pragma once

// Reads rendered pixels back from the test window's back buffer.

#include "support/RgbImage.h"

namespace gltest {

using testsupport::Region;
using testsupport::Rgb;
// A block of pixels in OpenGL's convention: at(0, 0) is the BOTTOM-left pixel of the block,
// y grows upwards, exactly like glViewport and the window coordinates that feedback reports.
using Image = testsupport::RgbImage;

// Reads the back buffer, where the last draw went (no swap needed). x and y are GL window
// coordinates of the bottom-left corner of the block.
Image readPixels(int x, int y, int width, int height);

}  // namespace gltest
