#include "game/Ingame.hpp"

#include "game/HudTexts.hpp"
#include "game/KeyTexts.hpp"
#include "game/Identifiers.hpp"
#include "game/Progress.hpp"
#include "game/Tuning.hpp"
#include "game/monsters/Monster.hpp"
#include "shell/ModuleContext.hpp"
#include "shell/SceneSize.hpp"
#include "shell/Settings.hpp"
#include "tavric/model/Tavric.hpp"
#include "shell/TypeName.hpp"

#include <algorithm>

namespace vrk {

namespace {
// The loading bar counts the fonts, sounds, music, textures, one step per map and one after the
// maps.
constexpr unsigned ResourceLoadingSteps = FontCount + SoundCount + MusicCount + TextureCount;
} // namespace

Ingame::Ingame(ModuleContext& shell) : Module(shell), dialoguePart(*this), optionsPart(shell)
{
    pauseMenu.setLayout(PauseMenuLayout);
    // The log's lines keep the key of their words, to speak the language chosen later.
    logPart.setWording(
        [this](const std::string& words) {
            return keyOfWords(this->shell().languageDocument(), words, this->shell().settings());
        },
        [this](const std::string& key) { return withBoundKeys(languageText(key), this->shell().settings()); });
}

Ingame::~Ingame() = default;

// ---- loading ----

bool Ingame::onLoad()
{
    return true;
}

std::string Ingame::resourcePath(const char* path) const
{
    return resourceDirectory + path;
}

bool Ingame::resourceFailure(const char* path) const
{
    reportResourceFailure(shell().errors(), *this, path);
    return false;
}

void Ingame::reportProgress(unsigned& progress)
{
    if (showLoadingScreen)
        drawLoadingScreen(progress, ResourceLoadingSteps + static_cast<unsigned>(mapsToLoad) + 1);
    ++progress;
}

bool Ingame::onStart()
{
    unsigned progress = 0;
    const auto step = [this, &progress] { reportProgress(progress); };
    zul::Tavric& maps = shell().configDocument().child(MapsKey);
    mapsToLoad = maps.childCount();

    for (int i = 0; i < FontCount; ++i) {
        if (!fonts[i].loadFromFile(resourcePath(fontPaths[i])))
            return resourceFailure(fontPaths[i]);
        step();
    }

    const bool soundEnabled = shell().option("Sound") == "True";
    const char* failed = nullptr;
    if (!audioPart.load(resourceDirectory, soundEnabled, step, failed))
        return resourceFailure(failed);

    for (int i = 0; i < TextureCount; ++i) {
        if (!textures[i].loadFromFile(resourcePath(texturePaths[i])))
            return resourceFailure(texturePaths[i]);
        sprites[i].setTexture(textures[i], true);
        step();
    }

    if (!worldPart.load(maps, *this, step, shell().errors()))
        return false;
    step();

    findOpaqueGroundTiles();
    playerPart.setUp(textures[PlayerTexture], textures[LifeBarTexture], textures[RunBarTexture]);
    sprites[SparkTexture].setOrigin(TileSize / 2.0f, TileSize / 2.0f);

    if (!lightPart.create(shell().scene().getSize())) {
        reportResourceFailure(shell().errors(), *this, "fog texture");
        return false;
    }
    if (!optionsPart.load())
        return false;
    logPart.setFont(fonts[MessageFont]);
    hudPart.setFont(fonts[MessageFont]);
    audioPart.setVolumes(shell().settings().musicVolume, shell().settings().effectsVolume);
    dialoguePart.setFont(fonts[DialogueFont]);

    restart();
    worldPart.clearOtherSlots();
    if (worldPart.currentSlot() == 0) {
        // Once per game: a death does not replay it.
        if (!resuming)
            taskPart.schedule(&Dialogue::openingTask, {OpeningDialogueDelay});
        // A game the title started was chosen there: the title offers Continue itself.
        continueOffered = offerContinue && continueLevel(shell().userDocument(), worldPart.mapCount()) > 0;
        // On a line of its own above the conversation's box rather than in the log beneath it.
        offerLeft = continueOffered ? OfferSteps : 0;
    } else {
        continueOffered = false;
        const std::string name = languageText(levelNameKey(worldPart.currentSlot()));
        if (!name.empty())
            addMessage(name);
    }
    applyResume();
    return true;
}

int Ingame::furthestLevel() const
{
    return vrk::furthestLevel(shell().userDocument());
}

void Ingame::playFromTitle(int slot)
{
    level = slot;
    resuming = false;
    offerContinue = false;
}

void Ingame::askLeave()
{
    leaveFromPause = isPaused;
    askingLeave = true;
    setPaused(true);
}

void Ingame::answerLeave(const sf::Event& event)
{
    const bool key = event.type == sf::Event::KeyPressed;
    if (key && (event.key.code == sf::Keyboard::Escape || event.key.code == sf::Keyboard::Return)) {
        askingLeave = false;
        leaveToTitle();
        return;
    }
    if (!key && event.type != sf::Event::MouseButtonPressed)
        return;
    askingLeave = false;
    if (!leaveFromPause || (key && event.key.code == shell().settings().key(Action::Pause)))
        setPaused(false);
}

void Ingame::leaveToTitle()
{
    // Kept now, as closing the window would: the title's Continue reads what this game reached.
    shell().saveSettings();
    shell().popState(true);
}

void Ingame::playLevel(int slot)
{
    level = slot;
    if (slot + 1 > furthestLevel()) {
        zul::Tavric& user = shell().userDocument();
        if (user.exists(FurthestLevelField) &&
            user.child(FurthestLevelField, zul::publicUser).getType() != zul::TypeInt)
            user.removeChild(FurthestLevelField);
        user.child(FurthestLevelField, zul::publicUser).setInt(slot + 1, zul::publicUser);
    }
    stop();
    start();
}

void Ingame::findOpaqueGroundTiles()
{
    const sf::Image sheet = textures[GroundSheet].copyToImage();
    const sf::Vector2u size = sheet.getSize();
    const unsigned columns = size.x / TileSize;
    const unsigned tiles = columns * (size.y / TileSize);
    opaqueGround.assign(tiles + 1, false); // by tile value, 1 for the first tile
    for (unsigned tile = 0; tile < tiles; ++tile) {
        const unsigned left = tile % columns * TileSize;
        const unsigned top = tile / columns * TileSize;
        bool opaque = true;
        for (unsigned y = top; opaque && y < top + TileSize; ++y)
            for (unsigned x = left; opaque && x < left + TileSize; ++x)
                opaque = sheet.getPixel(x, y).a == 255;
        opaqueGround[tile + 1] = opaque;
    }
}

void Ingame::onStop()
{
    worldPart.clearObjects();
    // The marks point at the hunters just destroyed.
    hudPart.restart();
    lastAlert.clear();
    audioPart.stopAll();
}

// ---- game flow ----

void Ingame::onRestart()
{
    worldPart.restart(level);
    playerPart.restart(rules().maxLife);
    playerPart.setSliding(rules().slideAlongWalls);
    playerPart.placeAt(worldPart.map().start);
    followCamera();
    shell().setCursor(AttackCursor);
    // Nothing of an earlier game carries over: its lines, its pending tasks (a door moving on
    // the reloaded map) and its sparks. The walls the fog remembers stay remembered.
    logPart.clear();
    logPart.resetTimer();
    taskPart.clear();
    eventsPart.clearSparks();
    audioPart.playMusic(DarkTheme);
    won = false;
    isPaused = false;
    askingLeave = false;
    talked = false;
    playedSteps = 0;
    lastCombatStep = 0;
    cameraLead = sf::Vector2f();
    lastAlert.clear();
    hudPart.restart();
    lightPart.restart();
    dialoguePart.reset();
    mapPart.setShown(false);
    highlightPart.clear();
}

void Ingame::setPaused(bool pause)
{
    if (pause == isPaused)
        return;
    isPaused = pause;
    if (isPaused) {
        audioPart.pauseAll();
        refreshPauseMenu();
        pauseMenu.select(0);
    } else
        audioPart.resumeAll();
}

bool Ingame::pauseMenuEvent(const sf::Event& event)
{
    // The pause key keeps resuming, whatever it is bound to.
    const bool menuKey = event.type == sf::Event::KeyPressed && event.key.code != shell().settings().key(Action::Pause) &&
                         (event.key.code == sf::Keyboard::Up || event.key.code == sf::Keyboard::Down ||
                          event.key.code == sf::Keyboard::Return);
    if (!menuKey && event.type != sf::Event::MouseMoved && event.type != sf::Event::MouseButtonPressed)
        return false;
    const int chosen = pauseMenu.handleEvent(event);
    if (chosen == PauseOptionsItem)
        optionsPart.open();
    else if (chosen == PauseTitleItem)
        askLeave();
    return true;
}

void Ingame::followOptionsVolumes()
{
    // The sounds playing now (paused ones included) take the volumes the options just set.
    if (optionsPart.volumesChanged())
        audioPart.setVolumes(shell().settings().musicVolume, shell().settings().effectsVolume);
}

void Ingame::refreshPauseMenu()
{
    pauseMenu.setItems({logText(PausedOptionsText), logText(PausedTitleText)});
}

void Ingame::followLanguage()
{
    refreshPauseMenu();
    logPart.reword();
}

void Ingame::trackPointer()
{
    // A conversation holds the view where it is, paused or not.
    if (dialoguePart.running())
        return;
    leadCamera();
    followCamera();
    highlightPart.step(worldPart.map(), shell().pointer() + worldPart.camera(), playerPart.position(),
                       rules().useFromTouchingCells);
}

void Ingame::changeVolume(bool music, int direction)
{
    Settings& settings = shell().settings();
    int& volume = music ? settings.musicVolume : settings.effectsVolume;
    volume = Settings::stepVolume(volume, direction);
    audioPart.setVolumes(settings.musicVolume, settings.effectsVolume);
    std::string text = logText(music ? MusicVolumeText : EffectsVolumeText) + " " + std::to_string(volume) + "%";
    if (!audioPart.enabled())
        text += " " + logText(SoundOffText);
    hudPart.showIndicator(text, volume);
}

void Ingame::onEvent(const sf::Event& event)
{
    if (event.type == sf::Event::LostFocus) {
        if (isStarted())
            setPaused(true);
        // Closing the map then leaves the game paused.
        mapPausedGame = false;
        return;
    }
    if (isStarted() && askingLeave) {
        answerLeave(event);
        return;
    }
    if (isStarted() && optionsPart.isOpen()) {
        optionsPart.handleEvent(event);
        followOptionsVolumes();
        // The words follow the language, which only an event on the options can change.
        followLanguage();
        return;
    }
    if (isStarted() && pauseMenuShown() && pauseMenuEvent(event))
        return;
    if (event.type == sf::Event::KeyPressed) {
        const sf::Keyboard::Key key = event.key.code;
        if (isStarted() && mapKey(key))
            return;
        if (key == sf::Keyboard::Escape) {
            if (isStarted())
                askLeave();
            else
                shell().popState(false);
            return;
        }
        if (!isStarted())
            return;
        if (key == shell().settings().key(Action::Pause))
            setPaused(!isPaused);
        else if (key == sf::Keyboard::F2 || key == sf::Keyboard::F3)
            changeVolume(true, key == sf::Keyboard::F2 ? -1 : 1);
        else if (key == sf::Keyboard::F5 || key == sf::Keyboard::F6)
            changeVolume(false, key == sf::Keyboard::F5 ? -1 : 1);
        else if (isPaused)
            return;
        else if (key == sf::Keyboard::C && continueOffered)
            playLevel(furthestLevel() - 1);
        else if (key == shell().settings().key(Action::Use) && !dialoguePart.running() && playerPart.alive())
            actAt(shell().pointer());
        else if (dialoguePart.running()) {
            if (key == sf::Keyboard::Space || key == sf::Keyboard::Return)
                dialoguePart.advance();
            else if (key == sf::Keyboard::Tab)
                dialoguePart.skip();
        } else if (key == sf::Keyboard::Space && won) {
            // A cleared level leads to the next, the last back to the first.
            const int slot = worldPart.currentSlot();
            playLevel(slot + 1 < worldPart.mapCount() ? slot + 1 : 0);
        } else if (key == sf::Keyboard::Space && !playerPart.alive()) {
            resumeAfterDeath();
        }
        return;
    }
    if (event.type != sf::Event::MouseButtonPressed || !isStarted() || isPaused || !playerPart.alive())
        return;
    const int cursor = shell().cursor();
    if (event.mouseButton.button == sf::Mouse::Right) {
        if (!dialoguePart.running())
            shell().setCursor(cursor == ActivateCursor ? AttackCursor : cursor + 1);
    } else if (event.mouseButton.button == sf::Mouse::Left) {
        actAt(sf::Vector2f(static_cast<float>(event.mouseButton.x), static_cast<float>(event.mouseButton.y)));
        if (dialoguePart.running())
            dialoguePart.advance();
    }
}

void Ingame::actAt(sf::Vector2f pointer)
{
    const sf::Vector2f camera = worldPart.camera();
    const int column = cellOf(static_cast<double>(pointer.x) + camera.x);
    const int row = cellOf(static_cast<double>(pointer.y) + camera.y);
    // A thing usable from here is used whatever the cursor, but for analysing it.
    int mode = shell().cursor();
    if (mode != AnalyseCursor &&
        usableFrom(worldPart.map(), column, row, playerPart.position(), rules().useFromTouchingCells))
        mode = ActivateCursor;
    if (mode == AttackCursor)
        playerPart.attack();
    if (mode == ActivateCursor)
        useCabinet(column, row);
    if (EventHandler handler = eventHandlerAt(column, row))
        handler(*this, column, row, mode);
    if (mode == AnalyseCursor)
        describeCell(column, row);
}

// The bound keys, with the arrows and right Control beside them as before bindings existed.
PlayerControls Ingame::controls() const
{
    const Settings& settings = shell().settings();
    const auto held = [this, &settings](Action action, sf::Keyboard::Key fixed) {
        const sf::Keyboard::Key bound = settings.key(action);
        return shell().keyHeld(bound) || shell().keyHeld(fixed);
    };
    PlayerControls controls;
    controls.up = held(Action::Up, sf::Keyboard::Up);
    controls.down = held(Action::Down, sf::Keyboard::Down);
    controls.left = held(Action::Left, sf::Keyboard::Left);
    controls.right = held(Action::Right, sf::Keyboard::Right);
    controls.run = held(Action::Run, sf::Keyboard::RControl);
    controls.pointer = shell().pointer();
    return controls;
}

void Ingame::onUpdate(int)
{
    hudPart.stepIndicator();
    if (optionsPart.isOpen()) {
        optionsPart.update();
        followOptionsVolumes();
    }
    // Steps that come while paused are dropped, not saved up: a resumed game does not hurry.
    if (isPaused) {
        trackPointer();
        return;
    }
    playStep();
    // The walls lit at the step's end are remembered, as the frame that follows shows them.
    castLight();
}

void Ingame::playStep()
{
    ++playedSteps;
    const int standing = worldPart.monstersLeft();
    taskPart.run(*this);
    eventsPart.step();
    shell().spinCursor(CursorSpin);
    if (dialoguePart.running()) {
        talked = true;
        dialoguePart.step();
        return;
    }

    if (worldPart.map().wallAt(playerPart.position()) == ClosedDoor)
        hitPlayer(ClosedDoorDamage, nullptr);
    worldPart.hurtMonstersOnClosedDoors(MonsterClosedDoorDamage);

    // The step event reacts on the tried cell, so that pressing into a panel or a wall
    // triggers it; the handler gets the cell's centre.
    const sf::Vector2i tried = playerPart.step(controls(), worldPart.map(), worldPart.camera());
    if (EventHandler handler = eventHandlerAt(tried.x, tried.y))
        handler(*this, tried.x * TileSize + TileSize / 2, tried.y * TileSize + TileSize / 2, StepMode);

    // The hunters judge whether they stand in the view by the one this step shows (a touch's push
    // moves it on after them).
    leadCamera();
    followCamera();
    // A touch's push would throw the player out of his own swing's reach before it lands: where
    // touches push, the swing also lands before the hunters move.
    if (rules().touchPush > 0.f)
        strike();
    worldPart.stepMonsters();
    keepHuntersOff();
    followCamera();
    guideStep();
    healOutOfCombat();
    logPart.step();
    hudPart.step(playerPart.position());
    strike();
    // A hunter down is a checkpoint, but for the last: the level is won then.
    const int left = worldPart.monstersLeft();
    if (left < standing && left > 0)
        keepCheckpoint(false);

    // Asked for every step, shown once.
    if (!playerPart.alive())
        logPart.keep(logText(rules().checkpoints ? ResumeOverText : GameOverText));

    const bool wasWon = won;
    won = worldPart.allMonstersDead();
    if (!won)
        return;
    const int slot = worldPart.currentSlot();
    const int maps = worldPart.mapCount();
    if (slot + 1 < maps) {
        logPart.keep(logText(LevelClearedText));
        return;
    }
    if (!wasWon)
        audioPart.playVictoryMusic();
    logPart.keep(logText(maps > 1 ? GameWonText : VictoryText));
}

void Ingame::strike()
{
    if (playerPart.attackTimer() != 0)
        worldPart.damageMonstersNear(playerPart.hitPoint(), HitRadiusSquared, HitDamage, playerPart.position(),
                                     touchReach(rules()));
}

void Ingame::hitPlayer(int amount, const sf::Vector2f* source, const Monster* shooter)
{
    if (playerPart.guarded())
        return;
    const bool wasAlive = playerPart.alive();
    playerPart.hurt(amount);
    inCombat();
    if (wasAlive) {
        hudPart.hit(amount, playerPart.position(), source, rules().readableThreats ? shooter : nullptr);
        playerPart.guardFor(rules().guardSteps);
    }
}

void Ingame::hunterSpotted(const Monster& hunter)
{
    const auto last = lastAlert.find(&hunter);
    if (last != lastAlert.end() && playedSteps - last->second < AlertRepeatSteps)
        return;
    lastAlert[&hunter] = playedSteps;
    audioPart.play(AlertSound, 1.0f);
    hudPart.spotted(&hunter);
}

bool Ingame::objectiveShown() const
{
    const int count = worldPart.monsterCount();
    return talked && !dialoguePart.running() && count > 0 && worldPart.monstersLeft() == count && playerPart.alive();
}

HudFrame Ingame::hudFrame() const
{
    HudFrame frame;
    frame.hunters = logText(HuntersText) + " " + std::to_string(worldPart.monstersLeft()) + "/" +
                    std::to_string(worldPart.monsterCount());
    if (objectiveShown())
        frame.objective = logText(ObjectiveText);
    frame.lifeLabel = logText(LifeText);
    frame.runLabel = logText(RunText);
    const int cursor = shell().cursor();
    if (cursor >= AttackCursor && cursor <= ActivateCursor) {
        frame.modeIndex = cursor - AttackCursor;
        frame.mode = logText(ModeTexts[frame.modeIndex]);
    }
    // The options lay their own shade over the game: the pause's words would show through it.
    frame.paused = isPaused && !mapPart.shown() && !optionsPart.isOpen();
    frame.offer = continueLine();
    if (isPaused) {
        frame.pausedTitle = logText(PausedText);
        if (worldPart.monstersLeft() > 0)
            frame.pausedGoal = {logText(ObjectiveText), frame.hunters};
        const char* pauseKey = keyName(shell().settings().key(Action::Pause));
        frame.pausedLines = {logText(PausedKeysText, "{key}", pauseKey ? pauseKey : "P"), logText(PausedSettingsText)};
        frame.pauseMenu = &pauseMenu;
    }
    if (askingLeave) {
        // The question stands alone, without the pause's items.
        frame.pausedTitle = logText(LeaveQuestionText);
        frame.pausedLines = {logText(LeaveLossText), logText(LeaveKeysText)};
        frame.pauseMenu = nullptr;
    }
    frame.camera = worldPart.camera();
    frame.player = playerPart.position();
    return frame;
}

void Ingame::followCamera()
{
    worldPart.follow(playerPart.position() + cameraLead, shell().scene().getSize());
}

CellRange Ingame::visibleCells() const
{
    return worldPart.visibleCells(shell().scene().getSize());
}

EventHandler Ingame::eventHandlerAt(int column, int row) const
{
    return Events::handler(worldPart.currentSlot(), worldPart.map().value(EventLayer, column, row));
}

std::string Ingame::languageText(const std::string& key) const
{
    // Looking a missing key up would create it in the document; an absent text is simply empty.
    zul::Tavric& language = shell().languageDocument();
    if (key.empty() || !language.exists(key))
        return std::string();
    return language.child(key, zul::publicUser).getString(zul::publicUser);
}

std::string Ingame::logText(const LogText& text) const
{
    return wordsOf(shell().languageDocument(), text);
}

std::string Ingame::logText(const LogText& text, const std::string& mark, const std::string& value) const
{
    return wordsOf(shell().languageDocument(), text, mark, value);
}

void Ingame::addBullet(std::unique_ptr<Monster> bullet)
{
    worldPart.addBullet(std::move(bullet));
}

int Ingame::cursor() const
{
    return shell().cursor();
}

void Ingame::setCursor(int cursor)
{
    shell().setCursor(cursor);
}

const Settings& Ingame::settings() const
{
    return shell().settings();
}

void Ingame::addText(const char* key)
{
    // A later map may word a text its own way: "Books1" on the second map, else "Books".
    if (const int slot = worldPart.currentSlot(); slot > 0) {
        const std::string own = languageText(mapTextKey(key, slot));
        if (!own.empty()) {
            addMessage(own);
            return;
        }
    }
    addMessage(languageText(key));
}

} // namespace vrk
