#pragma once

// Runs the real engine binary under the current X display and drives it the way a person
// would: real key events through XTest, screenshots of its window, window resizes.
//
// There is no window manager on the test server, so this class does what one would: it gives
// the engine's window the keyboard focus and moves the pointer over it.

#include <chrono>
#include <iosfwd>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/e2e/Screenshot.h"

// Xlib's headers define macros (None, Status, Bool...) that clash with other code, so they
// stay out of this header.
struct _XDisplay;

namespace e2e {

using namespace std::chrono_literals;

// A sanitizer build scans the whole heap for leaks as the engine exits, which alone takes a
// few hundred milliseconds (more on a busy machine). Limits on how fast the engine ends add
// this allowance, so they still measure the engine and not the scan; the optimised build
// keeps them exact.
#if defined(__SANITIZE_ADDRESS__)
#define E2E_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define E2E_SANITIZED 1
#endif
#endif
#ifdef E2E_SANITIZED
constexpr std::chrono::milliseconds kExitScanAllowance = 2s;
#else
constexpr std::chrono::milliseconds kExitScanAllowance = 0ms;
#endif

struct Geometry {
    int x = 0, y = 0;  // top-left corner, relative to the screen
    int width = 0, height = 0;
};

struct ExitStatus {
    bool exited = false;  // true: exit code in code; false: killed by the signal in signal
    int code = 0;
    int signal = 0;
};

std::ostream& operator<<(std::ostream& out, const ExitStatus& status);

class EngineProcess;

// Holds a key down until destroyed (or release() is called).
class HeldKey {
  public:
    HeldKey(EngineProcess& engine, unsigned long keysym);
    ~HeldKey();
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;
    void release();

  private:
    EngineProcess* engine_;
    unsigned long keysym_;
};

class EngineProcess {
  public:
    static constexpr const char* kWindowTitle = "Engine";

    // Starts the engine (the build's ENGINE_BINARY) with these extra arguments, waits until
    // its window is mapped and has drawn its first frame, focuses it and puts the pointer over
    // it. Throws std::runtime_error (with the engine's stderr so far) when any of that fails
    // within the timeout.
    explicit EngineProcess(std::vector<std::string> arguments = {},
                           std::chrono::milliseconds timeout = 15s);
    // Releases any key still held and kills the engine if it is still running, so a failed
    // test never leaves a process or a stuck key behind.
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Keys by X keysym (XK_Escape, XK_w, ...), sent to the focused engine window.
    void press(unsigned long keysym);
    void release(unsigned long keysym);
    void tap(unsigned long keysym, std::chrono::milliseconds held = 50ms);
    // Holds the key for the given time, then releases it.
    void holdFor(unsigned long keysym, std::chrono::milliseconds held);
    // Holds the key until the returned object goes out of scope.
    HeldKey hold(unsigned long keysym) { return HeldKey(*this, keysym); }

    // What is on screen in the window right now. Only the part inside the screen can be
    // read, so a window partly off screen gives a smaller capture.
    Screenshot screenshot();
    Geometry geometry();
    // Resizes the window and waits until the engine has drawn over all of it.
    void resize(int width, int height, std::chrono::milliseconds timeout = 10s);
    // The same, but returns false when the X server refuses the size (a side of 0 is not a
    // valid window size in X).
    bool resizeIfAllowed(int width, int height, std::chrono::milliseconds timeout = 10s);
    // Asks the engine to close its window, as a window manager's close button does
    // (WM_DELETE_WINDOW).
    void closeWindow();
    // Destroys the engine's window from here, as a window manager's kill does.
    void destroyWindow();
    // Waits until no pixel shows the unpainted background any more, i.e. the engine has
    // drawn over its whole window.
    void waitUntilDrawn(std::chrono::milliseconds timeout = 10s);
    // The text of a STRING property on the engine's window, or "" while there is none.
    std::string windowText(const std::string& property);
    // Sends the window an Expose event, as uncovering part of it would; GLUT then draws.
    void expose();

    // The exit status once the engine has ended, or nothing if it is still running after the
    // timeout.
    std::optional<ExitStatus> waitForExit(std::chrono::milliseconds timeout);
    bool running();

    // Everything the engine wrote to stderr so far (it is also echoed to the test's stderr).
    // Once the engine has ended, sanitizer faults found in it fail the current test.
    std::string errorOutput();

    unsigned long window() const { return window_; }
    int pid() const { return pid_; }

  private:
    void launch(const std::vector<std::string>& arguments);
    void findWindow(std::chrono::steady_clock::time_point deadline);
    void waitUntilViewable(std::chrono::steady_clock::time_point deadline);
    void focus();
    void fakeKey(unsigned long keysym, bool down);
    void kill();
    void disconnect();
    void readErrors(int fd);
    void checkSanitizerReports();
    [[noreturn]] void fail(const std::string& what);

    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    int pid_ = -1;
    std::optional<ExitStatus> exitStatus_;
    bool reportsChecked_ = false;
    std::set<unsigned long> heldKeys_;
    std::set<unsigned long> windowsBeforeLaunch_;

    std::thread errorReader_;
    std::mutex errorMutex_;
    std::string errorOutput_;
};

}  // namespace e2e
