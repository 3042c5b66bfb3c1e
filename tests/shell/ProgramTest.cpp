#include "shell/GameModules.hpp"
#include "shell/Program.hpp"
#include "tests/shell/ProgramProbe.hpp"
#include "tests/shell/StubModule.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using vrk::testing::StubModule;

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Closing the window saves ./data.vrk: keep that out of the run directory.
        previous = std::filesystem::current_path();
        directory = std::filesystem::temp_directory_path() / ("velmora-program-" + std::to_string(::getpid()));
        std::filesystem::create_directories(directory);
        std::filesystem::current_path(directory);
        ASSERT_TRUE(program.scene().create(64, 36));
        // As the game registers them: the credits over the title, the game only pushed.
        auto first = std::make_unique<StubModule>(program, &log, "credit");
        auto second = std::make_unique<StubModule>(program, &log, "title");
        auto third = std::make_unique<StubModule>(program, &log, "ingame");
        credit = first.get();
        title = second.get();
        ingame = third.get();
        ASSERT_EQ(program.registerModule("credit", std::move(first)), vrk::CreditState);
        ASSERT_EQ(program.registerModule("title", std::move(second)), vrk::TitleState);
        ASSERT_EQ(program.registerModule("ingame", std::move(third), false), vrk::IngameState);
        ASSERT_EQ(program.quitState(), vrk::QuitState);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(directory);
    }
    std::vector<int> stack()
    {
        std::vector<int> items;
        auto copy = vrk::testing::ProgramProbe::stateStack(program);
        for (; !copy.empty(); copy.pop())
            items.insert(items.begin(), copy.top());
        return items;
    }

    std::filesystem::path previous, directory;
    vrk::Program program;
    std::vector<std::string> log;
    StubModule* credit = nullptr;
    StubModule* title = nullptr;
    StubModule* ingame = nullptr;
};

std::map<std::string, std::string> parse(std::vector<const char*> arguments)
{
    vrk::Program program;
    arguments.insert(arguments.begin(), "velmora");
    program.parseArguments(static_cast<int>(arguments.size()), arguments.data());
    return program.options();
}

} // namespace

TEST(ProgramOptions, DefaultsAndDashedPairs)
{
    auto options = parse({});
    EXPECT_EQ(options["StartState"], "credit");
    EXPECT_EQ(options["Sound"], "True");

    EXPECT_EQ(parse({"--Sound=False"})["Sound"], "False");
    EXPECT_EQ(parse({"--Sound"})["Sound"], "True");
    EXPECT_EQ(parse({"Sound=False"})["Sound"], "True");
    EXPECT_EQ(parse({"--=x"})[""], "x");
    EXPECT_EQ(parse({"--Level="})["Level"], "");
    EXPECT_EQ(parse({"--Sound=False", "--Sound=True"})["Sound"], "True");
    EXPECT_EQ(parse({"--sound=False"})["Sound"], "True") << "keys are case-sensitive";
    EXPECT_EQ(parse({"--A=b=c"})["A"], "b=c");
}

TEST(ProgramOptions, WindowSize)
{
    unsigned w = 1, h = 1;
    EXPECT_TRUE(vrk::Program::parseWindowSize("1280x720", w, h));
    EXPECT_EQ(w, 1280u);
    EXPECT_EQ(h, 720u);
    for (const char* bad :
         {"", "1280", "x720", "1280x", "0x720", "1280x0", "12a0x720", "1280x720x1", "-1280x720", "999999x720"}) {
        EXPECT_FALSE(vrk::Program::parseWindowSize(bad, w, h)) << bad;
        EXPECT_EQ(w, 0u);
    }
}

