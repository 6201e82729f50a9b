// The sanitizer build of the engine only passes the end-to-end tests if its leak reports are
// sorted correctly: Mesa's leftovers let through, anything from the engine caught.

#include <gtest/gtest.h>

#include "support/e2e/SanitizerReport.h"

namespace e2e {
namespace {

TEST(SanitizerFaultsTest, LetsUnloadedDriverLeaksThroughAndCatchesEverythingElse) {
    const std::string driverOnly =
        "=================================================================\n"
        "==42==ERROR: LeakSanitizer: detected memory leaks\n"
        "\n"
        "Direct leak of 496 byte(s) in 1 object(s) allocated from:\n"
        "    #0 0x7f5686cb83b7 in __interceptor_calloc asan_malloc_linux.cpp:77\n"
        "    #1 0x7f56822cf361  (<unknown module>)\n"
        "\n"
        "Indirect leak of 1024000 byte(s) in 1 object(s) allocated from:\n"
        "    #0 0x7f5686cb7ffd in __interceptor_posix_memalign asan_malloc_linux.cpp:145\n"
        "    #1 0x7f56822ceee4  (<unknown module>)\n"
        "    #2 0x7f56822ceee4  (<unknown module>)\n"
        "\n"
        "Indirect leak of 56 byte(s) in 1 object(s) allocated from:\n"
        "    #0 0x7feb1e6b83b7 in __interceptor_calloc asan_malloc_linux.cpp:77\n"
        "    #1 0x7feb1a18ec8f  (/usr/lib/x86_64-linux-gnu/libubsan.so.1.0.0+0x162c8f)\n"
        "\n"
        "SUMMARY: AddressSanitizer: 1024552 byte(s) leaked in 3 allocation(s).\n";
    EXPECT_TRUE(sanitizerFaults(driverOnly).empty());
    EXPECT_TRUE(sanitizerFaults("").empty());
    EXPECT_TRUE(sanitizerFaults("freeglut: some warning\n").empty());

    const std::string engineLeak =
        "==42==ERROR: LeakSanitizer: detected memory leaks\n"
        "\n"
        "Direct leak of 48 byte(s) in 1 object(s) allocated from:\n"
        "    #0 0x7fa4be8b9628 in operator new(unsigned long) asan_new_delete.cpp:95\n"
        "    #1 0x5567287aceec in Scene::add() /src/core/Scene.cpp:31\n"
        "    #2 0x7f56822ceee4  (<unknown module>)\n"
        "\n"
        "Direct leak of 8 byte(s) in 1 object(s) allocated from:\n"
        "    #0 0x7f5686cb83b7 in __interceptor_calloc asan_malloc_linux.cpp:77\n"
        "    #1 0x7f56822cf361  (<unknown module>)\n"
        "\n"
        "Indirect leak of 16 byte(s) in 1 object(s) allocated from:\n"
        "    #0 0x7f5686cb83b7 in __interceptor_malloc asan_malloc_linux.cpp:69\n"
        "    #1 0x7f5681cbfed5  (/lib/x86_64-linux-gnu/libX11.so.6+0x3fed5)\n";
    const auto leaks = sanitizerFaults(engineLeak);
    ASSERT_EQ(leaks.size(), 2u);
    EXPECT_NE(leaks[0].find("Scene::add()"), std::string::npos) << leaks[0];
    EXPECT_EQ(leaks[0].find("leak of 8 byte"), std::string::npos) << "blocks run together";
    EXPECT_NE(leaks[1].find("libX11"), std::string::npos) << leaks[1];

    const auto errors = sanitizerFaults(
        "==7==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x602000000014\n"
        "core/Mesh.cpp:12:9: runtime error: signed integer overflow\n");
    EXPECT_EQ(errors.size(), 2u);
}

}  // namespace
}  // namespace e2e
