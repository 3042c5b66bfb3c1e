#include "game/MessageLog.hpp"

#include "game/KeyTexts.hpp"
#include "game/Text.hpp"
#include "game/Tuning.hpp"
#include "tavric/model/Tavric.hpp"

#include <cmath>

namespace vrk {

namespace {
constexpr unsigned MessageSize = 50;
constexpr float MessageLineSpacing = 1.2f;
constexpr float MessageLeft = 20.f;
} // namespace

std::string keyOfWords(zul::Tavric& language, const std::string& words, const Settings& settings)
{
    if (words.empty())
        return std::string();
    for (const auto& entry : language.childrenById()) {
        const zul::Tavric& text = *entry.second;
        if (text.getType() == zul::TypeString && withBoundKeys(text.getString(zul::publicUser), settings) == words)
            return text.getName();
    }
    return std::string();
}

void MessageLog::add(const std::string& text)
{
    if (messages.size() >= static_cast<std::size_t>(MaxMessages)) {
        messages.pop_front();
        keys.pop_front();
    }
    keys.push_back(findKey ? findKey(text) : std::string());
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

void MessageLog::reword()
{
    if (!findWords)
        return;
    auto key = keys.begin();
    for (sf::Text& line : messages) {
        const std::string words = key->empty() ? std::string() : findWords(*key);
        if (!words.empty())
            line.setString(utf8ToSfString(words));
        ++key;
    }
}

void MessageLog::step()
{
    if (--timer == 0)
        clear();
}

void MessageLog::draw(sf::RenderTarget& target, unsigned bottom)
{
    float y = static_cast<float>(bottom);
    for (sf::Text& text : messages) {
        y = std::trunc(y - MessageLineSpacing * static_cast<float>(text.getCharacterSize()));
        text.setPosition(MessageLeft, y);
        target.draw(text);
    }
}

} // namespace vrk
