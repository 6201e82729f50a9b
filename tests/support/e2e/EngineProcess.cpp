#include "support/e2e/EngineProcess.h"
#include "support/e2e/SanitizerReport.h"

// Before Xlib, whose macros would break it.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <utility>

extern char** environ;

#ifndef ENGINE_BINARY
#error "ENGINE_BINARY must name the engine executable under test"
#endif

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

// Painted as the screen background before the engine starts. GLUT windows have no background
// of their own, so until the engine draws, its window shows this colour: any pixel still this
// colour has not been drawn yet. Chosen so that no scene is likely to draw it exactly.
constexpr Rgb UNPAINTED{254, 1, 253};

// Xlib's default error handler exits the process. Windows come and go while we search, so
// errors like BadWindow are expected; remember the last one instead and check after XSync.
int lastXError = 0;
int recordXError(Display*, XErrorEvent* event) {
    lastXError = event->error_code;
    return 0;
}

struct XFreeDeleter {
    void operator()(void* data) const {
        if (data != nullptr) {
            XFree(data);
        }
    }
};

unsigned long pixelFor(Display* display, Rgb colour) {
    XColor xcolour{};
    xcolour.red = static_cast<unsigned short>(colour.r * 257);
    xcolour.green = static_cast<unsigned short>(colour.g * 257);
    xcolour.blue = static_cast<unsigned short>(colour.b * 257);
    xcolour.flags = DoRed | DoGreen | DoBlue;
    if (XAllocColor(display, DefaultColormap(display, DefaultScreen(display)), &xcolour) == 0) {
        throw std::runtime_error("Cannot allocate the background colour on the X server");
    }
    return xcolour.pixel;
}

// A window property of the given type in items of `format` bits, or null (count 0) when the
// window has none such.
std::unique_ptr<unsigned char, XFreeDeleter> readProperty(Display* display, Window window,
                                                          Atom property, Atom type, int format,
                                                          unsigned long& count) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long remaining = 0;
    unsigned char* raw = nullptr;
    count = 0;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType,
                           &actualFormat, &count, &remaining, &raw) != Success) {
        return nullptr;
    }
    std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
    return actualFormat == format ? std::move(data) : nullptr;
}

std::string textProperty(Display* display, Window window, Atom property, Atom type) {
    unsigned long count = 0;
    const auto data = readProperty(display, window, property, type, 8, count);
    return data ? std::string(reinterpret_cast<const char*>(data.get()), count) : std::string();
}

std::optional<long> pidProperty(Display* display, Window window) {
    unsigned long count = 0;
    const auto data = readProperty(display, window, XInternAtom(display, "_NET_WM_PID", False),
                                   XA_CARDINAL, 32, count);
    if (data == nullptr || count != 1) {
        return std::nullopt;
    }
    // Xlib hands back 32-bit properties as an array of long.
    long pid = 0;
    std::memcpy(&pid, data.get(), sizeof pid);
    return pid;
}

std::string windowTitle(Display* display, Window window) {
    const std::string netName =
        textProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                     XInternAtom(display, "UTF8_STRING", False));
    if (!netName.empty()) {
        return netName;
    }
    return textProperty(display, window, XA_WM_NAME, XA_STRING);
}

// The environment for the engine. Sanitizer errors abort, which shows in the exit status.
// Leaks are only reported (exitcode=0; with abort_on_error they would abort too) and judged
// by sanitizerFaults() when the engine has ended, which names them in the test's failure.
std::vector<std::string> engineEnvironment() {
    std::vector<std::string> result;
    bool asan = false;
    bool ubsan = false;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string variable = *entry;
        if (variable.rfind("ASAN_OPTIONS=", 0) == 0) {
            variable += ":abort_on_error=1:exitcode=0";
            asan = true;
        } else if (variable.rfind("UBSAN_OPTIONS=", 0) == 0) {
            variable += ":abort_on_error=1";
            ubsan = true;
        }
        result.push_back(std::move(variable));
    }
    if (!asan) {
        result.emplace_back("ASAN_OPTIONS=abort_on_error=1:exitcode=0");
    }
    if (!ubsan) {
        result.emplace_back("UBSAN_OPTIONS=abort_on_error=1");
    }
    return result;
}

