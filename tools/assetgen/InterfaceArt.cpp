// Effects, bars, cursors and the loading screen.
#include "Art.hpp"
#include "StrokeFont.hpp"

#include <cmath>

namespace art {

namespace {

constexpr int T = Tile;
constexpr float Pi = 3.14159265f;

// A jagged bolt from (x0, y0) to (x1, y1) by midpoint displacement.
std::vector<Vec> bolt(Random& rng, Vec a, Vec b, int depth, float jitter)
{
    std::vector<Vec> pts{a, b};
    for (int d = 0; d < depth; ++d) {
        std::vector<Vec> next;
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            const Vec p = pts[i], q = pts[i + 1];
            const float nx = -(q.y - p.y), ny = q.x - p.x;
            const float off = rng.uniform(-jitter, jitter);
            next.push_back(p);
            next.push_back({(p.x + q.x) / 2 + nx * off, (p.y + q.y) / 2 + ny * off});
        }
        next.push_back(pts.back());
        pts = next;
        jitter *= 0.6f;
    }
    return pts;
}

Shape grown(const Shape& s, float by)
{
    auto d = s.distance;
    return {[=](float x, float y) { return d(x, y) - by; }, s.left - by, s.top - by, s.right + by, s.bottom + by};
}

void cursorOutline(Canvas& c, const Shape& s, const Colour& colour)
{
    c.fill(grown(s, 2.5f), Colour(0, 0, 0, 0.8f), 1.5f);
    c.fill(s, colour);
}

} // namespace

void drawSpark(Canvas& sheet, const Palette& p)
{
    for (int frame = 0; frame < 3; ++frame) {
        Canvas c(T, T);
        Random rng(600u + std::uint32_t(frame));
        c.fill(circle(60, 60, 40), p("spark_glow").withAlpha(0.25f), 30);
        const int arms = 4 + frame;
        for (int i = 0; i < arms; ++i) {
            const float a = (i + rng.uniform(-0.3f, 0.3f)) * 2 * Pi / arms;
            const float len = rng.uniform(34, 56);
            const auto pts = bolt(rng, {60, 60}, {60 + std::cos(a) * len, 60 + std::sin(a) * len}, 4, 0.3f);
            c.fill(polyline(pts, 3.5f), p("spark_glow").withAlpha(0.5f), 4);
            c.fill(polyline(pts, 1.4f), p("spark_core"));
            if (rng.below(2) == 0) { // a fork
                const Vec from = pts[pts.size() / 2];
                const float b = a + rng.uniform(-0.9f, 0.9f);
                const auto fork = bolt(rng, from, {from.x + std::cos(b) * 18, from.y + std::sin(b) * 18}, 3, 0.3f);
                c.fill(polyline(fork, 1.0f), p("spark_core").withAlpha(0.8f));
            }
        }
        c.fill(circle(60, 60, 8), p("spark_core"), 4);
        sheet.draw(c, frame * T, 0);
    }
}

// Two pictures side by side: the first rules' small spinning shot (15 x 15), then the easier
// rules' larger, brighter one with its trail behind it (48 x 24, flying toward +x, the shot's
// centre at (36, 12)), whose glow stays readable over dark floor.
void drawShot(Canvas& c, const Palette& p)
{
    c.fill(circle(7.5f, 7.5f, 7), p("shot_glow").withAlpha(0.5f), 3);
    c.fill(circle(7.5f, 7.5f, 4.5f), p("shot_core"));
    c.fill(ellipse(9, 6, 2.5f, 1.5f, -30), Colour(1, 1, 1, 0.9f)); // the spin shows on this glint
    const float x = 15 + 36, y = 12;
    const Colour glow = p("shot_glow").scaled(1.3f);
    c.fill(polygon({{15, y}, {x, y - 7}, {x, y + 7}}), linear(15, y, glow.withAlpha(0.f), x, y, glow.withAlpha(0.7f)), 2);
    c.fill(circle(x, y, 11.5f), radial(x, y, 11.5f, glow.withAlpha(0.85f), p("shot_glow").withAlpha(0.f)));
    c.fill(circle(x, y, 7.5f), p("shot_glow").scaled(1.4f), 2);
    c.fill(circle(x, y, 5), p("shot_core"));
    c.fill(circle(x, y, 2.5f), Colour(1, 1, 1, 1));
}

