#include "shell/Program.hpp"

#include "shell/SceneCopy.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <locale>

namespace vrk {

const char* const windowTitle = "Velmora";
sf::Color overlayColor(0, 0, 0, 128);

Program::Program() : Program(std::cerr) {}

Program::Program(std::ostream& errors)
    : userTree(&dictionary), configTree(&dictionary), languageTree(&dictionary),
      errorStream(errors)
{
    lag = sf::Time::Zero;
    frameTime = sf::microseconds(1000000 / StepsPerSecond);
    mousePosition = sf::Vector2f(0.f, 0.f);
    std::fill(std::begin(keyDown), std::end(keyDown), false);
    // The name of the module main registers first.
    optionTable["StartState"] = "credit";
    optionTable["Sound"] = "True";
}

// The modules go first: they may still refer to the window and the documents.
Program::~Program()
{
    modules.clear();
}

std::string Program::option(const std::string& key) const
{
    const auto found = optionTable.find(key);
    return found == optionTable.end() ? std::string() : found->second;
}

void Program::spinCursor(float degrees)
{
    if (cursorIndex >= 0 && cursorIndex < CursorCount)
        cursorSprites[cursorIndex].rotate(degrees);
}

int Program::registerModule(const std::string& name, std::unique_ptr<Module> module, bool stacked)
{
    modules.push_back(std::move(module));
    moduleNames.push_back(name);
    moduleStacked.push_back(stacked);
    return static_cast<int>(modules.size()) - 1;
}

Module* Program::module(int state) const
{
    return state >= 0 && state < static_cast<int>(modules.size()) ? modules[state].get() : nullptr;
}

void Program::parseArguments(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.compare(0, 2, "--") != 0)
            continue;
        const std::string text = argument.substr(2);
        const std::size_t equals = text.find('=');
        if (equals == std::string::npos)
            continue;
        optionTable[text.substr(0, equals)] = text.substr(equals + 1);
    }
}

bool Program::parseWindowSize(const std::string& text, unsigned& width, unsigned& height)
{
    width = height = 0;
    const std::size_t x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 >= text.size())
        return false;
    auto number = [](const std::string& digits, unsigned& out) {
        if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        out = static_cast<unsigned>(std::stoul(digits));
        return out > 0;
    };
    unsigned w = 0, h = 0;
    if (!number(text.substr(0, x), w) || !number(text.substr(x + 1), h))
        return false;
    width = w;
    height = h;
    return true;
}

bool Program::createWindow(bool fullscreen, unsigned width, unsigned height)
{
    const sf::ContextSettings context(0, 0, 0, 2, 0);
    const sf::String title(windowTitle, std::locale());
    if (!fullscreen) {
        mainWindow.create(sf::VideoMode(width, height), title, sf::Style::Titlebar | sf::Style::Close | sf::Style::Resize,
                      context);
        // SFML 2.5 centres windows with the wrong axis; place it ourselves.
        const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
        mainWindow.setPosition(sf::Vector2i((static_cast<int>(desktop.width) - static_cast<int>(width)) / 2,
                                        (static_cast<int>(desktop.height) - static_cast<int>(height)) / 2));
    } else {
        mainWindow.create(sf::VideoMode::getDesktopMode(), title, sf::Style::Fullscreen, context);
    }
    fullscreenNow = fullscreen;
    focusHad = false;
    mainWindow.setMouseCursorVisible(false);
    if (!mainWindow.isOpen())
        return false;
    mainWindow.setKeyRepeatEnabled(false);
    mainWindow.setVerticalSyncEnabled(true);
    return true;
}

bool Program::openWindow()
{
    windowedWidth = static_cast<unsigned>(currentSettings.windowWidth);
    windowedHeight = static_cast<unsigned>(currentSettings.windowHeight);
    bool fullscreen = currentSettings.fullscreen != 0;
    const auto option = optionTable.find("Window");
    if (option != optionTable.end()) {
        unsigned width = 0, height = 0;
        if (parseWindowSize(option->second, width, height)) {
            windowedWidth = width;
            windowedHeight = height;
            fullscreen = false;
        } else {
            errors() << "Ignoring --Window=" << option->second << ": expected WIDTHxHEIGHT such as 1280x720; using "
                     << (fullscreen ? "fullscreen." : "the remembered window.") << std::endl;
        }
    }
    if (!createWindow(fullscreen, windowedWidth, windowedHeight))
        return false;
    fitScene();
    return true;
}

void Program::toggleFullscreen()
{
    const bool wanted = !fullscreenNow;
    // A mode the display refuses leaves the game in the one it had.
    if (!createWindow(wanted, windowedWidth, windowedHeight) && !createWindow(!wanted, windowedWidth, windowedHeight))
        return;
    currentSettings.fullscreen = fullscreenNow ? 1 : 0;
    // Keys held through the switch send no release to the new window.
    std::fill(std::begin(keyDown), std::end(keyDown), false);
    fitScene();
}