// Where a wait that failed leaves its last shot: named after the test, in the working
// directory (build/tests under ctest).
std::string savedShotName() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (test == nullptr) {
        return "e2e-last-shot.ppm";
    }
    return std::string(test->test_suite_name()) + "." + test->name() + "-last-shot.ppm";
}

// Between two tries of a refusing X server: short beside the deadline, long enough not to
// keep a busy machine busier.
constexpr auto DISPLAY_RETRY_PAUSE = 50ms;

// An X server may refuse connections for a moment (one started without -noreset resets
// whenever its last client leaves), so a refusal is tried again until the deadline.
Display* openDisplay(Clock::time_point deadline, std::chrono::milliseconds timeout) {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        throw std::runtime_error(
            "DISPLAY is not set: end-to-end tests need an X server (make test starts a "
            "private Xvfb).");
    }
    for (;;) {
        if (Display* display = XOpenDisplay(name)) {
            return display;
        }
        if (Clock::now() >= deadline) {
            throw std::runtime_error(std::string("The X server at DISPLAY \"") + name +
                                     "\" refused every connection for " +
                                     std::to_string(timeout.count()) +
                                     " ms: is it running? (make test starts a private Xvfb)");
        }
        std::this_thread::sleep_for(DISPLAY_RETRY_PAUSE);
    }
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const ExitStatus& status) {
    if (status.exited) {
        return out << "exit code " << status.code;
    }
    return out << "killed by signal " << status.signal << " (" << strsignal(status.signal) << ")";
}

PictureCondition measured(std::string awaited, std::string what,
                          std::function<int(const Screenshot&)> measure,
                          std::function<bool(int)> accept) {
    PictureCondition condition;
    condition.awaited = std::move(awaited);
    condition.holds = [measure, accept](const Screenshot& shot) { return accept(measure(shot)); };
    condition.seen = [measure, what = std::move(what)](const Screenshot& shot) {
        return what + ": " + std::to_string(measure(shot));
    };
    return condition;
}

PictureCondition pictureChanges(int count, std::function<void(const Screenshot&)> each) {
    // Shared, so that copies of the condition count together.
    struct Progress {
        std::optional<Screenshot> previous;
        int changes = 0;
    };
    auto progress = std::make_shared<Progress>();
    PictureCondition condition;
    condition.awaited = "the picture to change " + std::to_string(count) +
                        " times, as it does at every step of the swinging spring scene";
    condition.holds = [progress, count, each = std::move(each)](const Screenshot& shot) {
        if (each) {
            each(shot);
        }
        if (progress->previous && shot.differences(*progress->previous, shot.all()) > 0) {
            ++progress->changes;
        }
        progress->previous = shot;
        return progress->changes >= count;
    };
    condition.seen = [progress](const Screenshot&) {
        return std::to_string(progress->changes) + " changes";
    };
    return condition;
}

HeldKey::HeldKey(EngineProcess& owner, unsigned long key) : engine(&owner), keysym(key) {
    owner.press(key);
}

HeldKey::~HeldKey() {
    try {
        release();
    } catch (...) {
        // The engine's destructor releases every key still down anyway.
    }
}

void HeldKey::release() {
    if (engine != nullptr) {
        EngineProcess* holder = std::exchange(engine, nullptr);
        holder->release(keysym);
    }
}

EngineProcess::EngineProcess(std::vector<std::string> arguments, std::chrono::milliseconds timeout)
    : EngineProcess(ENGINE_BINARY, WINDOW_TITLE, std::move(arguments), timeout) {}

EngineProcess::EngineProcess(std::string binary, std::string title,
                             std::vector<std::string> arguments, std::chrono::milliseconds timeout)
    : programPath(std::move(binary)), expectedTitle(std::move(title)) {
    XSetErrorHandler(recordXError);
    const auto deadline = Clock::now() + timeout;
    display = openDisplay(deadline, timeout);
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        XCloseDisplay(display);
        throw std::runtime_error("The X server has no XTEST extension to fake key presses");
    }
    try {
        const Window root = DefaultRootWindow(display);
        XSetWindowBackground(display, root, pixelFor(display, UNPAINTED));
        XClearWindow(display, root);
        // Told of every window created from now on (see findWindow).
        XSelectInput(display, root, SubstructureNotifyMask);
        XSync(display, False);

        launch(arguments);
        findWindow(deadline);
        waitUntilViewable(deadline);
        focus();
        waitUntilDrawn(std::chrono::duration_cast<std::chrono::milliseconds>(
            std::max(deadline - Clock::now(), Clock::duration(1s))));
    } catch (...) {
        kill();
        disconnect();
        throw;
    }
}

