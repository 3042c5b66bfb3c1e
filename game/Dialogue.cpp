#include "game/Dialogue.hpp"

#include "game/Audio.hpp"
#include "game/GameContext.hpp"
#include "game/Identifiers.hpp"
#include "game/KeyTexts.hpp"
#include "game/Text.hpp"
#include "game/Tuning.hpp"
#include "shell/SceneSize.hpp"
#include "shell/Settings.hpp"

#include <SFML/Graphics/RectangleShape.hpp>

#include <algorithm>

namespace vrk {

namespace {

constexpr int BoxMargin = 10;
constexpr int TextMargin = 10;
constexpr int BoxOutline = 1;
constexpr unsigned TextSize = 40;

const sf::Color Red(255, 0, 0, 196);
const sf::Color Blue(0, 64, 255, 196);
const sf::Color Grey(64, 64, 64, 196);
const sf::Color Clear(0, 0, 0, 0);

bool bang(GameContext& game)
{
    game.audio().play(BangSound, 1.0f);
    return true;
}

bool mainTheme(GameContext& game)
{
    if (game.audio().enabled()) {
        game.audio().stopMusic(DarkTheme);
        game.audio().playMusic(MainTheme);
    }
    return true;
}

bool helpMessages(GameContext& game)
{
    for (const LogText& help : HelpTexts)
        game.addMessage(withBoundKeys(game.logText(help), game.settings()));
    return true;
}

} // namespace

const DialogueScript Dialogue::scripts[2] = {
    {{
         {MaverickFace, "_INITIAL_00_Maverick", Red, 0, 0.75, nullptr},
         {MaverickFace, "_INITIAL_05_Maverick", Red, 0, 1.5, nullptr},
         {HunterFace, "_INITIAL_10_Hunter", Blue, 1, 1.5, nullptr},
         {HunterFace, "_INITIAL_20_Hunter", Blue, 1, 1.5, nullptr},
         {MaverickFace, "_INITIAL_30_Maverick", Red, 0, 2.0, nullptr},
         {HunterFace, "_INITIAL_40_Hunter", Blue, 1, HaltingTyping, nullptr},
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
         {MaverickFace, "_INITIAL_190_Maverick", Red, 0, MeasuredTyping, &mainTheme},
         {HunterFace, "_INITIAL_200_Hunter", Blue, 1, 5.0, nullptr},
         {NoFace, "_INITIAL_10_LogMsg", Clear, 1, 1.5, &helpMessages},
     },
     23},
    {{
         {NoFace, "", sf::Color(0, 0, 0, 255), 0, 1.5, nullptr},
     },
     1},
};

bool Dialogue::openingTask(GameContext& game, std::vector<int>& parameters)
{
    if (parameters.empty())
        return true;
    if (parameters[0]-- != 0)
        return false;
    game.facePlayer(Pi / 2);
    game.startDialogue(OpeningScript);
    return true;
}

void Dialogue::setFont(const sf::Font& font)
{
    words.setFont(font);
    // White on a dark outline reads on every box colour over any floor (black on the
    // translucent boxes did not).
    words.setFillColor(TextFill);
    words.setOutlineColor(TextOutline);
    words.setOutlineThickness(TextOutlineThickness);
    words.setCharacterSize(TextSize);
}

sf::String Dialogue::currentWords() const
{
    return utf8ToSfString(game.languageText(current().key));
}

int Dialogue::boxPlace(int side) const
{
    return side == 0 ? BoxMargin : SceneWidth - BoxMargin - width;
}

void Dialogue::start(int scriptId)
{
    if (scriptId != OpeningScript && scriptId != ClosingScript)
        return;
    width = static_cast<int>(0.9 * SceneWidth);
    x = boxPlace(scripts[scriptId].entries[0].side);
    maxHeight = static_cast<int>(0.2 * SceneHeight);
    height = 0;
    y = SceneHeight - BoxMargin - maxHeight;
    alpha = 0;
    shown = 0.0;
    entryIndex = 0;
    actionDone = false;
    script = scriptId;
    words.setString(sf::String());
    words.setPosition(static_cast<float>(x + TextMargin), static_cast<float>(y + TextMargin));
    savedCursor = game.cursor();
    game.setCursor(TalkCursor);
}

void Dialogue::step()
{
    if (script == NoScript)
        return;
    const DialogueEntry& entry = current();
    const bool closing = script == ClosingScript;
    if (entry.face != NoFace)
        alpha = std::min(255, alpha + FaceFadeSpeed);

    // The box first slides to the speaker's side; the closing box folds while it slides.
    const int place = boxPlace(entry.side);
    if (entry.side == 0) {
        if (x < place + 1) {
            x = place;
        } else {
            x -= BoxSlideSpeed;
            if (!closing)
                return;
        }
    } else if (x < place) {
        x += BoxSlideSpeed;
        if (!closing)
            return;
    } else {
        x = place;
    }

    if (closing) {
        height -= BoxOpenSpeed;
        if (height < 1) {
            height = 0;
            script = NoScript;
        }
        return;
    }

    const sf::String line = currentWords();
    if (height < maxHeight) {
        height += BoxOpenSpeed;
        return;
    }
    // A line with an action and no words moves on at once; one with words shows them whole
    // first, then runs its action and waits for a click like any other line.
    if (entry.action && line.isEmpty()) {
        runAction();
        advance();
    }
    // `entry` and `line` stay those of the line this step began with, even if it moved on.
    const std::size_t count = std::min(static_cast<std::size_t>(shown), line.getSize());
    words.setString(line.substring(0, count));
    if (shown < line.getSize())
        shown += entry.typingSpeed;
    if (entry.action && !line.isEmpty() && shown >= line.getSize())
        runAction();
}

void Dialogue::runAction()
{
    const DialogueEntry& entry = current();
    if (entry.action && !actionDone) {
        actionDone = true;
        entry.action(game);
    }
}

void Dialogue::skip()
{
    if (script != OpeningScript)
        return;
    for (; entryIndex < scripts[script].count; ++entryIndex) {
        runAction();
        actionDone = false;
    }
    script = ClosingScript;
    entryIndex = 0;
    shown = 0.0;
    words.setString(sf::String());
    game.setCursor(savedCursor);
}

void Dialogue::advance()
{
    if (script == NoScript)
        return;
    const std::size_t length = currentWords().getSize();
    if (shown < length) {
        shown = static_cast<double>(length);
        return;
    }
    // Clicked past before its step came: the line's action still takes effect.
    runAction();
    const int previousFace = current().face;
    ++entryIndex;
    actionDone = false;
    if (entryIndex < scripts[script].count) {
        shown = 0.0;
        words.setString(sf::String());
        if (current().face != previousFace)
            alpha = 0;
        return;
    }
    script = ClosingScript;
    entryIndex = 0;
    game.setCursor(savedCursor);
}

int Dialogue::clearBottom(int sceneHeight) const
{
    if (script == NoScript || height == 0)
        return sceneHeight;
    // Above its outline, as it stands while it opens or folds.
    return y + (maxHeight - height) / 2 - BoxOutline - BoxMargin;
}

void Dialogue::draw(sf::RenderTarget& target)
{
    if (script == NoScript)
        return;
    const DialogueEntry& entry = current();

    if (entry.face != NoFace) {
        // The portrait is never moved: it stands in the scene's top-left corner.
        sf::Sprite& face = game.sprite(entry.face);
        face.setColor(sf::Color(255, 255, 255, static_cast<sf::Uint8>(alpha)));
        target.draw(face);
    }
    if (height == 0)
        return;

    sf::RectangleShape box(sf::Vector2f(static_cast<float>(width), static_cast<float>(height)));
    box.setFillColor(entry.boxColour);
    box.setOutlineColor(sf::Color::White);
    box.setOutlineThickness(static_cast<float>(BoxOutline));
    // The box opens and folds about its middle line.
    box.setPosition(static_cast<float>(x), static_cast<float>(y + (maxHeight - height) / 2));
    target.draw(box);

    if (height >= maxHeight && script != ClosingScript) {
        words.setPosition(static_cast<float>(x + TextMargin), static_cast<float>(y + TextMargin));
        target.draw(words);
    }
}

} // namespace vrk
