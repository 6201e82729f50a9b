// A saved picture is the window's colour buffer, pixel for pixel, as a PNG of its size.

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/Screenshot.h"
#include "support/PngImage.h"
#include "support/gl/GlTest.h"

namespace {

class ScreenshotTest : public gltest::GlTest {};

}  // namespace

TEST_F(ScreenshotTest, SavedPictureIsTheBufferReadBackAndAFailedSaveSaysSo) {
    // A picture that tells rows, columns and channels apart: a gradient and a corner block.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glBegin(GL_QUADS);
    glColor3f(0, 0, 1);
    glVertex2f(0, 0);
    glColor3f(1, 0, 0);
    glVertex2f(1, 0);
    glColor3f(0, 1, 0);
    glVertex2f(1, 1);
    glColor3f(1, 1, 1);
    glVertex2f(0, 1);
    glEnd();
    glColor3f(1, 1, 0);
    glRectf(0.0f, 0.9f, 0.1f, 1.0f);

    const std::string path = "/tmp/engine-gl-" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(saveWindowPicture(path));
    const gltest::Image buffer = gltest::readPixels(0, 0, gltest::WINDOW_SIZE, gltest::WINDOW_SIZE);
    const testsupport::RgbImage saved = testsupport::readPng(path);
    std::remove(path.c_str());
    ASSERT_EQ(saved.width(), gltest::WINDOW_SIZE);
    ASSERT_EQ(saved.height(), gltest::WINDOW_SIZE);
    // The PNG's rows run down from the top, GL's up from the bottom.
    for (int y = 0; y < saved.height(); ++y) {
        for (int x = 0; x < saved.width(); ++x) {
            ASSERT_EQ(saved.at(x, y), buffer.at(x, saved.height() - 1 - y))
                << "pixel " << x << ", " << y << " from the top";
        }
    }

    EXPECT_FALSE(saveWindowPicture("/nonexistent-directory/picture.png"));
}
