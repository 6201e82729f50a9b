#include "support/gl/GlTest.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define GLTEST_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GLTEST_LEAK_CHECK 1
#endif
#endif
#ifdef GLTEST_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace gltest {
namespace {

enum class WindowState { NotTried, Open, Unavailable };

WindowState windowState = WindowState::NotTried;
std::string unavailableReason;

// GLUT insists on a display callback before it processes any event for the window.
void displayNothing() {}

// freeglut exits the process when it cannot open the display, so check with Xlib first
// and turn the missing server into an ordinary test failure. The connection is returned
// open: an X server may reset when its last client leaves, and GLUT's own connection would
// then race with that reset.
Display* connectToDisplay() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        unavailableReason =
            "DISPLAY is not set. GL tests draw into a real window: run them through "
            "`make test`, which starts a private Xvfb, or under xvfb-run.";
        return nullptr;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        unavailableReason = std::string("Cannot open X display \"") + name +
                            "\". GL tests need a running X server (make test starts Xvfb).";
    }
    return display;
}

void openWindowOnce() {
    if (windowState != WindowState::NotTried) {
        return;
    }
    Display* check = connectToDisplay();
    if (check == nullptr) {
        windowState = WindowState::Unavailable;
        return;
    }
    static char programName[] = "engine_gl_tests";
    static char* argv[] = {programName, nullptr};
    int argc = 1;
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(WINDOW_SIZE, WINDOW_SIZE);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("engine gl tests");
    glutDisplayFunc(displayNothing);
#ifdef GLTEST_LEAK_CHECK
    // glutInit registered an exit handler that closes the display, and Mesa unloads its driver
    // with it. A leak check after that finds the driver's allocations unreachable (the globals
    // pointing at them are unmapped) with "<unknown module>" stacks that no suppression can
    // name. Exit handlers run last-registered first, so this one checks before GLUT tears
    // down; a leak check runs only once, so the sanitizer's own one at the very end is skipped.
    std::atexit([] { __lsan_do_leak_check(); });
#endif
    // Let the window get mapped so the drawable has its final size before the first draw.
    glutMainLoopEvent();
    XCloseDisplay(check);
    windowState = WindowState::Open;
}

void loadIdentity(GLenum mode) {
    glMatrixMode(mode);
    glLoadIdentity();
}

}  // namespace

void resetGlState() {
    glRenderMode(GL_RENDER);

    loadIdentity(GL_TEXTURE);
    loadIdentity(GL_PROJECTION);
    loadIdentity(GL_MODELVIEW);
    glViewport(0, 0, WINDOW_SIZE, WINDOW_SIZE);
    glDepthRange(0.0, 1.0);

    // clang-format off
    static const GLenum capabilities[] = {
        GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING, GL_COLOR_MATERIAL, GL_NORMALIZE,
        GL_RESCALE_NORMAL, GL_BLEND, GL_ALPHA_TEST, GL_STENCIL_TEST, GL_SCISSOR_TEST, GL_FOG,
        GL_TEXTURE_1D, GL_TEXTURE_2D, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R,
        GL_TEXTURE_GEN_Q, GL_LINE_STIPPLE, GL_POLYGON_STIPPLE, GL_POINT_SMOOTH, GL_LINE_SMOOTH,
        GL_POLYGON_SMOOTH, GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_LINE, GL_POLYGON_OFFSET_POINT,
        GL_AUTO_NORMAL, GL_DITHER, GL_MAP1_VERTEX_3, GL_MAP1_VERTEX_4, GL_MAP1_COLOR_4,
        GL_MAP1_NORMAL, GL_MAP1_TEXTURE_COORD_2, GL_MAP2_VERTEX_3, GL_MAP2_VERTEX_4,
        GL_MAP2_COLOR_4, GL_MAP2_NORMAL, GL_MAP2_TEXTURE_COORD_2,
    };
    // clang-format on
    for (GLenum capability : capabilities) {
        glDisable(capability);
    }
    GLint maxLights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    for (GLint i = 0; i < maxLights; ++i) {
        glDisable(static_cast<GLenum>(GL_LIGHT0 + i));
    }
    GLint maxClipPlanes = 0;
    glGetIntegerv(GL_MAX_CLIP_PLANES, &maxClipPlanes);
    for (GLint i = 0; i < maxClipPlanes; ++i) {
        glDisable(static_cast<GLenum>(GL_CLIP_PLANE0 + i));
    }

    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPointSize(1.0f);
    glLineWidth(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    while (glGetError() != GL_NO_ERROR) {
    }
}

void useDemoProjection() {
    glViewport(0, 0, WINDOW_SIZE, WINDOW_SIZE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 1.0, 100.0);
    glTranslatef(0.0f, 0.0f, -20.0f);
    glMatrixMode(GL_MODELVIEW);
}

std::array<double, 3> projectToWindow(double x, double y, double z) {
    GLdouble modelView[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::array<double, 3> window{};
    gluProject(x, y, z, modelView, projection, viewport, &window[0], &window[1], &window[2]);
    return window;
}

void GlTest::SetUp() {
    openWindowOnce();
    if (windowState != WindowState::Open) {
        GTEST_FAIL() << unavailableReason;
    }
    resetGlState();
    ready = true;
}

void GlTest::TearDown() {
    if (!ready) {
        return;
    }
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        ADD_FAILURE() << "The test left GL error " << gluErrorString(error) << " (0x" << std::hex
                      << error << std::dec << ")";
    }
    GLint renderMode = 0;
    glGetIntegerv(GL_RENDER_MODE, &renderMode);
    EXPECT_EQ(renderMode, GL_RENDER) << "The test left the context in feedback or select mode";

    struct StackDepth {
        GLenum query;
        GLint expected;
        const char* name;
    };
    static const StackDepth depths[] = {
        {GL_MODELVIEW_STACK_DEPTH, 1, "model-view matrix"},
        {GL_PROJECTION_STACK_DEPTH, 1, "projection matrix"},
        {GL_TEXTURE_STACK_DEPTH, 1, "texture matrix"},
        {GL_ATTRIB_STACK_DEPTH, 0, "attribute"},
        {GL_CLIENT_ATTRIB_STACK_DEPTH, 0, "client attribute"},
    };
    for (const StackDepth& depth : depths) {
        GLint actual = 0;
        glGetIntegerv(depth.query, &actual);
        EXPECT_EQ(actual, depth.expected)
            << "Unbalanced push/pop on the " << depth.name << " stack";
    }
    // Leave a clean slate for the next test even if this one failed halfway.
    while (glGetError() != GL_NO_ERROR) {
    }
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace gltest
