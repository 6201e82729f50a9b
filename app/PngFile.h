#pragma once

#include <string>

/// Writes an 8-bit RGB picture of `width` x `height` pixels as a PNG file. `rgb` holds 3 bytes
/// a pixel, `height` rows of `abs(rowStride)` bytes; a positive stride means the first row in
/// memory is the picture's top, a negative one that it is the bottom (OpenGL's order). False,
/// with the reason in `error`, when the file cannot be written.
bool writePng(const std::string& path, int width, int height, const unsigned char* rgb,
              int rowStride, std::string& error);
