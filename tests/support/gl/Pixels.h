#pragma once

// Reads rendered pixels back from the test window's back buffer.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace gltest {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;

    friend bool operator==(const Rgb& a, const Rgb& b) {
        return a.r == b.r && a.g == b.g && a.b == b.b;
    }
    friend bool operator!=(const Rgb& a, const Rgb& b) { return !(a == b); }
};

std::ostream& operator<<(std::ostream& out, const Rgb& colour);

// A block of pixels in OpenGL's convention: at(0, 0) is the BOTTOM-left pixel of the block,
// y grows upwards, exactly like glViewport and the window coordinates that feedback reports.
class Image {
  public:
    Image(int width, int height, std::vector<std::uint8_t> rgb);

    int width() const { return width_; }
    int height() const { return height_; }
    // Throws std::out_of_range outside the block.
    Rgb at(int x, int y) const;
    // Number of pixels that are exactly this colour.
    int count(Rgb colour) const;
    // Writes a binary PPM (top row first, as viewers expect) to look at a failing frame.
    bool writePpm(const std::string& path) const;

  private:
    int width_;
    int height_;
    std::vector<std::uint8_t> rgb_;  // rows bottom to top, 3 bytes per pixel
};

// Reads the back buffer, where the last draw went (no swap needed). x and y are GL window
// coordinates of the bottom-left corner of the block.
Image readPixels(int x, int y, int width, int height);

}  // namespace gltest
