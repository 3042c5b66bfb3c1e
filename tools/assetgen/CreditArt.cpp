// The opening credits: a bunny hanging from a rope, the rope itself, and the title.
// The rope is stamped down to 30% of the bunny's height, so the paws hold it there.
#include "Art.hpp"
#include "StrokeFont.hpp"

#include <cmath>

namespace art {

void drawBunny(Canvas& c, const Palette& p)
{
    const float w = float(c.width()), h = float(c.height());
    const float cx = w / 2;
    const float grip = h * 0.3f; // where the rope ends
    const Colour fur = p("bunny_fur"), shade = p("bunny_shade"), pink = p("bunny_pink");
    // Ears.
    for (int s = -1; s <= 1; s += 2) {
        const float ex = cx + s * 58.0f;
        c.fill(ellipse(ex, 80, 26, 66, s * 14.0f), radial(ex - 8, 60, 80, fur, shade));
        c.fill(ellipse(ex + s * 1.0f, 86, 12, 48, s * 14.0f), pink);
    }
    // Legs dangling, feet apart.
    for (int s = -1; s <= 1; s += 2) {
        c.fill(ellipse(cx + s * 50.0f, h - 60, 34, 50, s * -10.0f), radial(cx + s * 40.0f, h - 90, 70, fur, shade));
        c.fill(ellipse(cx + s * 56.0f, h - 22, 30, 18), fur);
        for (int t = -1; t <= 1; ++t)
            c.fill(circle(cx + s * 56.0f + t * 11, h - 12, 5), pink);
    }
    // Body and belly.
    c.fill(ellipse(cx, h * 0.62f, 96, 118), radial(cx - 30, h * 0.5f, 170, fur, shade));
    c.fill(ellipse(cx, h * 0.68f, 58, 80), p("bunny_belly"));
    // Head.
    const float hy = 192;
    c.fill(ellipse(cx, hy, 92, 78), radial(cx - 26, hy - 30, 130, fur, shade));
    for (int s = -1; s <= 1; s += 2) {
        c.fill(ellipse(cx + s * 34.0f, hy - 6, 14, 18), Colour(0.08f, 0.07f, 0.1f));
        c.fill(circle(cx + s * 34.0f - 4, hy - 12, 5), Colour(1, 1, 1));
        c.fill(ellipse(cx + s * 56.0f, hy + 26, 16, 9), pink.withAlpha(0.6f), 6);
        for (int k = -1; k <= 1; ++k) // whiskers
            c.fill(segment(cx + s * 30.0f, hy + 22 + k * 6.0f, cx + s * 84.0f, hy + 16 + k * 12.0f, 1.2f),
                   shade.scaled(0.7f));
    }
    c.fill(polygon({{cx - 10, hy + 14}, {cx + 10, hy + 14}, {cx, hy + 24}}), pink);
    c.fill(polyline({{cx - 14, hy + 36}, {cx, hy + 28}, {cx + 14, hy + 36}}, 2.2f), shade.scaled(0.6f));
    c.fill(rect(cx - 8, hy + 30, 16, 12, 3), Colour(1, 1, 1)); // buck teeth
    c.fill(rect(cx - 0.8f, hy + 30, 1.6f, 12), shade);
    // The rope is tied to a harness knot on top of the head.
    c.fill(ellipse(cx - 14, grip - 2, 14, 8, -25), p("rope_light"));
    c.fill(ellipse(cx + 14, grip - 2, 14, 8, 25), p("rope_light"));
    c.fill(circle(cx, grip, 8), p("rope_dark"));
    // Paws hold a carrot against the belly.
    c.fill(polygon({{cx - 12, h * 0.66f}, {cx + 12, h * 0.66f}, {cx + 2, h * 0.66f + 70}, {cx - 2, h * 0.66f + 70}}),
           linear(cx, h * 0.66f, p("carrot"), cx, h * 0.66f + 70, p("carrot").scaled(0.8f)));
    for (int k = -1; k <= 1; ++k)
        c.fill(ellipse(cx + k * 8.0f, h * 0.66f - 12, 5, 14, k * 20.0f), p("leaf"));
    for (int s = -1; s <= 1; s += 2) {
        c.fill(segment(cx + s * 84.0f, h * 0.62f, cx + s * 18.0f, h * 0.72f, 15), fur);
        c.fill(ellipse(cx + s * 14.0f, h * 0.72f, 16, 13), fur);
        c.fill(ellipse(cx + s * 14.0f, h * 0.72f, 16, 13), shade.withAlpha(0.2f));
    }
}

void drawRope(Canvas& c, const Palette& p)
{
    const int w = c.width();
    // Stamped once per row, so only the shading across matters: a round, twisted cord.
    c.apply([&](int x, int y, const Colour&) {
        const float t = (x + 0.5f) / w;
        const float roundness = std::sin(t * 3.14159f);
        const float twist = 0.85f + 0.15f * std::sin((x + y * 3) * 1.3f);
        return mix(p("rope_dark"), p("rope_light"), roundness * twist).withAlpha(x == 0 || x == w - 1 ? 0.6f : 1.0f);
    });
}

void drawTitle(Canvas& c, const Palette& p)
{
    const std::string title = "VELMORA";
    const float unit = 26, weight = 9;
    const float x = (c.width() - strokeTextWidth(title, unit)) / 2 - 10, y = 30;
    const Shape letters = strokeText(title, x, y, unit, weight, 0.1f);
    c.fill(letters, p("title_glow").withAlpha(0.4f), 26);
    c.fill(translated(letters, 5, 7), Colour(0, 0, 0, 0.7f), 3);
    c.fill(letters, linear(0, y, p("title_hi"), 0, y + 6 * unit, p("title_lo")));
    c.fill(intersect(letters, rect(0, y - weight, float(c.width()), 2.2f * unit)), Colour(1, 1, 1, 0.25f));
}

} // namespace art
