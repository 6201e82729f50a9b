#pragma once

// Base fixture for tests that draw with real OpenGL.
//
// The first GlTest in a process opens one GLUT window (double buffered, RGBA, depth,
// WINDOW_SIZE square at 0,0) and keeps it for the rest of the process; every test then starts
// from the same reset state, so a test never sees what the previous one left behind.

#include <array>

#include <gtest/gtest.h>

#include "support/gl/Feedback.h"
#include "support/gl/Pixels.h"

namespace gltest {

constexpr int WINDOW_SIZE = 500;

class GlTest : public ::testing::Test {
  protected:
    // Fails the test (no crash) when there is no X display to open the window on.
    void SetUp() override;
    // Fails the test when it left a GL error, a matrix or attribute stack it did not pop,
    // or the context outside GL_RENDER mode: all of them would leak into later draws.
    void TearDown() override;

  private:
    bool ready = false;
};

// Back to the state a test starts with: identity matrices in every stack, full-window
// viewport, model-view matrix mode, GL_RENDER mode, fixed-function defaults (no depth test,
// culling, lighting, blending, texturing, evaluators, stipple, clip planes...), black clear
// colour, white current colour, point size and line width 1, and cleared colour and depth.
void resetGlState();

// The demo's projection: a WINDOW_SIZE square viewport, gluPerspective(60, 1, 1, 100) and
// the camera pulled back by glTranslatef(0, 0, -20), both on the projection matrix. Leaves
// the matrix mode at GL_MODELVIEW without touching the model-view matrix.
void useDemoProjection();

// Where a point lands in the window under the current matrices and viewport (gluProject):
// x and y in pixels from the bottom-left corner, z the depth in [0, 1].
std::array<double, 3> projectToWindow(double x, double y, double z);

}  // namespace gltest