// Passes of the loop, each given its elapsed time: the steps due run back to back (told the time
// still due after them) and one frame is drawn; a short pass does nothing; a stall counts at most
// a quarter of a second.
TEST(ProgramLoop, PassesRunTheStepsDueAndDrawOnce)
{
    const int step = 1000000 / vrk::StepsPerSecond;
    const struct {
        std::vector<sf::Int64> passes; // microseconds each
        std::vector<int> updates;
        int draws;
        sf::Int64 lag;
    } cases[] = {
        {{100000}, {2 * step, step, 0}, 1, 100000 - 3 * step},
        {{step - 1}, {}, 0, step - 1},
        {{step - 1, 1}, {0}, 1, 0},
        {{2000000}, {6 * step, 5 * step, 4 * step, 3 * step, 2 * step, step, 0}, 1,
         vrk::MaxLagPerPassMicroseconds - 7 * step},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.passes.front());
        vrk::Program program;
        ASSERT_TRUE(program.scene().create(64, 36));
        auto module = std::make_unique<StubModule>(program);
        StubModule& stub = *module;
        program.registerModule("credit", std::move(module));
        ASSERT_TRUE(program.startModules());
        for (sf::Int64 pass : row.passes)
            EXPECT_TRUE(program.runPass(sf::microseconds(pass)));
        EXPECT_EQ(stub.updates, row.updates);
        EXPECT_EQ(stub.draws, row.draws);
        EXPECT_EQ(vrk::testing::ProgramProbe::lag(program), sf::microseconds(row.lag));
    }
}

TEST_F(ProgramTest, ModulePoppingItselfHandsTheRestOfTheBatchOn)
{
    ASSERT_TRUE(program.startModules());
    credit->popOnUpdate = 1;
    EXPECT_TRUE(program.runPass(sf::milliseconds(100)));
    EXPECT_EQ(credit->updates, (std::vector<int>{66666}));
    EXPECT_EQ(credit->draws, 0);
    EXPECT_EQ(title->updates, (std::vector<int>{33333, 0}));
    EXPECT_EQ(title->draws, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"credit.load", "title.load", "ingame.load", "credit.start", "credit.stop",
                                             "title.start"}));
}

TEST_F(ProgramTest, LastModulePoppingEndsTheLoopWithoutDrawing)
{
    program.setOption("StartState", "title");
    ASSERT_TRUE(program.startModules());
    title->popOnUpdate = 2;
    EXPECT_FALSE(program.runPass(sf::milliseconds(100)));
    EXPECT_EQ(title->updates, (std::vector<int>{66666, 33333}));
    EXPECT_EQ(title->draws, 0);
    EXPECT_EQ(program.top(), vrk::QuitState);
}

// A stacked module is reached by dropping those above it; one only pushed takes the opening
// module's place, so that leaving it shows the title as in a full run.
TEST_F(ProgramTest, StartStateChoosesTheFirstModuleAndWhatLiesBelowIt)
{
    const struct {
        const char* start;
        std::vector<int> stack;
        const char* started;
    } cases[] = {
        {"credit", {vrk::QuitState, vrk::TitleState, vrk::CreditState}, "credit.start"},
        {"title", {vrk::QuitState, vrk::TitleState}, "title.start"},
        {"ingame", {vrk::QuitState, vrk::TitleState, vrk::IngameState}, "ingame.start"},
        {"menu", {vrk::QuitState, vrk::TitleState, vrk::CreditState}, "credit.start"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.start);
        vrk::Program fresh;
        std::vector<std::string> events;
        fresh.registerModule("credit", std::make_unique<StubModule>(fresh, &events, "credit"));
        fresh.registerModule("title", std::make_unique<StubModule>(fresh, &events, "title"));
        fresh.registerModule("ingame", std::make_unique<StubModule>(fresh, &events, "ingame"), false);
        fresh.setOption("StartState", row.start);
        ASSERT_TRUE(fresh.startModules());
        std::vector<int> items;
        for (auto copy = vrk::testing::ProgramProbe::stateStack(fresh); !copy.empty(); copy.pop())
            items.insert(items.begin(), copy.top());
        EXPECT_EQ(items, row.stack);
        EXPECT_EQ(events.back(), row.started);
        // Leaving the first module shows the title.
        fresh.popState(true);
        EXPECT_EQ(fresh.top(), row.stack.size() == 2 ? vrk::QuitState : vrk::TitleState);
    }
}

