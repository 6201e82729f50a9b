// The harness itself, where the X server misbehaves: one that refuses connections for a moment
// (as an Xvfb without -noreset does while it resets between clients) is waited for.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "support/e2e/EngineProcess.h"

namespace e2e {
namespace {

TEST(HarnessTest, AnXServerThatRefusesConnectionsForAMomentIsWaitedFor) {
    const std::string real = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
    ASSERT_EQ(real.rfind(':', 0), 0U) << "needs a local display, not \"" << real << "\"";
    const std::string realSocket = "/tmp/.X11-unix/X" + real.substr(1, real.find('.') - 1);
    // A display number nobody serves yet (suites running side by side start at different
    // ones): it answers once its socket leads to the real one.
    int number = 100 + static_cast<int>(getpid() % 1000);
    while (access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0) {
        ++number;
    }
    const std::string late = "/tmp/.X11-unix/X" + std::to_string(number);
    // The late display refuses its first client (it takes the connection and hangs up, as a
    // resetting server does), and only then leads to the real one.
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    late.copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0) << late;
    ASSERT_EQ(listen(listener, 1), 0);
    std::thread opens([&] {
        pollfd waiting{listener, POLLIN, 0};
        EXPECT_EQ(poll(&waiting, 1, 20000), 1) << "nobody tried " << late << " for 20 s";
        close(accept(listener, nullptr, nullptr));
        close(listener);
        unlink(late.c_str());
        EXPECT_EQ(symlink(realSocket.c_str(), late.c_str()), 0) << late;
    });
    setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
    try {
        EngineProcess engine;
        EXPECT_TRUE(engine.running()) << engine.errorOutput();
    } catch (const std::exception& error) {
        ADD_FAILURE() << error.what();
    }
    opens.join();
    setenv("DISPLAY", real.c_str(), 1);
    unlink(late.c_str());
}

}  // namespace
}  // namespace e2e
