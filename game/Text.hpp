#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/String.hpp>

#include <string>

namespace vrk {

// Texts in documents are UTF-8; everything the game displays goes through here.
sf::String utf8ToSfString(const std::string& text);

// A text drawn over the game, outlined so that it stays readable on any floor.
sf::Text outlinedText(const sf::Font& font, const std::string& words, unsigned size);
sf::Text outlinedText(const sf::Font& font, const std::string& words, unsigned size, sf::Color fill);
// Places a text by its right edge (align 1), centre (0.5) or left edge (0).
void placeText(sf::Text& text, float x, float y, float align);

} // namespace vrk
