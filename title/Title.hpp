#pragma once

#include "game/LogTexts.hpp"
#include "game/Menu.hpp"
#include "shell/Module.hpp"
#include "shell/OptionsScreen.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <functional>
#include <string>
#include <vector>

namespace vrk {

// The title: the game's name over a dimmed view of the first level, and its menu. Continue (when
// the user data holds a level to continue from) and New game start play, Options opens the
// options, Credits plays the opening credits again, Quit (or Escape) ends the run.
class Title : public Module {
public:
    enum Item { ContinueItem, NewGameItem, OptionsItem, CreditsItem, QuitItem };
    // Tells the game which level (a slot, from 0) its next start plays.
    using PlayChoice = std::function<void(int slot)>;

    static const char* const viewPath;
    static const char* const namePath;

    Title(ModuleContext& shell, PlayChoice play);

    // The items shown, in menu order: Continue only when there is a level to continue from.
    const std::vector<Item>& items() const { return shown; }
    const Menu& menu() const { return itemMenu; }
    const OptionsScreen& options() const { return optionsScreen; }
    // The level Continue plays (from 1), 0 when it is not shown.
    int continueLevel() const { return continueFrom; }
    // Does what the item says, as Return or a click on it does.
    void choose(Item item);

    // ---- for tests ----
    // Resources are read from this directory (with a trailing slash) instead of the game's own.
    void setResourceDirectory(const std::string& directory)
    {
        resourceDirectory = directory;
        optionsScreen.setResourceDirectory(directory);
    }

private:
    bool onLoad() override;
    bool onStart() override;
    void onRestart() override;
    void onStop() override;
    void onEvent(const sf::Event& event) override;
    void onUpdate(int lagMicroseconds) override;
    void onDraw() override;
    // The view, or a black clear without it, paints every pixel.
    bool onCoversScene() const override { return true; }

    // An optional picture: a missing one is reported once per run and the title goes on without it.
    bool loadPicture(sf::Texture& texture, const char* path, bool& reported);
    std::string words(const LogText& text) const;
    // The items' words and the help line in the language in use (the options may change it).
    void refreshWords();
    void followMusicVolume();

    PlayChoice playChoice;
    sf::Font font;
    sf::Texture view;
    sf::Texture name;
    bool viewLoaded = false;
    bool nameLoaded = false;
    bool viewReported = false;
    bool nameReported = false;
    sf::Music theme;
    bool themeOpen = false;
    Menu itemMenu;
    OptionsScreen optionsScreen;
    std::vector<Item> shown;
    int continueFrom = 0;
    // The title has been shown in this run already.
    bool comeBack = false;
    std::string hint;
    std::string resourceDirectory;
};

} // namespace vrk
