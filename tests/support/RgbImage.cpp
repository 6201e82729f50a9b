#include "support/RgbImage.h"

#include <fstream>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace testsupport {

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << "rgb(" << int{colour.r} << ", " << int{colour.g} << ", " << int{colour.b} << ")";
}

RgbImage::RgbImage(int width, int height, std::vector<std::uint8_t> rgb, Origin origin)
    : width_(width), height_(height), rgb_(std::move(rgb)), origin_(origin) {
    if (width < 0 || height < 0 ||
        rgb_.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        throw std::invalid_argument("RgbImage: pixel data does not match its size");
    }
}

Rgb RgbImage::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        throw std::out_of_range("RgbImage::at(" + std::to_string(x) + ", " + std::to_string(y) +
                                ") outside " + std::to_string(width_) + "x" +
                                std::to_string(height_));
    }
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                           static_cast<std::size_t>(x)) *
                          3;
    return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

int RgbImage::count(Rgb colour) const {
    int matches = 0;
    for (std::size_t i = 0; i + 2 < rgb_.size(); i += 3) {
        if (rgb_[i] == colour.r && rgb_[i + 1] == colour.g && rgb_[i + 2] == colour.b) {
            ++matches;
        }
    }
    return matches;
}

bool RgbImage::writePpm(const std::string& path) const {
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << width_ << ' ' << height_ << "\n255\n";
    const auto rowBytes = static_cast<std::streamsize>(width_) * 3;
    for (int row = 0; row < height_; ++row) {
        const int stored = origin_ == Origin::TopLeft ? row : height_ - 1 - row;
        file.write(reinterpret_cast<const char*>(rgb_.data()) + stored * rowBytes, rowBytes);
    }
    return static_cast<bool>(file);
}

}  // namespace testsupport
