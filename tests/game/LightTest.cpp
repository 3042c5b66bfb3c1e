// The light's filled fan against the one-pixel drawing it replaces, on the shipped map.
#include "IngameFixture.hpp"
#include "LiteralFog.hpp"

#include <cmath>
#include <cstdio>

namespace vrk {
namespace testing {
namespace {

constexpr sf::Uint8 Lit = 255;
constexpr double BodyLight = 60.0;
constexpr double Margin = 2.0;

// Within the margin of the fan: of a triangle between neighbouring rays, or of a ray's line
// (a ray's far corner lies a unit to its side, so near a short ray the triangle to a long
// neighbour reaches a little across the short ray's sector).
bool nearFan(const std::vector<double>& angles, const std::vector<float>& lengths, double angle, double r,
             std::size_t sector)
{
    const std::size_t rays = lengths.size();
    if (angle <= angles.back() && sector + 1 < rays && r <= std::max(lengths[sector], lengths[sector + 1]) + Margin)
        return true;
    const std::size_t from = sector > 16 ? sector - 16 : 0;
    const std::size_t to = std::min(rays, sector + 17);
    const auto nearRay = [&](std::size_t j) {
        const double apart = std::fabs(std::remainder(angle - angles[j], 2.0 * Pi));
        return apart < Pi / 2 && r <= lengths[j] + Margin && r * std::sin(apart) <= Margin + 1.0;
    };
    for (std::size_t j = from; j < to; ++j)
        if (nearRay(j))
            return true;
    // Outside the cone: its two edge rays.
    return nearRay(0) || nearRay(rays - 1);
}

class FilledFan : public ShippedGameTest {
protected:
    void put(sf::Vector2f position, double facing)
    {
        game->player().placeAt(position);
        game->followCamera();
        game->player().face(facing);
    }
    // The fog on a white scene after a step's light: 255 lit, 127 half dark, 0 dark.
    sf::Image fan()
    {
        game->castLight();
        program->scene().clear(sf::Color::White);
        game->light().forgetScene();
        game->drawFog();
        program->scene().display();
        return program->scene().getTexture().copyToImage();
    }
    sf::Image literal()
    {
        sf::RenderTexture& fog = game->light().referenceTexture();
        program->scene().clear(sf::Color::White);
        drawLiteralFog(*game, fog);
        program->scene().draw(sf::Sprite(fog.getTexture()));
        program->scene().display();
        return program->scene().getTexture().copyToImage();
    }
    struct Comparison {
        unsigned missing = 0; // lit by the one-pixel rays, not by the fan
        unsigned stripes = 0; // unlit inside the fan, nearer than the shorter of two rays
        unsigned outside = 0; // lit well beyond the fan
        unsigned lit = 0;     // lit by the one-pixel rays
    };
    // Compares the fan with the one-pixel drawing of the rays cast last.
    Comparison compare(const sf::Image& image, const sf::Image& reference)
    {
        const std::vector<double>& angles = game->light().rayAngles();
        const std::vector<float>& lengths = game->light().rayLengths();
        Comparison c;
        EXPECT_GT(angles.size(), 2u);
        if (angles.size() < 2)
            return c;
        const double a0 = angles.front();
        const double step = angles[1] - angles[0];
        const double a1 = angles.back();
        const sf::Vector2f origin = game->player().position() - game->world().camera();
        for (unsigned y = 0; y < SceneHeight; ++y)
            for (unsigned x = 0; x < SceneWidth; ++x) {
                const bool ours = image.getPixel(x, y).r == Lit;
                const bool theirs = reference.getPixel(x, y).r == Lit;
                c.lit += theirs;
                c.missing += theirs && !ours;
                const double dx = x + 0.5 - origin.x;
                const double dy = y + 0.5 - origin.y;
                const double r = std::sqrt(dx * dx + dy * dy);
                double angle = std::atan2(dy, dx);
                while (angle < a0)
                    angle += 2.0 * Pi;
                const double index = (angle - a0) / step;
                const bool inCone = angle <= a1;
                const std::size_t i = static_cast<std::size_t>(index);
                const sf::Vector2f scenePoint = game->player().position() + sf::Vector2f(dx, dy);
                if (inCone && i + 1 < lengths.size()) {
                    const double shorter = std::min(lengths[i], lengths[i + 1]);
                    c.stripes += r < shorter - 2.0 && r > 2.0 && !ours;
                }
                if (ours && r > BodyLight + 2.0 && !inHitCell(scenePoint) &&
                    !nearFan(angles, lengths, angle, r, inCone ? i : 0))
                    ++c.outside;
            }
        return c;
    }
    // The player at `place` facing `facing`: both drawings from the same explored walls.
    Comparison view(sf::Vector2f place, double facing)
    {
        put(place, facing);
        const std::vector<int> explored = game->world().map().explored;
        const sf::Image reference = literal();
        game->world().map().explored = explored;
        const sf::Image image = fan();
        return compare(image, reference);
    }
    bool inHitCell(sf::Vector2f scene) const
    {
        const sf::Vector2i cell(cellOf(scene.x), cellOf(scene.y));
        for (const sf::Vector2i& hit : game->light().rayHits())
            if (hit == cell)
                return true;
        return false;
    }
};

TEST_F(FilledFan, LightsWhatTheOnePixelRaysLightWithoutStripesAndNothingBeyond)
{
    // The start, a room of the middle of the map and one toward its west side (cells of free floor).
    const sf::Vector2f places[] = {game->player().position(), sf::Vector2f(30 * 120 + 60.f, 20 * 120 + 60.f),
                                   sf::Vector2f(15 * 120 + 35.f, 35 * 120 + 80.f)};
    const double facings[] = {0.3, 1.9, -1.2, 3.0};
    const unsigned limit = SceneWidth * SceneHeight / 1000; // 0.1 % of the scene
    int views = 0;
    for (const sf::Vector2f& place : places) {
        ASSERT_FALSE(game->world().map().blockedAt(place));
        for (const double facing : facings) {
            ++views;
            const Comparison c = view(place, facing);
            const unsigned missing = c.missing, stripes = c.stripes, outside = c.outside, lit = c.lit;
            std::printf("fan against the one-pixel rays: %u of %u lit pixels missing, %u lone gaps\n", missing, lit,
                        stripes);
            EXPECT_LE(missing, limit) << "facing " << facing;
            // Far-off fan corners are clipped by the rasterizer, which can leave a lone pixel
            // between two triangles; a stripe would be hundreds.
            EXPECT_LE(stripes, 8u) << "facing " << facing;
            EXPECT_EQ(outside, 0u) << "facing " << facing;
            EXPECT_GT(lit, SceneWidth * SceneHeight / 20u); // the comparison is worth something
        }
    }
    EXPECT_EQ(views, 12);
}

// The fan's sectors share a core triangle each; the narrowest and widest cones make their
// edges nearly parallel or far apart, where a seam between core and rim pieces would show.
TEST_F(FilledFan, StaysExactForNarrowAndWideCones)
{
    const unsigned limit = SceneWidth * SceneHeight / 1000;
    for (const double halfCone : {0.05, 0.6, 3.0}) {
        game->light().setHalfFieldOfView(halfCone);
        const Comparison c = view(game->player().position(), 0.3);
        EXPECT_LE(c.missing, limit) << halfCone;
        EXPECT_LE(c.stripes, 8u) << halfCone;
        EXPECT_EQ(c.outside, 0u) << halfCone;
        EXPECT_GT(c.lit, 1000u) << halfCone;
        std::printf("cone of half width %.2f: %u of %u lit pixels missing, %u lone gaps\n", halfCone, c.missing, c.lit,
                    c.stripes);
    }
}

TEST_F(FilledFan, ThePlayersBodyIsLitAndTheCircleOfAwarenessDimWhicheverWayItFaces)
{
    for (const double facing : {0.0, 1.0, 2.5, -2.0}) {
        put(game->player().position(), facing);
        const sf::Image image = fan();
        const sf::Vector2f origin = game->player().position() - game->world().camera();
        // Straight behind the player (facing points from the pointer to the player).
        for (const float r : {10.f, 30.f, 55.f}) {
            const sf::Vector2f at =
                origin + r * sf::Vector2f(static_cast<float>(std::cos(facing)), static_cast<float>(std::sin(facing)));
            EXPECT_EQ(image.getPixel(static_cast<unsigned>(at.x), static_cast<unsigned>(at.y)).r, Lit) << r;
        }
        // Beyond the body: dark on classic; on the easier rules the circle of awareness is half
        // dark, and darkness beyond it.
        for (const Difficulty difficulty : {Difficulty::Classic, Difficulty::Normal}) {
            program->settings().difficulty = difficulty;
            const sf::Image around = fan();
            for (const float r : {90.f, 170.f, 250.f}) {
                const sf::Vector2f dark = origin + r * sf::Vector2f(static_cast<float>(std::cos(facing)),
                                                                    static_cast<float>(std::sin(facing)));
                const bool dim = difficulty == Difficulty::Normal && r < AwarenessRadius;
                if (!inHitCell(game->player().position() + (dark - origin))) {
                    EXPECT_EQ(around.getPixel(static_cast<unsigned>(dark.x), static_cast<unsigned>(dark.y)).r,
                              dim ? 127 : 0)
                        << r;
                }
            }
        }
        program->settings().difficulty = Difficulty::Classic;
    }
}

} // namespace
} // namespace testing
} // namespace vrk
