#pragma once

#include <SFML/System/String.hpp>

#include <string>

namespace vrk {

// Texts in documents are UTF-8; everything the game displays goes through here.
sf::String utf8ToSfString(const std::string& text);

} // namespace vrk
