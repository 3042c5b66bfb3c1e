#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Window/Event.hpp>

#include <string>
#include <vector>

namespace vrk {

// Where a menu's items stand on the scene: a column centred on centreX, the first item's box
// at top, one box of width x height every spacing.
struct MenuLayout {
    float centreX = 960.f;
    float top = 0.f;
    float spacing = 90.f;
    float width = 720.f;
    float height = 80.f;
    unsigned textSize = 52;
};

// A column of items, chosen with Up and Down then Return, or with the pointer: the item under
// the pointer is the selected one, and a left click on it chooses it.
class Menu {
public:
    void setLayout(const MenuLayout& layout) { place = layout; }
    const MenuLayout& layout() const { return place; }
    // The words of the items, in order; the selection stays where it was if it still fits.
    void setItems(std::vector<std::string> words);
    const std::vector<std::string>& items() const { return words; }
    std::size_t size() const { return words.size(); }
    void select(int index);
    int selected() const { return choice; }

    // The index of the item that the event chooses, or -1 (the event may move the selection).
    int handleEvent(const sf::Event& event);
    // The item whose box holds the point (scene coordinates), or -1.
    int itemAt(sf::Vector2f point) const;
    sf::FloatRect itemBox(int index) const;

    // Every item outlined in white, the selected one in its highlight box.
    void draw(sf::RenderTarget& target, const sf::Font& font) const;

private:
    MenuLayout place;
    std::vector<std::string> words;
    int choice = 0;
};

} // namespace vrk
