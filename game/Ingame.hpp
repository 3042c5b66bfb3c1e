#pragma once

#include "shell/Module.hpp"
#include "shell/Resources.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <list>
#include <memory>
#include <string>
#include <vector>

namespace zul {
class Tavric;
}

namespace vrk {

class Monster;
class Ingame;

constexpr int TileSize = 120;
constexpr int TileSheetColumns = 10;
constexpr int LayerCount = 6;
// Each layer owns this many tile codes in a map document: layer i uses 180i+1 .. 180i+180.
constexpr int LayerCodeStride = 180;
constexpr int MaxMaps = 2;
constexpr int EventsPerMap = LayerCodeStride;
constexpr int VoiceCount = 31;
constexpr int MaxMessages = 3;
constexpr int MessageSteps = 100;
// 2 fonts, 4 sounds, 3 music streams, 15 textures, one step per map and one after the maps.
constexpr unsigned LoadingSteps = 26;

enum LayerIndex { GroundLayer = 0, ObjectLayer = 1, CeilingLayer = 2, WallLayer = 3, EventLayer = 4, MonsterLayer = 5 };
enum WallValue { WallCell = 2, ClosedDoor = 3, OpenDoor = 4 };
enum MonsterCode { HunterCode = 902, HunterHCode = 903, HunterVCode = 904, HunterSquareCode = 905 };

// Cell of a scene coordinate. Floor rather than truncation so that a point left of or above
// the map (x < 0) falls outside it instead of into column 0; the two agree on the map itself.
int cellOf(double coordinate);

// One loaded map. Every cell lookup goes through the checked accessors below: outside the map
// is a wall for movement and sight, and has no event.
struct MapRecord {
    MapRecord();
    ~MapRecord();
    MapRecord(const MapRecord&) = delete;
    MapRecord& operator=(const MapRecord&) = delete;

    bool contains(int column, int row) const;
    // Value of a layer at a cell, 0 outside the map.
    int value(int layer, int column, int row) const;
    // Wall value (2 or 3) or outside the map.
    bool blocked(int column, int row) const;
    bool blockedAt(sf::Vector2f position) const;
    int wallAt(sf::Vector2f position) const;
    // Destroys every monster and bullet.
    void clearObjects();

    int width = 0;
    int height = 0;
    std::vector<std::unique_ptr<Monster>> monsters;
    // Always vrk::Bullet objects.
    std::list<std::unique_ptr<Monster>> bullets;
    std::vector<int> layers[LayerCount];
    std::vector<int> explored;
};

struct TimedTask {
    // Called once per step with its parameters, which it may change; true when finished.
    using Callback = bool (*)(Ingame& game, std::vector<int>& parameters);
    Callback callback = nullptr;
    std::vector<int> parameters;
};

struct Spark {
    int column;
    int row;
    int timer; // drawn frames left
};

// Column and row are the cell for clicks; for mode 0 (stepping) the scene position of its centre.
using EventHandler = void (*)(Ingame& game, int column, int row, int mode);

// Returns true when the dialogue may move on.
using DialogueAction = bool (*)(Ingame& game);

struct DialogueEntry {
    int face;        // portrait sprite index, NoFace for none
    std::string key; // words in the language document
    sf::Color boxColour;
    int side;           // 0 left, 1 right
    double typingSpeed; // characters per step
    DialogueAction action;
};

constexpr int NoFace = 15;
constexpr int MaxDialogueEntries = 32;

struct DialogueScript {
    DialogueEntry entries[MaxDialogueEntries];
    int count;
};

// The in-game module: maps, player, fog of war, events, dialogue and the flow of a game.
class Ingame : public Module {
public:
    explicit Ingame(Program* program);
    ~Ingame() override;

    bool load() override;
    bool start() override;
    void restart() override;
    void stop() override;
    void handleEvent(const sf::Event& event) override;
    void update(int lagMicroseconds) override;
    void draw() override;

    // ---- loading ----
    // Loads the maps under "Maps" into the map slots; false (with the message written) on a
    // malformed map. Reports loading progress from `progress` on.
    bool loadMaps(zul::Tavric& maps, unsigned& progress);
    bool loadMap(zul::Tavric& field, MapRecord& record, unsigned& progress);
    void reportProgress(unsigned& progress);
    std::string resourcePath(const char* path) const;
    bool resourceFailure(const char* path) const;

    MapRecord& map() { return maps[currentMap]; }
    const MapRecord& map() const { return maps[currentMap]; }

    // ---- player ----
    void attack();
    void playerStep();
    void attackHits();
    bool runKeyHeld() const;

    // ---- rendering ----
    struct CellRange {
        int x0, y0, x1, y1; // inclusive, clipped to the map
    };
    CellRange visibleCells() const;
    void drawLayer(int layer, const CellRange& range);
    // Casts the cone of rays: fills the ray lists, marks reached walls explored and finds the
    // visible cells that light or memory reaches (litCells).
    void castRays();
    // Casts the rays and paints the fog over the scene.
    void drawFog();
    // Paints the fog of the rays cast last.
    void paintFog();
    // Whether a cell of the visible range can show anything through the fog.
    bool lit(int column, int row) const;