void EngineProcess::disconnect() {
    // Back to the server's own background for whatever runs next on this display.
    XSetWindowBackgroundPixmap(display, DefaultRootWindow(display), None);
    XClearWindow(display, DefaultRootWindow(display));
    XSync(display, False);
    XCloseDisplay(display);
    display = nullptr;
}

EngineProcess::~EngineProcess() {
    for (unsigned long keysym : std::set<unsigned long>(heldKeys)) {
        fakeKey(keysym, false);
    }
    for (unsigned int button : std::set<unsigned int>(heldButtons)) {
        releaseButton(button);
    }
    kill();
    disconnect();
}

void EngineProcess::launch(const std::vector<std::string>& arguments) {
    std::vector<std::string> words{programPath};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> environment = engineEnvironment();
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
    }
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);

    const pid_t testPid = getpid();
    processId = fork();
    if (processId < 0) {
        const int error = errno;
        close(errorPipe[0]);
        close(errorPipe[1]);
        if (devNull >= 0) {
            close(devNull);
        }
        throw std::runtime_error(std::string("fork: ") + std::strerror(error));
    }
    if (processId == 0) {
        // Only async-signal-safe calls between fork and exec.
        // Should the test process crash, take the engine down with it rather than leave it
        // running on the display.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != testPid) {
            _exit(127);
        }
        if (devNull >= 0) {
            dup2(devNull, STDIN_FILENO);
        }
        dup2(errorPipe[1], STDERR_FILENO);
        execve(argv[0], argv.data(), envp.data());
        static const char message[] = "e2e: cannot execute the engine binary\n";
        ssize_t ignored = write(STDERR_FILENO, message, sizeof message - 1);
        (void)ignored;
        _exit(127);
    }
    close(errorPipe[1]);
    if (devNull >= 0) {
        close(devNull);
    }
    errorReader = std::thread([this, fd = errorPipe[0]] { readErrors(fd); });
}

void EngineProcess::readErrors(int fd) {
    char chunk[4096];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        // Echo as it comes, so sanitizer reports from the engine show up in the test log.
        std::fwrite(chunk, 1, static_cast<std::size_t>(got), stderr);
        std::lock_guard<std::mutex> lock(errorMutex);
        stderrText.append(chunk, static_cast<std::size_t>(got));
    }
    close(fd);
}

std::string EngineProcess::errorOutput() {
    std::lock_guard<std::mutex> lock(errorMutex);
    return stderrText;
}

void EngineProcess::fail(const std::string& what) {
    std::ostringstream message;
    message << what;
    if (auto status = waitForExit(0ms)) {
        message << "; the engine ended with " << *status;
    }
    const std::string errors = errorOutput();
    if (!errors.empty()) {
        message << "\nEngine stderr:\n" << errors;
    }
    throw std::runtime_error(message.str());
}

void EngineProcess::findWindow(Clock::time_point deadline) {
    // Only a window created after the launch can be the engine's. Its id proves nothing: X
    // hands the ids of a client that has gone (another test's window, a window of an earlier
    // engine) to the next client that connects. The root window's creation events do prove it.
    const Window root = DefaultRootWindow(display);
    std::vector<Window> created;
    const auto found = [&] {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
                created.push_back(event.xcreatewindow.window);
            }
        }
        for (Window window : created) {
            if (windowTitle(display, window) != expectedTitle) {
                continue;
            }
            // Under a window manager the window also names its process.
            const std::optional<long> owner = pidProperty(display, window);
            if (owner && *owner != processId) {
                continue;
            }
            windowId = window;
            return true;
        }
        return false;
    };
    const WaitEnd end = pollUntil(deadline, found);
    XSelectInput(display, root, NoEventMask);
    XSync(display, True);
    if (end == WaitEnd::ENDED) {
        fail("The engine ended before opening a window titled \"" + expectedTitle + "\"");
    }
    if (end == WaitEnd::LATE) {
        fail("No window titled \"" + expectedTitle + "\" appeared among the " +
             std::to_string(created.size()) + " windows created since the launch");
    }
}

