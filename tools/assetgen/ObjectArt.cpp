// Furniture and fittings (object sheet) and the overhead sheet drawn over the characters.
// Light comes from the top left: shadows fall to the bottom right.
#include "Art.hpp"

#include <cmath>

namespace art {

namespace {

constexpr int T = Tile;

// A piece of furniture standing on the floor: the shadow most of them cast, then its body.
template <typename Fill>
void standing(Canvas& c, const Shape& body, const Fill& fill)
{
    c.shadow(body, 4, 5, 6, 0.5f);
    c.fill(body, fill);
}

void panel(Canvas& c, const Palette& p, bool remote)
{
    const Colour glow = p(remote ? "light_amber" : "screen_green");
    c.fill(rect(22, 22, 76, 76, 10), glow.withAlpha(0.25f), 14);
    const Shape body = rect(30, 28, 60, 64, 6);
    c.shadow(body, 3, 4, 5, 0.5f);
    c.fill(body, linear(30, 28, p("metal_light"), 90, 92, p("metal_mid")));
    c.fill(rect(36, 34, 48, 32, 3), p("screen_dark"));
    c.fill(rect(38, 36, 44, 28, 2), glow.withAlpha(0.45f));
    if (remote) { // signal waves
        for (int i = 0; i < 3; ++i)
            c.fill(intersect(ring(60, 58, 6.0f + i * 6.0f, 2.2f), rect(40, 34, 40, 24)), glow);
        c.fill(circle(60, 58, 3), glow);
    } else { // a bolt
        c.fill(polygon({{63, 38}, {52, 52}, {59, 52}, {55, 62}, {68, 47}, {61, 47}}), glow);
    }
    for (int i = 0; i < 3; ++i)
        c.fill(circle(44.0f + i * 16.0f, 80, 4), p(i == 1 ? "light_red" : "metal_dark"));
}

void shelf(Canvas& c, const Palette& p, int variant)
{
    standing(c, rect(6, 22, 108, 76, 4), p("wood_dark"));
    c.fill(rect(10, 26, 100, 68, 2), p("wood_shadow"));
    Random rng(300u + std::uint32_t(variant));
    const char* spines[] = {"book_red", "book_blue", "book_green", "book_ochre", "book_purple", "book_brown"};
    for (int row = 0; row < 2; ++row) {
        float x = 11;
        const float y = row == 0 ? 28.0f : 61.0f;
        while (x < 106) {
            const float w = rng.uniform(5, 10);
            if (x + w > 109)
                break;
            const float h = rng.uniform(24, 30);
            const Colour col = p(spines[rng.below(6)]).scaled(rng.uniform(0.8f, 1.1f));
            c.fill(rect(x, y + (30 - h), w - 1, h, 1), linear(x, 0, col.scaled(1.25f), x + w, 0, col.scaled(0.75f)));
            c.fill(rect(x + 1, y + (30 - h) + 4, w - 3, 2), p("book_gold").withAlpha(0.7f));
            x += w;
            if (rng.below(9) == 0)
                x += 4; // a gap where a book was taken
        }
    }
    c.fill(rect(6, 58, 108, 3), p("wood_light"));
}

void readingDesk(Canvas& c, const Palette& p)
{
    standing(c, rect(14, 28, 92, 60, 4), linear(14, 28, p("wood_light"), 106, 88, p("wood_dark")));
    // An open book.
    c.fill(polygon({{34, 42}, {60, 46}, {60, 78}, {34, 74}}), p("paper"));
    c.fill(polygon({{60, 46}, {86, 42}, {86, 74}, {60, 78}}), p("paper").scaled(0.92f));
    for (int i = 0; i < 5; ++i) {
        c.fill(segment(38, 50.0f + i * 5, 56, 52.0f + i * 5, 0.7f), p("ink").withAlpha(0.6f));
        c.fill(segment(64, 52.0f + i * 5, 82, 50.0f + i * 5, 0.7f), p("ink").withAlpha(0.6f));
    }
    // Candle light.
    c.fill(circle(96, 38, 16), p("light_amber").withAlpha(0.3f), 10);
    c.fill(circle(96, 38, 5), p("wax"));
    c.fill(circle(96, 38, 2), p("light_amber"));
}

void exitHatch(Canvas& c, const Palette& p)
{
    c.fill(circle(60, 60, 56), p("exit_glow").withAlpha(0.25f), 18);
    const Shape hatch = circle(60, 60, 40);
    c.shadow(hatch, 3, 4, 5, 0.5f);
    c.fill(hatch, radial(50, 50, 50, p("metal_light"), p("metal_dark")));
    c.fill(ring(60, 60, 36, 3), p("hazard_yellow"));
    c.fill(ring(60, 60, 18, 5), p("metal_mid"));
    for (int i = 0; i < 4; ++i) {
        const float a = i * 3.14159f / 2 + 0.4f;
        c.fill(segment(60, 60, 60 + std::cos(a) * 18, 60 + std::sin(a) * 18, 3), p("metal_mid"));
    }
    c.fill(circle(60, 60, 5), p("exit_glow"));
}

void labBench(Canvas& c, const Palette& p)
{
    standing(c, rect(6, 24, 108, 72, 4), linear(6, 24, p("metal_light"), 114, 96, p("metal_mid")));
    c.fill(rect(10, 28, 100, 64, 3), p("bench_top"));
    const char* liquids[] = {"liquid_green", "liquid_blue", "liquid_pink"};
    const float xs[] = {30, 58, 88};
    for (int i = 0; i < 3; ++i) {
        c.fill(circle(xs[i], 54, 12), p("glass").withAlpha(0.5f));
        c.fill(circle(xs[i], 54, 9), p(liquids[i]).withAlpha(0.85f));
        c.fill(circle(xs[i] - 3, 50, 3), Colour(1, 1, 1, 0.7f));
    }
    c.fill(rect(20, 74, 30, 12, 2), p("paper"));
    c.fill(segment(66, 78, 96, 80, 2), p("metal_dark"));
}

void computer(Canvas& c, const Palette& p)
{
    standing(c, rect(10, 30, 100, 62, 4), p("desk"));
    c.fill(rect(26, 34, 68, 12, 2), p("metal_dark"));
    c.fill(rect(28, 36, 64, 8, 1), p("screen_green").withAlpha(0.7f));
    c.fill(rect(28, 36, 64, 8, 1), p("screen_green").withAlpha(0.3f), 8);
    c.fill(rect(30, 56, 60, 18, 3), p("metal_mid"));
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 9; ++k)
            c.fill(rect(33.0f + k * 6.2f, 59.0f + r * 5, 4.5f, 3.5f, 0.8f), p("metal_light"));
    c.fill(ellipse(98, 66, 5, 7), p("metal_light"));
}

void crate(Canvas& c, const Palette& p)
{
    const Shape body = rect(14, 14, 92, 92, 3);
    c.shadow(body, 5, 6, 6, 0.55f);
    c.fill(body, p("crate"));
    c.fill(subtract(rect(14, 14, 92, 92, 3), rect(24, 24, 72, 72)), p("crate_dark"));
    c.fill(segment(24, 24, 96, 96, 5), p("crate_dark"));
    c.apply([&](int x, int y, const Colour& k) {
        if (k.a <= 0)
            return k;
        return k.scaled(0.92f + std::fabs(std::sin(y * 0.5f + fractalNoise(x / 30.0f, y / 3.0f, 8u) * 4)) * 0.12f);
    });
    for (int y : {19, 101})
        for (int x : {19, 101})
            c.fill(circle(float(x), float(y), 2.5f), p("metal_light"));
}

void barrels(Canvas& c, const Palette& p)
{
    const float xs[] = {38, 82, 58}, ys[] = {40, 44, 82};
    for (int i = 0; i < 3; ++i) {
        const Shape drum = circle(xs[i], ys[i], 22);
        c.shadow(drum, 4, 5, 5, 0.5f);
        c.fill(drum, radial(xs[i] - 6, ys[i] - 6, 28, p("barrel_light"), p("barrel")));
        c.fill(ring(xs[i], ys[i], 16, 2), p("barrel").scaled(0.7f));
        c.fill(circle(xs[i] + 7, ys[i] - 6, 3), p("metal_dark"));
    }
    c.fill(circle(82, 44, 8), p("hazard_yellow").withAlpha(0.8f));
}

void plant(Canvas& c, const Palette& p)
{
    const Shape pot = circle(60, 60, 24);
    c.shadow(pot, 4, 5, 5, 0.5f);
    c.fill(pot, p("pot"));
    c.fill(circle(60, 60, 19), p("soil"));
    Random rng(77u);
    for (int i = 0; i < 9; ++i) {
        const float a = i * 0.7f + rng.uniform(0, 0.4f);
        const float len = rng.uniform(26, 40);
        const Vec tip{60 + std::cos(a) * len, 60 + std::sin(a) * len};
        c.fill(ellipse((60 + tip.x) / 2, (60 + tip.y) / 2, len / 2, 7, a * 180 / 3.14159f),
               linear(60, 60, p("leaf_dark"), tip.x, tip.y, p("leaf")));
    }
}

void operatingTable(Canvas& c, const Palette& p)
{
    standing(c, rect(24, 4, 72, 112, 8), linear(24, 0, p("metal_light"), 96, 0, p("metal_mid")));
    c.fill(rect(30, 10, 60, 100, 6), p("table_pad"));
    for (float y : {30.0f, 62.0f, 94.0f}) {
        c.fill(rect(22, y, 76, 8, 2), p("strap"));
        c.fill(rect(56, y - 1, 8, 10, 1), p("metal_light"));
    }
    // Torn straps: the prisoner got loose.
    c.fill(polygon({{22, 62}, {34, 60}, {30, 70}, {22, 70}}), p("strap").scaled(0.8f));
}

void tank(Canvas& c, const Palette& p)
{
    c.fill(circle(60, 60, 54), p("liquid_green").withAlpha(0.2f), 16);
    standing(c, circle(60, 60, 44), p("metal_mid"));
    c.fill(circle(60, 60, 38), radial(50, 48, 44, p("liquid_green").scaled(1.3f), p("liquid_green").scaled(0.5f)));
    // Something curled up inside.
    c.fill(ellipse(62, 64, 16, 11, 30), p("specimen").withAlpha(0.8f), 3);
    c.fill(circle(52, 54, 7), p("specimen").withAlpha(0.8f), 3);
    for (int i = 0; i < 6; ++i)
        c.fill(circle(40.0f + i * 8, 40.0f + (i % 3) * 14, 1.8f), Colour(1, 1, 1, 0.6f));
    c.fill(ring(60, 60, 40, 4), p("metal_light"));
    c.fill(ellipse(44, 40, 10, 5, -40), Colour(1, 1, 1, 0.35f));
}

void cables(Canvas& c, const Palette& p)
{
    const char* colours[] = {"cable_black", "cable_red", "cable_yellow"};
    for (int i = 0; i < 3; ++i) {
        std::vector<Vec> pts;
        for (int k = 0; k <= 12; ++k) {
            const float x = k * 10.0f;
            pts.push_back({x, 50.0f + i * 10 + std::sin(k * 0.8f + i * 1.7f) * 8});
        }
        c.fill(polyline(pts, 3.5f), Colour(0, 0, 0, 0.35f), 3);
        c.fill(polyline(pts, 2.8f), p(colours[i]));
    }
}

void chair(Canvas& c, const Palette& p)
{
    const Shape seat = rect(38, 42, 44, 42, 8);
    c.shadow(seat, 3, 4, 4, 0.5f);
    c.fill(seat, p("chair"));
    c.fill(rect(36, 30, 48, 14, 6), p("chair").scaled(0.8f));
}

void scorch(Canvas& c, const Palette& p)
{
    c.apply([&](int x, int y, const Colour&) {
        const float dx = x - 60.0f, dy = y - 60.0f;
        const float r = std::sqrt(dx * dx + dy * dy) / 52.0f;
        const float n = fractalNoise(x / 10.0f, y / 10.0f, 13u);
        const float a = clamp01((1.0f - r) * 1.6f + (n - 0.5f) * 0.9f);
        return p("soot").withAlpha(a * 0.85f);
    });
}

void serverRack(Canvas& c, const Palette& p)
{
    const Shape body = rect(12, 10, 96, 100, 4);
    c.shadow(body, 4, 6, 6, 0.55f);
    c.fill(body, p("metal_dark"));
    Random rng(55u);
    for (int r = 0; r < 8; ++r) {
        c.fill(rect(18, 16.0f + r * 11.5f, 84, 9, 2), p("metal_mid"));
        for (int k = 0; k < 5; ++k) {
            const char* led = rng.below(3) == 0 ? "light_amber" : "screen_green";
            c.fill(circle(24.0f + k * 6, 20.5f + r * 11.5f, 1.8f), p(led));
        }
    }
}

void papers(Canvas& c, const Palette& p)
{
    Random rng(21u);
    for (int i = 0; i < 6; ++i) {
        const float x = rng.uniform(25, 95), y = rng.uniform(25, 95), a = rng.uniform(-40, 40);
        const Shape sheet = box(x, y, 12, 16, 1, a);
        c.shadow(sheet, 1, 2, 2, 0.3f);
        c.fill(sheet, p("paper").scaled(rng.uniform(0.85f, 1.0f)));
        for (int k = -2; k <= 2; ++k)
            c.fill(intersect(box(x, y + k * 5.0f, 8, 0.6f, 0, a), sheet), p("ink").withAlpha(0.5f));
    }
}

void cabinet(Canvas& c, const Palette& p)
{
    standing(c, rect(14, 20, 92, 80, 4), linear(14, 20, p("cabinet"), 106, 100, p("cabinet").scaled(0.75f)));
    c.fill(rect(18, 24, 84, 72, 2), p("cabinet").scaled(0.9f));
    c.fill(rect(52, 30, 16, 60, 2), p("cross_red"));
    c.fill(rect(30, 52, 60, 16, 2), p("cross_red"));
}

void bed(Canvas& c, const Palette& p)
{
    standing(c, rect(20, 6, 80, 108, 6), p("wood_dark"));
    c.fill(rect(26, 12, 68, 96, 5), p("sheet"));
    c.fill(rect(32, 16, 56, 22, 8), p("pillow"));
    c.fill(rect(26, 50, 68, 58, 5), p("blanket"));
}

// Overhead fittings: mostly translucent so characters under them stay readable.
void lamp(Canvas& c, const Palette& p)
{
    c.fill(circle(60, 60, 58), p("lamp_light").withAlpha(0.16f), 40);
    c.fill(segment(60, 0, 60, 50, 1.2f), p("metal_dark").withAlpha(0.8f));
    c.fill(circle(60, 60, 12), p("metal_mid"));
    c.fill(circle(60, 60, 7), p("lamp_light"));
}

void pipe(Canvas& c, const Palette& p, bool across)
{
    Canvas strip(T, T);
    strip.fill(rect(0, 44, T, 16), Colour(0, 0, 0, 0.25f), 6);
    strip.fill(rect(0, 38, T, 16), linear(0, 38, p("pipe_light"), 0, 54, p("pipe_dark")));
    strip.fill(rect(56, 35, 10, 22, 2), p("pipe_dark"));
    strip.fill(rect(0, 41, T, 3), Colour(1, 1, 1, 0.25f));
    for (int y = 0; y < T; ++y)
        for (int x = 0; x < T; ++x)
            c.set(x, y, across ? strip.at(x, y) : strip.at(y, x));
}

void vent(Canvas& c, const Palette& p)
{
    c.fill(rect(30, 30, 60, 60, 4), p("metal_mid").withAlpha(0.85f));
    for (int i = 0; i < 6; ++i)
        c.fill(rect(36, 36.0f + i * 8.5f, 48, 4, 1), p("metal_dark").withAlpha(0.9f));
}

void beam(Canvas& c, const Palette& p, bool across)
{
    Canvas strip(T, T);
    strip.fill(rect(0, 50, T, 24), Colour(0, 0, 0, 0.3f), 8);
    strip.fill(rect(0, 46, T, 22), p("beam"));
    for (int y = 0; y < T; ++y)
        for (int x = 0; x < T; ++x) {
            Colour k = across ? strip.at(x, y) : strip.at(y, x);
            c.set(x, y, k);
        }
    // The holes of a light truss.
    for (int i = 0; i < 4; ++i) {
        const Shape hole = polygon({{8.0f + i * 30, 52}, {26.0f + i * 30, 52}, {17.0f + i * 30, 63}});
        for (int y = 0; y < T; ++y)
            for (int x = 0; x < T; ++x) {
                const float d = across ? hole.distance(x + 0.5f, y + 0.5f) : hole.distance(y + 0.5f, x + 0.5f);
                if (d < 0)
                    c.set(x, y, Colour(0, 0, 0, 0));
            }
    }
}

void hangingCables(Canvas& c, const Palette& p)
{
    for (int i = 0; i < 3; ++i) {
        std::vector<Vec> pts;
        for (int k = 0; k <= 12; ++k)
            pts.push_back({k * 10.0f, 30.0f + i * 22 + std::sin(k * 0.26f) * 18});
        c.fill(polyline(pts, 2.2f), p(i == 1 ? "cable_red" : "cable_black").withAlpha(0.9f));
    }
}

// A pane of glass in a steel frame, seen from above: the floor shows through it.
void windowPane(Canvas& c, const Palette& p)
{
    c.fill(rect(0, 0, T, T), p("glass").withAlpha(0.22f));
    c.fill(subtract(rect(0, 0, T, T), rect(8, 8, T - 16, T - 16)), p("beam"));
    c.fill(rect(0, 56, T, 8), p("beam"));
    for (int i = 0; i < 2; ++i)
        c.fill(polygon({{14.0f + i * 46, 48}, {48.0f + i * 46, 14}, {56.0f + i * 46, 14}, {22.0f + i * 46, 48}}),
               p("glass").withAlpha(0.55f));
}

} // namespace