    // ---- game flow ----
    void addMessage(const std::string& text);
    void schedule(TimedTask::Callback callback, std::vector<int> parameters);
    void playSound(int index, float pitch);
    void runTasks();
    void followCamera();
    void clampCamera();
    // The handler for the event cell (column, row) of the current map, or none.
    EventHandler eventHandlerAt(int column, int row) const;
    bool dialogueRunning() const { return dialogueScript != -1; }

    // ---- events and dialogue ----
    static const EventHandler eventTable[MaxMaps * EventsPerMap];
    static void doorPanelEvent(Ingame& game, int column, int row, int mode);
    static void booksEvent(Ingame& game, int column, int row, int mode);
    static void nothingEvent(Ingame& game, int column, int row, int mode);
    static void victoryTextEvent(Ingame& game, int column, int row, int mode);
    static void remoteDoorPanelEvent(Ingame& game, int column, int row, int mode);
    static bool openDoorTask(Ingame& game, std::vector<int>& parameters);
    static bool closeDoorTask(Ingame& game, std::vector<int>& parameters);
    // The first door (3 or 4) in the 3 x 3 block around the cell, row by row; 0 when none.
    int findDoor(int column, int row, int& doorColumn, int& doorRow) const;
    // Text of a key of the language document, added to the message log.
    void addText(const char* key);
    // Words of a key of the language document; empty (and nothing created) when it is absent.
    std::string languageText(const std::string& key) const;
    // Door panel work shared by the panel and the remote panel, around the panel cell.
    void activateDoorPanel(int column, int row);
    // Whether the player stands within reach of the panel cell.
    bool panelInReach(int column, int row) const;

    static const DialogueScript dialogueScripts[2];
    // Counts down 50 steps, then starts the opening conversation.
    static bool openingDialogueTask(Ingame& game, std::vector<int>& parameters);
    void startDialogue(int script);
    void dialogueStep();
    void advanceDialogue();
    void drawDialogue();
    // ---- end of events and dialogue ----

    // Resources, by the indices of the path tables.
    sf::Font fonts[FontCount];
    sf::SoundBuffer soundBuffers[SoundCount];
    sf::Music music[MusicCount];
    sf::Texture textures[TextureCount];
    sf::Sprite sprites[TextureCount];
    sf::Sound voices[VoiceCount];
    // The darkness as a layer of its own, scene-sized. The game now keeps its fog in the
    // scene's alpha channel (one pass less); the texture serves the literal reference drawing.
    sf::RenderTexture fogTexture;
    sf::Sprite legsSprite;
    sf::Sprite attackSprite;

    MapRecord maps[MaxMaps];
    int currentMap = 0;
    sf::Vector2f camera;

    // Player.
    sf::Vector2f playerPosition;
    double facingAngle = 0.0;
    int life = 0;
    int stamina = 0;
    int walkFrame = 0;
    bool moving = false;
    int directionX = 1;
    int directionY = 1;
    int attackTimer = 0;
    int speed = 0; // of the current step

    // Lighting.
    double viewDistance = 1200.0;
    double halfFieldOfView = 1.8849555921538759;
    std::vector<double> rayAngles;     // radians, one per ray of the cone
    std::vector<float> rayLengths;     // per ray, the length of its transparent line
    std::vector<sf::Vector2i> rayHits; // wall cells the rays reached this frame
    CellRange litRange{0, 0, -1, -1};
    std::vector<char> litCells; // over litRange, row by row
    std::vector<sf::Transform> rayTransforms;
    std::vector<float> fanRadii;
    sf::VertexArray fogVertices;
    // The scene's alpha is not known to be opaque (set by start).
    bool fogNeedsFill = true;

    // Flow.
    std::list<Spark> sparks;
    std::list<TimedTask> tasks;
    std::list<sf::Text> messages;
    int messageTimer = 0;
    bool victory = false;
    // Set by a complete start; until then update and draw leave everything alone.
    bool started = false;
    // A start failed: the next update leaves the module (the failure line is already out).
    bool startFailed = false;
    // The option Sound is "True": sounds and music were opened and may play.
    bool soundEnabled = false;

    // Dialogue.
    int dialogueScript = -1;
    int dialogueEntry = 0;
    double charsShown = 0.0;
    int boxX = 0;
    int boxY = 0;
    int boxWidth = 0;
    int boxHeight = 0;
    int boxMaxHeight = 0;
    int faceAlpha = 0;
    int savedCursor = 0;
    sf::Text dialogueText;

    // Tile drawing skips the cells the fog covers with unbroken darkness (tests compare).
    bool cullDarkCells = true;
    // Set by tests and benchmarks: no loading screen, and resources read from this directory
    // (with a trailing slash) instead of the game's own.
    bool showLoadingScreen = true;
    std::string resourceDirectory;
};

} // namespace vrk
