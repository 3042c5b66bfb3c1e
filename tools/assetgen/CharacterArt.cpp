// The player (Maverick) and the hunters seen from above, and the three dialogue portraits.
// Seen from above, every body faces up (towards -y) in its unrotated cell; the player's legs
// walk down (+y), which is how the game turns them.
#include "Art.hpp"

#include <cmath>

namespace art {

namespace {

constexpr int T = Tile;
constexpr float Pi = 3.14159265f;

// ---- Maverick from above --------------------------------------------------------------------

void maverickBody(Canvas& c, const Palette& p)
{
    const Colour coat = p("maverick_coat"), coatDark = p("maverick_coat_dark"), skin = p("skin");
    c.fill(ellipse(62, 66, 34, 26), Colour(0, 0, 0, 0.35f), 8);
    // Coat tails flare behind.
    const Shape tails = polygon({{40, 64}, {80, 64}, {88, 96}, {60, 90}, {32, 96}});
    c.fill(tails, linear(0, 64, coatDark, 0, 96, coatDark.scaled(0.7f)));
    c.fill(segment(60, 72, 60, 92, 1), coatDark.scaled(0.55f));
    // Scabbard across the back.
    c.fill(segment(42, 86, 80, 58, 3.5f), p("leather"));
    c.fill(segment(78, 59, 84, 55, 4), p("metal_light"));
    // Arms bent, hands ready in front.
    for (int side = -1; side <= 1; side += 2) {
        const float sx = 60 + side * 25.0f;
        c.fill(segment(sx, 62, sx + side * 2.0f, 52, 7), coatDark);
        c.fill(segment(sx + side * 2.0f, 52, sx - side * 6.0f, 45, 6), coatDark);
        c.fill(circle(sx - side * 7.0f, 43, 5.5f), skin);
    }
    // Shoulders.
    const Shape shoulders = ellipse(60, 63, 29, 15);
    c.fill(shoulders, linear(0, 48, coat.scaled(1.2f), 0, 78, coat.scaled(0.8f)));
    c.fill(ellipse(60, 60, 17, 8), coatDark); // collar
    // Head: face at the front, hair over the rest, bandana knot and tails behind.
    c.fill(polygon({{57, 66}, {49, 86}, {55, 85}, {61, 68}}), p("bandana").scaled(0.75f));
    c.fill(polygon({{60, 66}, {71, 83}, {65, 86}, {58, 68}}), p("bandana"));
    c.fill(circle(60, 54, 14), skin);
    const Colour hairColour = p("maverick_hair");
    const Shape hair = subtract(circle(60, 56.5f, 15), ellipse(60, 41, 10, 6));
    c.fill(hair, radial(56, 58, 16, hairColour.scaled(1.25f), hairColour.scaled(0.8f)));
    c.fill(ellipse(55, 54, 5, 8, 20), hairColour.scaled(1.9f).withAlpha(0.35f), 3); // sheen
    // Bandana: a band across the brow only.
    c.fill(intersect(ring(60, 56, 13, 3.2f), rect(40, 36, 40, 17)), p("bandana"));
    c.fill(circle(60, 68, 3.5f), p("bandana").scaled(0.8f)); // the knot
    c.fill(circle(60, 40.5f, 2.2f), skin.scaled(0.88f));     // nose tip
}

void maverickLegs(Canvas& c, const Palette& p, int frame)
{
    const float swing = std::sin(Pi * frame / 8.0f) * 16.0f;
    for (int side = -1; side <= 1; side += 2) {
        const float x = 60 + side * 11.0f;
        const float y = 60 + side * swing; // forward is +y for the legs sprite
        c.fill(segment(60 + side * 8.0f, 62, x, y, 6.5f), p("trousers"));
        c.fill(ellipse(x, y + 4, 7, 11), p("boots"));
        c.fill(ellipse(x - 2, y, 3, 5), p("boots").scaled(1.5f));
    }
}

void maverickCorpse(Canvas& c, const Palette& p)
{
    c.apply([&](int x, int y, const Colour&) {
        const float dx = (x - 58.0f) / 46, dy = (y - 66.0f) / 36;
        const float d = std::sqrt(dx * dx + dy * dy) + (fractalNoise(x / 12.0f, y / 12.0f, 3u) - 0.5f) * 0.5f;
        return p("blood").withAlpha(d < 1 ? 0.85f : 0.0f);
    });
    const Colour coat = p("maverick_coat");
    c.fill(segment(36, 60, 14, 40, 7), coat.scaled(0.7f));
    c.fill(segment(84, 64, 104, 84, 7), coat.scaled(0.7f));
    c.fill(circle(12, 38, 6), p("skin").scaled(0.8f));
    c.fill(circle(106, 86, 6), p("skin").scaled(0.8f));
    c.fill(polygon({{40, 70}, {82, 70}, {92, 104}, {30, 104}}), p("maverick_coat_dark"));
    c.fill(ellipse(60, 66, 28, 15, 8), coat.scaled(0.85f));
    c.fill(circle(56, 44, 14), p("maverick_hair"));
    c.fill(ring(56, 45, 12.5f, 3), p("bandana").scaled(0.8f));
    c.fill(segment(22, 96, 52, 82, 2.5f), p("metal_light")); // the dropped blade
}

void maverickAttack(Canvas& c, const Palette& p)
{
    // The sweep trail lies on the side the blade comes from.
    c.apply([&](int x, int y, const Colour& k) {
        const float dx = x + 0.5f - 90, dy = y + 0.5f - 60;
        const float r = std::sqrt(dx * dx + dy * dy);
        float a = std::atan2(dy, dx) * 180 / Pi;
        if (r < 18 || r > 88 || a < 110)
            return k;
        const float t = (a - 110) / 70.0f;
        const float fade = smoothstep(18, 40, r) * (1 - smoothstep(80, 88, r));
        return p("slash").withAlpha(t * t * 0.55f * fade);
    });
    const Colour steel = p("blade"), edge = p("blade_edge");
    c.fill(polygon({{86, 55}, {14, 57}, {4, 60}, {14, 63}, {86, 65}}), linear(0, 55, edge, 0, 65, steel));
    c.fill(segment(84, 60, 16, 60, 0.8f), Colour(1, 1, 1, 0.8f));
    c.fill(rect(86, 48, 6, 24, 2), p("metal_dark")); // guard
    c.fill(rect(92, 56, 16, 8, 3), p("leather"));    // grip
    c.fill(circle(110, 60, 5), p("metal_light"));
}

// ---- Hunter from above ----------------------------------------------------------------------

void hunterBody(Canvas& c, const Palette& p)
{
    const Colour armour = p("hunter_armour"), dark = p("hunter_armour_dark"), visor = p("hunter_visor");
    c.fill(ellipse(62, 66, 36, 28), Colour(0, 0, 0, 0.35f), 8);
    // Power pack on the back.
    c.fill(rect(44, 70, 32, 22, 5), dark);
    c.fill(rect(50, 86, 20, 4, 2), visor.withAlpha(0.8f));
    // Gun held forward in both hands, on the right.
    c.fill(segment(36, 62, 66, 40, 6), dark);
    c.fill(segment(84, 62, 74, 44, 6), dark);
    c.fill(rect(68, 14, 12, 40, 3), p("gun"));
    c.fill(rect(70, 10, 8, 8, 2), p("gun").scaled(1.4f));
    c.fill(circle(74, 10, 6), visor.withAlpha(0.35f), 5);
    // Torso and pauldrons.
    c.fill(ellipse(60, 64, 24, 16), linear(0, 48, armour.scaled(1.15f), 0, 80, armour.scaled(0.8f)));
    for (int side = -1; side <= 1; side += 2) {
        const float x = 60 + side * 23.0f;
        c.fill(circle(x, 62, 13), radial(x - 4, 57, 16, armour.scaled(1.35f), armour.scaled(0.75f)));
        c.fill(ring(x, 62, 12, 1.5f), dark);
    }
    // Helmet and the glowing visor at its front.
    c.fill(circle(60, 56, 14), radial(55, 51, 18, p("hunter_helmet").scaled(1.4f), p("hunter_helmet")));
    c.fill(intersect(ring(60, 56, 11, 5), rect(40, 38, 40, 13)), visor);
    c.fill(intersect(ring(60, 56, 11, 12), rect(40, 38, 40, 16)), visor.withAlpha(0.3f), 4);
    c.fill(segment(60, 60, 60, 68, 1.2f), dark);
}

void hunterFeet(Canvas& c, const Palette& p, int frame)
{
    const float swing = std::sin(2 * Pi * frame / 6.0f) * 15.0f;
    for (int side = -1; side <= 1; side += 2) {
        const float x = 60 + side * 13.0f;
        const float y = 60 - side * swing; // forward is -y for the hunters
        c.fill(ellipse(x, y - 3, 8, 12), p("hunter_armour_dark"));
        c.fill(ellipse(x, y - 8, 5, 5), p("hunter_armour").scaled(0.9f));
    }
}

void hunterCorpse(Canvas& c, const Palette& p)
{
    c.apply([&](int x, int y, const Colour&) {
        const float dx = (x - 60.0f) / 48, dy = (y - 62.0f) / 38;
        const float d = std::sqrt(dx * dx + dy * dy) + (fractalNoise(x / 10.0f, y / 10.0f, 9u) - 0.5f) * 0.5f;
        const float sheen = fractalNoise(x / 7.0f, y / 7.0f, 19u);
        return mix(p("oil"), p("hunter_visor").scaled(0.5f), sheen * 0.25f).withAlpha(d < 1 ? 0.9f : 0.0f);
    });
    const Colour armour = p("hunter_armour").scaled(0.75f);
    c.fill(segment(30, 50, 18, 28, 6), armour);
    c.fill(segment(88, 72, 108, 90, 6), armour);
    c.fill(ellipse(60, 66, 26, 16, -12), armour);
    c.fill(circle(36, 64, 12), armour.scaled(0.9f));
    c.fill(circle(84, 60, 12), armour.scaled(0.9f));
    c.fill(circle(64, 40, 13), p("hunter_helmet").scaled(0.7f));
    c.fill(intersect(ring(64, 40, 10, 4), rect(50, 22, 30, 12)), p("hunter_visor").scaled(0.35f));
    c.fill(segment(60, 32, 70, 44, 1), p("light_amber")); // crack in the visor
    c.fill(rect(80, 20, 10, 34, 3), p("gun").scaled(0.8f));
    for (int i = 0; i < 4; ++i)
        c.fill(circle(74.0f + i * 5, 34.0f - i * 3, 1.3f), p("light_amber"));
}

// ---- Portraits ------------------------------------------------------------------------------

constexpr float F = 400; // portrait size

void portraitFrame(Canvas& c, const Palette& p, const char* tone)
{
    const Shape card = rect(8, 8, F - 16, F - 16, 28);
    c.shadow(card, 4, 6, 10, 0.6f);
    c.fill(card, radial(F * 0.45f, F * 0.35f, F * 0.75f, p(tone).scaled(1.3f), p(tone).scaled(0.35f)));
    c.apply([&](int x, int y, const Colour& k) {
        if (k.a <= 0)
            return k;
        return k.scaled(0.94f + fractalNoise(x / 30.0f, y / 30.0f, 400u) * 0.12f);
    });
}

void portraitBorder(Canvas& c, const Palette& p, const char* tone)
{
    c.fill(subtract(rect(8, 8, F - 16, F - 16, 28), rect(18, 18, F - 36, F - 36, 20)),
           linear(0, 0, p(tone).scaled(1.6f), F, F, p(tone).scaled(0.6f)));
    c.fill(subtract(rect(18, 18, F - 36, F - 36, 20), rect(21, 21, F - 42, F - 42, 18)), Colour(0, 0, 0, 0.5f));
}

// Busts are drawn on their own canvas and cut to the card, so nothing spills over the frame.
void composePortrait(Canvas& c, const Palette& p, const char* tone, void (*bust)(Canvas&, const Palette&))
{
    portraitFrame(c, p, tone);
    Canvas figure{int(F), int(F)};
    bust(figure, p);
    const Shape card = rect(18, 18, F - 36, F - 36, 20);
    figure.apply([&](int x, int y, const Colour& k) {
        return k.withAlpha(k.a * clamp01(0.5f - card.distance(x + 0.5f, y + 0.5f)));
    });
    c.draw(figure, 0, 0);
    portraitBorder(c, p, tone);
}

void eye(Canvas& c, const Palette& p, float x, float y, float w, const Colour& iris, float lid)
{
    const Shape white = ellipse(x, y, w, w * 0.5f);
    c.fill(white, p("eye_white"));
    c.fill(intersect(circle(x + w * 0.1f, y, w * 0.45f), white), iris);
    c.fill(intersect(circle(x + w * 0.1f, y, w * 0.2f), white), Colour(0.05f, 0.05f, 0.05f));
    c.fill(circle(x - w * 0.05f, y - w * 0.15f, w * 0.1f), Colour(1, 1, 1, 0.9f));
    // Upper lid: a heavy line that makes the look.
    c.fill(intersect(ellipse(x, y - w * lid, w * 1.08f, w * 0.55f),
                     subtract(rect(x - w * 1.2f, y - w, w * 2.4f, w), white)),
           p("lash"));
    c.fill(subtract(ellipse(x, y, w * 1.05f, w * 0.56f), ellipse(x, y + w * 0.08f, w, w * 0.5f)), p("lash"));
}

void drawFaceHuman(Canvas& c, const Palette& p, bool doctor)
{
    const Colour skin = p(doctor ? "skin_old" : "skin");
    const Colour shade = skin.scaled(0.75f);
    // Shoulders and clothes.
    if (doctor) {
        c.fill(polygon({{40, 400}, {70, 320}, {150, 292}, {250, 292}, {330, 320}, {360, 400}}), p("labcoat"));
        c.fill(polygon({{160, 292}, {200, 360}, {240, 292}}), p("shirt"));
        c.fill(polygon({{192, 300}, {208, 300}, {214, 372}, {200, 392}, {186, 372}}), p("tie"));
        c.fill(polygon({{150, 292}, {200, 372}, {168, 400}, {120, 320}}), p("labcoat").scaled(0.85f));
        c.fill(polygon({{250, 292}, {200, 372}, {232, 400}, {280, 320}}), p("labcoat").scaled(0.9f));
    } else {
        c.fill(polygon({{30, 400}, {60, 318}, {150, 290}, {250, 290}, {340, 318}, {370, 400}}),
               linear(0, 290, p("maverick_coat").scaled(1.1f), 0, 400, p("maverick_coat").scaled(0.6f)));
        c.fill(polygon({{150, 290}, {200, 350}, {250, 290}, {270, 300}, {200, 390}, {130, 300}}), p("shirt_dark"));
        c.fill(polygon({{118, 280}, {150, 290}, {200, 350}, {150, 330}}), p("maverick_coat_dark"));
        c.fill(polygon({{282, 280}, {250, 290}, {200, 350}, {250, 330}}), p("maverick_coat_dark"));
    }
    // Neck.
    c.fill(rect(168, 230, 64, 80, 20), linear(0, 230, shade, 0, 300, skin));
    // Ears.
    c.fill(ellipse(124, 200, 14, 24, -10), shade);
    c.fill(ellipse(276, 200, 14, 24, 10), shade);
    // Head.
    const Shape head = ellipse(200, 186, 78, 98);
    c.fill(head, radial(180, 160, 120, skin.scaled(1.08f), shade));
    c.fill(intersect(head, ellipse(200, 300, 70, 40)), shade.withAlpha(0.4f), 20); // jaw shadow
    // Eyes, brows, nose, mouth.
    const Colour iris = p(doctor ? "iris_grey" : "iris_green");
    eye(c, p, 168, 190, 20, iris, doctor ? 0.18f : 0.32f);
    eye(c, p, 234, 190, 20, iris, doctor ? 0.18f : 0.32f);
    const Colour brow = p(doctor ? "hair_grey" : "maverick_hair");
    if (doctor) {
        c.fill(polygon({{140, 160}, {190, 162}, {192, 172}, {144, 172}}), brow);
        c.fill(polygon({{210, 162}, {262, 158}, {258, 172}, {210, 172}}), brow);
    } else { // a frown of resolve
        c.fill(polygon({{142, 164}, {190, 170}, {192, 180}, {146, 174}}), brow);
        c.fill(polygon({{210, 170}, {258, 162}, {256, 172}, {210, 180}}), brow);
    }
    c.fill(polyline({{200, 196}, {192, 238}, {204, 242}}, 2.5f), shade.scaled(0.8f));
    if (doctor) {
        c.fill(polygon({{168, 262}, {200, 256}, {232, 262}, {226, 300}, {200, 316}, {174, 300}}),
               p("hair_grey")); // goatee
        c.fill(polyline({{176, 266}, {200, 272}, {228, 262}}, 2.5f), p("lip").scaled(0.7f));
        for (int s = -1; s <= 1; s += 2) { // wrinkles
            c.fill(polyline({{200 + s * 54.0f, 214}, {200 + s * 60.0f, 232}}, 1.5f), shade.scaled(0.8f));
            c.fill(polyline({{200 + s * 20.0f, 142}, {200 + s * 44.0f, 140}}, 1.3f), shade.scaled(0.85f));
        }
    } else {
        c.fill(polyline({{176, 266}, {204, 268}, {226, 260}}, 3), p("lip"));
        c.fill(segment(236, 214, 256, 236, 1.8f), p("scar")); // scar on the cheek
    }
    // Hair.
    if (doctor) {
        c.fill(subtract(ellipse(200, 128, 84, 56), ellipse(200, 150, 66, 52)), p("hair_grey"));
        c.fill(ellipse(128, 170, 18, 40, 10), p("hair_grey"));
        c.fill(ellipse(272, 170, 18, 40, -10), p("hair_grey"));
        for (int i = 0; i < 6; ++i)
            c.fill(polyline({{120.0f + i * 32, 110}, {134.0f + i * 30, 92 - (i % 2) * 10.0f}}, 5), p("hair_grey"));
        c.fill(ellipse(200, 108, 60, 18), skin.scaled(1.05f)); // high forehead
        // Round glasses.
        for (int s = -1; s <= 1; s += 2) {
            c.fill(circle(201 + s * 33.0f, 190, 28), p("glass").withAlpha(0.25f));
            c.fill(ring(201 + s * 33.0f, 190, 28, 5), p("metal_dark"));
            c.fill(ellipse(192 + s * 33.0f, 178, 10, 6, -30), Colour(1, 1, 1, 0.6f));
        }
        c.fill(segment(188, 188, 214, 188, 2.5f), p("metal_dark"));
    } else {
        const Colour hair = p("maverick_hair");
        c.fill(subtract(ellipse(200, 122, 92, 64), ellipse(200, 168, 80, 60)), hair);
        Random rng(31u);
        for (int i = 0; i < 11; ++i) { // unruly locks
            const float x = 116 + i * 17.0f;
            c.fill(polygon({{x - 14, 120}, {x + 14, 120}, {x + rng.uniform(-16, 22), rng.uniform(50, 78)}}), hair);
        }
        c.fill(polygon({{150, 110}, {226, 100}, {190, 166}, {176, 140}}), hair); // fringe
        c.fill(ellipse(124, 150, 16, 36), hair);
        c.fill(ellipse(276, 150, 16, 36), hair);
        // Bandana across the brow, knot on the side.
        c.fill(intersect(subtract(ellipse(200, 160, 96, 70), ellipse(200, 176, 90, 70)), rect(100, 80, 200, 70)),
               p("bandana"));
        c.fill(polygon({{284, 126}, {330, 150}, {322, 168}, {290, 142}}), p("bandana").scaled(0.85f));
        c.fill(polygon({{284, 126}, {336, 120}, {340, 138}, {290, 140}}), p("bandana"));
    }
}

void drawFaceHunterBust(Canvas& c, const Palette& p)
{
    const Colour armour = p("hunter_armour"), visor = p("hunter_visor");
    c.fill(polygon({{24, 400}, {56, 300}, {140, 270}, {260, 270}, {344, 300}, {376, 400}}),
           linear(0, 270, armour.scaled(1.2f), 0, 400, armour.scaled(0.55f)));
    for (int s = -1; s <= 1; s += 2) // shoulder plates
        c.fill(ellipse(200 + s * 130.0f, 318, 70, 40, s * 18.0f),
               radial(200 + s * 120.0f, 300, 90, armour.scaled(1.4f), armour.scaled(0.6f)));
    c.fill(rect(150, 236, 100, 64, 14), p("hunter_armour_dark"));
    for (int i = 0; i < 4; ++i)
        c.fill(rect(156, 244.0f + i * 13, 88, 6, 3), armour.scaled(0.7f));
    // Helmet dome.
    const Shape dome = ellipse(200, 170, 92, 108);
    c.fill(dome, radial(170, 120, 170, p("hunter_helmet").scaled(1.6f), p("hunter_helmet").scaled(0.5f)));
    c.fill(intersect(dome, rect(100, 214, 200, 80)), p("hunter_armour_dark").withAlpha(0.7f)); // jaw guard
    for (int i = 0; i < 5; ++i)
        c.fill(rect(150.0f + i * 22, 240, 10, 34, 4), Colour(0, 0, 0, 0.6f));
    // The T visor.
    const Shape visorShape = unite(rect(118, 150, 164, 30, 12), rect(186, 150, 28, 80, 10));
    c.fill(visorShape, visor.withAlpha(0.35f), 18);
    c.fill(visorShape, linear(0, 150, visor.scaled(1.3f), 0, 230, visor.scaled(0.7f)));
    for (int i = 0; i < 8; ++i)
        c.fill(intersect(visorShape, rect(110, 152.0f + i * 10, 180, 2)), Colour(1, 1, 1, 0.25f));
    // Antenna and scratches.
    c.fill(segment(262, 92, 300, 30, 3), p("metal_mid"));
    c.fill(circle(300, 30, 6), p("light_red"));
    c.fill(circle(300, 30, 14), p("light_red").withAlpha(0.3f), 8);
    c.fill(segment(140, 110, 170, 96, 1.5f), Colour(1, 1, 1, 0.3f));
    c.fill(segment(236, 250, 262, 232, 1.5f), Colour(1, 1, 1, 0.25f));
    c.fill(ellipse(160, 100, 30, 14, -30), Colour(1, 1, 1, 0.25f), 6);
}

} // namespace

void drawPlayer(Canvas& sheet, const Palette& p)
{
    paintCell(sheet, 0, 0, [&](Canvas& c) { maverickBody(c, p); });
    for (int f = 1; f < 16; ++f)
        paintCell(sheet, (f % 8) * T, (f / 8) * T, [&](Canvas& c) { maverickLegs(c, p, f); });
    paintCell(sheet, 8 * T, 0, [&](Canvas& c) { maverickCorpse(c, p); });
    paintCell(sheet, 8 * T, T, [&](Canvas& c) { maverickAttack(c, p); });
}

void drawHunter(Canvas& sheet, const Palette& p)
{
    paintCell(sheet, 0, 0, [&](Canvas& c) { hunterBody(c, p); });
    for (int f = 1; f < 6; ++f)
        paintCell(sheet, (f % 3) * T, (f / 3) * T, [&](Canvas& c) { hunterFeet(c, p, f); });
    paintCell(sheet, 3 * T, 0, [&](Canvas& c) { hunterCorpse(c, p); });
}

void drawFaceMaverick(Canvas& c, const Palette& p)
{
    composePortrait(c, p, "portrait_red", [](Canvas& f, const Palette& q) { drawFaceHuman(f, q, false); });
}

void drawFaceDoctor(Canvas& c, const Palette& p)
{
    composePortrait(c, p, "portrait_grey", [](Canvas& f, const Palette& q) { drawFaceHuman(f, q, true); });
}

void drawFaceHunter(Canvas& c, const Palette& p)
{
    composePortrait(c, p, "portrait_blue", drawFaceHunterBust);
}

} // namespace art
