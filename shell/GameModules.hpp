#pragma once
// The game's modules, as main registers them with the Program.

namespace vrk {

class Program;

// State ids in registration order; the quit sentinel follows the last module.
enum StateId { CreditState = 0, IngameState = 1, QuitState = 2 };

// Registers the credits ("credit") and the in-game module ("ingame"), in StateId order.
void registerGameModules(Program& program);

} // namespace vrk
