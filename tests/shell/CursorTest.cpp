#include "shell/Program.hpp"
#include "tests/shell/ProgramProbe.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Draws the cursor repeatedly and returns the cell shown after each frame.
std::vector<int> cellsShown(vrk::Program& program, int frames)
{
    std::vector<int> cells;
    for (int i = 0; i < frames; ++i) {
        program.drawCursor();
        cells.push_back(vrk::testing::ProgramProbe::cursorSprites(program)[program.cursor()].getTextureRect().left / 100);
    }
    return cells;
}

class CursorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(program.scene().create(200, 200)); }
    void useImage(unsigned width)
    {
        sf::Image image;
        image.create(width, 100, sf::Color::Red);
        ASSERT_TRUE(vrk::testing::ProgramProbe::cursorTextures(program)[1].loadFromImage(image));
        vrk::testing::ProgramProbe::cursorSprites(program)[1].setTexture(vrk::testing::ProgramProbe::cursorTextures(program)[1]);
        vrk::testing::ProgramProbe::cursorSprites(program)[1].setTextureRect(sf::IntRect(0, 0, 100, 100));
        vrk::testing::ProgramProbe::cursorSprites(program)[1].setOrigin(50.f, 50.f);
        program.setCursor(1);
        vrk::testing::ProgramProbe::cursorFrame(program) = 0;
    }
    vrk::Program program;
};

} // namespace

TEST_F(CursorTest, MultiCellImageAdvancesEveryFourFramesAndWraps)
{
    useImage(300);
    EXPECT_EQ(cellsShown(program, 14), (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0, 0}));
}

TEST_F(CursorTest, SingleAndNarrowImagesShowTheirOnlyCell)
{
    useImage(100);
    EXPECT_EQ(cellsShown(program, 6), (std::vector<int>(6, 0)));
    useImage(40);
    EXPECT_EQ(cellsShown(program, 6), (std::vector<int>(6, 0)));
}

TEST_F(CursorTest, CentredOnTheMouse)
{
    useImage(100);
    program.scene().clear(sf::Color::Black);
    vrk::testing::ProgramProbe::mousePosition(program) = sf::Vector2f(100.f, 100.f);
    program.drawCursor();
    program.scene().display();
    const sf::Image shot = program.scene().getTexture().copyToImage();
    EXPECT_EQ(shot.getPixel(51, 100), sf::Color::Red);
    EXPECT_EQ(shot.getPixel(148, 148), sf::Color::Red);
    EXPECT_EQ(shot.getPixel(49, 100), sf::Color::Black);
    EXPECT_EQ(shot.getPixel(151, 151), sf::Color::Black);
}

TEST_F(CursorTest, MissingImageFailsWithItsMessage)
{
    // The test runs where no res/cursor/ exists.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(program.loadCursors());
    const std::string out = testing::internal::GetCapturedStderr();
    std::filesystem::current_path(previous);
    EXPECT_NE(out.find("Cannot load res/cursor/main.png from memory.\n"), std::string::npos) << out;
}
