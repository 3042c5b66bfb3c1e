#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/String.hpp>

#include <string>

namespace zul {
class Tavric;
}

namespace vrk {

struct LogText;

// Texts in documents are UTF-8; everything the game displays goes through here.
sf::String utf8ToSfString(const std::string& text);

// A text drawn over the game, outlined so that it stays readable on any floor.
sf::Text outlinedText(const sf::Font& font, const std::string& words, unsigned size);
sf::Text outlinedText(const sf::Font& font, const std::string& words, unsigned size, sf::Color fill);
// Places a text by its right edge (align 1), centre (0.5) or left edge (0).
void placeText(sf::Text& text, float x, float y, float align);

// A text's words in a language document, or its English words when the document lacks its key.
std::string textIn(zul::Tavric& language, const LogText& text);
// The line with its first mark ("{key}") replaced by value.
std::string replaceMark(std::string line, const std::string& mark, const std::string& value);

} // namespace vrk
