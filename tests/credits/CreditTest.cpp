#include "credits/Credit.hpp"
#include "shell/GameModules.hpp"
#include "shell/Program.hpp"
#include "tests/shell/ProgramProbe.hpp"
#include "tests/shell/StubModule.hpp"

#include <SFML/Audio/OutputSoundFile.hpp>
#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

// Stands in for the title, which follows the credits: counts how often it is started.
using NextModule = vrk::testing::StubModule;

const sf::Color BunnyColour(200, 40, 40);
const sf::Color RopeColour(40, 200, 40);
const sf::Color TitleColour(40, 40, 200);
constexpr unsigned RopeWidth = 8;
constexpr unsigned TitleWidth = 600;
constexpr unsigned TitleHeight = 100;
constexpr unsigned BunnyWidth = 200;

void saveImage(const std::string& path, unsigned width, unsigned height, sf::Color colour)
{
    sf::Image image;
    image.create(width, height, colour);
    ASSERT_TRUE(image.saveToFile(path)) << path;
}

// One step of the timeline as the tests compare it.
using Snapshot = std::tuple<int, int, int, int>;

// The steps from start to the hand-over with a bunny 150 high: wait, fall, rise, hold, leave, end.
constexpr std::size_t StepsToTheEnd = 50 + 39 + 120 + 50 + 9 + 1;

class CreditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 0);
        char pattern[] = "/tmp/velmora_credit_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_EQ(mkdir((dir + "/res").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((dir + "/res/credit").c_str(), 0755), 0);
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        writeImages(150);

        ASSERT_TRUE(program.scene().create(vrk::SceneWidth, vrk::SceneHeight));
        auto first = std::make_unique<vrk::Credit>(program);
        auto second = std::make_unique<NextModule>(program);
        credit = first.get();
        next = second.get();
        program.registerModule("credit", std::move(first));
        program.registerModule("title", std::move(second));
        vrk::testing::ProgramProbe::stateStack(program).push(vrk::QuitState);
        vrk::testing::ProgramProbe::stateStack(program).push(vrk::TitleState);
        vrk::testing::ProgramProbe::stateStack(program).push(vrk::CreditState);
        program.setCursor(0);
        vrk::overlayColor = sf::Color(0, 0, 0, 128);
    }

    void TearDown() override
    {
        if (previous[0] != '\0') {
            EXPECT_EQ(chdir(previous), 0);
        }
        if (!dir.empty())
            std::system(("rm -rf '" + dir + "'").c_str());
    }

    void writeImages(unsigned bunnyHeight)
    {
        saveImage("res/credit/bunny.png", BunnyWidth, bunnyHeight, BunnyColour);
        saveImage("res/credit/rope.png", RopeWidth, 4, RopeColour);
        saveImage("res/credit/title.png", TitleWidth, TitleHeight, TitleColour);
    }

    void writeJingle()
    {
        sf::OutputSoundFile file;
        ASSERT_TRUE(file.openFromFile("res/credit/jingle.ogg", 22050, 1));
        std::vector<sf::Int16> samples(22050 * 2);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<sf::Int16>(8000 * std::sin(i * 0.05));
        file.write(samples.data(), samples.size());
    }

    // Steps until the phase changes; the number of steps it took.
    int stepsInPhase()
    {
        const int phase = credit->phase;
        int steps = 0;
        while (credit->phase == phase && program.top() == vrk::CreditState && steps < 10000) {
            credit->update(0);
            ++steps;
        }
        return steps;
    }

    // The scene as the credits draw it over black.
    sf::Image drawn()
    {
        program.scene().clear(sf::Color::Black);
        credit->draw();
        program.scene().display();
        return program.scene().getTexture().copyToImage();
    }

    // Every step from start to the hand-over.
    std::vector<Snapshot> runToEnd()
    {
        std::vector<Snapshot> trace;
        while (program.top() == vrk::CreditState && trace.size() < 10000) {
            trace.emplace_back(credit->phase, credit->bunnyY, credit->titleY, credit->counter);
            credit->update(0);
        }
        return trace;
    }

    vrk::Program program;
    vrk::Credit* credit = nullptr;
    NextModule* next = nullptr;
    std::string dir;
    char previous[4096] = {};
};

