// Every key code a keyboard can send, pressed and released in random orders while the demo
// runs: the key table must follow exactly, nothing else may react, and nothing stays stuck.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "app/DemoScene.h"
#include "core/World.h"
#include "input/Keyboard.h"
#include "support/world/WorldFixture.h"
#include "unit/support/KeyModel.h"
#include "unit/support/SceneProbe.h"

namespace {

struct Event {
    enum Kind { PRESS, RELEASE, STEP } kind;
    unsigned char code;
};

// One press and one release of every code 0 to 255, the release always after its press,
// shuffled together; a key with a shifted form is released in that form half of the time, some
// keys auto-repeat, and the world steps between events.
std::vector<Event> abuse(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<Event> order;
    for (int code = 0; code < 256; ++code) {
        const auto key = static_cast<unsigned char>(code);
        order.push_back({Event::PRESS, key});
        order.push_back({Event::RELEASE, key});
    }
    std::shuffle(order.begin(), order.end(), random);
    // Swapping each release behind its press keeps the shuffle otherwise intact.
    std::array<bool, 256> pressed{};
    for (Event& event : order) {
        if (event.kind == Event::RELEASE && !pressed[event.code]) {
            event.kind = Event::PRESS;
        } else if (event.kind == Event::PRESS && pressed[event.code]) {
            event.kind = Event::RELEASE;
        }
        pressed[event.code] = pressed[event.code] || event.kind == Event::PRESS;
    }
    std::vector<Event> events;
    for (Event event : order) {
        const char shifted = keymodel::shifted(static_cast<char>(event.code));
        if (event.kind == Event::RELEASE && shifted != '\0' && random() % 2 == 0) {
            event.code = static_cast<unsigned char>(shifted);
        }
        const int repeats = event.kind == Event::PRESS && random() % 8 == 0 ? 3 : 1;
        for (int i = 0; i < repeats; ++i) {
            events.push_back(event);
        }
        for (std::uint32_t steps = random() % 4; steps > 0; --steps) {
            events.push_back({Event::STEP, 0});
        }
    }
    return events;
}

class KeyboardAbuseTest : public WorldFixture {
  protected:
    void SetUp() override { addDemoScene(); }
    // Runs the events on a fresh demo and returns the world's state after every step.
    // Only events that reach a slot are sent when `slotsOnly` is set.
    std::vector<std::vector<float>> run(const std::vector<Event>& events, bool slotsOnly) {
        restart();
        addDemoScene();
        Keyboard& keyboard = *Keyboard::getInstance();
        std::array<bool, KEY_SLOT_COUNT> model{};
        std::vector<std::vector<float>> states;
        for (const Event& event : events) {
            if (event.kind == Event::STEP) {
                step();
                states.push_back(sceneprobe::snapshot(*world));
                EXPECT_EQ(sceneprobe::firstNonFinite(*world), "") << "step " << states.size();
                continue;
            }
            const bool press = event.kind == Event::PRESS;
            const int slot =
                press ? keymodel::pressSlot(event.code) : keymodel::releaseSlot(event.code);
            if (slotsOnly && slot < 0) {
                continue;
            }
            if (press) {
                keyboard.keyDown(event.code, 1000 - event.code, -event.code);
            } else {
                keyboard.keyUp(event.code, -1, 1 << 20);
            }
            if (slot >= 0) {
                model[static_cast<size_t>(slot)] = press;
            }
            for (int s = 0; s < KEY_SLOT_COUNT; ++s) {
                if (keyboard.isKeyDown(s) != model[static_cast<size_t>(s)]) {
                    ADD_FAILURE() << (press ? "press" : "release") << " of code " << int{event.code}
                                  << " left slot " << s << " wrong";
                    return states;
                }
            }
        }
        for (int s = 0; s < KEY_SLOT_COUNT; ++s) {
            EXPECT_FALSE(keyboard.isKeyDown(s)) << "slot " << s << " stuck after every release";
        }
        return states;
    }
};

}  // namespace

TEST_F(KeyboardAbuseTest, EveryCodeInRandomOrderOnlyEverMovesItsOwnSlot) {
    for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::vector<Event> events = abuse(seed);
        const auto everything = run(events, false);
        // Codes without a slot must not reach the scene: replaying only the others gives the
        // same world, bit for bit, after every step.
        const auto slotted = run(events, true);
        ASSERT_EQ(everything.size(), slotted.size());
        for (size_t i = 0; i < everything.size(); ++i) {
            ASSERT_TRUE(sceneprobe::identical(everything[i], slotted[i])) << "after step " << i;
        }
        if (HasFailure()) {
            return;
        }
    }
}

TEST_F(KeyboardAbuseTest, KeysLetGoInShiftedFormNeverStayDown) {
    Keyboard& keyboard = *Keyboard::getInstance();
    int keys = 0;
    for (int code = 0; code < 256; ++code) {
        const char key = static_cast<char>(code);
        const auto shifted = static_cast<unsigned char>(keymodel::shifted(key));
        if (shifted == 0) {
            continue;
        }
        ++keys;
        const int slot = keymodel::pressSlot(static_cast<unsigned char>(key));
        keyboard.keyDown(static_cast<unsigned char>(key), 0, 0);
        step();
        keyboard.keyDown(shifted, 0, 0);  // auto-repeat, with Shift now held
        EXPECT_TRUE(keyboard.isKeyDown(slot)) << key;
        keyboard.keyUp(shifted, 0, 0);
        EXPECT_FALSE(keyboard.isKeyDown(slot)) << key << " let go as " << shifted;
    }
    EXPECT_EQ(keys, 26 + 10 + 6);
    // Those releases reach no other slot.
    for (char key : std::string("qwe123 ")) {
        keyboard.keyDown(static_cast<unsigned char>(key), 0, 0);
    }
    for (char symbol : std::string("`~[]{}|\\\"'")) {
        keyboard.keyUp(static_cast<unsigned char>(symbol), 0, 0);
    }
    int down = 0;
    for (int s = 0; s < KEY_SLOT_COUNT; ++s) {
        down += keyboard.isKeyDown(s) ? 1 : 0;
    }
    EXPECT_EQ(down, 7);
}
