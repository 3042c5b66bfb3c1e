#include "game/Text.hpp"

namespace vrk {

sf::String utf8ToSfString(const std::string& text)
{
    return sf::String::fromUtf8(text.begin(), text.end());
}

} // namespace vrk
