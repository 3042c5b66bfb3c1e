#pragma once

#include "game/Audio.hpp"
#include "game/Dialogue.hpp"
#include "game/Events.hpp"
#include "game/GameContext.hpp"
#include "game/ExploredMap.hpp"
#include "game/Hud.hpp"
#include "game/Light.hpp"
#include "game/Menu.hpp"
#include "game/LogTexts.hpp"
#include "game/MessageLog.hpp"
#include "game/Objects.hpp"
#include "game/Player.hpp"
#include "game/TaskList.hpp"
#include "game/TileBatches.hpp"
#include "game/World.hpp"
#include "shell/Module.hpp"
#include "shell/OptionsScreen.hpp"
#include "shell/Resources.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <map>
#include <string>
#include <vector>

namespace vrk {

class Hunter;

// Where a death resumes: kept when a door opens for the first time, a hunter falls or a cabinet
// heals. The hunters still standing start again from their posts.
struct Checkpoint {
    bool kept = false;
    sf::Vector2f place;
    int life = 0;
    // By index of the map's monsters: fallen when kept.
    std::vector<bool> fallen;
    // The door states: the whole ground and wall layers.
    std::vector<int> ground;
    std::vector<int> walls;
    // Cells of the doors opened once and of the cabinets used, and what the map had seen.
    std::vector<int> doorsOpened;
    std::vector<int> cabinetsUsed;
    MapMemory explored;
    // The walls the fog remembers.
    std::vector<int> fog;
};

// The stages of a frame, in drawing order: casting the light, ground and objects, characters
// and effects, the ceiling, the fog, and the log, bars and dialogue box.
enum class FrameStage { Light, Tiles, Characters, Ceiling, Fog, Interface };

// Told as each stage of a frame is drawn (the benchmark times them).
class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    virtual void stageDrawn(FrameStage stage) = 0;
};

// The in-game module. It loads the game's resources and maps, and each step and frame it runs
// its parts in the order the game's rules give: the world (maps, camera, monsters), the
// player, the light, the events, the dialogue, the message log, the timed tasks and the audio.
class Ingame : public Module, public GameContext {
public:
    explicit Ingame(ModuleContext& shell);
    ~Ingame() override;

    World& world() { return worldPart; }
    const World& world() const { return worldPart; }
    Player& player() { return playerPart; }
    const Player& player() const { return playerPart; }
    Light& light() { return lightPart; }
    Events& events() override { return eventsPart; }
    const Events& events() const { return eventsPart; }
    Dialogue& dialogue() { return dialoguePart; }
    const Dialogue& dialogue() const { return dialoguePart; }
    MessageLog& log() { return logPart; }
    const MessageLog& log() const { return logPart; }
    TaskList& tasks() override { return taskPart; }
    const TaskList& tasks() const { return taskPart; }
    Audio& audio() override { return audioPart; }
    const TileBatches& tiles() const { return tilePart; }
    const Audio& audio() const { return audioPart; }
    Hud& hud() { return hudPart; }
    const Hud& hud() const { return hudPart; }
    const ExploredMap& exploredMap() const { return mapPart; }
    const ObjectHighlight& highlight() const { return highlightPart; }

    const sf::Texture& texture(int id) const override { return textures[id]; }
    sf::Sprite& sprite(int id) override { return sprites[id]; }

    // ---- what the parts see (GameContext) ----
    sf::Vector2f playerPosition() const override { return playerPart.position(); }
    bool playerAlive() const override { return playerPart.alive(); }
    void facePlayer(double angle) override { playerPart.face(angle); }
    MapRecord& map() override { return worldPart.map(); }
    const MapRecord& map() const override { return worldPart.map(); }
    sf::Vector2f camera() const override { return worldPart.camera(); }
    void addBullet(std::unique_ptr<Monster> bullet) override;
    int hunterFireInterval() const override { return rules().hunterFireInterval; }
    void startDialogue(int script) override { dialoguePart.start(script); }
    int cursor() const override;
    void setCursor(int cursor) override;
    const Settings& settings() const override;

