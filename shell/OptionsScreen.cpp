#include "shell/OptionsScreen.hpp"

#include "game/Text.hpp"
#include "game/Tuning.hpp"
#include "shell/ModuleContext.hpp"
#include "shell/OptionsStyle.hpp"
#include "shell/OptionsTexts.hpp"
#include "shell/Resources.hpp"
#include "shell/TypeName.hpp"
#include "tavric/model/Tavric.hpp"

#include <SFML/Graphics/RectangleShape.hpp>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace vrk {

namespace {

constexpr int publicUser = zul::publicUser;
constexpr int VolumeStep = 10;
// The key wait's prompt blinks: shown for this many steps of each twice as long.
constexpr int PromptBlinkSteps = 15;
// A volume follows a held Left or Right after this many steps, one step of 10 every so many.
constexpr int RepeatDelay = 9;
constexpr int RepeatEvery = 3;
constexpr int ButtonStep = 80;
constexpr float ButtonWidth = 700.f;
// Left of this, a click on a row of choices goes back one; anywhere else on it, forward one.
constexpr float BackArrowWidth = 50.f;

struct ReservedKey {
    sf::Keyboard::Key key;
    const char* name;
};
// Keys the game answers whatever is bound: the volumes and fullscreen (Escape cancels the wait).
const ReservedKey reservedKeys[] = {{sf::Keyboard::Escape, "Escape"}, {sf::Keyboard::F2, "F2"},
                                    {sf::Keyboard::F3, "F3"},         {sf::Keyboard::F5, "F5"},
                                    {sf::Keyboard::F6, "F6"},         {sf::Keyboard::F11, "F11"}};

const char* reservedName(sf::Keyboard::Key key)
{
    for (const ReservedKey& reserved : reservedKeys)
        if (reserved.key == key)
            return reserved.name;
    return nullptr;
}

bool isVolumeRow(int row)
{
    return row == OptionsScreen::MusicRow || row == OptionsScreen::EffectsRow;
}

bool isKeyRow(int row)
{
    return row >= OptionsScreen::FirstKeyRow && row < OptionsScreen::ResetRow;
}

// One step through a list of count choices, round from either end.
int cycle(int index, int direction, int count)
{
    return count <= 0 ? 0 : ((index + direction) % count + count) % count;
}

} // namespace

OptionsScreen::OptionsScreen(ModuleContext& shell) : shellContext(shell) {}

bool OptionsScreen::load()
{
    // The conversation's face: the menus' longer words fit better than in the HUD's fixed width.
    const std::string path = resourceDirectory + fontPaths[1];
    if (font.loadFromFile(path))
        return true;
    reportResourceFailure(shellContext.errors(), *this, path);
    return false;
}

void OptionsScreen::open()
{
    shown = true;
    selected = MusicRow;
    capturing = false;
    dragging = -1;
    status.clear();
    steps = 0;
    const Settings& settings = shellContext.settings();
    openedSize = sf::Vector2u(static_cast<unsigned>(settings.windowWidth), static_cast<unsigned>(settings.windowHeight));
}

void OptionsScreen::close()
{
    shown = false;
    capturing = false;
    dragging = -1;
}

bool OptionsScreen::volumesChanged()
{
    const bool changed = volumesDirty;
    volumesDirty = false;
    return changed;
}

std::string OptionsScreen::text(const LogText& words) const
{
    return wordsOf(shellContext.languageDocument(), words);
}

std::string OptionsScreen::text(const LogText& words, const std::string& mark, const std::string& value) const
{
    return wordsOf(shellContext.languageDocument(), words, mark, value);
}

std::vector<std::string> OptionsScreen::languages() const
{
    std::vector<std::string> codes;
    zul::Tavric& config = shellContext.configDocument();
    if (!config.exists("Language"))
        return codes;
    zul::Tavric& table = config.child("Language", publicUser);
    for (auto it = table.childrenBegin(publicUser); it != table.childrenEnd(); ++it)
        codes.push_back(it->first);
    return codes;
}

