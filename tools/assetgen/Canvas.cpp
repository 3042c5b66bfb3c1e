#include "Canvas.hpp"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr float Pi = 3.14159265358979f;

float length(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

void rotate(float& x, float& y, float angleDeg)
{
    if (angleDeg == 0)
        return;
    const float a = -angleDeg * Pi / 180.0f;
    const float c = std::cos(a), s = std::sin(a);
    const float rx = x * c - y * s, ry = x * s + y * c;
    x = rx;
    y = ry;
}

} // namespace

// ---- colours -------------------------------------------------------------------------------

Colour Colour::rgb(int red, int green, int blue, int alpha)
{
    return {red / 255.0f, green / 255.0f, blue / 255.0f, alpha / 255.0f};
}

Colour Colour::scaled(float factor) const
{
    return {clamp01(r * factor), clamp01(g * factor), clamp01(b * factor), a};
}

Colour mix(const Colour& x, const Colour& y, float t)
{
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

float clamp01(float v)
{
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

float smoothstep(float e0, float e1, float v)
{
    const float t = clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// ---- shapes --------------------------------------------------------------------------------

Shape circle(float cx, float cy, float radius)
{
    return {[=](float x, float y) { return length(x - cx, y - cy) - radius; }, cx - radius, cy - radius, cx + radius,
            cy + radius};
}

Shape ellipse(float cx, float cy, float rx, float ry, float angleDeg)
{
    const float reach = std::max(rx, ry);
    return {[=](float x, float y) {
                float px = x - cx, py = y - cy;
                rotate(px, py, angleDeg);
                const float k0 = length(px / rx, py / ry);
                const float k1 = length(px / (rx * rx), py / (ry * ry));
                if (k1 == 0)
                    return -std::min(rx, ry);
                return k0 * (k0 - 1.0f) / k1;
            },
            cx - reach, cy - reach, cx + reach, cy + reach};
}

Shape box(float cx, float cy, float halfW, float halfH, float radius, float angleDeg)
{
    const float reach = angleDeg == 0 ? 0 : length(halfW, halfH);
    const float ex = angleDeg == 0 ? halfW : reach, ey = angleDeg == 0 ? halfH : reach;
    return {[=](float x, float y) {
                float px = x - cx, py = y - cy;
                rotate(px, py, angleDeg);
                const float qx = std::fabs(px) - (halfW - radius), qy = std::fabs(py) - (halfH - radius);
                return length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - radius;
            },
            cx - ex, cy - ey, cx + ex, cy + ey};
}

Shape rect(float left, float top, float width, float height, float radius)
{
    return box(left + width / 2, top + height / 2, width / 2, height / 2, radius);
}

Shape segment(float x0, float y0, float x1, float y1, float radius)
{
    return {[=](float x, float y) {
                const float dx = x1 - x0, dy = y1 - y0;
                const float len2 = dx * dx + dy * dy;
                float t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
                t = std::clamp(t, 0.0f, 1.0f);
                return length(x - (x0 + t * dx), y - (y0 + t * dy)) - radius;
            },
            std::min(x0, x1) - radius, std::min(y0, y1) - radius, std::max(x0, x1) + radius, std::max(y0, y1) + radius};
}

Shape polygon(std::vector<Vec> points)
{
    Shape s;
    s.left = s.top = 1e9f;
    s.right = s.bottom = -1e9f;
    for (const Vec& p : points) {
        s.left = std::min(s.left, p.x);
        s.top = std::min(s.top, p.y);
        s.right = std::max(s.right, p.x);
        s.bottom = std::max(s.bottom, p.y);
    }
    s.distance = [points](float x, float y) {
        const size_t n = points.size();
        float best = 1e9f;
        bool inside = false;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const Vec& a = points[i];
            const Vec& b = points[j];
            const float ex = b.x - a.x, ey = b.y - a.y;
            const float wx = x - a.x, wy = y - a.y;
            const float len2 = ex * ex + ey * ey;
            const float t = len2 > 0 ? std::clamp((wx * ex + wy * ey) / len2, 0.0f, 1.0f) : 0;
            best = std::min(best, length(wx - ex * t, wy - ey * t));
            if (((a.y > y) != (b.y > y)) && (x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x))
                inside = !inside;
        }
        return inside ? -best : best;
    };
    return s;
}

Shape ring(float cx, float cy, float radius, float thickness)
{
    const float reach = radius + thickness / 2;
    return {[=](float x, float y) { return std::fabs(length(x - cx, y - cy) - radius) - thickness / 2; }, cx - reach,
            cy - reach, cx + reach, cy + reach};
}

Shape polyline(const std::vector<Vec>& points, float radius)
{
    Shape s = segment(points[0].x, points[0].y, points[0].x, points[0].y, radius);
    for (size_t i = 1; i < points.size(); ++i)
        s = unite(s, segment(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, radius));
    return s;
}

Shape unite(const Shape& a, const Shape& b)
{
    auto da = a.distance, db = b.distance;
    return {[=](float x, float y) { return std::min(da(x, y), db(x, y)); }, std::min(a.left, b.left),
            std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

Shape subtract(const Shape& a, const Shape& b)
{
    auto da = a.distance, db = b.distance;
    return {[=](float x, float y) { return std::max(da(x, y), -db(x, y)); }, a.left, a.top, a.right, a.bottom};
}

Shape intersect(const Shape& a, const Shape& b)
{
    auto da = a.distance, db = b.distance;
    return {[=](float x, float y) { return std::max(da(x, y), db(x, y)); }, std::max(a.left, b.left),
            std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

Shape translated(const Shape& s, float dx, float dy)
{
    auto d = s.distance;
    return {[=](float x, float y) { return d(x - dx, y - dy); }, s.left + dx, s.top + dy, s.right + dx, s.bottom + dy};
}

// ---- paints --------------------------------------------------------------------------------

Paint solid(const Colour& c)
{
    return [c](float, float) { return c; };
}

Paint linear(float x0, float y0, const Colour& c0, float x1, float y1, const Colour& c1)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = dx * dx + dy * dy;
    return [=](float x, float y) {
        const float t = len2 > 0 ? clamp01(((x - x0) * dx + (y - y0) * dy) / len2) : 0;
        return mix(c0, c1, t);
    };
}

Paint radial(float cx, float cy, float radius, const Colour& inner, const Colour& outer)
{
    return [=](float x, float y) { return mix(inner, outer, clamp01(length(x - cx, y - cy) / radius)); };
}

// ---- canvas --------------------------------------------------------------------------------

Canvas::Canvas(int width, int height) : w(width), h(height), pixels(size_t(width) * height, Pixel{0, 0, 0, 0}) {}

void Canvas::blend(int x, int y, const Colour& c, float coverage)
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    const float a = clamp01(c.a * coverage);
    if (a <= 0)
        return;
    Pixel& p = pixels[size_t(y) * w + x];
    const float keep = 1 - a;
    p.r = c.r * a + p.r * keep;
    p.g = c.g * a + p.g * keep;
    p.b = c.b * a + p.b * keep;
    p.a = a + p.a * keep;
}

Colour Canvas::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return {0, 0, 0, 0};
    const Pixel& p = pixels[size_t(y) * w + x];
    if (p.a <= 0)
        return {0, 0, 0, 0};
    return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Canvas::set(int x, int y, const Colour& c)
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    pixels[size_t(y) * w + x] = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}

void Canvas::fill(const Shape& shape, const Paint& paint, float softness)
{
    const float margin = softness + 1;
    const int x0 = std::max(0, int(std::floor(shape.left - margin)));
    const int y0 = std::max(0, int(std::floor(shape.top - margin)));
    const int x1 = std::min(w - 1, int(std::ceil(shape.right + margin)));
    const int y1 = std::min(h - 1, int(std::ceil(shape.bottom + margin)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float d = shape.distance(px, py);
            const float coverage = clamp01(0.5f - d / softness);
            if (coverage > 0)
                blend(x, y, paint(px, py), coverage);
        }
}

void Canvas::fill(const Shape& shape, const Colour& colour, float softness)
{
    fill(shape, solid(colour), softness);
}

void Canvas::shadow(const Shape& shape, float dx, float dy, float blur, float opacity)
{
    fill(translated(shape, dx, dy), Colour(0, 0, 0, opacity), blur);
}

void Canvas::apply(const std::function<Colour(int, int, const Colour&)>& f)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            set(x, y, f(x, y, at(x, y)));
}

void Canvas::tint(const Shape& shape, float factor, float softness)
{
    const int x0 = std::max(0, int(std::floor(shape.left - softness - 1)));
    const int y0 = std::max(0, int(std::floor(shape.top - softness - 1)));
    const int x1 = std::min(w - 1, int(std::ceil(shape.right + softness + 1)));
    const int y1 = std::min(h - 1, int(std::ceil(shape.bottom + softness + 1)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float coverage = clamp01(0.5f - shape.distance(x + 0.5f, y + 0.5f) / softness);
            if (coverage <= 0)
                continue;
            Pixel& p = pixels[size_t(y) * w + x];
            const float k = 1 + (factor - 1) * coverage;
            p.r = std::min(p.a, p.r * k);
            p.g = std::min(p.a, p.g * k);
            p.b = std::min(p.a, p.b * k);
        }
}

void Canvas::draw(const Canvas& other, int dx, int dy)
{
    for (int y = 0; y < other.h; ++y)
        for (int x = 0; x < other.w; ++x) {
            const Colour c = other.at(x, y);
            if (c.a > 0)
                blend(x + dx, y + dy, c, 1);
        }
}

sf::Image Canvas::toImage() const
{
    sf::Image image;
    image.create(unsigned(w), unsigned(h), sf::Color::Transparent);
    auto byte = [](float v) { return sf::Uint8(std::lround(clamp01(v) * 255.0f)); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Colour c = at(x, y);
            image.setPixel(unsigned(x), unsigned(y), sf::Color(byte(c.r), byte(c.g), byte(c.b), byte(c.a)));
        }
    return image;
}

// ---- noise ---------------------------------------------------------------------------------

float hashNoise(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return float(h & 0xFFFFFF) / float(0xFFFFFF);
}

float valueNoise(float x, float y, std::uint32_t seed)
{
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const float fx = x - ix, fy = y - iy;
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = hashNoise(ix, iy, seed), b = hashNoise(ix + 1, iy, seed);
    const float c = hashNoise(ix, iy + 1, seed), d = hashNoise(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float fractalNoise(float x, float y, std::uint32_t seed, int octaves)
{
    float sum = 0, amplitude = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += valueNoise(x, y, seed + std::uint32_t(i) * 101u) * amplitude;
        total += amplitude;
        x *= 2;
        y *= 2;
        amplitude *= 0.5f;
    }
    return sum / total;
}

std::uint32_t Random::next()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float Random::uniform(float lo, float hi)
{
    return lo + (hi - lo) * float(next() & 0xFFFFFF) / float(0x1000000);
}

int Random::below(int n)
{
    return n <= 0 ? 0 : int(next() % std::uint32_t(n));
}

} // namespace art