    // ---- shared by the parts' rules ----
    void addMessage(const std::string& text) override { logPart.add(text); }
    // Adds the text of a key of the language document to the message log: on a later map its
    // own wording (the key and the slot number, "Books1") when the document has one.
    void addText(const char* key) override;
    // Words of a key of the language document; empty (and nothing created) when it is absent.
    std::string languageText(const std::string& key) const override;
    // A line the game writes to the log, in the language in use (English when it lacks one).
    std::string logText(const LogText& text) const override;
    // The same with its mark ("{level}") replaced by value.
    std::string logText(const LogText& text, const std::string& mark, const std::string& value) const;
    // The handler for the event cell (column, row) of the played map, or none.
    EventHandler eventHandlerAt(int column, int row) const;
    void followCamera();
    CellRange visibleCells() const;
    // Casts the light from the player over the visible cells and remembers the walls it
    // reaches, as each step ends.
    void castLight();
    // Casts the light and paints the fog over the scene, as a frame does; nothing is remembered.
    void drawFog();
    // Every monster of the map is dead (recomputed each step).
    bool victory() const { return won; }
    // The furthest level reached, from the user data, counted from 1 (0 when none is stored).
    int furthestLevel() const;
    // Whether the first frame's offer to continue from that level stands (C takes it).
    bool continueOffer() const { return continueOffered; }
    // The offer's line, shown from the start through the opening conversation and a while
    // after; empty when none shows.
    std::string continueLine() const;
    // The map's words, its marks replaced by the bound keys.
    MapWords mapWords() const;
    // The player loses life, from a place (a hunter, where a bullet was fired) or none.
    void hitPlayer(int amount, const sf::Vector2f* source, const Monster* shooter = nullptr) override;
    // A hunter that was not chasing has just seen the player.
    void hunterSpotted(const Monster& hunter) override;

    // ---- the rules of the difficulty in use (game/Difficulty.cpp) ----
    const DifficultyRules& rules() const override;
    // A hunter within touching distance: a hit from the side it came from, every step on classic,
    // else one bump that pushes the player away.
    void hunterTouch(const Hunter& hunter) override;
    // On the easier rules no hunter's body overlaps the player's: one closer than the gap is
    // pushed straight out (or, with a wall at its back, the player is).
    void keepHuntersOff();
    // Whether a hunter at this place may spot the player and fire (on the easier rules: only
    // from inside the view).
    bool hunterMaySee(sf::Vector2f hunter) const override;
    // A hunter sees the player: no healing out of combat for a while.
    void inCombat() override { lastCombatStep = playedSteps; }
    // A door has finished opening: the first opening of each keeps a checkpoint.
    void doorOpened(int column, int row) override;
    // On the rules that keep them: the moment a death resumes at, life topped up to at least half
    // (`healNow`: the player gets that life now too).
    void keepCheckpoint(bool healNow);
    const Checkpoint& checkpoint() const { return kept; }
    // Heals once from the medical cabinet at the cell, in activate mode within reach; true when
    // the cell holds a cabinet (used or not).
    bool useCabinet(int column, int row);
    // Medical cabinets used in this level, by cell index.
    const std::vector<int>& usedCabinets() const { return cabinetsUsed; }
    void drawUsedCabinets(sf::RenderTarget& target, sf::Vector2f camera) const;

    // While paused the world, the dialogue, the timers, the music and the sounds stand still.
    bool paused() const { return isPaused; }
    void setPaused(bool pause);
    // The pause screen's items (Options, Back to the title), shown while paused without the map.
    enum PauseItem { PauseOptionsItem = 0, PauseTitleItem = 1 };
    const Menu& pausedMenu() const { return pauseMenu; }
    // The options, opened from the pause screen.
    const OptionsScreen& options() const { return optionsPart; }
    bool pauseMenuShown() const { return isPaused && !mapPart.shown() && !askingLeave; }

    // ---- the title ----
    // The title chose the level (a slot) that the next start plays, as a new game: no offer to
    // continue, which the title made itself.
    void playFromTitle(int slot);
    // Escape in play and the pause's "Back to the title" ask first, over the paused game: Escape
    // again or Return leaves, any other key or button goes back (to play, or to the pause screen
    // it was asked from; the pause key resumes play).
    void askLeave();
    bool leaveAsked() const { return askingLeave; }
    // Leaving: the user data is saved and the title comes back.
    void leaveToTitle();
    // Shown after the opening conversation until the first hunter falls.
    bool objectiveShown() const;
    // What the HUD shows this frame.
    HudFrame hudFrame() const;

    // ---- for tests and benchmarks ----
    // Whether starting shows the loading screen (on by default).
    void setLoadingScreenShown(bool shown) { showLoadingScreen = shown; }
    // Resources are read from this directory (with a trailing slash) instead of the game's own.
    void setResourceDirectory(const std::string& directory)
    {
        resourceDirectory = directory;
        optionsPart.setResourceDirectory(directory);
    }
    void observeFrames(FrameObserver* observer) { frameObserver = observer; }
    // Whether tile drawing skips the cells under unbroken darkness (on by default).
    void setCullDarkCells(bool cull) { cullDarkCells = cull; }

private:
    bool onLoad() override;
    bool onStart() override;
    void onRestart() override;
    void onStop() override;
    void onEvent(const sf::Event& event) override;
    void onUpdate(int lagMicroseconds) override;
    void onDraw() override;
    bool onCoversScene() const override;

