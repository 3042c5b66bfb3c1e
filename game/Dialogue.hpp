#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Text.hpp>

#include <string>
#include <vector>

namespace vrk {

class GameContext;

namespace testing {
struct DialogueProbe;
}

// Returns true when the dialogue may move on.
using DialogueAction = bool (*)(GameContext& game);

struct DialogueEntry {
    int face;        // portrait texture, NoFace for none
    std::string key; // words in the language document
    sf::Color boxColour;
    int side;           // 0 left, 1 right
    double typingSpeed; // characters per step
    DialogueAction action;
};

constexpr int MaxDialogueEntries = 32;

struct DialogueScript {
    DialogueEntry entries[MaxDialogueEntries];
    int count;
};

enum DialogueScriptId { NoScript = -1, OpeningScript = 0, ClosingScript = 1 };

// The opening conversation: its script, the box that slides to the speaker and folds, the words
// typed a few characters per step, and the portrait that fades in.
class Dialogue {
public:
    explicit Dialogue(GameContext& game) : game(game) {}

    static const DialogueScript scripts[2];
    // Timed task: counts down its parameter, then starts the opening conversation.
    static bool openingTask(GameContext& game, std::vector<int>& parameters);

    void setFont(const sf::Font& font);
    void start(int script);
    // One step of the running script; the world stands still meanwhile.
    void step();
    // A click (or Space, Return): shows the whole line, or moves to the next one.
    void advance();
    // Tab: the rest of the conversation at once. Its remaining actions still take effect, and
    // the box folds away.
    void skip();
    void draw(sf::RenderTarget& target);
    // Where lines drawn under the box's level must end to stay clear of it (the message log at
    // the conversation's end): above the box while one shows, else the scene's bottom.
    int clearBottom(int sceneHeight) const;
    // No script running (a restart).
    void reset() { script = NoScript; }

    bool running() const { return script != NoScript; }
    int scriptId() const { return script; }
    int entry() const { return entryIndex; }
    double charsShown() const { return shown; }
    int boxX() const { return x; }
    int boxY() const { return y; }
    int boxWidth() const { return width; }
    int boxHeight() const { return height; }
    int boxMaxHeight() const { return maxHeight; }
    int faceAlpha() const { return alpha; }
    const sf::Text& text() const { return words; }

private:
    friend struct testing::DialogueProbe;

    const DialogueEntry& current() const { return scripts[script].entries[entryIndex]; }
    sf::String currentWords() const;
    // Where the box rests for a side of the scene.
    int boxPlace(int side) const;
    // The current line's action, once per line.
    void runAction();

    GameContext& game;
    int script = NoScript;
    int entryIndex = 0;
    double shown = 0.0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int maxHeight = 0;
    int alpha = 0;
    int savedCursor = 0;
    bool actionDone = false;
    sf::Text words;
};

} // namespace vrk
