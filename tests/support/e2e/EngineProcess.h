#pragma once

// Runs the real engine binary under the current X display and drives it the way a person
// would: real key events through XTest, screenshots of its window, window resizes.
//
// There is no window manager on the test server, so this class does what one would: it gives
// the engine's window the keyboard focus and moves the pointer over it.
//
// The engine steps its world on a timer and draws its frames; on a busy machine both run late
// by any amount. So a test never sleeps and hopes: it waits for what it expects to
// see (waitFor), holds a key until the engine has acted on it (holdUntil), and proves that the
// engine stepped by watching the picture change (pictureChanges) or by the counts it publishes
// (EngineCounts.h). Every wait has a deadline
// of seconds and, when it runs out, says what it awaited and what it saw last.

#include <chrono>
#include <functional>
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

// How long a wait for something the engine does may take before the test fails: far more
// than an idle machine needs, so that only a real fault runs into it.
constexpr std::chrono::milliseconds WAIT_LIMIT = 20s;

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

// Something a test waits to see in the engine's window.
struct PictureCondition {
    // In words, for the failure message: "the status line to read Paused".
    std::string awaited;
    // Whether a shot shows it. Called on every shot of a wait, in order, so it may keep state
    // from shot to shot (see pictureChanges).
    std::function<bool(const Screenshot&)> holds;
    // What a shot shows instead, in the condition's own terms ("812 grey pixels"), for the
    // failure message. Optional.
    std::function<std::string(const Screenshot&)> seen;
};

// Holds once `measure`, taken on a shot, passes `accept`; a failure reports the last value as
// "<what>: <value>".
PictureCondition measured(std::string awaited, std::string what,
                          std::function<int(const Screenshot&)> measure,
                          std::function<bool(int)> accept);

// Holds once the picture has changed `count` times, shot to shot, counted from the first shot
// it sees; `each`, if given, is shown every shot, the first one included. The demo's picture
// only changes when the engine steps (while the spring scene swings, and no camera key or
// resize moves the view), so this proves at least `count` steps, however slowly the engine
// runs. It proves nothing while no step changes the picture (paused, scene 1 hidden): the
// published counts do (EngineCounts.h).
PictureCondition pictureChanges(int count, std::function<void(const Screenshot&)> each = {});

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
    EngineProcess* engine;
    unsigned long keysym;
};

class EngineProcess {
  public:
    static constexpr const char* WINDOW_TITLE = "Engine";

    // Starts the engine (the build's ENGINE_BINARY) with these extra arguments, waits until
    // its window is mapped and has drawn its first frame, focuses it and puts the pointer over
    // it. Throws std::runtime_error (with the engine's stderr so far) when any of that fails
    // within the timeout.
    explicit EngineProcess(std::vector<std::string> arguments = {},
                           std::chrono::milliseconds timeout = WAIT_LIMIT);
    // The same for another program on the engine, whose window has the given title.
    EngineProcess(std::string binary, std::string title, std::vector<std::string> arguments = {},
                  std::chrono::milliseconds timeout = WAIT_LIMIT);
    // Releases any key still held and kills the engine if it is still running, so a failed
    // test never leaves a process or a stuck key behind.
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Keys by X keysym (XK_Escape, XK_w, ...), sent to the focused engine window. The engine
    // reads its keys once per step: a key released before a step has seen it has no effect.
    void press(unsigned long keysym);
    void release(unsigned long keysym);
    // Holds the key until the returned object goes out of scope.
    HeldKey hold(unsigned long keysym) { return HeldKey(*this, keysym); }
    // The mouse through XTest: the pointer to (x, y) in the window's own pixels (from its
    // top-left corner), and a button (1 left, 3 right, 4 and 5 the wheel's notches away from
    // and towards the user) down or up. A button still down is let go by the destructor.
    void movePointer(int x, int y);
    void pressButton(unsigned int button);
    void releaseButton(unsigned int button);
    // Presses `button` at `from`, moves the pointer to `to` in `moves` even moves, and lets go.
    void drag(unsigned int button, int fromX, int fromY, int toX, int toY, int moves = 4);
    // Presses the key, waits until the window shows `condition`, releases the key and returns
    // the shot that showed it. The key stays down as long as the engine needs to act on it,
    // however slowly it runs. A switching key (1, 2, 3, 9, z) fires once per press, and again
    // only after a step has seen it up: before pressing the same one again, wait for the
    // engine to step (pictureChanges).
    Screenshot holdUntil(unsigned long keysym, const PictureCondition& condition,
                         std::chrono::milliseconds timeout = WAIT_LIMIT);

