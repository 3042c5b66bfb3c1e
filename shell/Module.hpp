#pragma once

#include <SFML/Window/Event.hpp>

namespace vrk {

class ModuleContext;

// A screen of the game. The Program drives whichever module is on top of its state stack.
// The base keeps the started/failed bookkeeping: a module's own steps (the private virtual
// operations) run only once a start has succeeded, and the first update after a failed start
// makes the module leave.
class Module {
public:
    explicit Module(ModuleContext& shell) : shellContext(shell) {}
    virtual ~Module() = default;

    bool load() { return onLoad(); }
    // Loads per-run resources behind the loading screen, then restarts; false when a resource
    // failed (the module's line is already written).
    bool start();
    void restart() { onRestart(); }
    // Harmless on a module that was never started.
    void stop();
    void handleEvent(const sf::Event& event) { onEvent(event); }
    void update(int lagMicroseconds);
    void draw();

    bool isStarted() const { return started; }
    // The next frame paints every pixel of the scene opaquely, so the Program's fading overlay
    // would be painted over unseen and can be left out.
    bool coversScene() const { return started && onCoversScene(); }

    bool loadLoadingScreen();
    void drawLoadingScreen(unsigned done, unsigned total);

protected:
    // The shell's services; a module's own const operations may still read its documents.
    ModuleContext& shell() const { return shellContext; }

    // An update that finds the module never started leaves it too, as after a failed start.
    void leaveUnlessStarted() { leavesUnlessStarted = true; }

private:
    virtual bool onLoad() = 0;
    virtual bool onStart() = 0;
    virtual void onRestart() = 0;
    virtual void onStop() = 0;
    // Every event, started or not: a module decides what it answers before a start.
    virtual void onEvent(const sf::Event& event) = 0;
    virtual void onUpdate(int lagMicroseconds) = 0;
    virtual void onDraw() = 0;
    virtual bool onCoversScene() const { return false; }
    // Called once, by the first update after a failed start (or, see leaveUnlessStarted, one
    // without a start). By default the run ends with a failure status.
    virtual void onFailedStart();

    ModuleContext& shellContext;
    bool started = false;
    bool startFailed = false;
    bool leavesUnlessStarted = false;
};

} // namespace vrk
