#pragma once

// Reads back the PNG files the engine writes, to compare them with the pixels they came from.

#include <string>

#include "support/RgbImage.h"

namespace testsupport {

// The picture in a PNG file, top row first (X's convention). Throws std::runtime_error, with
// libpng's reason, when the file is missing or not a PNG.
RgbImage readPng(const std::string& path);

}  // namespace testsupport
