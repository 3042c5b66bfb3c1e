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
constexpr int HelpTextCount = 3;
constexpr LogText HelpTexts[HelpTextCount] = {
    {"Help1", "Use left shift or right control to run. Use escape to exit."},
    {"Help2", "Use your mouse, both buttons, and wasd or the arrow key to play."},
    {"Help3", "Welcome."},
};

} // namespace vrk
