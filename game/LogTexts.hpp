#pragma once
// The lines of the message log that the game writes itself, by their key in the language
// documents, with the English line shown when a document lacks the key.

namespace vrk {

struct LogText {
    const char* key;
    const char* fallback;
};

constexpr LogText GameOverText{"GameOver", "Game over - Press space to restart"};
constexpr LogText VictoryText{"VictoryLine", "Victory. Press space to restart."};
// The levels: a map cleared with another after it, the last one cleared, and the offer to go
// back to the furthest level reached ("{level}" stands for its number).
constexpr LogText LevelClearedText{"LevelCleared", "Level cleared. Press space to continue."};
constexpr LogText GameWonText{"GameWon", "The way out at last. You won! Space to play again."};
constexpr LogText ContinueText{"ContinueLevel", "Press C to continue from level {level}"};
// The easier rules' lines: a checkpoint kept, a medical cabinet used, and one used already.
constexpr LogText CheckpointText{"Checkpoint", "Checkpoint: a death resumes here."};
constexpr LogText CabinetHealText{"CabinetHeal", "The medical cabinet patches you up."};
constexpr LogText CabinetEmptyText{"CabinetEmpty", "The medical cabinet is empty."};
constexpr LogText RuleTexts[] = {CheckpointText, CabinetHealText, CabinetEmptyText};
constexpr int HelpTextCount = 3;
constexpr LogText HelpTexts[HelpTextCount] = {
    {"Help1", "Use left shift or right control to run. Use escape to exit."},
    {"Help2", "Use your mouse, both buttons, and wasd or the arrow key to play."},
    {"Help3", "Welcome."},
};

} // namespace vrk