void drawObjects(Canvas& sheet, const Palette& p)
{
    paintTile(sheet, objects::Panel, [&](Canvas& c) { panel(c, p, false); });
    paintTile(sheet, objects::RemotePanel, [&](Canvas& c) { panel(c, p, true); });
    paintTile(sheet, objects::Shelf, [&](Canvas& c) { shelf(c, p, 0); });
    paintTile(sheet, objects::Shelf + 1, [&](Canvas& c) { shelf(c, p, 1); });
    paintTile(sheet, objects::ReadingDesk, [&](Canvas& c) { readingDesk(c, p); });
    paintTile(sheet, objects::ExitHatch, [&](Canvas& c) { exitHatch(c, p); });
    paintTile(sheet, objects::LabBench, [&](Canvas& c) { labBench(c, p); });
    paintTile(sheet, objects::Computer, [&](Canvas& c) { computer(c, p); });
    paintTile(sheet, objects::Crate, [&](Canvas& c) { crate(c, p); });
    paintTile(sheet, objects::Barrels, [&](Canvas& c) { barrels(c, p); });
    paintTile(sheet, objects::Plant, [&](Canvas& c) { plant(c, p); });
    paintTile(sheet, objects::OperatingTable, [&](Canvas& c) { operatingTable(c, p); });
    paintTile(sheet, objects::Tank, [&](Canvas& c) { tank(c, p); });
    paintTile(sheet, objects::Cables, [&](Canvas& c) { cables(c, p); });
    paintTile(sheet, objects::Chair, [&](Canvas& c) { chair(c, p); });
    paintTile(sheet, objects::Scorch, [&](Canvas& c) { scorch(c, p); });
    paintTile(sheet, objects::ServerRack, [&](Canvas& c) { serverRack(c, p); });
    paintTile(sheet, objects::Papers, [&](Canvas& c) { papers(c, p); });
    paintTile(sheet, objects::Cabinet, [&](Canvas& c) { cabinet(c, p); });
    paintTile(sheet, objects::Bed, [&](Canvas& c) { bed(c, p); });
}

void drawCeiling(Canvas& sheet, const Palette& p)
{
    paintTile(sheet, ceiling::Lamp, [&](Canvas& c) { lamp(c, p); });
    paintTile(sheet, ceiling::PipeAcross, [&](Canvas& c) { pipe(c, p, true); });
    paintTile(sheet, ceiling::PipeAlong, [&](Canvas& c) { pipe(c, p, false); });
    paintTile(sheet, ceiling::Vent, [&](Canvas& c) { vent(c, p); });
    paintTile(sheet, ceiling::BeamAcross, [&](Canvas& c) { beam(c, p, true); });
    paintTile(sheet, ceiling::BeamAlong, [&](Canvas& c) { beam(c, p, false); });
    paintTile(sheet, ceiling::HangingCables, [&](Canvas& c) { hangingCables(c, p); });
    paintTile(sheet, ceiling::Window, [&](Canvas& c) { windowPane(c, p); });
}

} // namespace art