void EngineProcess::waitUntilViewable(Clock::time_point deadline) {
    const WaitEnd end = pollUntil(deadline, [this] {
        XWindowAttributes attributes{};
        lastXError = 0;
        const Status ok = XGetWindowAttributes(display, windowId, &attributes);
        return ok != 0 && attributes.map_state == IsViewable;
    });
    if (end == WaitEnd::ENDED) {
        fail("The engine ended before its window was shown");
    }
    if (end == WaitEnd::LATE) {
        fail("The engine's window was never mapped");
    }
}

void EngineProcess::focus() {
    const Geometry where = geometry();
    lastXError = 0;
    XSetInputFocus(display, windowId, RevertToPointerRoot, CurrentTime);
    XWarpPointer(display, None, windowId, 0, 0, 0, 0, where.width / 2, where.height / 2);
    XSync(display, False);
    if (lastXError != 0) {
        fail("Cannot give the engine's window the keyboard focus (X error " +
             std::to_string(lastXError) + ")");
    }
}

void EngineProcess::waitUntilDrawn(std::chrono::milliseconds timeout) {
    int unpainted = 0;
    const WaitEnd end = pollUntil(Clock::now() + timeout, [&] {
        unpainted = screenshot().count(UNPAINTED);
        return unpainted == 0;
    });
    if (end == WaitEnd::ENDED) {
        fail("The engine ended before drawing its window");
    }
    if (end == WaitEnd::LATE) {
        fail("The engine did not draw its whole window: " + std::to_string(unpainted) +
             " pixels still show the background");
    }
}

std::string EngineProcess::windowText(const std::string& property) {
    return textProperty(display, windowId, XInternAtom(display, property.c_str(), False),
                        XA_STRING);
}

void EngineProcess::expose() {
    XClearArea(display, windowId, 0, 0, 1, 1, True);
    XFlush(display);
}

std::optional<Geometry> EngineProcess::placement() {
    XWindowAttributes attributes{};
    lastXError = 0;
    if (XGetWindowAttributes(display, windowId, &attributes) == 0) {
        return std::nullopt;
    }
    Geometry result;
    Window child = 0;
    XTranslateCoordinates(display, windowId, DefaultRootWindow(display), 0, 0, &result.x, &result.y,
                          &child);
    result.width = attributes.width;
    result.height = attributes.height;
    return result;
}

Geometry EngineProcess::geometry() {
    const std::optional<Geometry> where = placement();
    if (!where) {
        fail("The engine's window is gone");
    }
    return *where;
}

Screenshot EngineProcess::screenshot() {
    std::optional<Screenshot> shot = capture();
    if (!shot) {
        fail("The engine's window is gone");
    }
    return std::move(*shot);
}