// The bars are filled up to column 400 (life) or 130 (stamina) and transparent after: the game
// shifts the view by the missing amount, so the filled part seen is exactly the value.
namespace {
void bar(Canvas& c, const Palette& p, int full, int height, const char* hi, const char* lo)
{
    const float top = height * 0.2f, h = height * 0.6f;
    c.fill(rect(0, top + 4, float(full), h, 0), Colour(0, 0, 0, 0.4f), 6);
    const Shape body = rect(-20, top, float(full) + 20, h, h / 2);
    c.fill(body, linear(0, top, p(hi), 0, top + h, p(lo)));
    c.fill(intersect(body, rect(-20, top + h * 0.12f, float(full) + 20, h * 0.22f)), Colour(1, 1, 1, 0.35f));
    c.fill(intersect(body, rect(-20, top + h * 0.78f, float(full) + 20, h * 0.22f)), Colour(0, 0, 0, 0.25f));
    c.fill(subtract(grown(body, 2), body), Colour(0, 0, 0, 0.7f));
    c.fill(circle(float(full) - h / 2, top + h / 2, h * 0.28f), Colour(1, 1, 1, 0.5f), 4); // bright tip
    // Nothing at or after the full mark: the game repeats the last column beyond the picture.
    c.apply([&](int x, int, const Colour& k) { return x >= full ? Colour(0, 0, 0, 0) : k; });
}
} // namespace

void drawLifeBar(Canvas& c, const Palette& p)
{
    bar(c, p, 400, c.height(), "life_hi", "life_lo");
}

void drawRunBar(Canvas& c, const Palette& p)
{
    bar(c, p, 130, c.height(), "run_hi", "run_lo");
}

// ---- cursors (100 x 100, hot spot at the centre) ---------------------------------------------

void drawCursorMain(Canvas& c, const Palette& p)
{
    const Colour col = p("cursor_main");
    cursorOutline(c, ring(50, 50, 14, 3), col);
    for (int i = 0; i < 4; ++i) {
        const float a = i * Pi / 2;
        cursorOutline(
            c,
            segment(50 + std::cos(a) * 22, 50 + std::sin(a) * 22, 50 + std::cos(a) * 34, 50 + std::sin(a) * 34, 2.2f),
            col);
    }
    cursorOutline(c, circle(50, 50, 2.5f), col);
}

void drawCursorAttack(Canvas& c, const Palette& p)
{
    const Colour col = p("cursor_attack");
    for (int i = 0; i < 4; ++i) {
        const float a0 = i * Pi / 2 + 0.35f, a1 = (i + 1) * Pi / 2 - 0.35f;
        std::vector<Vec> arc;
        for (int k = 0; k <= 8; ++k) {
            const float a = a0 + (a1 - a0) * k / 8;
            arc.push_back({50 + std::cos(a) * 26, 50 + std::sin(a) * 26});
        }
        cursorOutline(c, polyline(arc, 2.5f), col);
        const float m = i * Pi / 2;
        cursorOutline(c,
                      polygon({{50 + std::cos(m) * 14, 50 + std::sin(m) * 14},
                               {50 + std::cos(m + 0.25f) * 36, 50 + std::sin(m + 0.25f) * 36},
                               {50 + std::cos(m - 0.25f) * 36, 50 + std::sin(m - 0.25f) * 36}}),
                      col);
    }
    cursorOutline(c, circle(50, 50, 3), col);
}

void drawCursorAnalyse(Canvas& c, const Palette& p)
{
    const Colour col = p("cursor_analyse");
    c.fill(circle(50, 50, 16), p("cursor_analyse").withAlpha(0.2f));
    cursorOutline(c, ring(50, 50, 17, 4), col);
    cursorOutline(c, segment(63, 63, 82, 82, 5), col);
    cursorOutline(c, segment(44, 43, 48, 40, 1.5f), Colour(1, 1, 1, 0.9f));
    cursorOutline(c, circle(50, 50, 2), col);
}

