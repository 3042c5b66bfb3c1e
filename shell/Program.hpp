#pragma once

#include "shell/Folders.hpp"
#include "shell/Module.hpp"
#include "shell/ModuleContext.hpp"
#include "shell/Resources.hpp"
#include "shell/SceneCopy.hpp"
#include "shell/SceneSize.hpp"
#include "shell/Settings.hpp"
#include "tavric/model/Tavric.hpp"

#include <SFML/Graphics.hpp>

#include <deque>
#include <iosfwd>
#include <map>
#include <memory>
#include <stack>
#include <string>
#include <vector>

namespace vrk {

namespace testing {
struct ProgramProbe;
}

constexpr int StepsPerSecond = 30;
constexpr int KeyCount = 101; // sf::Keyboard::KeyCount in SFML 2.5
// A stall (a module loading, the machine busy) must not fast-forward the game afterwards.
constexpr sf::Int64 MaxLagPerPassMicroseconds = 250000;

extern const char* const windowTitle;
extern sf::Color overlayColor;

// The application: window, fixed-step loop, stack of modules, shared input and documents.
class Program : public ModuleContext {
public:
    // Every diagnostic line of the game and its modules goes to `errors` (main gives standard error).
    explicit Program(std::ostream& errors);
    Program();
    virtual ~Program();

    // ---- what the modules see (ModuleContext) ----
    std::ostream& errors() const override { return errorStream; }
    sf::RenderTexture& scene() override { return sceneTexture; }
    const sf::RenderTexture& scene() const override { return sceneTexture; }
    std::string option(const std::string& key) const override;
    Settings& settings() override { return currentSettings; }
    const Settings& settings() const override { return currentSettings; }
    zul::Tavric& configDocument() override { return configTree; }
    zul::Tavric& languageDocument() override { return languageTree; }
    zul::Tavric& userDocument() override { return userTree; }
    sf::Vector2f pointer() const override { return mousePosition; }
    bool keyHeld(int key) const override { return key >= 0 && key < KeyCount && keyDown[key]; }
    int cursor() const override { return cursorIndex; }
    void setCursor(int cursor) override { cursorIndex = cursor; }
    void spinCursor(float degrees) override;
    void failRun() override { status = 1; }
    void setOverlayColor(sf::Color color) override { overlayColor = color; }
    // The options screen's changes (shell/ProgramOptions.cpp).
    bool applyWindowSettings() override;
    bool setLanguage(const std::string& code) override;
    bool saveSettings() override { return saveUserData(); }

    // Every --key=value argument, and the defaults of StartState and Sound.
    const std::map<std::string, std::string>& options() const { return optionTable; }
    void setOption(const std::string& key, const std::string& value) { optionTable[key] = value; }
    sf::RenderWindow& window() { return mainWindow; }
    // Status of the process once run() returns; a module that cannot go on sets 1.
    int exitStatus() const { return status; }
    // The name of the user the user data selects.
    const std::string& selectedUser() const { return selectedUserName; }

    // Adds a module under the next state id (0, 1, ...) with the name that the option
    // StartState selects it by. The stacked ones lie on the stack at start-up, the first one
    // registered on top; one that is not stacked is reached only by pushState (or StartState).
    // The quit sentinel's id comes after the last. main registers the game's modules before load.
    int registerModule(const std::string& name, std::unique_ptr<Module> module, bool stacked = true);
    int quitState() const { return static_cast<int>(modules.size()); }
    Module* module(int state) const;

    bool load();
    // Builds the state stack, loads every module and starts the top one.
    bool startModules();
    void run();
    void popState(bool startNext) override;
    void present() override;
    // ---- going from one module to another ----
    void pushState(int state) override;