TEST_F(CreditTest, StartResetsTheTimelineAndHidesTheCursor)
{
    vrk::loadingFrame = 99;
    ASSERT_TRUE(credit->start());
    EXPECT_EQ(credit->phase, vrk::Credit::Wait);
    EXPECT_EQ(credit->bunnyY, -150);
    EXPECT_EQ(credit->titleY, 1080);
    EXPECT_EQ(credit->counter, 50);
    EXPECT_EQ(credit->dropLimit, 1404);
    EXPECT_EQ(credit->riseLimit, 216);
    EXPECT_EQ(program.cursor(), -1);
    EXPECT_EQ(vrk::overlayColor, sf::Color(0, 0, 0, 64));
    // Four loading frames, the first one restarting the dancer.
    EXPECT_EQ(vrk::loadingFrame, 4);
    EXPECT_EQ(credit->textures[vrk::Credit::Title].getSize(), sf::Vector2u(TitleWidth, TitleHeight));
}

TEST_F(CreditTest, PhasesLastAsTheDistancesTake)
{
    // The bunny falls by 40 until past 1404, rises by 10 to the first value not above 216 with the
    // title 1.1 of its height below it, and leaves by 40 until out of sight; the title goes down
    // with it until below the scene.
    struct Case {
        const char* name;
        unsigned bunnyHeight;
        int fallSteps, fallenY;
        int riseSteps, risenTitleY;
        int leaveSteps, leftY, leftTitleY;
    };
    const Case cases[] = {
        // -100 + 40 * 38 = 1420; then down to 210 in 121 steps; then 210 - 8 * 40 = -110.
        {"short", 100, 38, 1420, 121, 320, 8, -110, 320 + 8 * 40},
        // Leaves for 23 steps (210 down to -710); the title, starting at 770 + 210, goes down three
        // times to 1100 and stays there.
        {"tall", 700, 53, 1420, 121, 980, 23, -710, 1100},
        // Falls from -150: 1370 after 38 steps is not past 1404, 1410 after 39 is. Rises from 1410 to
        // 210. Lands exactly on -150.
        {"150 high", 150, 39, 1410, 120, 375, 9, -150, 375 + 9 * 40},
    };
    // The last row, at the size the fixture set up, runs on to the hand-over.
    for (const Case& c : cases) {
        writeImages(c.bunnyHeight);
        ASSERT_TRUE(credit->start()) << c.name;
        EXPECT_EQ(stepsInPhase(), 50) << c.name;

        ASSERT_EQ(credit->phase, vrk::Credit::Fall) << c.name;
        EXPECT_EQ(vrk::overlayColor, sf::Color(0, 0, 0, 64)) << c.name;
        EXPECT_EQ(stepsInPhase(), c.fallSteps) << c.name;
        EXPECT_EQ(credit->bunnyY, c.fallenY) << c.name;
        EXPECT_EQ(vrk::overlayColor, sf::Color(0, 0, 0, 255)) << c.name;

        ASSERT_EQ(credit->phase, vrk::Credit::Rise) << c.name;
        EXPECT_EQ(stepsInPhase(), c.riseSteps) << c.name;
        EXPECT_EQ(credit->bunnyY, 210) << c.name;
        EXPECT_EQ(credit->titleY, c.risenTitleY) << c.name;

        ASSERT_EQ(credit->phase, vrk::Credit::Hold) << c.name;
        EXPECT_EQ(credit->counter, 100) << c.name;
        EXPECT_EQ(stepsInPhase(), 50) << c.name;

        ASSERT_EQ(credit->phase, vrk::Credit::Leave) << c.name;
        EXPECT_EQ(stepsInPhase(), c.leaveSteps) << c.name;
        EXPECT_EQ(credit->bunnyY, c.leftY) << c.name;
        EXPECT_EQ(credit->titleY, c.leftTitleY) << c.name;
        EXPECT_EQ(vrk::overlayColor, sf::Color(255, 255, 255, 32)) << c.name;
        ASSERT_EQ(credit->phase, vrk::Credit::End) << c.name;
    }

    EXPECT_EQ(next->starts, 0);
    credit->update(0);
    EXPECT_EQ(program.top(), vrk::TitleState);
    EXPECT_EQ(next->starts, 1);
    // Stopped on the way out: its images are released.
    EXPECT_EQ(credit->textures[vrk::Credit::Bunny].getSize(), sf::Vector2u(0, 0));
    // The wash stays in force for what follows.
    EXPECT_EQ(vrk::overlayColor, sf::Color(255, 255, 255, 32));
}