    // What is on screen in the window right now. Only the part inside the screen can be
    // read, so a window partly off screen gives a smaller capture.
    Screenshot screenshot();
    // Takes shots until one shows `condition` and returns it. Fails (throws) when the engine
    // ends or the timeout passes first, with what was awaited and what the last shot showed;
    // that shot is saved as a PPM next to the test binary's working directory.
    Screenshot waitFor(const PictureCondition& condition,
                       std::chrono::milliseconds timeout = WAIT_LIMIT);
    // The number of times the picture changed, shot to shot, from now until the window is gone
    // (destroyed by the engine, or the engine ended): at least as many steps as the engine
    // took before it closed its window. Fails when the window outlives the timeout.
    int changesUntilWindowGone(std::chrono::milliseconds timeout = WAIT_LIMIT);

    Geometry geometry();
    // Resizes the window and waits until the engine has drawn over all of it.
    void resize(int width, int height, std::chrono::milliseconds timeout = WAIT_LIMIT);
    // The same, but returns false when the X server refuses the size (a side of 0 is not a
    // valid window size in X).
    bool resizeIfAllowed(int width, int height, std::chrono::milliseconds timeout = WAIT_LIMIT);
    // Asks the engine to close its window, as a window manager's close button does
    // (WM_DELETE_WINDOW).
    void closeWindow();
    // Destroys the engine's window from here, as a window manager's kill does.
    void destroyWindow();
    // Waits until no pixel shows the unpainted background any more, i.e. the engine has
    // drawn over its whole window.
    void waitUntilDrawn(std::chrono::milliseconds timeout = WAIT_LIMIT);
    // The text of a STRING property on the engine's window, or "" while there is none.
    std::string windowText(const std::string& property);
    // Sends the window an Expose event, as uncovering part of it would; GLUT then draws.
    void expose();

    // The exit status once the engine has ended, or nothing if it is still running after the
    // timeout.
    std::optional<ExitStatus> waitForExit(std::chrono::milliseconds timeout = WAIT_LIMIT);
    bool running();

    // How a wait ended: what it awaited held, the engine ended first, or the deadline passed.
    enum class WaitEnd { HELD, ENDED, LATE };
    // Checks `holds` until one of the three, pausing `pause` between checks: the harness's one
    // loop that waits for something it cannot be told about (pictures, properties, sizes).
    WaitEnd pollUntil(std::chrono::steady_clock::time_point deadline,
                      const std::function<bool()>& holds,
                      std::chrono::milliseconds pause = std::chrono::milliseconds(10));

    // Everything the engine wrote to stderr so far (it is also echoed to the test's stderr).
    // Once the engine has ended, sanitizer faults found in it fail the current test.
    std::string errorOutput();

    unsigned long window() const { return windowId; }
    int pid() const { return processId; }

  private:
    void launch(const std::vector<std::string>& arguments);
    void findWindow(std::chrono::steady_clock::time_point deadline);
    void waitUntilViewable(std::chrono::steady_clock::time_point deadline);
    void focus();
    // Where the window is, or nothing once it is gone.
    std::optional<Geometry> placement();
    // The window's picture, or nothing once the window is gone.
    std::optional<Screenshot> capture();
    void fakeKey(unsigned long keysym, bool down);
    void kill();
    void disconnect();
    void readErrors(int fd);
    void checkSanitizerReports();
    [[noreturn]] void fail(const std::string& what);

    _XDisplay* display = nullptr;
    unsigned long windowId = 0;
    int processId = -1;
    std::optional<ExitStatus> exitStatus;
    bool reportsChecked = false;
    std::set<unsigned long> heldKeys;
    std::set<unsigned int> heldButtons;
    std::string programPath;
    std::string expectedTitle;

    std::thread errorReader;
    std::mutex errorMutex;
    std::string stderrText;
};

}  // namespace e2e
