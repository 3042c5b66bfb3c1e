#include "title/Title.hpp"

#include "game/Identifiers.hpp"
#include "game/MapFormat.hpp"
#include "game/Progress.hpp"
#include "game/Text.hpp"
#include "game/Tuning.hpp"
#include "shell/GameModules.hpp"
#include "shell/ModuleContext.hpp"
#include "shell/Resources.hpp"
#include "shell/Settings.hpp"
#include "shell/TypeName.hpp"
#include "tavric/model/Tavric.hpp"
#include "title/TitleTexts.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include <algorithm>
#include <cmath>

namespace vrk {

// A view of the first level as play shows it, drawn by the map tool at build time.
const char* const Title::viewPath = "res/title/view.jpg";
// The game's name as the credits show it.
const char* const Title::namePath = "res/credit/title.png";

namespace {

constexpr MenuLayout TitleMenuLayout{960.f, 430.f, 100.f, 720.f, 84.f, 56};
// The name's picture, its top edge and its width on the scene.
constexpr float NameTop = 90.f;
constexpr float NameWidth = 1000.f;
// Written instead when the picture is missing.
const char* const GameName = "Velmora";
constexpr unsigned NameTextSize = 150;
constexpr unsigned HintSize = 34;
constexpr float HintTop = 975.f;

} // namespace

Title::Title(ModuleContext& shell, PlayChoice play) : Module(shell), playChoice(std::move(play)), optionsScreen(shell)
{
    itemMenu.setLayout(TitleMenuLayout);
}

bool Title::onLoad()
{
    return true;
}

std::string Title::words(const LogText& text) const
{
    return wordsOf(shell().languageDocument(), text);
}

bool Title::loadPicture(sf::Texture& texture, const char* path, bool& reported)
{
    // SFML's own complaint would repeat the line below.
    const bool loaded = loadQuietly([&] { return texture.loadFromFile(resourceDirectory + path); });
    if (!loaded && !reported) {
        reported = true;
        reportResourceFailure(shell().errors(), *this, path);
    }
    return loaded;
}

bool Title::onStart()
{
    if (!font.loadFromFile(resourceDirectory + fontPaths[MessageFont])) {
        reportResourceFailure(shell().errors(), *this, fontPaths[MessageFont]);
        return false;
    }
    if (!optionsScreen.load())
        return false;
    viewLoaded = loadPicture(view, viewPath, viewReported);
    if (viewLoaded)
        view.setSmooth(true);
    nameLoaded = loadPicture(name, namePath, nameReported);
    if (nameLoaded)
        name.setSmooth(true);

    themeOpen = false;
    if (shell().option("Sound") == "True") {
        // Like the credits' jingle: a title without its music is still a title.
        themeOpen = loadQuietly([this] { return theme.openFromFile(resourceDirectory + musicPaths[MainTheme]); });
    }
    restart();
    return true;
}

void Title::onRestart()
{
    // What the user data holds now: a game just left may have reached further.
    zul::Tavric& maps = shell().configDocument().child(MapsKey);
    continueFrom = vrk::continueLevel(shell().userDocument(), static_cast<int>(maps.childCount()));
    shown.clear();
    if (continueFrom > 0)
        shown.push_back(ContinueItem);
    shown.insert(shown.end(), {NewGameItem, OptionsItem, CreditsItem, QuitItem});

    refreshWords();
    // Coming back (from the credits or play), the pointer may rest on an item: that one is lit,
    // as it would be had it just moved there. The first time, the first item is.
    const int under = comeBack ? itemMenu.itemAt(shell().pointer()) : -1;
    itemMenu.select(under >= 0 ? under : 0);
    comeBack = true;
    shell().setCursor(MainCursor);
    if (themeOpen) {
        theme.setLoop(true);
        followMusicVolume();
        theme.play();
    }
}

void Title::refreshWords()
{
    const LogText* const texts[] = {&TitleContinueText, &TitleNewGameText, &TitleOptionsText, &TitleCreditsText,
                                    &TitleQuitText};
    std::vector<std::string> labels;
    for (Item item : shown)
        labels.push_back(item == ContinueItem
                             ? wordsOf(shell().languageDocument(), TitleContinueText, "{level}", std::to_string(continueFrom))
                             : words(*texts[item]));
    itemMenu.setItems(labels);
    hint = words(TitleHintText);
}

void Title::followMusicVolume()
{
    // As loud as the game's own music at the same setting.
    theme.setVolume(MusicVolume * static_cast<float>(shell().settings().musicVolume) / 100.f);
}

void Title::onStop()
{
    theme.stop();
    view = sf::Texture();
    name = sf::Texture();
}

void Title::choose(Item item)
{
    switch (item) {
    case ContinueItem:
    case NewGameItem:
        playChoice(item == ContinueItem ? continueFrom - 1 : 0);
        // This module stops here: nothing of it may be touched after the push.
        shell().pushState(IngameState);
        return;
    case OptionsItem:
        optionsScreen.open();
        return;
    case CreditsItem:
        shell().pushState(CreditState);
        return;
    case QuitItem:
        shell().popState(false);
        return;
    }
}

void Title::onEvent(const sf::Event& event)
{
    if (!isStarted())
        return;
    if (optionsScreen.isOpen()) {
        optionsScreen.handleEvent(event);
        if (optionsScreen.volumesChanged())
            followMusicVolume();
        refreshWords();
        return;
    }
    if (event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::Escape) {
        shell().popState(false);
        return;
    }
    const int chosen = itemMenu.handleEvent(event);
    if (chosen >= 0 && chosen < static_cast<int>(shown.size()))
        choose(shown[chosen]);
}

void Title::onUpdate(int)
{
    if (!optionsScreen.isOpen())
        return;
    optionsScreen.update();
    if (optionsScreen.volumesChanged())
        followMusicVolume();
}

void Title::onDraw()
{
    sf::RenderTexture& scene = shell().scene();
    const sf::Vector2f size(scene.getSize());
    scene.clear(sf::Color::Black);
    if (viewLoaded) {
        // Covers the scene whatever the picture's size, cropped evenly.
        sf::Sprite picture(view);
        const sf::Vector2f own(view.getSize());
        const float scale = std::max(size.x / own.x, size.y / own.y);
        picture.setScale(scale, scale);
        picture.setPosition(std::round((size.x - own.x * scale) / 2.f), std::round((size.y - own.y * scale) / 2.f));
        scene.draw(picture);
    }
    sf::RectangleShape dim(size);
    dim.setFillColor(MenuDim);
    scene.draw(dim);

    if (nameLoaded) {
        sf::Sprite picture(name);
        const float scale = NameWidth / static_cast<float>(name.getSize().x);
        picture.setScale(scale, scale);
        picture.setPosition(std::round((size.x - NameWidth) / 2.f), NameTop);
        scene.draw(picture);
    } else {
        sf::Text heading = outlinedText(font, GameName, NameTextSize);
        placeText(heading, size.x / 2.f, NameTop, 0.5f);
        scene.draw(heading);
    }
    // The options' shade would let the items show through it, as a second menu.
    if (optionsScreen.isOpen()) {
        optionsScreen.draw();
        return;
    }
    itemMenu.draw(scene, font);
    sf::Text line = outlinedText(font, hint, HintSize);
    placeText(line, size.x / 2.f, HintTop, 0.5f);
    scene.draw(line);
}

} // namespace vrk
