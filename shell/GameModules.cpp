#include "shell/GameModules.hpp"

#include "credits/Credit.hpp"
#include "game/Ingame.hpp"
#include "shell/Program.hpp"
#include "title/Title.hpp"

#include <memory>

namespace vrk {

void registerGameModules(Program& program)
{
    auto ingame = std::make_unique<Ingame>(program);
    Ingame& game = *ingame;
    program.registerModule("credit", std::make_unique<Credit>(program));
    program.registerModule("title", std::make_unique<Title>(program, [&game](int slot) { game.playFromTitle(slot); }));
    program.registerModule("ingame", std::move(ingame), false);
}

} // namespace vrk
