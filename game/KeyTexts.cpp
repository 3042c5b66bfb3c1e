#include "game/KeyTexts.hpp"

namespace vrk {

namespace {

std::string nameOf(sf::Keyboard::Key key)
{
    const char* name = keyName(key);
    return name ? name : "?";
}

std::string walkingKeys(const Settings& settings)
{
    const Action order[] = {Action::Up, Action::Left, Action::Down, Action::Right};
    bool letters = true;
    for (const Action action : order)
        letters = letters && nameOf(settings.key(action)).size() == 1;
    std::string keys;
    for (const Action action : order) {
        if (!letters && !keys.empty())
            keys += ' ';
        keys += nameOf(settings.key(action));
    }
    return keys;
}

void replaceAll(std::string& text, const std::string& mark, const std::string& value)
{
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
        text.replace(at, mark.size(), value);
}

} // namespace

std::string withBoundKeys(std::string text, const Settings& settings)
{
    replaceAll(text, "{move}", walkingKeys(settings));
    replaceAll(text, "{run}", nameOf(settings.key(Action::Run)));
    replaceAll(text, "{pause}", nameOf(settings.key(Action::Pause)));
    replaceAll(text, "{map}", nameOf(settings.key(Action::Map)));
    return text;
}

} // namespace vrk
