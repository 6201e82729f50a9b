#include "app/Screenshot.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <vector>

#include "app/PngFile.h"

namespace {

std::string givenPath;
std::string programName = "engine";
long pictureFrame = 0;
bool requested = false;

bool fileExists(const std::string& path) {
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
        return true;
    }
    return false;
}

}  // namespace

bool saveWindowPicture(const std::string& path) {
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    std::vector<unsigned char> rgb(static_cast<size_t>(width > 0 ? width : 0) *
                                   static_cast<size_t>(height > 0 ? height : 0) * 3);
    std::string error = "the window has no pixels";
    if (!rgb.empty()) {
        GLint alignment = 4;
        glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        glPixelStorei(GL_PACK_ALIGNMENT, alignment);
        // GL's rows run upwards: a negative stride.
        if (writePng(path, width, height, rgb.data(), -3 * width, error)) {
            std::printf("Picture saved: %s\n", path.c_str());
            std::fflush(stdout);
            return true;
        }
    }
    std::fprintf(stderr, "%s: cannot save the picture %s: %s\n", programName.c_str(), path.c_str(),
                 error.c_str());
    return false;
}

std::string screenshotPath(const std::string& path, const std::string& program) {
    if (!path.empty()) {
        return path;
    }
    for (int n = 1;; ++n) {
        const std::string name = program + "-" + std::to_string(n) + ".png";
        if (!fileExists(name)) {
            return name;
        }
    }
}

void configureScreenshots(const std::string& path, const std::string& program, long afterFrames) {
    givenPath = path;
    programName = program;
    pictureFrame = afterFrames > 0 ? afterFrames : 0;
    requested = false;
}

void requestScreenshot() {
    requested = true;
}

bool takeRequestedScreenshot(long frame, int& endStatus) {
    const bool timed = pictureFrame > 0 && frame == pictureFrame;
    if (!requested && !timed) {
        return false;
    }
    requested = false;
    const bool saved = saveWindowPicture(screenshotPath(givenPath, programName));
    endStatus = saved ? 0 : 1;
    return timed;
}
