#pragma once
// Contrast as the accessibility guidelines define it, for the tests of readable colours.

#include <SFML/Graphics/Color.hpp>

#include <cmath>

namespace legibility {

inline double channel(sf::Uint8 value)
{
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// Relative luminance.
inline double luminance(sf::Color colour)
{
    return 0.2126 * channel(colour.r) + 0.7152 * channel(colour.g) + 0.0722 * channel(colour.b);
}

inline double ratio(sf::Color words, sf::Color behind)
{
    const double a = luminance(words) + 0.05, b = luminance(behind) + 0.05;
    return a > b ? a / b : b / a;
}

// A translucent layer blended over an opaque colour.
inline sf::Color over(sf::Color layer, sf::Color below)
{
    const auto mix = [&](sf::Uint8 l, sf::Uint8 b) {
        return static_cast<sf::Uint8>(std::lround((l * layer.a + b * (255 - layer.a)) / 255.0));
    };
    return sf::Color(mix(layer.r, below.r), mix(layer.g, below.g), mix(layer.b, below.b));
}

} // namespace legibility