    // One pass of the main loop given the time elapsed since the previous one;
    // false when the loop must end.
    bool runPass(sf::Time elapsed);
    // After the last pass: saves the user data unless the window's closing did, or the run failed.
    void finishRun();
    // Applies one window event (scene coordinates, key table) and hands it to the top module;
    // false when the loop must end.
    bool dispatchEvent(sf::Event event);
    int top() const { return stateStack.top(); }
    Module* topModule() const;

    bool loadConfiguration();
    bool loadUserData();
    bool saveUserData();
    // Where the user data is read and saved; ./data.vrk for both unless main chooses.
    void setUserDataFiles(const UserDataFiles& files) { userDataFiles = files; }
    void chooseLanguage();
    bool loadCursors();
    void drawCursor();
    // Parses the --Window=WIDTHxHEIGHT option; false (and 0x0) when absent or malformed.
    static bool parseWindowSize(const std::string& text, unsigned& width, unsigned& height);
    // Stores every --key=value argument in options; the later of two equal keys wins.
    void parseArguments(int argc, const char* const* argv);
    // Reads the settings from the user data, then applies --Keys=PRESET (which is kept).
    void readSettings();
    // --Difficulty= over the stored difficulty; a bad value is reported and changes nothing.
    void readDifficultyOption();

    // Opens the window as the settings and --Window ask (--Window wins for the run), and fits
    // the scene into it; false when no window could be opened.
    bool openWindow();
    // Fullscreen to windowed at the remembered size and back; the choice is kept in the settings.
    void toggleFullscreen();
    bool isFullscreen() const { return fullscreenNow; }
    // The window opened last has had the focus; until then its losing the focus goes unheard.
    bool hadFocus() const { return focusHad; }
    // Fits the scene into the window's current size and maps the pointer again.
    void fitScene();

    // The largest scale at which the scene fits the window, and the scene's place, centred.
    static void letterbox(sf::Vector2u window, sf::Vector2u scene, double& scale, sf::Vector2f& offset);

private:
    friend struct testing::ProgramProbe;

    // Shared by the documents below so that links between them keep their name ids.
    zul::NameDictionary dictionary;

    std::stack<int, std::deque<int>> stateStack;
    sf::Sprite sceneSprite;
    // Window pixels per scene unit (the same on both axes), and where the scene's top-left
    // corner lies in the window: a window of another shape shows black bars.
    double scaleX = 1.0;
    double scaleY = 1.0;
    sf::Vector2f offset;
    sf::Texture cursorTextures[CursorCount];
    sf::Clock stepClock;
    sf::Time frameTime;
    sf::Time lag;
    sf::RenderWindow mainWindow;
    sf::RenderTexture sceneTexture;
    sf::Sprite cursorSprites[CursorCount];
    int cursorIndex = -1;
    sf::Vector2f mousePosition;
    int cursorFrame = 0;
    bool keyDown[KeyCount];
    std::map<std::string, std::string> optionTable;
    zul::Tavric userTree;
    zul::Tavric configTree;
    zul::Tavric languageTree;
    std::string selectedUserName;
    UserDataFiles userDataFiles;
    // Volumes, window and key bindings, read with the user data and written back with it.
    Settings currentSettings;
    int status = 0;
    std::ostream& errorStream;

    bool createWindow(bool fullscreen, unsigned width, unsigned height);
    void setUpPresentation();

    std::vector<std::unique_ptr<Module>> modules;
    std::vector<std::string> moduleNames;
    std::vector<bool> moduleStacked;
    // The window differs from the scene in size, and by more than half.
    // Written by the window's closing, so the end of run need not write it again.
    bool userDataSaved = false;
    bool fullscreenNow = false;
    bool focusHad = false;
    // The size of the window when not fullscreen: --Window's for this run, else the remembered one.
    unsigned windowedWidth = 0;
    unsigned windowedHeight = 0;
    bool scaled = false;
    bool letterboxed = false;
    bool mipmapped = false;
    SceneCopy sceneCopy;
    sf::RectangleShape overlay;
};

} // namespace vrk
