// The end-to-end tests fail on whatever a sanitizer build of the engine reports: every leak
// (the engine checks while the GL driver is loaded, so the driver's are suppressed by name)
// and every error, each kept apart with its own stack.

#include <gtest/gtest.h>

#include "support/e2e/SanitizerReport.h"

namespace e2e {
namespace {

TEST(SanitizerFaultsTest, EveryLeakAndErrorCountsEachWithItsOwnStack) {
    EXPECT_TRUE(sanitizerFaults("").empty());
    EXPECT_TRUE(sanitizerFaults("freeglut: some warning\nengine: a message\n").empty());

    const std::string leaks =
        "=================================================================\n"
        "==42==ERROR: LeakSanitizer: detected memory leaks\n"
        "\n"
        "Direct leak of 48 byte(s) in 1 object(s) allocated from:\n"
        "    #0 0x7fa4be8b9628 in operator new(unsigned long) asan_new_delete.cpp:95\n"
        "    #1 0x5567287aceec in Scene::add() /src/core/Scene.cpp:31\n"
        "\n"
        "Direct leak of 8 byte(s) in 1 object(s) allocated from:\n"
        "    #0 0x7f5686cb83b7 in __interceptor_calloc asan_malloc_linux.cpp:77\n"
        "    #1 0x7f56822cf361  (<unknown module>)\n"
        "Indirect leak of 16 byte(s) in 1 object(s) allocated from:\n"
        "    #0 0x7f5686cb83b7 in __interceptor_malloc asan_malloc_linux.cpp:69\n"
        "    #1 0x7f5681cbfed5  (/lib/x86_64-linux-gnu/libX11.so.6+0x3fed5)\n"
        "\n"
        "SUMMARY: AddressSanitizer: 72 byte(s) leaked in 3 allocation(s).\n";
    const auto found = sanitizerFaults(leaks);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_NE(found[0].find("Scene::add()"), std::string::npos) << found[0];
    EXPECT_EQ(found[0].find("leak of 8 byte"), std::string::npos) << "blocks run together";
    EXPECT_NE(found[1].find("<unknown module>"), std::string::npos) << found[1];
    EXPECT_EQ(found[1].find("libX11"), std::string::npos) << "blocks run together";
    EXPECT_NE(found[2].find("libX11"), std::string::npos) << found[2];

    const auto errors = sanitizerFaults(
        "==7==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x602000000014\n"
        "core/Mesh.cpp:12:9: runtime error: signed integer overflow\n");
    EXPECT_EQ(errors.size(), 2u);
}

}  // namespace
}  // namespace e2e