std::optional<Screenshot> EngineProcess::capture() {
    const std::optional<Geometry> where = placement();
    if (!where) {
        return std::nullopt;
    }
    // XGetImage only reads what is on screen; clip the request to it.
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));
    const int left = std::max(0, -where->x);
    const int top = std::max(0, -where->y);
    const int width = std::min(where->width, screenWidth - where->x) - left;
    const int height = std::min(where->height, screenHeight - where->y) - top;
    if (width <= 0 || height <= 0) {
        return Screenshot(0, 0, {}, Screenshot::Origin::TopLeft);
    }
    lastXError = 0;
    XImage* image = XGetImage(display, windowId, left, top, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        // The window may have gone between the two requests.
        if (!placement()) {
            return std::nullopt;
        }
        fail("Cannot read the engine's window (X error " + std::to_string(lastXError) + ")");
    }
    // The channel masks say where each colour sits in a pixel of this visual.
    auto channel = [](unsigned long pixel, unsigned long mask) -> std::uint8_t {
        if (mask == 0) {
            return 0;
        }
        int shift = 0;
        while (((mask >> shift) & 1UL) == 0) {
            ++shift;
        }
        const unsigned long max = mask >> shift;
        return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255UL / max);
    };
    // Tests take many shots while they wait: read 32-bit pixels in the client's own byte order
    // straight from the image, which Xvfb's 24-bit screens give, rather than one call each.
    const std::uint32_t one = 1;
    const bool hostLsbFirst = *reinterpret_cast<const unsigned char*>(&one) == 1;
    const bool direct =
        image->bits_per_pixel == 32 && image->byte_order == (hostLsbFirst ? LSBFirst : MSBFirst);
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        const char* row = image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line;
        for (int x = 0; x < width; ++x) {
            std::uint32_t word = 0;
            if (direct) {
                std::memcpy(&word, row + static_cast<std::ptrdiff_t>(x) * 4, sizeof word);
            }
            const unsigned long pixel = direct ? word : XGetPixel(image, x, y);
            rgb.push_back(channel(pixel, image->red_mask));
            rgb.push_back(channel(pixel, image->green_mask));
            rgb.push_back(channel(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return Screenshot(width, height, std::move(rgb), Screenshot::Origin::TopLeft);
}

void EngineProcess::resize(int width, int height, std::chrono::milliseconds timeout) {
    if (!resizeIfAllowed(width, height, timeout)) {
        fail("The X server refused the size " + std::to_string(width) + "x" +
             std::to_string(height) + " (X error " + std::to_string(lastXError) + ")");
    }
}

bool EngineProcess::resizeIfAllowed(int width, int height, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    lastXError = 0;
    XResizeWindow(display, windowId, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display, False);
    if (lastXError != 0) {
        return false;
    }
    const WaitEnd end = pollUntil(deadline, [&] {
        const Geometry now = geometry();
        return now.width == width && now.height == height;
    });
    if (end != WaitEnd::HELD) {
        fail("The engine's window did not take the size " + std::to_string(width) + "x" +
             std::to_string(height));
    }
    waitUntilDrawn(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::max(deadline - Clock::now(), Clock::duration(0))));
    return true;
}

void EngineProcess::closeWindow() {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = windowId;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    lastXError = 0;
    XSendEvent(display, windowId, False, NoEventMask, &event);
    XSync(display, False);
    if (lastXError != 0) {
        fail("Cannot send WM_DELETE_WINDOW to the engine's window (X error " +
             std::to_string(lastXError) + ")");
    }
}

void EngineProcess::destroyWindow() {
    lastXError = 0;
    XDestroyWindow(display, windowId);
    XSync(display, False);
    if (lastXError != 0) {
        fail("Cannot destroy the engine's window (X error " + std::to_string(lastXError) + ")");
    }
}

void EngineProcess::fakeKey(unsigned long keysym, bool down) {
    const KeyCode code = XKeysymToKeycode(display, keysym);
    if (code == 0) {
        throw std::invalid_argument("No key on the X server's keyboard produces keysym " +
                                    std::to_string(keysym));
    }
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XSync(display, False);
    if (down) {
        heldKeys.insert(keysym);
    } else {
        heldKeys.erase(keysym);
    }
}

void EngineProcess::press(unsigned long keysym) {
    // Nothing else should take the focus without a window manager, but make sure: a key sent
    // to another window would make the test fail for the wrong reason.
    Window focused = 0;
    int revert = 0;
    XGetInputFocus(display, &focused, &revert);
    if (focused != windowId && running()) {
        focus();
    }
    fakeKey(keysym, true);
}

void EngineProcess::release(unsigned long keysym) {
    fakeKey(keysym, false);
}

// Warping the pointer makes the server send motion events, as moving the mouse would.
void EngineProcess::movePointer(int x, int y) {
    XWarpPointer(display, None, windowId, 0, 0, 0, 0, x, y);
    XSync(display, False);
}

void EngineProcess::pressButton(unsigned int button) {
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XSync(display, False);
    heldButtons.insert(button);
}

void EngineProcess::releaseButton(unsigned int button) {
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
    heldButtons.erase(button);
}

void EngineProcess::drag(unsigned int button, int fromX, int fromY, int toX, int toY, int moves) {
    movePointer(fromX, fromY);
    pressButton(button);
    for (int i = 1; i <= moves; ++i) {
        movePointer(fromX + (toX - fromX) * i / moves, fromY + (toY - fromY) * i / moves);
    }
    releaseButton(button);
}

Screenshot EngineProcess::holdUntil(unsigned long keysym, const PictureCondition& condition,
                                    std::chrono::milliseconds timeout) {
    // Released on the way out, also when the wait fails.
    const HeldKey key(*this, keysym);
    return waitFor(condition, timeout);
}

Screenshot EngineProcess::waitFor(const PictureCondition& condition,
                                  std::chrono::milliseconds timeout) {
    std::optional<Screenshot> shot;
    int shots = 0;
    const WaitEnd end = pollUntil(Clock::now() + timeout, [&] {
        shot = screenshot();
        ++shots;
        return condition.holds(*shot);
    });
    if (end == WaitEnd::HELD) {
        return std::move(*shot);
    }
    std::ostringstream message;
    if (end == WaitEnd::ENDED) {
        message << "The engine ended while the test waited for " << condition.awaited;
    } else {
        message << "Waited " << timeout.count() << " ms for " << condition.awaited;
    }
    message << "; the last of " << shots << " shots showed ";
    message << (condition.seen ? condition.seen(*shot) : std::string("something else"));
    const std::string saved = savedShotName();
    if (shot->writePpm(saved)) {
        message << " (saved as " << saved << ")";
    }
    fail(message.str());
}

int EngineProcess::changesUntilWindowGone(std::chrono::milliseconds timeout) {
    int changes = 0;
    std::optional<Screenshot> previous = capture();
    const auto gone = [&] {
        if (!previous) {
            return true;
        }
        std::optional<Screenshot> shot = capture();
        if (shot && shot->differences(*previous, shot->all()) > 0) {
            ++changes;
        }
        previous = std::move(shot);
        return !previous;
    };
    const auto deadline = Clock::now() + timeout;
    // The engine's end does not end this wait: its window may outlive it for a moment.
    WaitEnd end = WaitEnd::ENDED;
    while (end == WaitEnd::ENDED) {
        end = pollUntil(deadline, gone);
    }
    if (end == WaitEnd::LATE) {
        fail("The engine's window was still open after " + std::to_string(timeout.count()) +
             " ms; its picture changed " + std::to_string(changes) + " times meanwhile");
    }
    return changes;
}

bool EngineProcess::running() {
    return !waitForExit(0ms).has_value();
}

EngineProcess::WaitEnd EngineProcess::pollUntil(Clock::time_point deadline,
                                                const std::function<bool()>& holds,
                                                std::chrono::milliseconds pause) {
    for (;;) {
        if (holds()) {
            return WaitEnd::HELD;
        }
        if (!running()) {
            return WaitEnd::ENDED;
        }
        if (Clock::now() > deadline) {
            return WaitEnd::LATE;
        }
        std::this_thread::sleep_for(pause);
    }
}

std::optional<ExitStatus> EngineProcess::waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!exitStatus && processId > 0) {
        int status = 0;
        const pid_t done = waitpid(processId, &status, WNOHANG);
        if (done == processId) {
            ExitStatus result;
            result.exited = WIFEXITED(status);
            result.code = result.exited ? WEXITSTATUS(status) : 0;
            result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
            exitStatus = result;
            checkSanitizerReports();
            break;
        }
        if (done < 0 && errno != EINTR) {
            break;
        }
        if (Clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(1ms);
    }
    return exitStatus;
}

void EngineProcess::checkSanitizerReports() {
    if (reportsChecked) {
        return;
    }
    reportsChecked = true;
    // The engine has ended, so its stderr is at its end too: read all of it first.
    if (errorReader.joinable()) {
        errorReader.join();
    }
    const std::string errors = errorOutput();
    const std::vector<std::string> faults = sanitizerFaults(errors);
    for (const std::string& fault : faults) {
        ADD_FAILURE() << "The engine hit a sanitizer fault:\n" << fault;
    }
}

void EngineProcess::kill() {
    if (processId > 0 && running()) {
        // SIGTERM first, and SIGKILL only for an engine that ignores it.
        ::kill(processId, SIGTERM);
        if (!waitForExit(2s)) {
            ::kill(processId, SIGKILL);
            waitForExit(10s);
        }
    }
    if (errorReader.joinable()) {
        errorReader.join();
    }
}

}  // namespace e2e
