#include "game/Menu.hpp"

#include "game/Text.hpp"
#include "game/Tuning.hpp"

#include <SFML/Graphics/RectangleShape.hpp>

#include <algorithm>
#include <cmath>

namespace vrk {

void Menu::setItems(std::vector<std::string> items)
{
    words = std::move(items);
    select(choice);
}

void Menu::select(int index)
{
    const int count = static_cast<int>(words.size());
    choice = count == 0 ? 0 : std::min(std::max(index, 0), count - 1);
}

int Menu::handleEvent(const sf::Event& event)
{
    const int count = static_cast<int>(words.size());
    if (count == 0)
        return -1;
    switch (event.type) {
    case sf::Event::KeyPressed:
        // Round the ends: Up on the first item goes to the last.
        if (event.key.code == sf::Keyboard::Up)
            choice = (choice + count - 1) % count;
        else if (event.key.code == sf::Keyboard::Down)
            choice = (choice + 1) % count;
        else if (event.key.code == sf::Keyboard::Return)
            return choice;
        return -1;
    case sf::Event::MouseMoved: {
        const int under = itemAt(sf::Vector2f(static_cast<float>(event.mouseMove.x), static_cast<float>(event.mouseMove.y)));
        if (under >= 0)
            choice = under;
        return -1;
    }
    case sf::Event::MouseButtonPressed: {
        if (event.mouseButton.button != sf::Mouse::Left)
            return -1;
        const int under =
            itemAt(sf::Vector2f(static_cast<float>(event.mouseButton.x), static_cast<float>(event.mouseButton.y)));
        if (under >= 0)
            choice = under;
        return under;
    }
    default:
        return -1;
    }
}

sf::FloatRect Menu::itemBox(int index) const
{
    return sf::FloatRect(place.centreX - place.width / 2.f, place.top + index * place.spacing, place.width,
                         place.height);
}

int Menu::itemAt(sf::Vector2f point) const
{
    for (int i = 0; i < static_cast<int>(words.size()); ++i)
        if (itemBox(i).contains(point))
            return i;
    return -1;
}

void Menu::draw(sf::RenderTarget& target, const sf::Font& font) const
{
    for (int i = 0; i < static_cast<int>(words.size()); ++i) {
        const sf::FloatRect box = itemBox(i);
        const bool chosen = i == choice;
        if (chosen) {
            sf::RectangleShape panel(sf::Vector2f(box.width, box.height));
            panel.setPosition(box.left, box.top);
            panel.setFillColor(MenuPanel);
            panel.setOutlineColor(MenuHighlight);
            panel.setOutlineThickness(MenuFrameThickness);
            target.draw(panel);
        }
        sf::Text text = outlinedText(font, words[i], place.textSize, chosen ? MenuHighlight : TextFill);
        // The line's cap height sits in the middle of the box.
        const float y = box.top + (box.height - static_cast<float>(place.textSize) * 1.2f) / 2.f;
        placeText(text, place.centreX, std::round(y), 0.5f);
        target.draw(text);
    }
}

} // namespace vrk
