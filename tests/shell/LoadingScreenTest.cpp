#include "shell/Program.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {

class NullModule : public vrk::Module {
public:
    using Module::Module;

private:
    bool onLoad() override { return true; }
    bool onStart() override { return true; }
    void onRestart() override {}
    void onStop() override {}
    void onEvent(const sf::Event&) override {}
    void onUpdate(int) override {}
    void onDraw() override {}
};

// A run directory of its own with small loading images: a 700x300 dancer strip, a 400x20 bar.
class LoadingScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        directory = std::filesystem::temp_directory_path() / ("velmora-loading-" + std::to_string(::getpid()));
        std::filesystem::create_directories(directory / "res/loading");
        std::filesystem::current_path(directory);
        sf::Image image;
        image.create(64, 64, sf::Color::Blue);
        ASSERT_TRUE(image.saveToFile("res/loading/background.jpg"));
        image.create(700, 300, sf::Color::Green);
        ASSERT_TRUE(image.saveToFile("res/loading/dancingmirabo.png"));
        image.create(400, 20, sf::Color::White);
        ASSERT_TRUE(image.saveToFile("res/loading/bar.png"));
        ASSERT_TRUE(program.scene().create(vrk::SceneWidth, vrk::SceneHeight));
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(directory);
    }
    std::filesystem::path previous, directory;
    std::ostringstream errors;
    vrk::Program program{errors};
    NullModule module{program};
};

} // namespace

TEST_F(LoadingScreenTest, BarGrowsAndDancerStepsOnePerCall)
{
    ASSERT_TRUE(module.loadLoadingScreen());
    EXPECT_EQ(vrk::loadingSprites[2].getPosition(), sf::Vector2f(0.f, 1060.f));
    EXPECT_EQ(vrk::loadingSprites[1].getPosition(), sf::Vector2f(0.f, 760.f));

    const std::pair<unsigned, unsigned> calls[] = {{0, 4}, {1, 4}, {2, 4}, {4, 4}};
    const int widths[] = {0, 100, 200, 400};
    for (int i = 0; i < 4; ++i) {
        module.drawLoadingScreen(calls[i].first, calls[i].second);
        EXPECT_EQ(vrk::loadingSprites[1].getTextureRect(), sf::IntRect(i * 300, 0, 300, 300));
        EXPECT_EQ(vrk::loadingSprites[2].getTextureRect(), sf::IntRect(0, 0, widths[i], 20));
    }
    // The full bar reaches x = 399 on the bottom row; the scene beyond it shows the clear colour.
    const sf::Image scene = program.scene().getTexture().copyToImage();
    EXPECT_EQ(scene.getPixel(399, 1070), sf::Color::White);
    EXPECT_NE(scene.getPixel(401, 1070), sf::Color::White);
}

TEST_F(LoadingScreenTest, DancerWrapsAfterSevenCallsAndRestartsAtZero)
{
    ASSERT_TRUE(module.loadLoadingScreen());
    for (unsigned i = 0; i < 8; ++i)
        module.drawLoadingScreen(i == 0 ? 0 : 1, 8);
    EXPECT_EQ(vrk::loadingSprites[1].getTextureRect().left, 0);
    module.drawLoadingScreen(1, 8);
    EXPECT_EQ(vrk::loadingSprites[1].getTextureRect().left, 300);
    module.drawLoadingScreen(0, 8);
    EXPECT_EQ(vrk::loadingSprites[1].getTextureRect().left, 0);
}

TEST_F(LoadingScreenTest, MissingImageIsReportedAndLaterOnesSkipped)
{
    std::filesystem::remove("res/loading/dancingmirabo.png");
    EXPECT_FALSE(module.loadLoadingScreen());
    EXPECT_EQ(errors.str(), "Error while loading res/loading/dancingmirabo.png.\n");
    module.drawLoadingScreen(0, 4); // still draws, with what it has
}
