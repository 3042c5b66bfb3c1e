// What the options screen asks of the Program: a window as the settings say, another language.
#include "shell/Program.hpp"

#include <algorithm>
#include <vector>

namespace vrk {

bool Program::applyWindowSettings()
{
    const bool wanted = currentSettings.fullscreen != 0;
    const unsigned width = static_cast<unsigned>(currentSettings.windowWidth);
    const unsigned height = static_cast<unsigned>(currentSettings.windowHeight);
    if (mainWindow.isOpen() && wanted == fullscreenNow &&
        (wanted || mainWindow.getSize() == sf::Vector2u(width, height))) {
        // A size chosen in fullscreen waits for the next window.
        windowedWidth = width;
        windowedHeight = height;
        return true;
    }
    const bool ok = createWindow(wanted, width, height);
    if (ok) {
        // The player's choice outlasts a --Window given for the run.
        windowedWidth = width;
        windowedHeight = height;
    } else {
        // A mode the display refuses leaves the game in the one it had.
        createWindow(fullscreenNow, windowedWidth, windowedHeight);
        currentSettings.fullscreen = fullscreenNow ? 1 : 0;
        currentSettings.windowWidth = static_cast<int>(windowedWidth);
        currentSettings.windowHeight = static_cast<int>(windowedHeight);
    }
    // Keys held through the switch send no release to the new window.
    std::fill(std::begin(keyDown), std::end(keyDown), false);
    // The new window's size gives the scene's scale and place, and so where the pointer lies on it.
    fitScene();
    return ok;
}

bool Program::setLanguage(const std::string& code)
{
    zul::Tavric& languages = configTree.child("Language", zul::publicUser);
    if (code.empty() || !languages.exists(code))
        return false;
    // Links to the old language's texts go first: a text the new one lacks must fall back to the
    // game's English words, not stay in the old language.
    std::vector<int> names;
    for (const auto& entry : languageTree.childrenById())
        names.push_back(entry.first);
    for (int name : names)
        languageTree.removeChild(name);
    languageTree.copyFrom(languages.child(code, zul::publicUser));
    userTree.child("CurrentLanguage", zul::publicUser).setString(languageTree.getName(), zul::publicUser);
    return true;
}

} // namespace vrk
