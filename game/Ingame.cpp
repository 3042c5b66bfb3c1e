// PLACEHOLDER until the in-game module lands: replace this file whole.
#include "game/Ingame.hpp"
#include "shell/Program.hpp"
#include <iostream>
namespace vrk {
bool Ingame::start() { std::cout << "The in-game module is not built yet." << std::endl; return false; }
void Ingame::update(int) { program->popState(true); }
} // namespace vrk
