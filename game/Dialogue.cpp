// The opening conversation: its script, the box that slides and folds, the typing of the words.
#include "game/Ingame.hpp"

#include "game/Text.hpp"
#include "shell/Program.hpp"

#include <SFML/Graphics/RectangleShape.hpp>

#include <algorithm>

namespace vrk {

namespace {

enum Face { HunterFace = 11, MaverickFace = 12, DoctorFace = 13 };
enum Script { NoScript = -1, OpeningScript = 0, ClosingScript = 1 };

constexpr int TalkCursor = 4;
constexpr int BoxMargin = 10;
constexpr int TextMargin = 10;
constexpr int BoxSlideSpeed = 8;
constexpr int BoxOpenSpeed = 8;
constexpr int FaceFadeSpeed = 8;
constexpr int OpeningDelaySteps = 50;
constexpr int BangSound = 1;
constexpr int MainTheme = 0;
constexpr int DarkTheme = 1;
constexpr double Pi = 3.14159265358979323846;

const sf::Color Red(255, 0, 0, 196);
const sf::Color Blue(0, 64, 255, 196);
const sf::Color Grey(64, 64, 64, 196);
const sf::Color Clear(0, 0, 0, 0);

bool bang(Ingame& game)
{
    game.playSound(BangSound, 1.0f);
    return true;
}

bool mainTheme(Ingame& game)
{
    // Without sound no stream was opened, and playing one would only complain.
    if (game.soundEnabled) {
        game.music[DarkTheme].stop();
        game.music[MainTheme].play();
    }
    return true;
}

bool helpMessages(Ingame& game)
{
    game.addMessage("Use left shift or right control to run. Use escape to exit.");
    game.addMessage("Use your mouse, both buttons, and wasd or the arrow key to play.");
    game.addMessage("Welcome.");
    return true;
}

const DialogueEntry& currentEntry(const Ingame& game)
{
    return Ingame::dialogueScripts[game.dialogueScript].entries[game.dialogueEntry];
}

sf::String currentWords(const Ingame& game)
{
    return utf8ToSfString(game.languageText(currentEntry(game).key));
}

// Where the box rests for a side of the scene.
int boxPlace(const Ingame& game, int side)
{
    return side == 0 ? BoxMargin : SceneWidth - BoxMargin - game.boxWidth;
}

} // namespace

const DialogueScript Ingame::dialogueScripts[2] = {
    {{
         {MaverickFace, "_INITIAL_00_Maverick", Red, 0, 0.75, nullptr},
         {MaverickFace, "_INITIAL_05_Maverick", Red, 0, 1.5, nullptr},
         {HunterFace, "_INITIAL_10_Hunter", Blue, 1, 1.5, nullptr},
         {HunterFace, "_INITIAL_20_Hunter", Blue, 1, 1.5, nullptr},
         {MaverickFace, "_INITIAL_30_Maverick", Red, 0, 2.0, nullptr},
         {HunterFace, "_INITIAL_40_Hunter", Blue, 1, 1.0471975511965976, nullptr},
         {DoctorFace, "_INITIAL_50_Doctor", Grey, 0, 1.5, nullptr},
         {MaverickFace, "_INITIAL_60_Maverick", Red, 0, 1.5, nullptr},
         {HunterFace, "_INITIAL_70_Hunter", Blue, 1, 1.5, nullptr},
         {DoctorFace, "_INITIAL_80_Doctor", Grey, 0, 1.5, nullptr},
         {HunterFace, "_INITIAL_90_Hunter", Blue, 1, 1.5, nullptr},
         {MaverickFace, "_INITIAL_100_Maverick", Red, 0, 3.0, nullptr},
         {DoctorFace, "_INITIAL_110_Doctor", Grey, 0, 2.0, nullptr},
         {HunterFace, "_INITIAL_120_Hunter", Blue, 1, 1.5, nullptr},
         {HunterFace, "_INITIAL_130_Hunter", Blue, 1, 1.5, nullptr},
         {MaverickFace, "_INITIAL_140_Maverick", Red, 0, 1.5, nullptr},
         {NoFace, "_INITIAL_150_BANG", Clear, 0, 1.5, &bang},
         {DoctorFace, "_INITIAL_160_Doctor", Grey, 0, 3.0, nullptr},
         {HunterFace, "_INITIAL_170_Hunter", Blue, 1, 5.0, nullptr},
         {DoctorFace, "_INITIAL_180_Doctor", Grey, 0, 5.0, nullptr},
         {MaverickFace, "_INITIAL_190_Maverick", Red, 0, 2.0943951023931953, &mainTheme},
         {HunterFace, "_INITIAL_200_Hunter", Blue, 1, 5.0, nullptr},
         {NoFace, "_INITIAL_10_LogMsg", Clear, 1, 1.5, &helpMessages},
     },
     23},
    {{
         {NoFace, "", sf::Color(0, 0, 0, 255), 0, 1.5, nullptr},
     },
     1},
};

bool Ingame::openingDialogueTask(Ingame& game, std::vector<int>& parameters)
{
    if (parameters.empty())
        return true;
    if (parameters[0]-- != 0)
        return false;
    game.facingAngle = Pi / 2;
    game.draw();
    game.startDialogue(OpeningScript);
    return true;
}

void Ingame::startDialogue(int script)
{
    if (script != OpeningScript && script != ClosingScript)
        return;
    boxWidth = static_cast<int>(0.9 * SceneWidth);
    boxX = boxPlace(*this, dialogueScripts[script].entries[0].side);
    boxMaxHeight = static_cast<int>(0.2 * SceneHeight);
    boxHeight = 0;
    boxY = SceneHeight - BoxMargin - boxMaxHeight;
    faceAlpha = 0;
    charsShown = 0.0;
    dialogueEntry = 0;
    dialogueScript = script;
    dialogueText.setString(sf::String());
    dialogueText.setPosition(static_cast<float>(boxX + TextMargin), static_cast<float>(boxY + TextMargin));
    savedCursor = program->cursorIndex;
    program->cursorIndex = TalkCursor;
}

void Ingame::dialogueStep()
{
    if (dialogueScript == NoScript)
        return;
    const DialogueEntry& entry = currentEntry(*this);
    const bool closing = dialogueScript == ClosingScript;

    // The box first slides to the speaker's side; the closing box folds while it slides.
    const int place = boxPlace(*this, entry.side);
    if (entry.side == 0) {
        if (boxX < place + 1) {
            boxX = place;
        } else {
            boxX -= BoxSlideSpeed;
            if (!closing)
                return;
        }
    } else if (boxX < place) {
        boxX += BoxSlideSpeed;
        if (!closing)
            return;
    } else {
        boxX = place;
    }

    if (closing) {
        boxHeight -= BoxOpenSpeed;
        if (boxHeight < 1) {
            boxHeight = 0;
            dialogueScript = NoScript;
        }
        return;
    }

    const sf::String words = currentWords(*this);
    if (boxHeight < boxMaxHeight) {
        boxHeight += BoxOpenSpeed;
        return;
    }
    if (entry.action && entry.action(*this))
        advanceDialogue();
    // `entry` and `words` stay those of the line this step began with, even if it moved on.
    const std::size_t shown = std::min(static_cast<std::size_t>(charsShown), words.getSize());
    dialogueText.setString(words.substring(0, shown));
    if (charsShown < words.getSize())
        charsShown += entry.typingSpeed;
}

void Ingame::advanceDialogue()
{
    if (dialogueScript == NoScript)
        return;
    const std::size_t length = currentWords(*this).getSize();
    if (charsShown < length) {
        charsShown = static_cast<double>(length);
        return;
    }
    const int previousFace = currentEntry(*this).face;
    ++dialogueEntry;
    if (dialogueEntry < dialogueScripts[dialogueScript].count) {
        charsShown = 0.0;
        dialogueText.setString(sf::String());
        if (currentEntry(*this).face != previousFace)
            faceAlpha = 0;
        return;
    }
    dialogueScript = ClosingScript;
    dialogueEntry = 0;
    program->cursorIndex = savedCursor;
}

void Ingame::drawDialogue()
{
    if (dialogueScript == NoScript)
        return;
    sf::RenderTarget& target = program->sceneTexture;
    const DialogueEntry& entry = currentEntry(*this);

    if (entry.face != NoFace) {
        // The portrait is never moved: it stands in the scene's top-left corner.
        sf::Sprite& face = sprites[entry.face];
        face.setColor(sf::Color(255, 255, 255, static_cast<sf::Uint8>(faceAlpha)));
        target.draw(face);
        faceAlpha = std::min(255, faceAlpha + FaceFadeSpeed);
    }
    if (boxHeight == 0)
        return;

    sf::RectangleShape box(sf::Vector2f(static_cast<float>(boxWidth), static_cast<float>(boxHeight)));
    box.setFillColor(entry.boxColour);
    box.setOutlineColor(sf::Color::White);
    box.setOutlineThickness(1.0f);
    // The box opens and folds about its middle line.
    box.setPosition(static_cast<float>(boxX), static_cast<float>(boxY + (boxMaxHeight - boxHeight) / 2));
    target.draw(box);

    if (boxHeight >= boxMaxHeight && dialogueScript != ClosingScript) {
        dialogueText.setPosition(static_cast<float>(boxX + TextMargin), static_cast<float>(boxY + TextMargin));
        target.draw(dialogueText);
    }
}

} // namespace vrk
