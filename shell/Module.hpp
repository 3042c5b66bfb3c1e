#pragma once

#include <SFML/Window/Event.hpp>

namespace vrk {

class Program;

// A screen of the game. The Program drives whichever module is on top of its state stack.
class Module {
public:
    explicit Module(Program* program) : program(program) {}
    virtual ~Module() = default;

    virtual bool load() = 0;
    // Loads per-run resources behind the loading screen, then calls restart().
    virtual bool start() = 0;
    virtual void restart() = 0;
    // Must be harmless on a module that was never started.
    virtual void stop() = 0;
    virtual void handleEvent(const sf::Event& event) = 0;
    virtual void update(int lagMicroseconds) = 0;
    virtual void draw() = 0;

    bool loadLoadingScreen();
    void drawLoadingScreen(unsigned done, unsigned total);

    Program* program;
};

} // namespace vrk
