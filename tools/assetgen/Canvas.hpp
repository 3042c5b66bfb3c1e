#pragma once

#include <SFML/Graphics/Image.hpp>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A small floating-point painter for the game's art. Shapes are given as signed distance
// functions (negative inside, in pixels), which gives clean anti-aliased edges and soft
// shadows from the same description. Pixels are stored premultiplied so that "over"
// compositing is one multiply-add.
namespace art {

struct Colour {
    float r = 0, g = 0, b = 0, a = 1; // straight (not premultiplied), 0..1

    Colour() = default;
    Colour(float red, float green, float blue, float alpha = 1) : r(red), g(green), b(blue), a(alpha) {}
    static Colour rgb(int red, int green, int blue, int alpha = 255);
    Colour withAlpha(float alpha) const { return {r, g, b, alpha}; }
    Colour scaled(float factor) const; // brightness, alpha unchanged
};

Colour mix(const Colour& x, const Colour& y, float t);

struct Vec {
    float x = 0, y = 0;
};

// A shape: signed distance at a point and the box outside which it has no coverage.
struct Shape {
    std::function<float(float, float)> distance;
    float left = 0, top = 0, right = 0, bottom = 0;
};

Shape circle(float cx, float cy, float radius);
Shape ellipse(float cx, float cy, float rx, float ry, float angleDeg = 0);
Shape box(float cx, float cy, float halfW, float halfH, float radius = 0, float angleDeg = 0);
Shape rect(float left, float top, float width, float height, float radius = 0);
Shape segment(float x0, float y0, float x1, float y1, float radius);
Shape polygon(std::vector<Vec> points);
Shape ring(float cx, float cy, float radius, float thickness);
Shape polyline(const std::vector<Vec>& points, float radius);
Shape unite(const Shape& a, const Shape& b);
Shape subtract(const Shape& a, const Shape& b);
Shape intersect(const Shape& a, const Shape& b);
Shape translated(const Shape& s, float dx, float dy);

// Colour as a function of the pixel centre.
using Paint = std::function<Colour(float, float)>;
Paint solid(const Colour& c);
Paint linear(float x0, float y0, const Colour& c0, float x1, float y1, const Colour& c1);
Paint radial(float cx, float cy, float radius, const Colour& inner, const Colour& outer);

class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return w; }
    int height() const { return h; }

    // Paints the shape; softness widens the edge (1 = one pixel of anti-aliasing).
    void fill(const Shape& shape, const Paint& paint, float softness = 1.0f);
    void fill(const Shape& shape, const Colour& colour, float softness = 1.0f);
    // Soft dark copy of the shape, offset, for a feeling of height.
    void shadow(const Shape& shape, float dx, float dy, float blur, float opacity);
    // Every pixel through a function of its position and current colour (straight alpha).
    void apply(const std::function<Colour(int, int, const Colour&)>& f);
    // Darkens or lightens inside a shape by multiplying the colour.
    void tint(const Shape& shape, float factor, float softness = 1.0f);

    void blend(int x, int y, const Colour& c, float coverage);
    Colour at(int x, int y) const; // straight alpha
    void set(int x, int y, const Colour& c);
    // Copies another canvas onto this one (over), at an offset.
    void draw(const Canvas& other, int dx, int dy);

    sf::Image toImage() const;

private:
    struct Pixel {
        float r, g, b, a; // premultiplied
    };
    int w, h;
    std::vector<Pixel> pixels;
};

// Deterministic noise: the same arguments always give the same value, 0..1.
float hashNoise(int x, int y, std::uint32_t seed);
float valueNoise(float x, float y, std::uint32_t seed);
float fractalNoise(float x, float y, std::uint32_t seed, int octaves = 4);

// A seeded generator for layouts (spark paths, book colours...): same seed, same sequence.
class Random {
public:
    explicit Random(std::uint32_t seed) : state(seed * 2654435761u + 1u) {}
    std::uint32_t next();
    float uniform(float lo = 0, float hi = 1);
    int below(int n);

private:
    std::uint32_t state;
};

float clamp01(float v);
float smoothstep(float e0, float e1, float v);

} // namespace art
