// Dialogue and log text against what lies behind it, measured from rendered pixels: the shipped
// floor tiles, the dialogue boxes' colours and the game's own text settings.
#include "game/Dialogue.hpp"
#include "game/Identifiers.hpp"
#include "game/MapRecord.hpp"
#include "game/Tuning.hpp"
#include "tests/Contrast.hpp"

#include <SFML/Graphics.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

namespace vrk {
namespace testing {
namespace {

using legibility::luminance;

struct Floors {
    sf::IntRect lightest, darkest;
};

// The opaque tiles of the shipped ground sheet with the highest and lowest mean luminance.
Floors floorTiles(const sf::Image& sheet)
{
    Floors floors;
    double light = -1.0, dark = 2.0;
    for (unsigned top = 0; top + TileSize <= sheet.getSize().y; top += TileSize)
        for (unsigned left = 0; left + TileSize <= sheet.getSize().x; left += TileSize) {
            double sum = 0.0;
            bool opaque = true;
            for (unsigned y = top; y < top + TileSize; ++y)
                for (unsigned x = left; x < left + TileSize; ++x) {
                    opaque = opaque && sheet.getPixel(x, y).a == 255;
                    sum += luminance(sheet.getPixel(x, y));
                }
            if (!opaque)
                continue;
            const double mean = sum / (TileSize * TileSize);
            const sf::IntRect tile(static_cast<int>(left), static_cast<int>(top), TileSize, TileSize);
            if (mean > light) {
                light = mean;
                floors.lightest = tile;
            }
            if (mean < dark) {
                dark = mean;
                floors.darkest = tile;
            }
        }
    return floors;
}

// Mean luminance of the glyphs' inside against that of the 2 pixels round them.
double contrast(const sf::Texture& sheet, sf::IntRect floor, const sf::Color* box, const sf::Font& font, unsigned size)
{
    sf::RenderTexture target;
    EXPECT_TRUE(target.create(TileSize, TileSize));
    sf::Text text("Hm", font, size);
    text.setPosition(10.f, 20.f);

    // Where the glyphs are: the same text, white on black, without outline.
    target.clear(sf::Color::Black);
    target.draw(text);
    target.display();
    const sf::Image mask = target.getTexture().copyToImage();

    sf::Sprite tile(sheet, floor);
    target.clear();
    target.draw(tile);
    if (box) {
        sf::RectangleShape rectangle(sf::Vector2f(TileSize, TileSize));
        rectangle.setFillColor(*box);
        target.draw(rectangle);
    }
    text.setFillColor(TextFill);
    text.setOutlineColor(TextOutline);
    text.setOutlineThickness(TextOutlineThickness);
    target.draw(text);
    target.display();
    const sf::Image picture = target.getTexture().copyToImage();

    const auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < TileSize && y < TileSize &&
               mask.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)).r > 250;
    };
    const auto touched = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < TileSize && y < TileSize &&
               mask.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)).r > 5;
    };
    double glyphs = 0.0, ring = 0.0;
    int glyphCount = 0, ringCount = 0;
    for (int y = 0; y < TileSize; ++y)
        for (int x = 0; x < TileSize; ++x) {
            const double l = luminance(picture.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)));
            if (inside(x, y)) {
                glyphs += l;
                ++glyphCount;
                continue;
            }
            if (touched(x, y))
                continue;
            bool near = false;
            for (int dy = -2; dy <= 2 && !near; ++dy)
                for (int dx = -2; dx <= 2 && !near; ++dx)
                    near = touched(x + dx, y + dy);
            if (near) {
                ring += l;
                ++ringCount;
            }
        }
    EXPECT_GT(glyphCount, 50);
    EXPECT_GT(ringCount, 50);
    const double a = glyphs / glyphCount, b = ring / ringCount;
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

TEST(TextContrast, DialogueAndLogTextReadOnEveryBoxOverTheLightestAndDarkestFloor)
{
    if (!std::ifstream("res/chipset0.png"))
        GTEST_SKIP() << "no generated content in " << VELMORA_RUN_DIR;
    sf::Texture sheet;
    ASSERT_TRUE(sheet.loadFromFile("res/chipset0.png"));
    sf::Font dialogueFont, logFont;
    ASSERT_TRUE(dialogueFont.loadFromFile("res/text_font.ttf"));
    ASSERT_TRUE(logFont.loadFromFile("res/error_font.ttf"));
    const Floors floors = floorTiles(sheet.copyToImage());

    std::vector<sf::Color> boxes;
    for (int i = 0; i < Dialogue::scripts[OpeningScript].count; ++i) {
        const sf::Color colour = Dialogue::scripts[OpeningScript].entries[i].boxColour;
        if (colour.a != 0 && std::find(boxes.begin(), boxes.end(), colour) == boxes.end())
            boxes.push_back(colour);
    }
    ASSERT_EQ(boxes.size(), 3u); // red, blue, grey
    for (const sf::IntRect& floor : {floors.lightest, floors.darkest}) {
        for (const sf::Color& box : boxes) {
            const double ratio = contrast(sheet, floor, &box, dialogueFont, 40);
            std::printf("dialogue on (%d, %d, %d, %d): %.1f to 1\n", box.r, box.g, box.b, box.a, ratio);
            EXPECT_GE(ratio, 4.5);
        }
        const double ratio = contrast(sheet, floor, nullptr, logFont, 50);
        std::printf("log line on the floor tile at (%d, %d): %.1f to 1\n", floor.left, floor.top, ratio);
        EXPECT_GE(ratio, 4.5);
    }
}

} // namespace
} // namespace testing
} // namespace vrk