// The whole walk: credits, title, play, back to the title, the credits again, back, quit.
TEST_F(ProgramTest, PushedModulesGiveTheirPlaceBackWhenTheyPop)
{
    ASSERT_TRUE(program.startModules());
    log.clear();
    program.popState(true);
    program.pushState(vrk::IngameState);
    EXPECT_EQ(stack(), (std::vector<int>{vrk::QuitState, vrk::TitleState, vrk::IngameState}));
    program.popState(true);
    program.pushState(vrk::CreditState);
    program.popState(true);
    EXPECT_EQ(stack(), (std::vector<int>{vrk::QuitState, vrk::TitleState}));
    program.pushState(vrk::QuitState + 1); // no such module: nothing happens
    program.popState(false);
    EXPECT_EQ(program.top(), vrk::QuitState);
    EXPECT_EQ(log, (std::vector<std::string>{"credit.stop", "title.start", "title.stop", "ingame.start", "ingame.stop",
                                             "title.start", "title.stop", "credit.start", "credit.stop", "title.start",
                                             "title.stop"}));
}

TEST_F(ProgramTest, AModuleThatCannotStartEndsTheRunWhateverLiesBelow)
{
    ingame->startResult = false;
    program.setOption("StartState", "ingame");
    ASSERT_TRUE(program.startModules());
    EXPECT_FALSE(program.runPass(sf::milliseconds(100)));
    EXPECT_EQ(program.exitStatus(), 1);
    EXPECT_EQ(title->updates.size(), 0u) << "the title below was never started";
    EXPECT_EQ(title->draws, 0);
}

TEST_F(ProgramTest, FailedModuleLoadStopsStartUp)
{
    ingame->loadResult = false;
    EXPECT_FALSE(program.startModules());
    EXPECT_EQ(log, (std::vector<std::string>{"credit.load", "title.load", "ingame.load"}));
}

TEST_F(ProgramTest, ClosingStopsEveryStackedModuleAndSaves)
{
    ASSERT_TRUE(program.startModules());
    sf::Event closed;
    closed.type = sf::Event::Closed;
    EXPECT_FALSE(program.dispatchEvent(closed));
    EXPECT_EQ(program.top(), vrk::QuitState);
    EXPECT_EQ(log, (std::vector<std::string>{"credit.load", "title.load", "ingame.load", "credit.start", "credit.stop",
                                             "title.stop"}));
    EXPECT_TRUE(std::filesystem::exists("data.vrk"));
}

TEST_F(ProgramTest, LeavingThroughTheModulesSavesAUserDataFileThatLoads)
{
    ASSERT_TRUE(program.startModules());
    credit->popOnUpdate = 1;
    title->popOnUpdate = 1; // as Escape does
    for (int pass = 0; pass < 4 && program.top() != program.quitState(); ++pass)
        program.runPass(vrk::testing::ProgramProbe::frameTime(program));
    ASSERT_EQ(program.top(), program.quitState());
    program.finishRun();
    ASSERT_TRUE(std::filesystem::exists("data.vrk"));
    vrk::Program next;
    EXPECT_TRUE(next.loadUserData());
}

TEST_F(ProgramTest, ARunThatFailedWritesNoUserData)
{
    ASSERT_TRUE(program.startModules());
    vrk::testing::ProgramProbe::exitStatus(program) = 1; // what a module that could not start sets
    program.finishRun();
    EXPECT_FALSE(std::filesystem::exists("data.vrk"));
}

