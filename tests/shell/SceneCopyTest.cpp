// The scene's copy to a window of its size, and the scene stored in the window's byte order.
#include "shell/SceneCopy.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr unsigned Width = 320;
constexpr unsigned Height = 200;

// Every pixel a different colour, and nothing symmetric, so a flipped or shifted copy shows.
sf::Image pattern()
{
    sf::Image image;
    image.create(Width, Height);
    for (unsigned y = 0; y < Height; ++y)
        for (unsigned x = 0; x < Width; ++x)
            image.setPixel(x, y, sf::Color(x % 256, y, (x * 7 + y * 3) % 256));
    return image;
}

// Translucent shapes over the pattern: what the fog and the overlay do to the scene.
void paint(sf::RenderTexture& target, const sf::Texture& background)
{
    target.clear(sf::Color::Black);
    target.draw(sf::Sprite(background), sf::RenderStates(sf::BlendNone));
    sf::RectangleShape shade(sf::Vector2f(200.f, 120.f));
    shade.setPosition(40.f, 30.f);
    shade.setFillColor(sf::Color(10, 0, 40, 128));
    target.draw(shade);
    sf::VertexArray fan(sf::Triangles);
    fan.append(sf::Vertex(sf::Vector2f(160.f, 100.f), sf::Color(255, 255, 255, 60)));
    fan.append(sf::Vertex(sf::Vector2f(310.f, 10.f), sf::Color(0, 255, 0, 200)));
    fan.append(sf::Vertex(sf::Vector2f(300.f, 190.f), sf::Color(255, 0, 0, 0)));
    target.draw(fan);
    target.display();
}

int largestDifference(const sf::Image& a, const sf::Image& b)
{
    int largest = 0;
    for (unsigned y = 0; y < Height; ++y)
        for (unsigned x = 0; x < Width; ++x) {
            const sf::Color p = a.getPixel(x, y);
            const sf::Color q = b.getPixel(x, y);
            for (const int d : {p.r - q.r, p.g - q.g, p.b - q.b, p.a - q.a})
                largest = std::max(largest, std::abs(d));
        }
    return largest;
}

class SceneCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs a display";
        window.create(sf::VideoMode(Width, Height), "scene copy", sf::Style::None);
        ASSERT_TRUE(window.isOpen());
        ASSERT_TRUE(background.loadFromImage(pattern()));
    }
    sf::RenderWindow window;
    sf::Texture background;
};

TEST_F(SceneCopyTest, TheSceneInTheWindowsByteOrderPaintsTheSamePixels)
{
    sf::RenderTexture plain;
    sf::RenderTexture matched;
    ASSERT_TRUE(plain.create(Width, Height));
    ASSERT_TRUE(matched.create(Width, Height));
    ASSERT_TRUE(vrk::SceneCopy::matchWindowLayout(matched));
    EXPECT_EQ(matched.getSize(), sf::Vector2u(Width, Height));
    paint(plain, background);
    paint(matched, background);
    const sf::Image expected = plain.getTexture().copyToImage();
    const sf::Image image = matched.getTexture().copyToImage();
    // Corners the shapes leave alone show the pattern upright.
    const sf::Image source = pattern();
    EXPECT_EQ(image.getPixel(5, Height - 10), source.getPixel(5, Height - 10));
    EXPECT_EQ(image.getPixel(Width - 1, Height - 1), source.getPixel(Width - 1, Height - 1));
    // A blend may round differently in the faster path, by one step at most.
    EXPECT_LE(largestDifference(image, expected), 1);
}

TEST_F(SceneCopyTest, CopiesTheSceneToTheWindowPixelForPixel)
{
    sf::RenderTexture scene;
    ASSERT_TRUE(scene.create(Width, Height));
    ASSERT_TRUE(vrk::SceneCopy::matchWindowLayout(scene));
    paint(scene, background);
    vrk::SceneCopy copy;
    window.clear(sf::Color::Magenta);
    ASSERT_TRUE(copy.copy(scene.getTexture(), window));
    sf::Texture shown;
    ASSERT_TRUE(shown.create(Width, Height));
    shown.update(window);
    sf::Image image = shown.copyToImage();
    sf::Image expected = scene.getTexture().copyToImage();
    // The window has no alpha of its own to compare.
    for (sf::Image* each : {&image, &expected})
        for (unsigned y = 0; y < Height; ++y)
            for (unsigned x = 0; x < Width; ++x) {
                sf::Color p = each->getPixel(x, y);
                p.a = 255;
                each->setPixel(x, y, p);
            }
    EXPECT_EQ(largestDifference(image, expected), 0);
}

TEST_F(SceneCopyTest, LeavesAWindowOfAnotherSizeToTheCaller)
{
    sf::RenderTexture scene;
    ASSERT_TRUE(scene.create(Width / 2, Height));
    vrk::SceneCopy copy;
    EXPECT_FALSE(copy.copy(scene.getTexture(), window));
}

} // namespace