TEST_F(CreditTest, AnyKeyOrButtonSkipsAtOnce)
{
    ASSERT_TRUE(credit->start());
    credit->update(0);
    sf::Event event;
    event.type = sf::Event::KeyReleased;
    credit->handleEvent(event);
    event.type = sf::Event::MouseMoved;
    credit->handleEvent(event);
    EXPECT_EQ(program.top(), vrk::CreditState);

    event.type = sf::Event::KeyPressed;
    event.key.code = sf::Keyboard::A;
    credit->handleEvent(event);
    EXPECT_EQ(program.top(), vrk::TitleState);
    EXPECT_EQ(next->starts, 1);

    // A mouse button during the fall does the same.
    vrk::testing::ProgramProbe::stateStack(program).push(vrk::CreditState);
    ASSERT_TRUE(credit->start());
    stepsInPhase();
    ASSERT_EQ(credit->phase, vrk::Credit::Fall);
    event.type = sf::Event::MouseButtonPressed;
    event.mouseButton.button = sf::Mouse::Right;
    credit->handleEvent(event);
    EXPECT_EQ(program.top(), vrk::TitleState);
    EXPECT_EQ(next->starts, 2);
}

TEST_F(CreditTest, TimingIsTheSameWithSoundOff)
{
    writeJingle();
    ASSERT_TRUE(credit->start());
    EXPECT_TRUE(credit->jingleOpened());
    stepsInPhase();
    EXPECT_EQ(credit->jingle.getStatus(), sf::SoundSource::Playing);
    ASSERT_TRUE(credit->start());
    const std::vector<Snapshot> withSound = runToEnd();
    EXPECT_EQ(credit->jingle.getStatus(), sf::SoundSource::Stopped);

    vrk::testing::ProgramProbe::stateStack(program).push(vrk::CreditState);
    program.setOption("Sound", "true");
    ASSERT_TRUE(credit->start());
    EXPECT_FALSE(credit->jingleOpened());
    const std::vector<Snapshot> without = runToEnd();
    EXPECT_EQ(credit->jingle.getStatus(), sf::SoundSource::Stopped);

    EXPECT_EQ(withSound.size(), StepsToTheEnd);
    EXPECT_EQ(withSound, without);
}

TEST_F(CreditTest, MissingJingleIsSilent)
{
    testing::internal::CaptureStderr();
    ASSERT_TRUE(credit->start());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(credit->jingleOpened());
    EXPECT_EQ(runToEnd().size(), StepsToTheEnd);
}

