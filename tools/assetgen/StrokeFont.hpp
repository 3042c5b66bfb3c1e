#pragma once

#include "Canvas.hpp"

#include <string>

namespace art {

// Capital letters, digits and a few signs drawn as strokes on a 4 x 6 grid: enough for the
// title, the loading screen and the editor sheets, without needing a font at build time.
// Returns the shape of the text with its top-left corner at (x, y); unit = grid step in
// pixels, weight = stroke half-width in pixels.
Shape strokeText(const std::string& text, float x, float y, float unit, float weight, float slant = 0);
float strokeTextWidth(const std::string& text, float unit);

} // namespace art
