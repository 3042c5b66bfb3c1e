#include "shell/GameModules.hpp"

#include "credits/Credit.hpp"
#include "game/Ingame.hpp"
#include "shell/Program.hpp"

#include <memory>

namespace vrk {

void registerGameModules(Program& program)
{
    program.registerModule("credit", std::make_unique<Credit>(program));
    program.registerModule("ingame", std::make_unique<Ingame>(program));
}

} // namespace vrk