void Program::fitScene()
{
    const sf::Vector2u size = mainWindow.getSize();
    mainWindow.setView(sf::View(sf::FloatRect(0.f, 0.f, static_cast<float>(size.x), static_cast<float>(size.y))));
    letterbox(size, sceneTexture.getSize(), scaleX, offset);
    scaleY = scaleX;
    setUpPresentation();
    const sf::Vector2i pointer = sf::Mouse::getPosition(mainWindow);
    mousePosition = sf::Vector2f(static_cast<float>((pointer.x - offset.x) / scaleX),
                                 static_cast<float>((pointer.y - offset.y) / scaleY));
}

bool Program::load()
{
    if (!loadConfiguration())
        return false;
    // The user data comes first: it says how to open the window.
    loadUserData();
    readSettings();
    if (!sceneTexture.create(SceneWidth, SceneHeight))
        return false;
    // Before anything is drawn into it: this discards the scene's contents.
    SceneCopy::matchWindowLayout(sceneTexture);
    if (!openWindow())
        return false;

    if (!loadCursors())
        return false;

    if (!modules.empty())
        modules.front()->loadLoadingScreen();
    chooseLanguage();
    cursorIndex = -1;

    return startModules();
}

bool Program::startModules()
{
    if (modules.empty())
        return false;
    stateStack.push(quitState());
    for (int i = quitState() - 1; i >= 0; --i)
        if (moduleStacked[i])
            stateStack.push(i);
    for (const auto& module : modules)
        if (!module || !module->load())
            return false;
    // Starting further down drops the entries above rather than replacing the top, so that
    // leaving the chosen module exposes what lies below it exactly as in a full run; a module
    // that only a push reaches takes the place of the first one, over the rest.
    const std::string& first = optionTable["StartState"];
    for (int i = 1; i < quitState(); ++i) {
        if (first != moduleNames[i])
            continue;
        if (!moduleStacked[i]) {
            stateStack.pop();
            stateStack.push(i);
        }
        while (top() != i)
            stateStack.pop();
    }
    topModule()->start();
    return true;
}

Module* Program::topModule() const
{
    return stateStack.empty() ? nullptr : module(stateStack.top());
}

void Program::popState(bool startNext)
{
    if (stateStack.empty() || stateStack.top() == quitState())
        return;
    if (Module* module = topModule())
        module->stop();
    stateStack.pop();
    if (startNext)
        if (Module* next = topModule())
            next->start();
}

void Program::pushState(int state)
{
    if (!module(state))
        return;
    if (Module* current = topModule())
        current->stop();
    stateStack.push(state);
    module(state)->start();
}

void Program::letterbox(sf::Vector2u mainWindow, sf::Vector2u scene, double& scale, sf::Vector2f& offset)
{
    scale = std::min(static_cast<double>(mainWindow.x) / scene.x, static_cast<double>(mainWindow.y) / scene.y);
    offset = sf::Vector2f(static_cast<float>(std::floor((mainWindow.x - scene.x * scale) / 2.0)),
                          static_cast<float>(std::floor((mainWindow.y - scene.y * scale) / 2.0)));
}

void Program::setUpPresentation()
{
    // At the scene's own size a pixel is copied as it is; scaled, it is filtered, and well below
    // half size averaged over mipmaps so that tiles and edges do not shimmer.
    scaled = mainWindow.getSize() != sceneTexture.getSize();
    mipmapped = scaled && (scaleX < 0.5 || scaleY < 0.5);
    sceneTexture.setSmooth(scaled);
    sceneSprite.setTexture(sceneTexture.getTexture(), true);
    sceneSprite.setScale(static_cast<float>(scaleX), static_cast<float>(scaleY));
    sceneSprite.setPosition(offset);
    letterboxed = offset != sf::Vector2f(0.f, 0.f);
}

void Program::present()
{
    sceneTexture.display();
    if (!mainWindow.isOpen())
        return;
    if (mipmapped)
        sceneTexture.generateMipmap();
    // At the same size the scene is copied as it is (far cheaper than drawing it as a textured
    // quad on a software renderer); otherwise drawn scaled. The scene is opaque: copying it
    // needs no blending with what the window held.
    if (scaled || !sceneCopy.copy(sceneTexture.getTexture(), mainWindow)) {
        if (letterboxed)
            mainWindow.clear(sf::Color::Black);
        mainWindow.draw(sceneSprite, sf::RenderStates(sf::BlendNone));
    }
    mainWindow.display();
}

