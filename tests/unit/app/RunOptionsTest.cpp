// What a program's command line and the screen do to RunOptions, and the stats line's figures.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/KeyScript.h"
#include "app/Run.h"
#include "app/Stats.h"

namespace {

// A command line as main() gets it.
struct CommandLine {
    explicit CommandLine(std::vector<std::string> words) : words(std::move(words)) {
        for (std::string& word : this->words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(words.size()); }
    std::vector<std::string> words;
    std::vector<char*> argv;
};

}  // namespace

TEST(RunOptionsTest, GeometryOnTheCommandLineSaysWhichPartsItGives) {
    const struct {
        std::vector<std::string> words;
        bool size, position;
    } cases[] = {
        {{"engine"}, false, false},
        {{"engine", "-geometry", "300x300+10+20"}, true, true},
        {{"engine", "-geometry", "300x200"}, true, false},
        {{"engine", "-geometry", "-0+5"}, false, true},
        {{"engine", "-display", ":1", "-geometry"}, false, false},  // no value: GLUT ignores it
    };
    for (const auto& c : cases) {
        CommandLine line(c.words);
        const GeometryGiven given = geometryOnCommandLine(line.argc(), line.argv.data());
        SCOPED_TRACE(c.words.back());
        EXPECT_EQ(given.size, c.size);
        EXPECT_EQ(given.position, c.position);
    }
}

TEST(RunOptionsTest, EngineOptionsFillRunOptionsAndBadOnesAreIgnored) {
    CommandLine good({"box-field", "100", "-stats", "-screenshot", "a.png", "-screenshot-after",
                      "40", "-geometry", "300x300", "-press", "d:1-5", "-press", "q:6"});
    RunOptions options("t", good.argc(), good.argv.data());
    EXPECT_TRUE(readEngineOptions(options));
    EXPECT_TRUE(options.showStats);
    EXPECT_EQ(options.screenshotPath, "a.png");
    EXPECT_EQ(options.screenshotAfterFrames, 40);
    EXPECT_EQ(options.pressKeys, (std::vector<std::string>{"d:1-5", "q:6"}));

    for (const auto& words :
         std::vector<std::vector<std::string>>{{"engine", "-screenshot-after", "0"},
                                               {"engine", "-screenshot-after", "4x"},
                                               {"engine", "-screenshot"}}) {
        SCOPED_TRACE(words.back());
        CommandLine bad(words);
        RunOptions ignored("t", bad.argc(), bad.argv.data());
        EXPECT_FALSE(readEngineOptions(ignored));
        EXPECT_EQ(ignored.screenshotAfterFrames, 0);
        EXPECT_EQ(ignored.screenshotPath, "");
    }
}

TEST(RunOptionsTest, KeysToPressReadAsOneStepOrAStretch) {
    const struct {
        const char* text;
        bool read;
        unsigned char key;
        long first, last;
    } cases[] = {
        {"1:5", true, '1', 5, 5},       {"space:15-30", true, ' ', 15, 30},
        {"a:23-24", true, 'a', 23, 24}, {"a:0", false, 0, 0, 0},
        {"a:9-8", false, 0, 0, 0},      {"ab:3", false, 0, 0, 0},
        {"a:3-", false, 0, 0, 0},       {"a", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ScriptedKey key;
        ASSERT_EQ(parseScriptedKey(c.text, key), c.read);
        if (c.read) {
            EXPECT_EQ(key.key, c.key);
            EXPECT_EQ(key.first, c.first);
            EXPECT_EQ(key.last, c.last);
        }
    }
}

TEST(RunOptionsTest, TheWindowIsMovedOnlyAsFarAsTheScreenNeeds) {
    const struct {
        int x, y, width, height, screenWidth, screenHeight, wantX, wantY;
    } cases[] = {
        {500, 500, 500, 500, 1280, 1024, 500, 500},  // fits
        {500, 500, 500, 500, 1024, 768, 500, 268},   // the small screen
        {500, 500, 800, 600, 640, 480, 0, 0},        // larger than the screen
        {-20, 10, 100, 100, 640, 480, 0, 10},        // off the left edge
    };
    for (const auto& c : cases) {
        int x = c.x;
        int y = c.y;
        keepOnScreen(x, y, c.width, c.height, c.screenWidth, c.screenHeight);
        EXPECT_EQ(x, c.wantX) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(y, c.wantY) << c.screenWidth << "x" << c.screenHeight;
    }
}

TEST(RunOptionsTest, StatsLineGivesRatesAndMeansOverTheStretch) {
    LoopTimes from;
    from.steps = 100;
    from.frames = 50;
    from.stepSeconds = 1.0;
    from.frameSeconds = 2.0;
    LoopTimes to = from;
    to.steps += 59;
    to.frames += 20;
    to.stepSeconds += 0.059;
    to.frameSeconds += 0.5;
    to.droppedSteps = 3;
    EXPECT_EQ(statsText(from, to, 1.0, 1001),
              "20 fps   59 steps/s   step 1.00 ms   frame 25.00 ms   1001 objects   3 dropped");
    // Nothing happened yet: no division by zero.
    EXPECT_EQ(statsText(from, from, 0.0, 0),
              "0 fps   0 steps/s   step 0.00 ms   frame 0.00 ms   0 objects   0 dropped");
}