void drawCursorActivate(Canvas& c, const Palette& p)
{
    const Colour col = p("cursor_activate");
    cursorOutline(c, subtract(box(50, 50, 24, 24, 4, 45), box(50, 50, 19, 19, 3, 45)), col);
    cursorOutline(c, polygon({{53, 30}, {40, 53}, {49, 53}, {45, 70}, {61, 46}, {52, 46}}), col);
}

void drawCursorTalk(Canvas& c, const Palette& p)
{
    const Colour col = p("cursor_talk");
    const Shape bubble = unite(rect(22, 26, 56, 40, 14), polygon({{36, 62}, {50, 62}, {32, 80}}));
    cursorOutline(c, bubble, col);
    for (int i = 0; i < 3; ++i)
        c.fill(circle(38.0f + i * 12, 46, 4), p("cursor_talk_dots"));
}

// ---- loading screen --------------------------------------------------------------------------

void drawLoadingBackground(Canvas& c, const Palette& p)
{
    const int w = c.width(), h = c.height();
    const Colour sky0 = p("night_top"), sky1 = p("night_bottom");
    c.apply([&](int x, int y, const Colour&) {
        const float t = float(y) / h;
        Colour k = mix(sky0, sky1, t);
        const float mist = fractalNoise(x / 260.0f, y / 90.0f, 501u, 5);
        k = mix(k, p("mist"), clamp01((mist - 0.45f) * 1.4f) * t * 0.6f);
        if (hashNoise(x, y, 502u) > 0.9992f && y < h * 0.6f)
            k = mix(k, Colour(1, 1, 1), 0.8f); // stars
        return k;
    });
    // The moon behind the house.
    c.fill(circle(1420, 260, 230), p("moon").withAlpha(0.12f), 160);
    c.fill(circle(1420, 260, 110), p("moon"));
    c.fill(circle(1460, 230, 26), p("moon").scaled(0.92f));
    c.fill(circle(1390, 300, 16), p("moon").scaled(0.9f));
    // The hill and the house of Velmora in silhouette.
    const Colour dark = p("silhouette");
    std::vector<Vec> hill{{0, float(h)}};
    for (int x = 0; x <= w; x += 40)
        hill.push_back({float(x), 800 - std::sin(x / 600.0f) * 90 - fractalNoise(x / 120.0f, 0, 503u) * 60});
    hill.push_back({float(w), float(h)});
    c.fill(polygon(hill), dark);
    const Shape house = unite(unite(rect(1080, 470, 560, 300), polygon({{1050, 480}, {1360, 300}, {1670, 480}})),
                              unite(rect(1160, 360, 70, 130), rect(1500, 330, 60, 160)));
    c.fill(house, dark);
    c.fill(unite(rect(1290, 250, 120, 230), polygon({{1270, 260}, {1350, 150}, {1430, 260}})), dark); // tower
    Random rng(504u);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 7; ++col) {
            if (rng.below(3) == 0)
                continue;
            const float x = 1110 + col * 74.0f, y = 520 + row * 80.0f;
            const Colour lit = p(rng.below(4) == 0 ? "window_green" : "window_warm");
            c.fill(rect(x - 10, y - 10, 46, 56, 4), lit.withAlpha(0.25f), 16);
            c.fill(rect(x, y, 26, 36, 2), lit);
            c.fill(rect(x + 12, y, 2, 36), dark);
            c.fill(rect(x, y + 16, 26, 2), dark);
        }
    c.fill(rect(1334, 300, 32, 44, 3), p("window_green"));
    // Title, top left, glowing.
    const std::string title = "VELMORA";
    const float unit = 16;
    const Shape letters = strokeText(title, 140, 150, unit, 6, 0.12f);
    c.fill(letters, p("title_glow").withAlpha(0.35f), 24);
    c.fill(letters, linear(0, 150, p("title_hi"), 0, 150 + 6 * unit, p("title_lo")));
    // Vignette.
    c.apply([&](int x, int y, const Colour& k) {
        const float dx = (x - w / 2.0f) / (w * 0.6f), dy = (y - h / 2.0f) / (h * 0.6f);
        return k.scaled(1.0f - clamp01((dx * dx + dy * dy) - 0.5f) * 0.6f);
    });
}