    void reportProgress(unsigned& progress);
    // The rules of a step that is not paused.
    void playStep();
    // The swing, while it lasts, hits the hunters where it lands and those touching the player.
    void strike();
    // The light of the frame: cast as at the step's end, but the map is left as it is.
    void castFrameLight();
    // Keys and the pointer on the pause screen's items; false for an event they do not take.
    bool pauseMenuEvent(const sf::Event& event);
    void refreshPauseMenu();
    // The answer to the question of leaving; it takes every key and button.
    void answerLeave(const sf::Event& event);
    // After an event on the options: the pause's items and the log's lines in the language now
    // in use.
    void followLanguage();
    // While paused the view's lead and the frame around a usable thing keep following the
    // pointer, so that the first click after resuming lands on the cell it shows.
    void trackPointer();
    void followOptionsVolumes();
    // The map's key opens it over a paused game; it, Escape or the pause key close it and give
    // the game back as it was. False for a key the map does not take.
    bool mapKey(sf::Keyboard::Key key);
    // A left click (or the use key) with the pointer there, in scene coordinates.
    void actAt(sf::Vector2f pointer);
    // The analyse cursor on a cell whose event has nothing to say: its object's line.
    void describeCell(int column, int row);
    // Each played step: the map records what the light reaches, the highlight follows the
    // pointer, the offer to continue counts down.
    void guideStep();
    // Space after a death: the level again, without the opening conversation, from the last
    // checkpoint where the rules keep them.
    void resumeAfterDeath();
    // After a start: a resumed level takes its checkpoint and used cabinets back; a new one
    // forgets them.
    void applyResume();
    // The view's lead toward the pointer, eased a little each step.
    void leadCamera();
    // Slow healing while no hunter has seen the player for a while.
    void healOutOfCombat();
    // Reloads the game and plays the map of the slot (the opening conversation on the first only),
    // remembering it in the user data when it is the furthest reached.
    void playLevel(int slot);
    std::string resourcePath(const char* path) const;
    bool resourceFailure(const char* path) const;
    PlayerControls controls() const;
    // One step of 10 up or down of the music's or the effects' volume, kept in the settings.
    void changeVolume(bool music, int direction);
    void findOpaqueGroundTiles();
    void drawLayer(int layer, const CellRange& range);
    void stageDrawn(FrameStage stage)
    {
        if (frameObserver)
            frameObserver->stageDrawn(stage);
    }

    // Resources, by the indices of the path tables (game/Identifiers.hpp).
    sf::Font fonts[FontCount];
    sf::Texture textures[TextureCount];
    sf::Sprite sprites[TextureCount];

    World worldPart;
    Player playerPart;
    Light lightPart;
    Events eventsPart;
    Dialogue dialoguePart;
    MessageLog logPart;
    TaskList taskPart;
    Audio audioPart;
    TileBatches tilePart;
    Hud hudPart;
    ExploredMap mapPart;
    ObjectHighlight highlightPart;
    OptionsScreen optionsPart;

    // By ground tile value: the tile has no translucent pixel.
    std::vector<bool> opaqueGround;
    bool won = false;
    // The slot that a start plays.
    int level = 0;
    bool continueOffered = false;
    // Off once the title has started a game: the title offers Continue itself.
    bool offerContinue = true;
    Menu pauseMenu;
    // Played steps for which the offer to continue still shows.
    int offerLeft = 0;
    // Opening the map paused the game (closing it resumes).
    bool mapPausedGame = false;
    std::size_t mapsToLoad = 1;
    bool isPaused = false;
    // The question of leaving stands; it was asked from the pause screen.
    bool askingLeave = false;
    bool leaveFromPause = false;
    // The opening conversation has run in this game.
    bool talked = false;
    // Played steps since the start, and the step at which each hunter last sounded the alert.
    int playedSteps = 0;
    std::map<const Monster*, int> lastAlert;
    // The next start resumes the level after a death.
    bool resuming = false;
    Checkpoint kept;
    std::vector<int> doorsOpened;
    std::vector<int> cabinetsUsed;
    int lastCombatStep = 0;
    sf::Vector2f cameraLead;
    bool cullDarkCells = true;
    bool showLoadingScreen = true;
    std::string resourceDirectory;
    FrameObserver* frameObserver = nullptr;
};

} // namespace vrk