bool Program::dispatchEvent(sf::Event event)
{
    switch (event.type) {
    case sf::Event::Closed:
        saveUserData();
        userDataSaved = true;
        while (top() != quitState())
            popState(false);
        mainWindow.close();
        return false;
    case sf::Event::KeyPressed:
        // The window's own keys, whatever module is on top.
        if (event.key.code == sf::Keyboard::F11 || (event.key.code == sf::Keyboard::Return && event.key.alt)) {
            toggleFullscreen();
            return true;
        }
        [[fallthrough]];
    case sf::Event::KeyReleased:
        if (event.key.code >= 0 && event.key.code < KeyCount)
            keyDown[event.key.code] = event.type == sf::Event::KeyPressed;
        break;
    case sf::Event::LostFocus:
        // Keys released while another window has the focus never send their release here.
        std::fill(std::begin(keyDown), std::end(keyDown), false);
        // Without a window manager a new window (the first, or the one F11 makes) is told it
        // lost the focus as it opens: only a window that had the focus can lose it.
        if (!focusHad)
            return top() != quitState();
        break;
    case sf::Event::GainedFocus:
        focusHad = true;
        break;
    case sf::Event::Resized:
        // Opening a window reports its own size: only a size the player gave it is remembered.
        if (!fullscreenNow && (event.size.width != windowedWidth || event.size.height != windowedHeight)) {
            windowedWidth = event.size.width;
            windowedHeight = event.size.height;
            currentSettings.windowWidth = std::clamp(static_cast<int>(event.size.width), 320, 16384);
            currentSettings.windowHeight = std::clamp(static_cast<int>(event.size.height), 180, 16384);
        }
        fitScene();
        break;
    case sf::Event::MouseButtonPressed:
    case sf::Event::MouseButtonReleased:
        event.mouseButton.x = static_cast<int>((event.mouseButton.x - offset.x) / scaleX);
        event.mouseButton.y = static_cast<int>((event.mouseButton.y - offset.y) / scaleY);
        mousePosition = sf::Vector2f(static_cast<float>(event.mouseButton.x), static_cast<float>(event.mouseButton.y));
        break;
    case sf::Event::MouseMoved:
        event.mouseMove.x = static_cast<int>((event.mouseMove.x - offset.x) / scaleX);
        event.mouseMove.y = static_cast<int>((event.mouseMove.y - offset.y) / scaleY);
        mousePosition = sf::Vector2f(static_cast<float>(event.mouseMove.x), static_cast<float>(event.mouseMove.y));
        break;
    default:
        break;
    }
    if (Module* module = topModule())
        module->handleEvent(event);
    return top() != quitState();
}

bool Program::runPass(sf::Time elapsed)
{
    lag += std::min(elapsed, sf::microseconds(MaxLagPerPassMicroseconds));
    const sf::Int64 step = frameTime.asMicroseconds();
    const sf::Int64 due = lag.asMicroseconds() / step;
    lag = sf::microseconds(lag.asMicroseconds() - due * step);
    if (due == 0)
        return true;

    sf::Event event;
    while (mainWindow.isOpen() && mainWindow.pollEvent(event))
        if (!dispatchEvent(event))
            return false;

    for (sf::Int64 k = due - 1; k >= 0; --k) {
        Module* module = topModule();
        if (!module)
            return false;
        module->update(static_cast<int>(k * step));
    }
    Module* module = topModule();
    // A module that could not start ends the run, whatever lies below it.
    if (!module || status != 0)
        return false;

    if (!module->coversScene()) {
        overlay.setSize(sf::Vector2f(sceneTexture.getSize()));
        overlay.setFillColor(overlayColor);
        sceneTexture.draw(overlay);
    }
    module->draw();
    if (cursorIndex != -1)
        drawCursor();
    present();
    return true;
}

void Program::run()
{
    overlay = sf::RectangleShape(sf::Vector2f(0.f, 0.f));
    overlay.setPosition(0.f, 0.f);
    stepClock.restart();
    // Relative to the window: the same as the desktop's in fullscreen, and right in a window too.
    const sf::Vector2i pointer = sf::Mouse::getPosition(mainWindow);
    mousePosition = sf::Vector2f(static_cast<float>((pointer.x - offset.x) / scaleX),
                                 static_cast<float>((pointer.y - offset.y) / scaleY));
    while (!stateStack.empty() && top() != quitState())
        if (!runPass(stepClock.restart()))
            break;
    finishRun();
}

// Leaving by Escape (the only way out in fullscreen) keeps the settings as closing does; a
// module that could not start ends the run with nothing written.
void Program::finishRun()
{
    if (!userDataSaved && status == 0)
        saveUserData();
    userDataSaved = true;
}

} // namespace vrk