TEST(ProgramLetterbox, AWindowOfAnotherShapeShowsTheWholeSceneCentredBetweenBars)
{
    double scale = 0.0;
    sf::Vector2f offset;
    vrk::Program::letterbox({1024, 768}, {1920, 1080}, scale, offset);
    EXPECT_DOUBLE_EQ(scale, 1024.0 / 1920.0);
    EXPECT_EQ(offset, sf::Vector2f(0.f, 96.f)); // 576 high: bars of 96 above and below
    vrk::Program::letterbox({2560, 1080}, {1920, 1080}, scale, offset);
    EXPECT_DOUBLE_EQ(scale, 1.0);
    EXPECT_EQ(offset, sf::Vector2f(320.f, 0.f));
    vrk::Program::letterbox({1280, 720}, {1920, 1080}, scale, offset);
    EXPECT_EQ(offset, sf::Vector2f(0.f, 0.f));
}

TEST_F(ProgramTest, MousePositionsGoThroughTheLetterbox)
{
    ASSERT_TRUE(program.startModules());
    vrk::Program::letterbox({1024, 768}, {1920, 1080}, vrk::testing::ProgramProbe::scaleX(program), vrk::testing::ProgramProbe::offset(program));
    vrk::testing::ProgramProbe::scaleY(program) = vrk::testing::ProgramProbe::scaleX(program);
    sf::Event click;
    click.type = sf::Event::MouseButtonPressed;
    click.mouseButton.button = sf::Mouse::Left;
    click.mouseButton.x = 512;
    click.mouseButton.y = 96 + 288; // the middle of the picture
    EXPECT_TRUE(program.dispatchEvent(click));
    ASSERT_EQ(credit->clicks.size(), 1u);
    EXPECT_EQ(credit->clicks[0], sf::Vector2i(960, 540));
    sf::Event move;
    move.type = sf::Event::MouseMoved;
    move.mouseMove.x = 0;
    move.mouseMove.y = 96; // the picture's top-left corner
    program.dispatchEvent(move);
    EXPECT_EQ(program.pointer(), sf::Vector2f(0.f, 0.f));
}

TEST_F(ProgramTest, EventsReachTheModuleInSceneCoordinates)
{
    ASSERT_TRUE(program.startModules());
    vrk::testing::ProgramProbe::scaleX(program) = 1280.0 / 1920.0;
    vrk::testing::ProgramProbe::scaleY(program) = 720.0 / 1080.0;

    sf::Event click;
    click.type = sf::Event::MouseButtonPressed;
    click.mouseButton.button = sf::Mouse::Left;
    click.mouseButton.x = 640;
    click.mouseButton.y = 719;
    EXPECT_TRUE(program.dispatchEvent(click));
    ASSERT_EQ(credit->clicks.size(), 1u);
    EXPECT_EQ(credit->clicks[0], sf::Vector2i(960, 1078));
    EXPECT_EQ(program.pointer(), sf::Vector2f(960.f, 1078.f));

    sf::Event key;
    key.type = sf::Event::KeyPressed;
    key.key.code = sf::Keyboard::W;
    program.dispatchEvent(key);
    EXPECT_TRUE(vrk::testing::ProgramProbe::keyDown(program)[sf::Keyboard::W]);
    key.type = sf::Event::KeyReleased;
    program.dispatchEvent(key);
    EXPECT_FALSE(vrk::testing::ProgramProbe::keyDown(program)[sf::Keyboard::W]);
    key.type = sf::Event::KeyPressed;
    key.key.code = sf::Keyboard::Unknown;
    EXPECT_TRUE(program.dispatchEvent(key)) << "an unknown key is ignored, not indexed";

    credit->popOnEvent = true;
    EXPECT_TRUE(program.dispatchEvent(key));
    EXPECT_EQ(program.top(), vrk::TitleState);
    title->popOnEvent = true;
    EXPECT_FALSE(program.dispatchEvent(key)) << "the loop ends as soon as the sentinel shows";
}