TEST_F(CreditTest, MissingImageNamesTheModuleAndEndsTheCredits)
{
    ASSERT_EQ(unlink("res/credit/title.png"), 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(credit->start());
    const std::string errors = testing::internal::GetCapturedStderr();
    const std::string line = "vrk::Credit failure: ./res/credit/title.png\n";
    ASSERT_GE(errors.size(), line.size());
    EXPECT_EQ(errors.substr(errors.size() - line.size()), line) << errors;
    EXPECT_TRUE(errors.size() == line.size() || errors[errors.size() - line.size() - 1] == '\n');

    // Nothing is drawn, and the first step hands over to the title.
    EXPECT_EQ(drawn().getPixel(960, 540), sf::Color::Black);
    credit->update(0);
    EXPECT_EQ(program.top(), vrk::TitleState);
    EXPECT_EQ(next->starts, 1);
}

TEST_F(CreditTest, StopBeforeStartIsHarmless)
{
    credit->stop();
    credit->draw();
    credit->update(0);
    EXPECT_EQ(program.top(), vrk::TitleState);
}

TEST_F(CreditTest, RopeSwaysWhileFallingAndHangsStraightOtherwise)
{
    ASSERT_TRUE(credit->start());
    std::vector<sf::Vector2f> rope;
    const float ropeX = (1920.f - RopeWidth) / 2.f;

    // Waiting above the scene: the rope does not reach it.
    credit->ropePositions(rope);
    EXPECT_TRUE(rope.empty());

    stepsInPhase();
    for (int i = 0; i < 20; ++i)
        credit->update(0);
    ASSERT_EQ(credit->phase, vrk::Credit::Fall);
    ASSERT_EQ(credit->bunnyY, -150 + 20 * 40);
    credit->ropePositions(rope);
    // Reach 45 + 650: one stamp per row from 695 up to 0, swaying by (1404 - 650) / 10.
    ASSERT_EQ(rope.size(), 696u);
    EXPECT_FLOAT_EQ(rope[0].x, ropeX);
    EXPECT_FLOAT_EQ(rope[0].y, 695.f);
    EXPECT_NEAR(rope[90].x, ropeX + 75.4f, 1e-3);
    EXPECT_FLOAT_EQ(rope[90].y, 605.f);
    EXPECT_NEAR(rope[270].x, ropeX - 75.4f, 1e-3);
    EXPECT_FLOAT_EQ(rope.back().y, 0.f);

    stepsInPhase();
    ASSERT_EQ(credit->phase, vrk::Credit::Rise);
    credit->update(0);
    credit->ropePositions(rope);
    // Reach 45 + 1400: rows 0 to 1444, all straight.
    ASSERT_EQ(rope.size(), 1445u);
    for (std::size_t i = 0; i < rope.size(); ++i) {
        ASSERT_FLOAT_EQ(rope[i].x, ropeX);
        ASSERT_FLOAT_EQ(rope[i].y, static_cast<float>(i));
    }
}

TEST_F(CreditTest, DrawsRopeBunnyAndTitleWhereTheTimelineSays)
{
    ASSERT_TRUE(credit->start());
    credit->update(0);
    // Still above the scene.
    EXPECT_EQ(drawn().getPixel(960, 0), sf::Color::Black);

    while (credit->phase != vrk::Credit::Hold && program.top() == vrk::CreditState)
        credit->update(0);
    ASSERT_EQ(credit->phase, vrk::Credit::Hold);
    const sf::Image scene = drawn();
    // Bunny from y 210 to 360 with the rope down into it, title from 375 to 475.
    EXPECT_EQ(scene.getPixel(960, 100), RopeColour);
    EXPECT_EQ(scene.getPixel(960 - RopeWidth / 2 - 1, 100), sf::Color::Black);
    EXPECT_EQ(scene.getPixel(960 - BunnyWidth / 2 + 1, 215), BunnyColour);
    EXPECT_EQ(scene.getPixel(960, 300), BunnyColour);
    EXPECT_EQ(scene.getPixel(960, 367), sf::Color::Black);
    EXPECT_EQ(scene.getPixel(960 - TitleWidth / 2 + 1, 380), TitleColour);
    EXPECT_EQ(scene.getPixel(960 - TitleWidth / 2 - 1, 380), sf::Color::Black);
    EXPECT_EQ(scene.getPixel(960, 480), sf::Color::Black);
}

} // namespace
