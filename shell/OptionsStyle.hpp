#pragma once
// The options screen's colours and sizes, in scene units. Text contrast is figured against the
// lightest scene the shade can lie over (all white), so it holds over any scene.

#include <SFML/Graphics/Color.hpp>

namespace vrk {

const sf::Color OptionsShade(0, 0, 0, 215);
const sf::Color OptionsHighlight(255, 255, 255, 36);
const sf::Color OptionsText(255, 255, 255);
const sf::Color OptionsChosenText(255, 220, 40);
const sf::Color OptionsQuietText(200, 200, 200);
const sf::Color OptionsWarningText(255, 170, 60);
const sf::Color OptionsTrack(90, 90, 90);

constexpr unsigned OptionsTitleSize = 96;
constexpr unsigned OptionsRowSize = 44;
constexpr unsigned OptionsSmallSize = 32;

// The left column (label, then value) and the keys' column.
constexpr float OptionsLeftLabel = 100.f;
constexpr float OptionsLeftValue = 700.f;
constexpr float OptionsRightLabel = 1200.f;
constexpr float OptionsRightValue = 1640.f;
constexpr float OptionsColumnTop = 250.f;
constexpr float OptionsLeftStep = 86.f;
constexpr float OptionsRightStep = 76.f;
constexpr float OptionsRowHeight = 64.f;
constexpr float OptionsButtonsTop = 830.f;
constexpr float OptionsStatusTop = 1000.f;
constexpr float OptionsSliderWidth = 260.f;

} // namespace vrk
