#include "game/MessageLog.hpp"

#include "game/Text.hpp"
#include "game/Tuning.hpp"

#include <cmath>

namespace vrk {

namespace {
constexpr unsigned MessageSize = 50;
constexpr float MessageLineSpacing = 1.2f;
constexpr float MessageLeft = 20.f;
} // namespace

void MessageLog::add(const std::string& text)
{
    if (messages.size() >= static_cast<std::size_t>(MaxMessages))
        messages.pop_front();
    static const sf::Font noFont;
    messages.emplace_back(utf8ToSfString(text), lineFont ? *lineFont : noFont, MessageSize);
    // Outlined like the dialogue, so that a line stays readable on light floors.
    messages.back().setFillColor(TextFill);
    messages.back().setOutlineColor(TextOutline);
    messages.back().setOutlineThickness(TextOutlineThickness);
    timer = MessageSteps;
}

void MessageLog::keep(const std::string& text)
{
    if (!messages.empty() && messages.back().getString() == utf8ToSfString(text)) {
        timer = MessageSteps;
        return;
    }
    add(text);
}

void MessageLog::step()
{
    if (--timer == 0)
        messages.clear();
}

void MessageLog::draw(sf::RenderTarget& target, unsigned sceneHeight)
{
    float y = static_cast<float>(sceneHeight);
    for (sf::Text& text : messages) {
        y = std::trunc(y - MessageLineSpacing * static_cast<float>(text.getCharacterSize()));
        text.setPosition(MessageLeft, y);
        target.draw(text);
    }
}

} // namespace vrk
