// PLACEHOLDER until the credits module lands: replace this file whole.
#include "credits/Credit.hpp"
#include "shell/Program.hpp"
namespace vrk {
bool Credit::start() { return true; }
void Credit::update(int) { program->popState(true); }
} // namespace vrk
