#include "StrokeFont.hpp"

#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

namespace art {

namespace {

// Each glyph: strokes separated by ';', each stroke a list of x,y points on the 4 x 6 grid.
const std::map<char, const char*>& glyphs()
{
    static const std::map<char, const char*> table = {
        {'A', "0,6 0,2 2,0 4,2 4,6;0,3.5 4,3.5"},
        {'B', "0,0 3,0 4,1 4,2 3,3 0,3;3,3 4,4 4,5 3,6 0,6 0,0"},
        {'C', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5"},
        {'D', "0,0 2.5,0 4,1.5 4,4.5 2.5,6 0,6 0,0"},
        {'E', "4,0 0,0 0,6 4,6;0,3 3,3"},
        {'F', "4,0 0,0 0,6;0,3 3,3"},
        {'G', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3.5 2.5,3.5"},
        {'H', "0,0 0,6;4,0 4,6;0,3 4,3"},
        {'I', "1,0 3,0;2,0 2,6;1,6 3,6"},
        {'J', "4,0 4,5 3,6 1,6 0,5"},
        {'K', "0,0 0,6;4,0 0,3.5;1.3,2.7 4,6"},
        {'L', "0,0 0,6 4,6"},
        {'M', "0,6 0,0 2,3 4,0 4,6"},
        {'N', "0,6 0,0 4,6 4,0"},
        {'O', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0"},
        {'P', "0,6 0,0 3,0 4,1 4,2 3,3 0,3"},
        {'Q', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0;2.5,4.5 4,6"},
        {'R', "0,6 0,0 3,0 4,1 4,2 3,3 0,3;2,3 4,6"},
        {'S', "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5"},
        {'T', "0,0 4,0;2,0 2,6"},
        {'U', "0,0 0,5 1,6 3,6 4,5 4,0"},
        {'V', "0,0 2,6 4,0"},
        {'W', "0,0 1,6 2,3 3,6 4,0"},
        {'X', "0,0 4,6;4,0 0,6"},
        {'Y', "0,0 2,3 4,0;2,3 2,6"},
        {'Z', "0,0 4,0 0,6 4,6"},
        {'0', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0;0.5,5 3.5,1"},
        {'1', "1,1 2,0 2,6;1,6 3,6"},
        {'2', "0,1 1,0 3,0 4,1 4,2 0,6 4,6"},
        {'3', "0,1 1,0 3,0 4,1 4,2 3,3 1.5,3;3,3 4,4 4,5 3,6 1,6 0,5"},
        {'4', "3,6 3,0 0,4 4,4"},
        {'5', "4,0 0,0 0,3 3,3 4,4 4,5 3,6 0,6"},
        {'6', "3.5,0 1,0 0,1 0,5 1,6 3,6 4,5 4,4 3,3 0,3"},
        {'7', "0,0 4,0 1.5,6"},
        {'8', "1,0 3,0 4,1 4,2 3,3 1,3 0,2 0,1 1,0;1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3"},
        {'9', "4,3 1,3 0,2 0,1 1,0 3,0 4,1 4,5 3,6 0.5,6"},
        {'.', "2,6 2,6"},
        {'!', "2,0 2,4;2,6 2,6"},
        {'?', "0,1 1,0 3,0 4,1 4,2 2,3.5 2,4.2;2,6 2,6"},
        {'-', "1,3 3,3"},
        {'+', "0.5,3 3.5,3;2,1.5 2,4.5"},
        {'/', "4,0 0,6"},
        {':', "2,1.5 2,1.5;2,4.5 2,4.5"},
    };
    return table;
}

constexpr float Advance = 6.0f; // grid units from one letter to the next

} // namespace

float strokeTextWidth(const std::string& text, float unit)
{
    return text.empty() ? 0 : (Advance * float(text.size()) - 2.0f) * unit;
}

Shape strokeText(const std::string& text, float x, float y, float unit, float weight, float slant)
{
    Shape result;
    bool any = false;
    for (size_t i = 0; i < text.size(); ++i) {
        auto it = glyphs().find(text[i]);
        if (it == glyphs().end())
            continue; // a blank, or a sign without a glyph: leaves a space
        std::stringstream strokes(it->second);
        std::string stroke;
        while (std::getline(strokes, stroke, ';')) {
            std::stringstream points(stroke);
            std::string point;
            std::vector<Vec> line;
            while (points >> point) {
                const size_t comma = point.find(',');
                const float gx = std::strtof(point.substr(0, comma).c_str(), nullptr);
                const float gy = std::strtof(point.substr(comma + 1).c_str(), nullptr);
                line.push_back({x + (float(i) * Advance + gx + (6 - gy) * slant) * unit, y + gy * unit});
            }
            const Shape s = polyline(line, weight);
            result = any ? unite(result, s) : s;
            any = true;
        }
    }
    if (!any)
        return {[](float, float) { return 1e9f; }, 0, 0, 0, 0};
    return result;
}

} // namespace art
