#pragma once

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/System/Vector2.hpp>

#include <iosfwd>
#include <string>

namespace zul {
class Tavric;
}

namespace vrk {

struct Settings;

// What a module sees of the shell that runs it: the scene it draws into, the documents and
// settings, the pointer and the keys, the cursor, and leaving. The Program answers.
class ModuleContext {
public:
    // Every diagnostic line goes here.
    virtual std::ostream& errors() const = 0;
    virtual sf::RenderTexture& scene() = 0;
    virtual const sf::RenderTexture& scene() const = 0;
    // Shows the scene on the window at once (a loading screen, in the middle of a start).
    virtual void present() = 0;
    // The colour of the translucent rectangle laid over the scene before each frame: earlier
    // frames fade out under it.
    virtual void setOverlayColor(sf::Color color) = 0;

    // The value of a --key=value option; empty when it was not given.
    virtual std::string option(const std::string& key) const = 0;
    // Volumes, window, key bindings and difficulty, kept with the user data.
    virtual Settings& settings() = 0;
    virtual const Settings& settings() const = 0;
    virtual zul::Tavric& configDocument() = 0;
    virtual zul::Tavric& languageDocument() = 0;
    virtual zul::Tavric& userDocument() = 0;

    // ---- the options screen: a change takes effect and is kept at once ----
    // Opens the window again as the settings now say (fullscreen, or a window of their size) and
    // fits the scene into it; false, with the window as it was and the settings to match, when
    // the display refuses.
    virtual bool applyWindowSettings() = 0;
    // The texts of that language of the configuration from now on, remembered in the user data;
    // false (nothing changed) for a code the configuration lacks.
    virtual bool setLanguage(const std::string& code) = 0;
    // Writes the settings and the rest of the user data now, replacing the file whole; false with
    // one line on errors() when it cannot (the old file stays as it was).
    virtual bool saveSettings() = 0;

    // The pointer in scene coordinates, and whether a key (an sf::Keyboard::Key) is held.
    virtual sf::Vector2f pointer() const = 0;
    virtual bool keyHeld(int key) const = 0;
    // The cursor drawn at the pointer (an index of the cursor table, -1 for none).
    virtual int cursor() const = 0;
    virtual void setCursor(int cursor) = 0;
    virtual void spinCursor(float degrees) = 0;

    // Leaves this module: the next one on the stack starts when startNext.
    virtual void popState(bool startNext) = 0;
    // The run ends with a failure status once it stops.
    virtual void failRun() = 0;

    // ---- going from one module to another ----
    // Puts the module of that state id over this one: this one stops and that one starts; when
    // it pops itself with startNext, this one starts again.
    virtual void pushState(int state) = 0;

protected:
    ~ModuleContext() = default;
};

} // namespace vrk
