#include "support/RgbImage.h"

#include <algorithm>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace testsupport {

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << "rgb(" << int{colour.r} << ", " << int{colour.g} << ", " << int{colour.b} << ")";
}

bool isRed(const Rgb& colour) {
    return colour.r > 200 && colour.g < 60 && colour.b < 60;
}

bool isWhite(const Rgb& colour) {
    return colour.r > 200 && colour.g > 200 && colour.b > 200;
}

bool isGrey(const Rgb& colour) {
    return colour.r > 100 && colour.r < 160 && colour.r == colour.g && colour.g == colour.b;
}

RgbImage::RgbImage(int width, int height, std::vector<std::uint8_t> rgb, Origin origin)
    : columns(width), rows(height), rgb(std::move(rgb)), firstRow(origin) {
    if (width < 0 || height < 0 ||
        this->rgb.size() !=
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        throw std::invalid_argument("RgbImage: pixel data does not match its size");
    }
}

Rgb RgbImage::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= columns || y >= rows) {
        throw std::out_of_range("RgbImage::at(" + std::to_string(x) + ", " + std::to_string(y) +
                                ") outside " + std::to_string(columns) + "x" +
                                std::to_string(rows));
    }
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(columns) +
                           static_cast<std::size_t>(x)) *
                          3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

int RgbImage::count(Rgb colour) const {
    return count(all(), [colour](const Rgb& pixel) { return pixel == colour; });
}

int RgbImage::count(const Region& region, const PixelTest& test) const {
    int matches = 0;
    for (int y = std::max(0, region.top); y < std::min(rows, region.bottom); ++y) {
        for (int x = std::max(0, region.left); x < std::min(columns, region.right); ++x) {
            matches += test(at(x, y)) ? 1 : 0;
        }
    }
    return matches;
}

bool RgbImage::anyNear(int x, int y, int radius, const PixelTest& test) const {
    return count({x - radius, y - radius, x + radius + 1, y + radius + 1}, test) > 0;
}

int RgbImage::differences(const RgbImage& other, const Region& region) const {
    const int left = std::max(0, region.left);
    const int top = std::max(0, region.top);
    const int right = std::min(std::max(columns, other.columns), region.right);
    const int bottom = std::min(std::max(rows, other.rows), region.bottom);
    int differing = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const bool here = x < columns && y < rows;
            const bool there = x < other.columns && y < other.rows;
            if (here != there) {
                ++differing;
            } else if (here) {
                // Pictures are compared many times a second while a test waits: no bounds
                // checks here, the loop limits already keep inside both.
                const std::size_t i =
                    (static_cast<std::size_t>(y) * static_cast<std::size_t>(columns) +
                     static_cast<std::size_t>(x)) *
                    3;
                const std::size_t j =
                    (static_cast<std::size_t>(y) * static_cast<std::size_t>(other.columns) +
                     static_cast<std::size_t>(x)) *
                    3;
                differing += rgb[i] != other.rgb[j] || rgb[i + 1] != other.rgb[j + 1] ||
                                     rgb[i + 2] != other.rgb[j + 2]
                                 ? 1
                                 : 0;
            }
        }
    }
    return differing;
}

bool RgbImage::writePpm(const std::string& path) const {
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << columns << ' ' << rows << "\n255\n";
    const auto rowBytes = static_cast<std::streamsize>(columns) * 3;
    for (int row = 0; row < rows; ++row) {
        const int stored = firstRow == Origin::TopLeft ? row : rows - 1 - row;
        file.write(reinterpret_cast<const char*>(rgb.data()) + stored * rowBytes, rowBytes);
    }
    return static_cast<bool>(file);
}

}  // namespace testsupport
