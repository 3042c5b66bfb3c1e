// The ground sheet: floors, walls (one tile per combination of wall neighbours) and the two
// kinds of sliding door in their four stages, closed first.
#include "Art.hpp"

#include <cmath>

namespace art {

namespace {

constexpr int T = Tile;

// Ceramic floor: 2 x 2 squares with grout, a faint bevel and wear.
void labFloor(Canvas& c, const Palette& p, int variant)
{
    const Colour base = p("floor_lab"), grout = p("floor_grout");
    const std::uint32_t seed = 11u + std::uint32_t(variant) * 7u;
    c.apply([&](int x, int y, const Colour&) {
        const int sx = x / 60, sy = y / 60;
        const int lx = x % 60, ly = y % 60;
        const int edge = std::min(std::min(lx, ly), std::min(59 - lx, 59 - ly));
        if (edge < 2)
            return grout;
        float shade = 1.0f + (fractalNoise(x / 14.0f, y / 14.0f, seed) - 0.5f) * 0.12f;
        shade += (hashNoise(sx, sy, seed) - 0.5f) * 0.06f;
        if (lx < 5 || ly < 5)
            shade += 0.05f;
        if (lx > 55 || ly > 55)
            shade -= 0.06f;
        shade += (hashNoise(x, y, seed + 3) - 0.5f) * 0.03f;
        return base.scaled(shade);
    });
    if (variant == 1) { // a crack across one square
        c.fill(polyline({{64, 70}, {78, 82}, {84, 80}, {96, 96}, {108, 101}}, 0.9f), grout.withAlpha(0.8f));
        c.fill(polyline({{84, 80}, {88, 70}}, 0.6f), grout.withAlpha(0.6f));
    } else if (variant == 2) { // a small drain at a corner of the squares
        c.fill(circle(60, 60, 9), p("metal_dark"));
        c.fill(ring(60, 60, 9, 2), p("metal_mid"));
        for (int i = -1; i <= 1; ++i)
            c.fill(rect(60 + i * 4.0f - 1, 54, 2, 12, 1), p("floor_grout"));
    } else if (variant == 3) { // old stains
        c.fill(ellipse(40, 78, 20, 12, 20), p("stain").withAlpha(0.25f), 8);
        c.fill(ellipse(86, 30, 9, 6, -10), p("stain").withAlpha(0.2f), 5);
    }
}

// Steel tread plate for corridors, stores and machine rooms: calm enough to read under the
// fog, with raised grains that catch the light.
void grate(Canvas& c, const Palette& p, int variant)
{
    const Colour mid = p("metal_mid"), light = p("metal_light");
    c.apply([&](int x, int y, const Colour&) {
        const float n = fractalNoise(x / 18.0f, y / 18.0f, 40u + std::uint32_t(variant));
        return mid.scaled(1.05f + (n - 0.5f) * 0.18f);
    });
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 6; ++col) {
            const float cx = 10 + col * 20.0f + (row % 2) * 10.0f, cy = 10 + row * 20.0f;
            const float angle = (row + col) % 2 == 0 ? 45.0f : -45.0f;
            const Shape grain = box(cx, cy, 6, 1.8f, 1.8f, angle);
            c.fill(translated(grain, 0.8f, 1.2f), Colour(0, 0, 0, 0.25f), 1.5f);
            c.fill(grain, light.withAlpha(0.55f));
        }
    // Plate seams at the tile edges and a bolt at each corner.
    c.fill(subtract(rect(0, 0, T, T), rect(1.5f, 1.5f, T - 3, T - 3)), p("metal_dark").withAlpha(0.8f));
    for (int y : {6, 114})
        for (int x : {6, 114})
            c.fill(circle(float(x), float(y), 2.5f), light.withAlpha(0.8f));
    if (variant == 1)
        c.fill(ellipse(70, 76, 28, 16, 30), p("stain").withAlpha(0.3f), 10);
}

// Parquet for the library and the Doctor's rooms.
void wood(Canvas& c, const Palette& p, int variant)
{
    const Colour a = p("wood_light"), b = p("wood_dark");
    c.apply([&](int x, int y, const Colour&) {
        const int plank = y / 20;
        const int offset = (plank * 37 + variant * 53) % 120;
        const int seam = (x + offset) % 60;
        if (y % 20 == 0 || seam == 0)
            return b.scaled(0.7f);
        const float grain = std::sin((x + offset) * 0.09f + fractalNoise(x / 25.0f, y / 4.0f, 70u + plank) * 6.0f);
        const float tone = hashNoise(plank, (x + offset) / 60, 71u + std::uint32_t(variant));
        return mix(a, b, clamp01(0.35f + grain * 0.15f + tone * 0.35f));
    });
}

void carpet(Canvas& c, const Palette& p)
{
    const Colour base = p("carpet"), trim = p("carpet_trim");
    c.apply([&](int x, int y, const Colour&) {
        const float n = fractalNoise(x / 3.0f, y / 3.0f, 90u);
        const bool diamond = (std::abs((x % 40) - 20) + std::abs((y % 40) - 20)) == 14;
        return (diamond ? trim : base).scaled(0.9f + n * 0.2f);
    });
}

// Floor with a painted warning frame, round machines and hatches.
void hazard(Canvas& c, const Palette& p)
{
    labFloor(c, p, 0);
    const Shape frame = subtract(rect(6, 6, 108, 108, 3), rect(14, 14, 92, 92, 2));
    c.fill(frame, p("hazard_dark").withAlpha(0.85f));
    c.fill(intersect(frame, Shape{[](float x, float y) { return std::fmod(x + y + 400.0f, 24.0f) < 12 ? -1.0f : 1.0f; },
                                  0, 0, 120, 120}),
           p("hazard_yellow").withAlpha(0.85f));
    c.apply([&](int x, int y, const Colour& k) { // worn paint
        return mix(k, p("floor_lab"), clamp01((fractalNoise(x / 6.0f, y / 6.0f, 61u) - 0.55f) * 2.5f));
    });
}

// A wall seen from above: a dark top with plates; sides open to the floor get a lit lip and
// a bright trim so that the outline of every room reads at once, even half in the dark.
void wall(Canvas& c, const Palette& p, int mask)
{
    const Colour top = p("wall_top");
    c.apply([&](int x, int y, const Colour&) {
        const float n = fractalNoise(x / 20.0f, y / 20.0f, 5u);
        float shade = 0.9f + n * 0.2f;
        if (x % 60 == 0 || y % 40 == 0)
            shade *= 0.82f;
        if (x % 60 == 1 || y % 40 == 1)
            shade *= 1.08f;
        return top.scaled(shade);
    });
    const bool north = mask & 1, east = mask & 2, south = mask & 4, west = mask & 8;
    const Colour lip = p("wall_lip"), shadow = p("wall_shadow"), trim = p("wall_trim");
    constexpr float Band = 14;
    if (!north)
        c.fill(rect(0, 0, T, Band), linear(0, 0, lip, 0, Band, top));
    if (!west)
        c.fill(rect(0, 0, Band, T), linear(0, 0, lip, Band, 0, top.withAlpha(0)));
    if (!south)
        c.fill(rect(0, T - Band, T, Band), linear(0, T - Band, top.withAlpha(0), 0, T, shadow));
    if (!east)
        c.fill(rect(T - Band, 0, Band, T), linear(T - Band, 0, top.withAlpha(0), T, 0, shadow));
    if (!north)
        c.fill(rect(0, 0, T, 3), trim);
    if (!south)
        c.fill(rect(0, T - 3, T, 3), trim);
    if (!west)
        c.fill(rect(0, 0, 3, T), trim);
    if (!east)
        c.fill(rect(T - 3, 0, 3, T), trim);
    // A rivet at each plate corner far from the edges keeps large wall areas from looking flat.
    for (int y : {40, 80})
        for (int x : {30, 90})
            c.fill(circle(float(x), float(y), 2), p("wall_lip").withAlpha(0.5f));
}

// A sliding door across the tile from left to right; stage 0 closed .. 3 open.
void doorAcross(Canvas& c, const Palette& p, int stage)
{
    labFloor(c, p, 0);
    const Colour frame = p("wall_top"), trim = p("wall_trim");
    // Track in the floor.
    c.fill(rect(0, 55, T, 10), p("metal_dark"));
    c.fill(rect(0, 59, T, 2), p("metal_light"));
    // How far each leaf has slid into the wall: stages at 0, 20, 40 and fully in.
    const float slide[4] = {0, 14, 32, 48};
    const float leafLen = 48;
    for (int side = 0; side < 2; ++side) {
        const float dir = side == 0 ? -1.0f : 1.0f;
        const float inner = 60 + dir * slide[stage];
        const float x0 = side == 0 ? inner - leafLen : inner;
        Shape leaf = rect(x0, 38, leafLen, 44, 3);
        leaf = intersect(leaf, rect(12, 0, 96, T));
        c.shadow(leaf, 2, 4, 5, 0.4f);
        c.fill(leaf, linear(0, 38, p("door_light"), 0, 82, p("door_dark")));
        c.fill(intersect(leaf, rect(x0 + 6, 48, leafLen - 12, 3)), Colour(1, 1, 1, 0.3f));
        c.fill(intersect(leaf, rect(x0 + 6, 70, leafLen - 12, 3)), Colour(0, 0, 0, 0.3f));
        // Hazard stripes on the meeting edges.
        const float ex = side == 0 ? inner - 10 : inner;
        const Shape edge = intersect(rect(ex, 40, 10, 40), rect(12, 0, 96, T));
        c.fill(edge, p("hazard_dark"));
        c.fill(
            intersect(edge, Shape{[](float x, float y) { return std::fmod(x + y + 400.0f, 12.0f) < 6 ? -1.0f : 1.0f; },
                                  0, 0, 120, 120}),
            p("hazard_yellow"));
    }
    // Frames: the wall ends that hide the leaves.
    for (int side = 0; side < 2; ++side) {
        const float x = side == 0 ? 0 : T - 14;
        c.fill(rect(x, 0, 14, T), frame);
        c.fill(rect(x, 0, 14, 3), trim);
        c.fill(rect(x, T - 3, 14, 3), trim);
        c.fill(rect(side == 0 ? 11 : T - 14, 0, 3, T), trim);
    }
    // Status light: red closed, amber moving, green open.
    const char* light = stage == 0 ? "light_red" : (stage == 3 ? "light_green" : "light_amber");
    c.fill(circle(7, 60, 10), p(light).withAlpha(0.3f), 6);
    c.fill(circle(7, 60, 3.5f), p(light));
    c.fill(circle(T - 7, 60, 10), p(light).withAlpha(0.3f), 6);
    c.fill(circle(T - 7, 60, 3.5f), p(light));
}

void startMat(Canvas& c, const Palette& p)
{
    labFloor(c, p, 0);
    c.fill(rect(14, 14, 92, 92, 8), p("mat"));
    c.fill(ring(60, 60, 30, 3), p("mat_line"));
    c.fill(segment(60, 22, 60, 98, 1.5f), p("mat_line"));
    c.fill(segment(22, 60, 98, 60, 1.5f), p("mat_line"));
}

void exitFloor(Canvas& c, const Palette& p)
{
    grate(c, p, 0);
    c.fill(circle(60, 60, 52), p("exit_glow").withAlpha(0.35f), 16);
    c.fill(rect(16, 16, 88, 88, 6), p("metal_dark"));
    c.fill(ring(60, 60, 34, 4), p("exit_glow"));
    c.fill(polygon({{60, 36}, {80, 62}, {68, 62}, {68, 84}, {52, 84}, {52, 62}, {40, 62}}), p("exit_glow"));
}

} // namespace

