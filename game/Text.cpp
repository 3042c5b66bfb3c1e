#include "game/Text.hpp"

#include "game/LogTexts.hpp"
#include "game/Tuning.hpp"
#include "tavric/model/Tavric.hpp"

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

std::string wordsOf(zul::Tavric& language, const LogText& text)
{
    if (!language.exists(text.key))
        return text.fallback;
    return language.child(text.key, zul::publicUser).getString(zul::publicUser);
}

std::string wordsOf(zul::Tavric& language, const LogText& text, const std::string& mark, const std::string& value)
{
    std::string line = wordsOf(language, text);
    const std::size_t at = line.find(mark);
    if (at != std::string::npos)
        line.replace(at, mark.size(), value);
    return line;
}

void placeText(sf::Text& text, float x, float y, float align)
{
    const sf::FloatRect bounds = text.getLocalBounds();
    text.setPosition(std::round(x - align * (bounds.left + bounds.width)), y);
}

} // namespace vrk
