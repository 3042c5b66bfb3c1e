#pragma once
// A module that records what the Program asks of it, for the tests of the stack and of the modules
// around another one: its starts and stops, its updates and clicks; it can pop itself on a chosen
// update or on any event.

#include "shell/Module.hpp"
#include "shell/ModuleContext.hpp"

#include <SFML/System/Vector2.hpp>

#include <string>
#include <vector>

namespace vrk {
namespace testing {

class StubModule : public Module {
public:
    // Each call lands in log as "name.load", "name.start" or "name.stop", when a log is given.
    StubModule(ModuleContext& shell, std::vector<std::string>* log = nullptr, const std::string& name = "stub")
        : Module(shell), log(log), name(name)
    {
    }
    std::vector<std::string>* log;
    std::string name;
    int starts = 0;
    int stops = 0;
    std::vector<int> updates;
    std::vector<sf::Vector2i> clicks;
    int draws = 0;
    int popOnUpdate = -1;
    bool popOnEvent = false;
    bool loadResult = true;
    bool startResult = true;

private:
    void record(const char* what)
    {
        if (log)
            log->push_back(name + "." + what);
    }
    bool onLoad() override
    {
        record("load");
        return loadResult;
    }
    bool onStart() override
    {
        ++starts;
        record("start");
        return startResult;
    }
    void onRestart() override {}
    void onStop() override
    {
        ++stops;
        record("stop");
    }
    void onEvent(const sf::Event& event) override
    {
        if (event.type == sf::Event::MouseButtonPressed)
            clicks.push_back(sf::Vector2i(event.mouseButton.x, event.mouseButton.y));
        if (popOnEvent)
            shell().popState(true);
    }
    void onUpdate(int lag) override
    {
        updates.push_back(lag);
        if (popOnUpdate == static_cast<int>(updates.size()))
            shell().popState(true);
    }
    void onDraw() override { ++draws; }
};

} // namespace testing
} // namespace vrk