void drawGround(Canvas& sheet, const Palette& p)
{
    for (int v = 0; v < 4; ++v)
        paintTile(sheet, ground::LabFloor + v, [&](Canvas& c) { labFloor(c, p, v); });
    for (int v = 0; v < 2; ++v)
        paintTile(sheet, ground::Grate + v, [&](Canvas& c) { grate(c, p, v); });
    for (int v = 0; v < 2; ++v)
        paintTile(sheet, ground::Wood + v, [&](Canvas& c) { wood(c, p, v); });
    paintTile(sheet, ground::Carpet, [&](Canvas& c) { carpet(c, p); });
    paintTile(sheet, ground::Hazard, [&](Canvas& c) { hazard(c, p); });
    for (int mask = 0; mask < 16; ++mask)
        paintTile(sheet, ground::Wall + mask, [&](Canvas& c) { wall(c, p, mask); });
    for (int stage = 0; stage < 4; ++stage) {
        Canvas across(T, T);
        doorAcross(across, p, stage);
        placeTile(sheet, across, ground::DoorAcross + stage);
        // The same door turned a quarter: mirrored over the diagonal.
        Canvas along(T, T);
        for (int y = 0; y < T; ++y)
            for (int x = 0; x < T; ++x)
                along.set(x, y, across.at(y, x));
        placeTile(sheet, along, ground::DoorAlong + stage);
    }
    paintTile(sheet, ground::StartMat, [&](Canvas& c) { startMat(c, p); });
    paintTile(sheet, ground::ExitFloor, [&](Canvas& c) { exitFloor(c, p); });
}

} // namespace art
