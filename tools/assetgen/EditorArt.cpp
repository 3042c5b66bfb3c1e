// Sheets for the layers the game does not draw (walls, events, monsters): they give each code
// a readable symbol for editors and for the map tool's picture.
#include "Art.hpp"
#include "StrokeFont.hpp"

#include <cmath>
#include <string>

namespace art {

namespace {

constexpr int T = Tile;

Shape stripes(float period)
{
    return {[period](float x, float y) { return std::fmod(x + y + 1200.0f, period) < period / 2 ? -1.0f : 1.0f; }, 0, 0,
            float(T), float(T)};
}

void badge(Canvas& c, const Colour& colour)
{
    c.fill(circle(60, 60, 44), Colour(0, 0, 0, 0.55f));
    c.fill(ring(60, 60, 44, 5), colour);
}

// An editor sheet: for each code from first to last, a badge in the mark's colour with the code's
// sign drawn over it, at tile code - 1.
template <typename Sign>
void badgeSheet(Canvas& sheet, const Colour& mark, int first, int last, Sign sign)
{
    for (int code = first; code <= last; ++code)
        paintTile(sheet, code - 1, [&](Canvas& c) {
            badge(c, mark);
            sign(c, code);
        });
}

void arrow(Canvas& c, float x0, float y0, float x1, float y1, const Colour& colour)
{
    const float dx = x1 - x0, dy = y1 - y0, len = std::sqrt(dx * dx + dy * dy);
    const float ux = dx / len, uy = dy / len;
    c.fill(segment(x0, y0, x1 - ux * 8, y1 - uy * 8, 4), colour);
    c.fill(polygon({{x1, y1},
                    {x1 - ux * 16 - uy * 10, y1 - uy * 16 + ux * 10},
                    {x1 - ux * 16 + uy * 10, y1 - uy * 16 - ux * 10}}),
           colour);
}

} // namespace

void drawWallSheet(Canvas& sheet, const Palette& p)
{
    // Tile i shows wall value i + 1: window, wall, closed door, open door (free cells have none).
    Canvas window(T, T), wall(T, T), closed(T, T), open(T, T);
    window.fill(subtract(rect(4, 4, 112, 112), rect(10, 10, 100, 100)), p("editor_wall").withAlpha(0.6f));
    window.fill(rect(10, 56, 100, 8), p("editor_wall").withAlpha(0.6f));
    wall.fill(rect(0, 0, T, T), p("editor_wall").withAlpha(0.35f));
    wall.fill(intersect(rect(0, 0, T, T), stripes(16)), p("editor_wall").withAlpha(0.6f));
    closed.fill(rect(6, 6, 108, 108, 6), p("editor_door").withAlpha(0.55f));
    closed.fill(rect(10, 50, 100, 20, 3), p("editor_door"));
    open.fill(subtract(rect(6, 6, 108, 108, 6), rect(12, 12, 96, 96, 4)), p("editor_free"));
    open.fill(rect(10, 50, 30, 20, 3), p("editor_free"));
    open.fill(rect(80, 50, 30, 20, 3), p("editor_free"));
    placeTile(sheet, window, 0);
    placeTile(sheet, wall, 1);
    placeTile(sheet, closed, 2);
    placeTile(sheet, open, 3);
}

void drawEventSheet(Canvas& sheet, const Palette& p)
{
    const Colour mark = p("editor_event");
    badgeSheet(sheet, mark, 1, 20, [&](Canvas& c, int event) {
        switch (event) {
        case 2: // door panel
            c.fill(polygon({{66, 26}, {42, 62}, {57, 62}, {50, 94}, {78, 54}, {63, 54}}), mark);
            break;
        case 3: // books
            c.fill(rect(36, 34, 22, 52, 3), mark);
            c.fill(rect(62, 34, 22, 52, 3), mark.scaled(0.8f));
            break;
        case 12: { // victory text
            std::vector<Vec> star;
            for (int k = 0; k < 10; ++k) {
                const float a = -3.14159f / 2 + k * 3.14159f / 5;
                const float r = k % 2 == 0 ? 34.0f : 14.0f;
                star.push_back({60 + std::cos(a) * r, 60 + std::sin(a) * r});
            }
            c.fill(polygon(star), mark);
            break;
        }
        case 13: // remote door panel
            for (int i = 0; i < 3; ++i)
                c.fill(intersect(ring(44, 76, 14.0f + i * 12, 5), rect(44, 20, 60, 56)), mark);
            c.fill(circle(44, 76, 6), mark);
            break;
        default: {
            const std::string digits = std::to_string(event);
            const float unit = 5;
            c.fill(strokeText(digits, 60 - strokeTextWidth(digits, unit) / 2, 45, unit, 3), mark.scaled(0.7f));
        }
        }
    });
}

void drawMonsterSheet(Canvas& sheet, const Palette& p)
{
    const Colour mark = p("editor_monster");
    badgeSheet(sheet, mark, 2, 5, [&](Canvas& c, int kind) {
        switch (kind) {
        case 2: // turns on the spot
            c.fill(intersect(ring(60, 60, 26, 6),
                             Shape{[](float x, float y) { return (x > 60 && y < 60) ? 1.0f : -1.0f; }, 0, 0, 120, 120}),
                   mark);
            c.fill(polygon({{86, 60}, {74, 76}, {98, 76}}), mark);
            break;
        case 3: // patrols along x
            arrow(c, 60, 60, 96, 60, mark);
            arrow(c, 60, 60, 24, 60, mark);
            break;
        case 4: // patrols along y
            arrow(c, 60, 60, 60, 96, mark);
            arrow(c, 60, 60, 60, 24, mark);
            break;
        case 5: // patrols round a rectangle
            c.fill(subtract(rect(34, 34, 52, 52, 4), rect(42, 42, 36, 36, 2)), mark);
            c.fill(polygon({{34, 74}, {22, 58}, {46, 58}}), mark);
            break;
        }
    });
}

} // namespace art
