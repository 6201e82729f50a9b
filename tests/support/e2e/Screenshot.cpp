#include "support/e2e/Screenshot.h"

#include <fstream>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace e2e {

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << "rgb(" << int{colour.r} << ", " << int{colour.g} << ", " << int{colour.b} << ")";
}

Screenshot::Screenshot(int width, int height, std::vector<std::uint8_t> rgb)
    : width_(width), height_(height), rgb_(std::move(rgb)) {
    if (width < 0 || height < 0 ||
        rgb_.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        throw std::invalid_argument("Screenshot: pixel data does not match its size");
    }
}

Rgb Screenshot::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        throw std::out_of_range("Screenshot::at(" + std::to_string(x) + ", " + std::to_string(y) +
                                ") outside " + std::to_string(width_) + "x" +
                                std::to_string(height_));
    }
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                           static_cast<std::size_t>(x)) *
                          3;
    return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

int Screenshot::count(Rgb colour) const {
    int matches = 0;
    for (std::size_t i = 0; i + 2 < rgb_.size(); i += 3) {
        if (rgb_[i] == colour.r && rgb_[i + 1] == colour.g && rgb_[i + 2] == colour.b) {
            ++matches;
        }
    }
    return matches;
}

bool Screenshot::writePpm(const std::string& path) const {
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << width_ << ' ' << height_ << "\n255\n";
    file.write(reinterpret_cast<const char*>(rgb_.data()),
               static_cast<std::streamsize>(rgb_.size()));
    return static_cast<bool>(file);
}

}  // namespace e2e
