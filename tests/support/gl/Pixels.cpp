#include "support/gl/Pixels.h"

#include <GL/gl.h>

#include <fstream>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace gltest {

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
    return Image(width, height, std::move(rgb), Image::Origin::BottomLeft);
}

}  // namespace gltest
