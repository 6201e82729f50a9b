#pragma once

// A block of RGB pixels captured by a test: from the GL back buffer (GL tests) or from a
// window on the X server (end-to-end tests). The two sources number their rows from opposite
// ends, so each image says which corner at(0, 0) is. Both kinds of test ask the same questions
// of a picture (how many pixels of a kind lie in a region, what changed between two pictures),
// so those live here too.

#include <cstdint>
#include <functional>
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

// Colours as a person names them, loose enough for blended edges and font pixels, strict
// enough that the demo's other colours never pass.
bool isRed(const Rgb& colour);
bool isWhite(const Rgb& colour);
// An even grey between dark and light, as the Bezier mesh is drawn.
bool isGrey(const Rgb& colour);

using PixelTest = std::function<bool(const Rgb&)>;

// Columns left..right-1 and rows top..bottom-1, in the image's own coordinates ("top" is
// simply the smaller y). Parts outside an image are ignored.
struct Region {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class RgbImage {
  public:
    // BottomLeft: OpenGL's convention (glReadPixels, glViewport, feedback coordinates), y up.
    // TopLeft: X's convention, y down.
    enum class Origin { BottomLeft, TopLeft };

    // `rgb` holds 3 bytes per pixel, row 0 first, where row 0 is at the given origin.
    RgbImage(int width, int height, std::vector<std::uint8_t> rgb, Origin origin);

    int width() const { return columns; }
    int height() const { return rows; }
    Origin origin() const { return firstRow; }
    Region all() const { return {0, 0, columns, rows}; }
    // Throws std::out_of_range outside the image.
    Rgb at(int x, int y) const;
    // Number of pixels that are exactly this colour.
    int count(Rgb colour) const;
    // Number of pixels in the region that pass the test.
    int count(const Region& region, const PixelTest& test) const;
    // Whether a pixel within `radius` of (x, y), in both directions, passes the test.
    bool anyNear(int x, int y, int radius, const PixelTest& test) const;
    // Number of pixels in the region that differ from the other image's; pixels that only one
    // of them has count as different.
    int differences(const RgbImage& other, const Region& region) const;
    // Writes a binary PPM (top row first, as viewers expect) to look at a failing frame.
    bool writePpm(const std::string& path) const;

  private:
    int columns;
    int rows;
    std::vector<std::uint8_t> rgb;
    Origin firstRow;
};

}  // namespace testsupport
