#include "support/PngImage.h"

#include <png.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace testsupport {

RgbImage readPng(const std::string& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        throw std::runtime_error("Cannot read " + path + " as PNG: " + image.message);
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) {
        const std::string reason = image.message;
        png_image_free(&image);
        throw std::runtime_error("Cannot read " + path + " as PNG: " + reason);
    }
    return RgbImage(static_cast<int>(image.width), static_cast<int>(image.height), std::move(rgb),
                    RgbImage::Origin::TopLeft);
}

}  // namespace testsupport
