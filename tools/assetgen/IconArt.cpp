// The desktop icon: the credits' bunny hanging from its rope in a spotlight, on a dark tile
// edged like the laboratory's walls. Painted once at a large size and averaged down, so every
// size the desktop asks for has the same look and clean edges.
#include "Art.hpp"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr int Master = 512;

void paintMaster(Canvas& c, const Palette& p)
{
    const float inset = 16, side = Master - 2 * inset, corner = 96;
    const Shape tile = rect(inset, inset, side, side, corner);
    c.fill(tile, radial(Master / 2.0f, 200, 360, p("wall_top").scaled(1.3f), p("wall_shadow")));

    // The spotlight falls from the top edge and pools where the bunny hangs.
    const float cx = Master / 2.0f;
    const Shape cone = intersect(tile, polygon({{cx - 40, inset}, {cx + 40, inset}, {cx + 230, 500}, {cx - 230, 500}}));
    c.fill(cone, linear(0, inset, p("lamp_light").withAlpha(0.35f), 0, 500, p("lamp_light").withAlpha(0.05f)), 6);
    c.fill(intersect(tile, ellipse(cx, 300, 170, 190)), p("lamp_light").withAlpha(0.12f), 40);

    // The bunny's canvas is placed so its rope knot ends the rope drawn from the top.
    Canvas bunny(320, 400);
    drawBunny(bunny, p);
    const int bx = int(cx) - bunny.width() / 2, by = 80;
    const float knot = by + bunny.height() * 0.3f;
    c.fill(segment(cx, inset, cx, knot, 6), p("rope_dark"));
    c.fill(segment(cx, inset, cx, knot, 3.5f), p("rope_light"));
    c.draw(bunny, bx, by);

    c.fill(subtract(tile, rect(inset + 10, inset + 10, side - 20, side - 20, corner - 10)), p("wall_trim"));
}

// Area-weighted reduction: each pixel of `to` averages the part of `from` it covers.
void reduce(const Canvas& from, Canvas& to)
{
    const float sx = float(from.width()) / to.width(), sy = float(from.height()) / to.height();
    for (int y = 0; y < to.height(); ++y)
        for (int x = 0; x < to.width(); ++x) {
            const float left = x * sx, right = left + sx, top = y * sy, bottom = top + sy;
            float r = 0, g = 0, b = 0, a = 0, area = 0;
            for (int j = int(top); j < int(std::ceil(bottom)); ++j) {
                const float wy = std::min(bottom, j + 1.0f) - std::max(top, float(j));
                for (int i = int(left); i < int(std::ceil(right)); ++i) {
                    const float weight = wy * (std::min(right, i + 1.0f) - std::max(left, float(i)));
                    const Colour k = from.at(i, j);
                    r += k.r * k.a * weight;
                    g += k.g * k.a * weight;
                    b += k.b * k.a * weight;
                    a += k.a * weight;
                    area += weight;
                }
            }
            if (a > 0)
                to.set(x, y, Colour(r / a, g / a, b / a, a / area));
        }
}

} // namespace

void drawIcon(Canvas& c, const Palette& p)
{
    Canvas master(Master, Master);
    paintMaster(master, p);
    reduce(master, c);
}

} // namespace art
