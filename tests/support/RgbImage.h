#pragma once

// A block of RGB pixels captured by a test: from the GL back buffer (GL tests) or from a
// window on the X server (end-to-end tests). The two sources number their rows from opposite
// ends, so each image says which corner at(0, 0) is.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace testsupport {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb& a, const Rgb& b) {
        return a.r == b.r && a.g == b.g && a.b == b.b;
    }
    friend bool operator!=(const Rgb& a, const Rgb& b) { return !(a == b); }
};

std::ostream& operator<<(std::ostream& out, const Rgb& colour);

class RgbImage {
  public:
    // BottomLeft: OpenGL's convention (glReadPixels, glViewport, feedback coordinates), y up.
    // TopLeft: X's convention, y down.
    enum class Origin { BottomLeft, TopLeft };

    // `rgb` holds 3 bytes per pixel, row 0 first, where row 0 is at the given origin.
    RgbImage(int width, int height, std::vector<std::uint8_t> rgb, Origin origin);

    int width() const { return width_; }
    int height() const { return height_; }
    Origin origin() const { return origin_; }
    // Throws std::out_of_range outside the image.
    Rgb at(int x, int y) const;
    // Number of pixels that are exactly this colour.
    int count(Rgb colour) const;
    // Writes a binary PPM (top row first, as viewers expect) to look at a failing frame.
    bool writePpm(const std::string& path) const;

  private:
    int width_;
    int height_;
    std::vector<std::uint8_t> rgb_;
    Origin origin_;
};

}  // namespace testsupport
