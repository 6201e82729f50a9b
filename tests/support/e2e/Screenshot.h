#pragma once

// Pixels captured from a window on the X server.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace e2e {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;

    friend bool operator==(const Rgb& a, const Rgb& b) {
        return a.r == b.r && a.g == b.g && a.b == b.b;
    }
    friend bool operator!=(const Rgb& a, const Rgb& b) { return !(a == b); }
};

std::ostream& operator<<(std::ostream& out, const Rgb& colour);

// A capture of a window in X's convention: at(0, 0) is the TOP-left pixel, y grows downwards.
class Screenshot {
  public:
    Screenshot(int width, int height, std::vector<std::uint8_t> rgb);

    int width() const { return width_; }
    int height() const { return height_; }
    // Throws std::out_of_range outside the capture.
    Rgb at(int x, int y) const;
    // Number of pixels that are exactly this colour.
    int count(Rgb colour) const;
    // Writes a binary PPM, to look at a failing frame.
    bool writePpm(const std::string& path) const;

  private:
    int width_;
    int height_;
    std::vector<std::uint8_t> rgb_;  // rows top to bottom, 3 bytes per pixel
};

}  // namespace e2e
