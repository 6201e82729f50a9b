// libFuzzer target: reads its input as key presses, releases and steps, and drives the demo
// scene with them, without a window. Any crash, sanitizer report, non-finite coordinate or
// key left down after every key is released ends the run with the input that caused it.
//
// The input, byte by byte (k is the byte):
//   k % 4 == 0: press the key whose code is the next byte
//   k % 4 == 1: release the key whose code is the next byte
//   k % 4 == 2: step the world 2 to the power k / 4 % 8 times (1 to 128: long holds are
//               cheap to express)
//   k % 4 == 3: release every code 0 to 255, then check that no key is down
//
// At most MAX_STEPS steps are taken per input. Build and run (clang only):
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DENGINE_FUZZ=ON
//   cmake --build build-fuzz --target engine_fuzz
//   build-fuzz/tests/fuzz/engine_fuzz -max_total_time=60 NEW_CORPUS_DIR tests/fuzz/corpus

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/DemoScene.h"
#include "core/World.h"
#include "input/Keyboard.h"
#include "unit/support/KeyModel.h"
#include "unit/support/SceneProbe.h"

namespace {

constexpr std::size_t DEMO_OBJECTS = 7;
// About 25 seconds of play per input: long enough to hold a key past any limit, short enough
// to try dozens of inputs a second.
constexpr int MAX_STEPS = 1500;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "engine_fuzz: %s\n", what.c_str());
    std::abort();
}

std::array<bool, KEY_SLOT_COUNT> slots(const Keyboard& keyboard) {
    std::array<bool, KEY_SLOT_COUNT> down{};
    for (int s = 0; s < KEY_SLOT_COUNT; ++s) {
        down[static_cast<std::size_t>(s)] = keyboard.isKeyDown(s);
    }
    return down;
}

// A key event reaches the slot the model gives it, if any, and no other.
void checkKeyEvent(const std::array<bool, KEY_SLOT_COUNT>& before, const Keyboard& keyboard,
                   bool press, unsigned char code) {
    std::array<bool, KEY_SLOT_COUNT> expected = before;
    const int slot = press ? keymodel::pressSlot(code) : keymodel::releaseSlot(code);
    if (slot >= 0) {
        expected[static_cast<std::size_t>(slot)] = press;
    }
    const std::array<bool, KEY_SLOT_COUNT> after = slots(keyboard);
    for (std::size_t s = 0; s < after.size(); ++s) {
        if (after[s] != expected[s]) {
            fail(std::string(press ? "a press" : "a release") + " of code " + std::to_string(code) +
                 " left slot " + std::to_string(s) + (after[s] ? " down" : " up"));
        }
    }
}

void releaseEverything(Keyboard& keyboard) {
    for (int code = 0; code < 256; ++code) {
        keyboard.keyUp(static_cast<unsigned char>(code), 0, 0);
    }
    for (int s = 0; s < KEY_SLOT_COUNT; ++s) {
        if (keyboard.isKeyDown(s)) {
            fail("slot " + std::to_string(s) + " stayed down after every code was released");
        }
    }
}

void step(World& world) {
    world.update(17);
    if (world.objects.size() != DEMO_OBJECTS) {
        fail("the world holds " + std::to_string(world.objects.size()) + " objects");
    }
    const std::string bad = sceneprobe::firstNonFinite(world);
    if (!bad.empty()) {
        fail("non-finite coordinate at " + bad);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    buildScene();
    World& world = *World::getInstance();
    Keyboard& keyboard = *Keyboard::getInstance();
    int steps = 0;
    for (std::size_t i = 0; i < size && steps < MAX_STEPS; ++i) {
        const std::uint8_t k = data[i];
        switch (k % 4) {
            case 0:
            case 1: {
                if (i + 1 >= size) {
                    break;
                }
                const unsigned char code = data[++i];
                const bool press = k % 4 == 0;
                const auto before = slots(keyboard);
                if (press) {
                    keyboard.keyDown(code, k, -k);
                } else {
                    keyboard.keyUp(code, -k, k);
                }
                checkKeyEvent(before, keyboard, press, code);
                break;
            }
            case 2:
                for (int n = 1 << (k / 4 % 8); n > 0; --n, ++steps) {
                    step(world);
                }
                break;
            default:
                releaseEverything(keyboard);
                step(world);
                ++steps;
                break;
        }
    }
    releaseEverything(keyboard);
    World::destroyInstance();
    Keyboard::destroyInstance();
    return 0;
}
