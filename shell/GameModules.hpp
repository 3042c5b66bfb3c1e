#pragma once
// The game's modules, as main registers them with the Program.

namespace vrk {

class Program;

// State ids in registration order; the quit sentinel follows the last module.
enum StateId { CreditState = 0, TitleState = 1, IngameState = 2, QuitState = 3 };

// Registers the credits ("credit"), the title ("title") and the in-game module ("ingame"), in
// StateId order. The stack starts as the credits over the title; the title pushes the game (or
// the credits again) and each pops itself back to the title.
void registerGameModules(Program& program);

} // namespace vrk
