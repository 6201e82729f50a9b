#include "support/gl/Pixels.h"

#include <GL/gl.h>

#include <fstream>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace gltest {

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << "rgb(" << int{colour.r} << ", " << int{colour.g} << ", " << int{colour.b} << ")";
}

Image::Image(int width, int height, std::vector<std::uint8_t> rgb)
    : width_(width), height_(height), rgb_(std::move(rgb)) {
    if (width < 0 || height < 0 ||
        rgb_.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        throw std::invalid_argument("Image: pixel data does not match its size");
    }
}

Rgb Image::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        throw std::out_of_range("Image::at(" + std::to_string(x) + ", " + std::to_string(y) +
                                ") outside " + std::to_string(width_) + "x" +
                                std::to_string(height_));
    }
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                           static_cast<std::size_t>(x)) *
                          3;
    return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

int Image::count(Rgb colour) const {
    int matches = 0;
    for (std::size_t i = 0; i + 2 < rgb_.size(); i += 3) {
        if (rgb_[i] == colour.r && rgb_[i + 1] == colour.g && rgb_[i + 2] == colour.b) {
            ++matches;
        }
    }
    return matches;
}

bool Image::writePpm(const std::string& path) const {
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << width_ << ' ' << height_ << "\n255\n";
    const auto rowBytes = static_cast<std::streamsize>(width_) * 3;
    for (int y = height_ - 1; y >= 0; --y) {
        file.write(reinterpret_cast<const char*>(rgb_.data()) + y * rowBytes, rowBytes);
    }
    return static_cast<bool>(file);
}

Image readPixels(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) {
        throw std::invalid_argument("readPixels: empty block");
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) *
                                  static_cast<std::size_t>(height) * 3);
    // Tightly packed rows whatever the caller set; the buffer size above relies on it.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPushAttrib(GL_PIXEL_MODE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPopAttrib();
    glPopClientAttrib();
    return Image(width, height, std::move(rgb));
}

}  // namespace gltest
