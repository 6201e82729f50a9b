// What a broken or hostile desktop does to the demo's window: extreme sizes, the window
// closed or destroyed from outside, no display at all. The engine must keep drawing, or end
// cleanly, and never crash.

#include <X11/keysym.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/e2e/DemoPicture.h"
#include "support/e2e/EngineProcess.h"

extern char** environ;

namespace e2e {
namespace {

void expectCleanExit(EngineProcess& engine) {
    const std::optional<ExitStatus> status = engine.waitForExit();
    ASSERT_TRUE(status.has_value()) << "the engine is still running";
    EXPECT_TRUE(status->exited && status->code == 0) << *status << "\n" << engine.errorOutput();
}

TEST(WindowFaultsTest, ExtremeSizesKeepItDrawingAndEscStillQuits) {
    EngineProcess engine;
    // resize() returns once the engine has drawn over the whole window at its new size.
    engine.resize(1, 1);
    EXPECT_EQ(engine.screenshot().width(), 1);
    // X has no windows of height 0; should a server ever take one, the engine must survive it.
    // No waiting here: the resizes below only succeed if the engine is still alive to draw.
    if (engine.resizeIfAllowed(300, 0)) {
        EXPECT_TRUE(engine.running()) << engine.errorOutput();
    }
    // Larger than the screen: only the part on screen can be read back.
    engine.resize(2000, 1500);
    EXPECT_EQ(engine.geometry().width, 2000);
    engine.resize(500, 500);
    // After all that, the scene is drawn as at the start: the boxes' red face in the middle
    // (once the frame after the resize is on screen).
    engine.waitFor({"the boxes' red face in the middle",
                    [](const Screenshot& shot) { return isRed(shot.at(CENTRE, CENTRE)); },
                    [](const Screenshot& shot) {
                        return "the middle in " + ::testing::PrintToString(shot.at(CENTRE, CENTRE));
                    }});

    const HeldKey escape = engine.hold(XK_Escape);
    expectCleanExit(engine);
}

TEST(WindowFaultsTest, TheWindowClosedOrDestroyedFromOutsideEndsTheEngineCleanly) {
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "closed (WM_DELETE_WINDOW)");
        EngineProcess engine;
        engine.holdUntil(XK_d, pictureChanges(3));  // something has run
        if (destroy) {
            engine.destroyWindow();
        } else {
            engine.closeWindow();
        }
        // A sanitizer fault or leak report in the engine fails the test as it ends.
        expectCleanExit(engine);
    }
}

struct Outcome {
    int status = 0;
    std::string errors;
};

// Runs the engine to its end with these environment variables removed, collecting stderr.
Outcome runWithout(const std::vector<std::string>& removed) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        bool keep = true;
        for (const std::string& name : removed) {
            keep = keep && variable.rfind(name + "=", 0) != 0;
        }
        if (keep) {
            environment.push_back(variable);
        }
    }
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    std::string binary = ENGINE_BINARY;
    char* argv[] = {binary.data(), nullptr};

    int errors[2];
    if (pipe2(errors, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe2: " << std::strerror(errno);
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(errors[1], STDERR_FILENO);
        execve(argv[0], argv, envp.data());
        _exit(127);
    }
    close(errors[1]);
    Outcome outcome;
    char chunk[1024];
    for (ssize_t got; (got = read(errors[0], chunk, sizeof chunk)) != 0;) {
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            break;
        }
        outcome.errors.append(chunk, static_cast<std::size_t>(got));
    }
    close(errors[0]);
    waitpid(pid, &outcome.status, 0);
    return outcome;
}

TEST(WindowFaultsTest, WithoutADisplayItSaysSoInOneLineAndFails) {
    const Outcome outcome = runWithout({"DISPLAY"});
    ASSERT_TRUE(WIFEXITED(outcome.status)) << "ended by signal " << WTERMSIG(outcome.status)
                                           << (WCOREDUMP(outcome.status) ? " (core dumped)" : "");
    EXPECT_NE(WEXITSTATUS(outcome.status), 0);
    // One line that names the problem and the way out; nothing else.
    EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1) << outcome.errors;
    EXPECT_NE(outcome.errors.find("DISPLAY"), std::string::npos) << outcome.errors;
    EXPECT_NE(outcome.errors.find("xvfb-run"), std::string::npos) << outcome.errors;
}

}  // namespace
}  // namespace e2e
