#include "game/Ingame.hpp"

#include "game/Text.hpp"
#include "game/monsters/Monster.hpp"
#include "shell/Program.hpp"

#include <algorithm>

namespace vrk {

namespace {
const sf::Vector2f StartPosition(6120.f, 4440.f);
constexpr int StartLife = 340;
constexpr int StartStamina = 130;
constexpr int AttackCursor = 1;
constexpr int ActivateCursor = 3;
constexpr int DarkTheme = 1;
constexpr int MessageFont = 0;
constexpr unsigned MessageSize = 50;
constexpr int ClosedDoorDamage = 20;
constexpr int MonsterClosedDoorDamage = 200;
constexpr float CursorSpin = 5.f;
const char* const VictoryLine = "Victory. Press space to restart.";

// Keeps one axis of the camera on the map; a map narrower than the scene pins it to 0.
float clampAxis(float position, int cells, unsigned sceneSize)
{
    const float mapSize = static_cast<float>(TileSize) * static_cast<float>(cells);
    const float scene = static_cast<float>(sceneSize);
    if (position < 0.f)
        return 0.f;
    if (mapSize < scene + position)
        position = mapSize - scene;
    return std::max(position, 0.f);
}
} // namespace

void Ingame::clampCamera()
{
    const sf::Vector2u scene = program->sceneTexture.getSize();
    camera.x = clampAxis(camera.x, map().width, scene.x);
    camera.y = clampAxis(camera.y, map().height, scene.y);
}

void Ingame::followCamera()
{
    const sf::Vector2u scene = program->sceneTexture.getSize();
    camera.x = playerPosition.x - static_cast<float>(scene.x) / 2.f;
    camera.y = playerPosition.y - static_cast<float>(scene.y) / 2.f;
    clampCamera();
}

void Ingame::restart()
{
    currentMap = 0;
    playerPosition = StartPosition;
    followCamera();
    facingAngle = 0.0;
    directionX = directionY = 1;
    program->cursorIndex = AttackCursor;
    stamina = StartStamina;
    walkFrame = 0;
    life = StartLife;
    messageTimer = 0;
    attackTimer = 0;
    if (soundEnabled)
        music[DarkTheme].play();
    victory = false;
    viewDistance = 1200.0;
    halfFieldOfView = 1.8849555921538759;
    fogTexture.setSmooth(true);
    dialogueScript = -1;
}

void Ingame::handleEvent(const sf::Event& event)
{
    if (event.type == sf::Event::KeyPressed) {
        if (event.key.code == sf::Keyboard::Escape) {
            program->popState(false);
        } else if (event.key.code == sf::Keyboard::Space && started && (life <= 0 || victory)) {
            stop();
            start();
        }
        return;
    }
    if (event.type != sf::Event::MouseButtonPressed || !started || life <= 0)
        return;
    if (event.mouseButton.button == sf::Mouse::Right) {
        if (!dialogueRunning())
            program->cursorIndex = program->cursorIndex == ActivateCursor ? AttackCursor : program->cursorIndex + 1;
    } else if (event.mouseButton.button == sf::Mouse::Left) {
        if (program->cursorIndex == AttackCursor)
            attack();
        const int column = cellOf(static_cast<double>(event.mouseButton.x) + camera.x);
        const int row = cellOf(static_cast<double>(event.mouseButton.y) + camera.y);
        if (EventHandler handler = eventHandlerAt(column, row))
            handler(*this, column, row, program->cursorIndex);
        if (dialogueRunning())
            advanceDialogue();
    }
}

void Ingame::update(int)
{
    if (!started) {
        // The failure line is out; leave rather than show a broken game, and end the run
        // with a failure status.
        if (startFailed) {
            startFailed = false;
            program->exitStatus = 1;
            program->popState(false);
        }
        return;
    }
    runTasks();
    const int cursor = program->cursorIndex;
    if (cursor >= 0 && cursor < CursorCount)
        program->cursorSprites[cursor].rotate(CursorSpin);
    if (dialogueRunning()) {
        dialogueStep();
        return;
    }

    MapRecord& record = map();
    if (record.wallAt(playerPosition) == ClosedDoor)
        life -= ClosedDoorDamage;
    for (const auto& monster : record.monsters)
        if (record.wallAt(monster->position) == ClosedDoor)
            monster->damage(MonsterClosedDoorDamage);

    playerStep();

    // Indexed: a step may add bullets, never monsters, but keep it safe either way.
    for (std::size_t i = 0; i < record.monsters.size(); ++i)
        if (record.monsters[i]->life > 0)
            record.monsters[i]->step();
    for (auto bullet = record.bullets.begin(); bullet != record.bullets.end();) {
        if ((*bullet)->step())
            bullet = record.bullets.erase(bullet);
        else
            ++bullet;
    }

    followCamera();
    if (--messageTimer == 0)
        messages.clear();
    attackHits();

    victory = std::none_of(record.monsters.begin(), record.monsters.end(),
                           [](const std::unique_ptr<Monster>& monster) { return monster->life != 0; });
    if (victory)
        addMessage(VictoryLine);
}

void Ingame::runTasks()
{
    for (auto task = tasks.begin(); task != tasks.end();) {
        if (task->callback(*this, task->parameters))
            task = tasks.erase(task);
        else
            ++task;
    }
}

void Ingame::schedule(TimedTask::Callback callback, std::vector<int> parameters)
{
    if (callback)
        tasks.push_back(TimedTask{callback, std::move(parameters)});
}

void Ingame::addMessage(const std::string& text)
{
    if (messages.size() >= static_cast<std::size_t>(MaxMessages))
        messages.pop_front();
    messages.emplace_back(utf8ToSfString(text), fonts[MessageFont], MessageSize);
    messageTimer = MessageSteps;
}

void Ingame::playSound(int index, float pitch)
{
    if (!soundEnabled || index < 0 || index >= SoundCount)
        return;
    for (sf::Sound& voice : voices) {
        if (voice.getStatus() == sf::Sound::Stopped) {
            voice.setBuffer(soundBuffers[index]);
            voice.setPitch(pitch);
            voice.play();
            return;
        }
    }
}

EventHandler Ingame::eventHandlerAt(int column, int row) const
{
    const int event = map().value(EventLayer, column, row);
    if (event < 1 || event > EventsPerMap || currentMap < 0 || currentMap >= MaxMaps)
        return nullptr;
    return eventTable[currentMap * EventsPerMap + event - 1];
}

} // namespace vrk