std::string OptionsScreen::languageName(const std::string& code) const
{
    zul::Tavric& table = shellContext.configDocument().child("Language", publicUser);
    if (!table.exists(code))
        return code;
    zul::Tavric& language = table.child(code, publicUser);
    if (!language.exists(OptionsLanguageNameText.key))
        return code;
    const std::string name = language.child(OptionsLanguageNameText.key, publicUser).getString(publicUser);
    return name.empty() ? code : name;
}

std::vector<sf::Vector2u> OptionsScreen::windowSizes(const std::vector<sf::VideoMode>& modes, unsigned depth,
                                                     std::vector<sf::Vector2u> sizes)
{
    for (const sf::VideoMode& mode : modes)
        if (mode.bitsPerPixel == depth && mode.width >= unsigned(MinWindowWidth) &&
            mode.height >= unsigned(MinWindowHeight))
            sizes.emplace_back(mode.width, mode.height);
    std::sort(sizes.begin(), sizes.end(),
              [](sf::Vector2u a, sf::Vector2u b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

// ---- geometry ----

sf::FloatRect OptionsScreen::rowArea(int row)
{
    if (row < FirstKeyRow)
        return sf::FloatRect(OptionsLeftLabel - 30.f, OptionsColumnTop + row * OptionsLeftStep - 10.f,
                             OptionsRightLabel - OptionsLeftLabel - 90.f, OptionsRowHeight);
    if (row < ResetRow)
        return sf::FloatRect(OptionsRightLabel - 30.f, OptionsColumnTop + (row - FirstKeyRow) * OptionsRightStep - 10.f,
                             1920.f - OptionsRightLabel - 40.f, OptionsRowHeight);
    return sf::FloatRect(960.f - ButtonWidth / 2.f, OptionsButtonsTop + (row - ResetRow) * ButtonStep - 10.f,
                         ButtonWidth, OptionsRowHeight);
}

sf::FloatRect OptionsScreen::sliderArea(int row)
{
    const sf::FloatRect area = rowArea(row);
    return sf::FloatRect(OptionsLeftValue, area.top, OptionsSliderWidth, area.height);
}

int OptionsScreen::rowAt(sf::Vector2f point) const
{
    for (int row = 0; row < RowCount; ++row)
        if (rowArea(row).contains(point))
            return row;
    return -1;
}

// ---- events ----

void OptionsScreen::handleEvent(const sf::Event& event)
{
    if (!shown)
        return;
    if (capturing) {
        if (event.type == sf::Event::KeyPressed)
            bindKey(event.key.code);
        else if (event.type == sf::Event::MouseButtonPressed) {
            capturing = false;
            status.clear();
        }
        return;
    }
    switch (event.type) {
    case sf::Event::KeyPressed:
        switch (event.key.code) {
        case sf::Keyboard::Escape:
            close();
            break;
        case sf::Keyboard::Up:
        case sf::Keyboard::Down:
            select(cycle(selected, event.key.code == sf::Keyboard::Up ? -1 : 1, RowCount));
            break;
        case sf::Keyboard::Left:
        case sf::Keyboard::Right:
            heldSteps = 0;
            change(selected, event.key.code == sf::Keyboard::Left ? -1 : 1);
            break;
        case sf::Keyboard::Return:
        case sf::Keyboard::Space:
            activate(selected);
            break;
        default:
            break;
        }
        break;
    case sf::Event::MouseMoved: {
        const sf::Vector2f point(static_cast<float>(event.mouseMove.x), static_cast<float>(event.mouseMove.y));
        if (dragging >= 0)
            setVolumeAt(dragging, point.x);
        else if (rowAt(point) >= 0)
            select(rowAt(point));
        break;
    }
    case sf::Event::MouseButtonPressed: {
        if (event.mouseButton.button != sf::Mouse::Left)
            break;
        const sf::Vector2f point(static_cast<float>(event.mouseButton.x), static_cast<float>(event.mouseButton.y));
        const int row = rowAt(point);
        if (row < 0)
            break;
        select(row);
        if (isVolumeRow(row)) {
            if (sliderArea(row).contains(point)) {
                dragging = row;
                setVolumeAt(row, point.x);
            }
        } else if (row < FirstKeyRow)
            change(row, point.x < OptionsLeftValue + BackArrowWidth ? -1 : 1);
        else
            activate(row);
        break;
    }
    case sf::Event::MouseButtonReleased:
        if (event.mouseButton.button == sf::Mouse::Left)
            dragging = -1;
        break;
    default:
        break;
    }
}

void OptionsScreen::update()
{
    ++steps;
    const bool left = shellContext.keyHeld(sf::Keyboard::Left);
    if (!shown || capturing || !isVolumeRow(selected) || left == shellContext.keyHeld(sf::Keyboard::Right)) {
        heldSteps = 0;
        return;
    }
    ++heldSteps;
    if (heldSteps > RepeatDelay && (heldSteps - RepeatDelay) % RepeatEvery == 0)
        change(selected, left ? -1 : 1);
}

void OptionsScreen::select(int row)
{
    if (row != selected)
        status.clear();
    selected = row;
}

void OptionsScreen::change(int row, int direction)
{
    Settings& settings = shellContext.settings();
    status.clear();
    switch (row) {
    case MusicRow:
    case EffectsRow: {
        int& volume = row == MusicRow ? settings.musicVolume : settings.effectsVolume;
        const int before = volume;
        volume = Settings::stepVolume(volume, direction);
        if (volume == before)
            return;
        volumesDirty = true;
        break;
    }
    case FullscreenRow:
        settings.fullscreen = settings.fullscreen ? 0 : 1;
        applyWindow();
        break;
    case WindowRow: {
        const sf::Vector2u current(static_cast<unsigned>(settings.windowWidth),
                                   static_cast<unsigned>(settings.windowHeight));
        // The default and the size the screen opened with stay on offer, whatever the display
        // lists: a size tried is never a way of no return.
        const Settings defaults;
        const sf::Vector2u standard(static_cast<unsigned>(defaults.windowWidth),
                                    static_cast<unsigned>(defaults.windowHeight));
        const std::vector<sf::Vector2u> sizes = windowSizes(
            sf::VideoMode::getFullscreenModes(), sf::VideoMode::getDesktopMode().bitsPerPixel, {current, standard, openedSize});
        const auto at = std::find(sizes.begin(), sizes.end(), current);
        const sf::Vector2u next =
            sizes[cycle(static_cast<int>(at - sizes.begin()), direction, static_cast<int>(sizes.size()))];
        settings.windowWidth = static_cast<int>(next.x);
        settings.windowHeight = static_cast<int>(next.y);
        applyWindow();
        break;
    }
    case LanguageRow: {
        const std::vector<std::string> codes = languages();
        if (codes.empty())
            return;
        const auto at = std::find(codes.begin(), codes.end(), shellContext.languageDocument().getName());
        const int index = at == codes.end() ? 0 : static_cast<int>(at - codes.begin());
        if (!shellContext.setLanguage(codes[cycle(index, direction, static_cast<int>(codes.size()))]))
            return;
        break;
    }
    case DifficultyRow:
        settings.difficulty = static_cast<Difficulty>(cycle(static_cast<int>(settings.difficulty), direction,
                                                            static_cast<int>(std::size(OptionsDifficultyTexts))));
        break;
    default:
        return;
    }
    save();
}

void OptionsScreen::activate(int row)
{
    if (isKeyRow(row)) {
        capturing = true;
        steps = 0;
        status = text(OptionsPressKeyText, "{action}", text(OptionsActionTexts[row - FirstKeyRow]));
    } else if (row == ResetRow)
        reset();
    else if (row == BackRow)
        close();
    else if (!isVolumeRow(row))
        change(row, 1);
}

void OptionsScreen::bindKey(sf::Keyboard::Key key)
{
    capturing = false;
    status.clear();
    if (key == sf::Keyboard::Escape)
        return;
    if (const char* name = reservedName(key)) {
        status = text(OptionsReservedText, "{key}", name);
        return;
    }
    // Only a key with a name in the user data can be kept there.
    if (!keyName(key)) {
        status = text(OptionsUnboundText);
        return;
    }
    Settings& settings = shellContext.settings();
    const int action = selected - FirstKeyRow;
    // A key serves one action: the one that had it takes this action's old key.
    for (int other = 0; other < ActionCount; ++other)
        if (other != action && settings.keys[other] == key) {
            settings.keys[other] = settings.keys[action];
            status = text(OptionsSwappedText, "{action}", text(OptionsActionTexts[other]));
        }
    settings.keys[action] = key;
    save();
}

void OptionsScreen::setVolumeAt(int row, float x)
{
    Settings& settings = shellContext.settings();
    int& volume = row == MusicRow ? settings.musicVolume : settings.effectsVolume;
    const float share = std::clamp((x - OptionsLeftValue) / OptionsSliderWidth, 0.f, 1.f);
    const int wanted = static_cast<int>(std::lround(share * (100 / VolumeStep))) * VolumeStep;
    if (wanted == volume)
        return;
    volume = wanted;
    volumesDirty = true;
    status.clear();
    save();
}

void OptionsScreen::reset()
{
    Settings& settings = shellContext.settings();
    settings = Settings();
    volumesDirty = true;
    status = text(OptionsResetDoneText);
    applyWindow();
    save();
}

void OptionsScreen::applyWindow()
{
    if (!shellContext.applyWindowSettings())
        status = text(OptionsWindowRefusedText);
}

void OptionsScreen::save()
{
    if (!shellContext.saveSettings())
        status = text(OptionsSaveFailedText);
}

// ---- drawing ----

std::string OptionsScreen::valueText(int row) const
{
    const Settings& settings = shellContext.settings();
    switch (row) {
    case MusicRow:
        return std::to_string(settings.musicVolume);
    case EffectsRow:
        return std::to_string(settings.effectsVolume);
    case FullscreenRow:
        return text(settings.fullscreen ? OptionsOnText : OptionsOffText);
    case WindowRow:
        return std::to_string(settings.windowWidth) + " x " + std::to_string(settings.windowHeight);
    case LanguageRow:
        return languageName(shellContext.languageDocument().getName());
    case DifficultyRow:
        return text(OptionsDifficultyTexts[static_cast<int>(settings.difficulty)]);
    default:
        break;
    }
    if (!isKeyRow(row))
        return std::string();
    const char* name = keyName(settings.keys[row - FirstKeyRow]);
    return name ? name : "?";
}

void OptionsScreen::draw()
{
    if (!shown)
        return;
    sf::RenderTexture& scene = shellContext.scene();
    sf::RectangleShape shade(sf::Vector2f(scene.getSize()));
    shade.setFillColor(OptionsShade);
    scene.draw(shade);

    sf::Text title = outlinedText(font, text(OptionsTitleText), OptionsTitleSize);
    placeText(title, 960.f, 30.f, 0.5f);
    scene.draw(title);
    sf::Text keys = outlinedText(font, text(OptionsKeysText), OptionsRowSize, OptionsQuietText);
    placeText(keys, OptionsRightLabel, OptionsColumnTop - 80.f, 0.f);
    scene.draw(keys);

    for (int row = 0; row < RowCount; ++row)
        drawRow(row, row == selected);

    const Settings& settings = shellContext.settings();
    sf::Text about = outlinedText(font, text(OptionsDifficultyAbout[static_cast<int>(settings.difficulty)]),
                                  OptionsSmallSize, OptionsQuietText);
    placeText(about, OptionsLeftLabel, rowArea(DifficultyRow).top + OptionsRowHeight + 4.f, 0.f);
    scene.draw(about);

    const bool prompt = capturing;
    const bool warning = !status.empty() && !prompt;
    std::string line = status.empty() ? text(OptionsHelpText) : status;
    if (prompt && (steps / PromptBlinkSteps) % 3 == 2)
        line.clear();
    sf::Text bottom = outlinedText(font, line, OptionsSmallSize, warning ? OptionsWarningText : OptionsText);
    placeText(bottom, 960.f, OptionsStatusTop, 0.5f);
    scene.draw(bottom);
}

void OptionsScreen::drawRow(int row, bool highlighted)
{
    sf::RenderTexture& scene = shellContext.scene();
    const sf::FloatRect area = rowArea(row);
    if (highlighted) {
        sf::RectangleShape bar(sf::Vector2f(area.width, area.height));
        bar.setPosition(area.left, area.top);
        bar.setFillColor(OptionsHighlight);
        scene.draw(bar);
    }
    const sf::Color fill = highlighted ? OptionsChosenText : OptionsText;
    const float top = area.top + 6.f;
    std::string label;
    if (row < FirstKeyRow)
        label = text(OptionsRowTexts[row]);
    else if (isKeyRow(row))
        label = text(OptionsActionTexts[row - FirstKeyRow]);
    else
        label = text(row == ResetRow ? OptionsResetText : OptionsBackText);

    sf::Text words = outlinedText(font, label, OptionsRowSize, fill);
    if (row >= ResetRow) {
        placeText(words, 960.f, top, 0.5f);
        scene.draw(words);
        return;
    }
    placeText(words, row < FirstKeyRow ? OptionsLeftLabel : OptionsRightLabel, top, 0.f);
    scene.draw(words);

    if (isVolumeRow(row)) {
        const Settings& settings = shellContext.settings();
        drawSlider(row, row == MusicRow ? settings.musicVolume : settings.effectsVolume, highlighted);
        return;
    }
    std::string value = valueText(row);
    if (isKeyRow(row) && capturing && highlighted)
        value = (steps / PromptBlinkSteps) % 2 ? "" : "...";
    else if (row < FirstKeyRow)
        value = "<  " + value + "  >";
    sf::Text shown = outlinedText(font, value, OptionsRowSize, fill);
    placeText(shown, row < FirstKeyRow ? OptionsLeftValue : OptionsRightValue, top, 0.f);
    scene.draw(shown);
}

void OptionsScreen::drawSlider(int row, int volume, bool highlighted)
{
    sf::RenderTexture& scene = shellContext.scene();
    const sf::FloatRect area = sliderArea(row);
    const float middle = area.top + area.height / 2.f;
    sf::RectangleShape track(sf::Vector2f(OptionsSliderWidth, 10.f));
    track.setPosition(area.left, middle - 5.f);
    track.setFillColor(OptionsTrack);
    track.setOutlineColor(TextOutline);
    track.setOutlineThickness(2.f);
    scene.draw(track);
    const float filled = OptionsSliderWidth * volume / 100.f;
    sf::RectangleShape level(sf::Vector2f(filled, 10.f));
    level.setPosition(area.left, middle - 5.f);
    level.setFillColor(highlighted ? OptionsChosenText : OptionsText);
    scene.draw(level);
    sf::RectangleShape knob(sf::Vector2f(16.f, 40.f));
    knob.setPosition(area.left + filled - 8.f, middle - 20.f);
    knob.setFillColor(highlighted ? OptionsChosenText : OptionsText);
    knob.setOutlineColor(TextOutline);
    knob.setOutlineThickness(2.f);
    scene.draw(knob);
    sf::Text number = outlinedText(font, valueText(row), OptionsRowSize, highlighted ? OptionsChosenText : OptionsText);
    placeText(number, area.left + OptionsSliderWidth + 40.f, area.top + 6.f, 0.f);
    scene.draw(number);
}

} // namespace vrk
