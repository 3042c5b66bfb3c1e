#pragma once
// PLACEHOLDER until the in-game module lands: replace this file whole.
#include "shell/Module.hpp"
namespace vrk {
class Ingame : public Module {
public:
    using Module::Module;
    bool load() override { return true; }
    bool start() override;
    void restart() override {}
    void stop() override {}
    void handleEvent(const sf::Event&) override {}
    void update(int) override;
    void draw() override {}
};
} // namespace vrk
