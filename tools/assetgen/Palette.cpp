#include "Palette.hpp"

#include <cctype>
#include <fstream>
#include <sstream>

namespace art {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

bool Palette::load(const std::string& path, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot open the palette";
        return false;
    }
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        size_t p = line.find_first_not_of(" \t\r");
        if (p == std::string::npos || line[p] == '#')
            continue;
        const size_t nameEnd = line.find_first_of(" \t", p);
        const size_t valueStart = nameEnd == std::string::npos ? nameEnd : line.find_first_not_of(" \t", nameEnd);
        auto fail = [&](size_t column, const std::string& what) {
            error = path + ":" + std::to_string(lineNo) + ":" + std::to_string(column + 1) + ": " + what;
            return false;
        };
        if (valueStart == std::string::npos || line[valueStart] != '#')
            return fail(valueStart == std::string::npos ? line.size() : valueStart, "expected a colour #rrggbb");
        size_t end = valueStart + 1;
        int digits[8];
        int count = 0;
        while (end < line.size() && count < 8 && hexDigit(line[end]) >= 0)
            digits[count++] = hexDigit(line[end++]);
        if ((count != 6 && count != 8) || (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))))
            return fail(valueStart, "expected a colour #rrggbb or #rrggbbaa");
        const int alpha = count == 8 ? digits[6] * 16 + digits[7] : 255;
        colours[line.substr(p, nameEnd - p)] =
            Colour::rgb(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5], alpha);
    }
    return true;
}

Colour Palette::operator()(const std::string& name) const
{
    auto it = colours.find(name);
    if (it != colours.end())
        return it->second;
    if (missingNames.find(" " + name + " ") == std::string::npos)
        missingNames += " " + name + " ";
    return {1, 0, 1, 1};
}

} // namespace art