// Mirabo, a small round creature, dancing in seven poses.
void drawDancer(Canvas& sheet, const Palette& p)
{
    constexpr int Cell = 300;
    for (int frame = 0; frame < 7; ++frame) {
        Canvas c(Cell, Cell);
        const float phase = frame * 2 * Pi / 7;
        const float bob = std::fabs(std::sin(phase)) * 22;
        const float lean = std::sin(phase) * 12;
        const float cx = 150 + lean, cy = 170 - bob;
        const Colour fur = p("mirabo"), furDark = p("mirabo_dark");
        c.fill(ellipse(150, 286, 60 - bob, 9), Colour(0, 0, 0, 0.4f), 6);
        // Legs.
        for (int s = -1; s <= 1; s += 2) {
            const float kick = std::sin(phase + (s > 0 ? Pi : 0)) * 26;
            const Vec hip{cx + s * 30.0f, cy + 60};
            const Vec foot{150 + s * 46.0f + kick, 276 - std::max(0.0f, kick * s) * 0.8f};
            c.fill(segment(hip.x, hip.y, foot.x, foot.y, 11), furDark);
            c.fill(ellipse(foot.x + s * 8, foot.y + 2, 20, 10), p("mirabo_shoe"));
        }
        // Arms waving.
        for (int s = -1; s <= 1; s += 2) {
            const float wave = std::sin(phase * 2 + s) * 0.8f;
            const Vec shoulder{cx + s * 58.0f, cy - 4};
            const Vec hand{shoulder.x + s * std::cos(wave) * 58, shoulder.y - std::sin(wave + 0.6f) * 64};
            c.fill(segment(shoulder.x, shoulder.y, hand.x, hand.y, 10), furDark);
            c.fill(circle(hand.x, hand.y, 14), fur);
        }
        // Round body with a belly and a face.
        c.fill(circle(cx, cy, 76), radial(cx - 24, cy - 30, 110, fur.scaled(1.25f), furDark));
        c.fill(ellipse(cx, cy + 30, 44, 36), p("mirabo_belly"));
        for (int s = -1; s <= 1; s += 2) {
            c.fill(ellipse(cx + s * 26.0f, cy - 22, 17, 21), Colour(1, 1, 1));
            c.fill(circle(cx + s * 26.0f + lean * 0.3f, cy - 18, 9), Colour(0.1f, 0.1f, 0.15f));
            c.fill(circle(cx + s * 26.0f + lean * 0.3f - 3, cy - 22, 3), Colour(1, 1, 1));
            c.fill(ellipse(cx + s * 46.0f, cy + 4, 10, 6), p("mirabo_cheek").withAlpha(0.6f), 4);
        }
        const float mouth = 8 + std::fabs(std::sin(phase * 2)) * 10;
        c.fill(intersect(ellipse(cx, cy + 6, 20, mouth), rect(cx - 22, cy + 6, 44, 30)), p("mirabo_mouth"));
        // Antenna with a light that changes colour with the beat.
        c.fill(polyline({{cx, cy - 74}, {cx + lean, cy - 104}, {cx + lean * 2, cy - 120}}, 3), furDark);
        const char* bulbs[] = {"light_red", "light_amber", "screen_green"};
        c.fill(circle(cx + lean * 2, cy - 124, 18), p(bulbs[frame % 3]).withAlpha(0.35f), 12);
        c.fill(circle(cx + lean * 2, cy - 124, 9), p(bulbs[frame % 3]));
        sheet.draw(c, frame * Cell, 0);
    }
}

void drawLoadingBar(Canvas& c, const Palette& p)
{
    const float w = float(c.width()), h = float(c.height());
    c.fill(rect(0, 0, w, h), linear(0, 0, p("bar_hi"), 0, h, p("bar_lo")));
    c.fill(intersect(rect(0, 0, w, h), Shape{[](float x, float y) {
                                                 return std::fmod(x - y * 1.2f + 4000.0f, 48.0f) < 24 ? -1.0f : 1.0f;
                                             },
                                             0, 0, w, h}),
           Colour(1, 1, 1, 0.12f));
    c.fill(rect(0, 0, w, h * 0.25f), Colour(1, 1, 1, 0.25f));
    c.fill(rect(0, h - 3, w, 3), Colour(0, 0, 0, 0.5f));
}

} // namespace art
