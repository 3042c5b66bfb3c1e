#include "game/Text.hpp"

#include "game/Tuning.hpp"

#include <cmath>

namespace vrk {

sf::String utf8ToSfString(const std::string& text)
{
    return sf::String::fromUtf8(text.begin(), text.end());
}

sf::Text outlinedText(const sf::Font& font, const std::string& words, unsigned size)
{
    return outlinedText(font, words, size, TextFill);
}

sf::Text outlinedText(const sf::Font& font, const std::string& words, unsigned size, sf::Color fill)
{
    sf::Text text(utf8ToSfString(words), font, size);
    text.setFillColor(fill);
    text.setOutlineColor(TextOutline);
    text.setOutlineThickness(TextOutlineThickness);
    return text;
}

void placeText(sf::Text& text, float x, float y, float align)
{
    const sf::FloatRect bounds = text.getLocalBounds();
    text.setPosition(std::round(x - align * (bounds.left + bounds.width)), y);
}

} // namespace vrk
