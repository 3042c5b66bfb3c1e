#include "game/Ingame.hpp"

#include "game/monsters/Monster.hpp"
#include "shell/Program.hpp"
#include "shell/TypeName.hpp"

namespace vrk {

namespace {
enum SpriteIndex { RunBar = 6, PlayerBody = 7, SparkSprite = 8, LifeBar = 9 };
constexpr int OpeningDialogueDelay = 50;
constexpr int VoiceVolume = 40;
constexpr int MusicVolume = 70;
} // namespace

Ingame::Ingame(Program* program) : Module(program)
{
    fogVertices.setPrimitiveType(sf::Quads);
}

Ingame::~Ingame() = default;

bool Ingame::load()
{
    return true;
}

std::string Ingame::resourcePath(const char* path) const
{
    return resourceDirectory + path;
}

bool Ingame::resourceFailure(const char* path) const
{
    reportResourceFailure(*this, path);
    return false;
}

void Ingame::reportProgress(unsigned& progress)
{
    if (showLoadingScreen)
        drawLoadingScreen(progress, LoadingSteps);
    ++progress;
}

bool Ingame::start()
{
    started = false;
    startFailed = true;
    unsigned progress = 0;

    for (int i = 0; i < FontCount; ++i) {
        if (!fonts[i].loadFromFile(resourcePath(fontPaths[i])))
            return resourceFailure(fontPaths[i]);
        reportProgress(progress);
    }

    const auto sound = program->options.find("Sound");
    soundEnabled = sound != program->options.end() && sound->second == "True";
    if (soundEnabled) {
        for (int i = 0; i < SoundCount; ++i) {
            if (!soundBuffers[i].loadFromFile(resourcePath(soundPaths[i])))
                return resourceFailure(soundPaths[i]);
            reportProgress(progress);
        }
    }
    for (sf::Sound& voice : voices)
        voice.setVolume(VoiceVolume);
    if (soundEnabled) {
        for (int i = 0; i < MusicCount; ++i) {
            if (!music[i].openFromFile(resourcePath(musicPaths[i])))
                return resourceFailure(musicPaths[i]);
            music[i].setLoop(true);
            music[i].setVolume(MusicVolume);
            reportProgress(progress);
        }
    }

    for (int i = 0; i < TextureCount; ++i) {
        if (!textures[i].loadFromFile(resourcePath(texturePaths[i])))
            return resourceFailure(texturePaths[i]);
        sprites[i].setTexture(textures[i], true);
        reportProgress(progress);
    }

    if (!loadMaps(program->configDocument.child("Maps"), progress))
        return false;
    reportProgress(progress);

    const sf::IntRect firstFrame(0, 0, TileSize, TileSize);
    const float centre = TileSize / 2.0f;
    legsSprite.setTexture(textures[PlayerBody]);
    legsSprite.setTextureRect(firstFrame);
    legsSprite.setOrigin(centre, centre);
    sprites[PlayerBody].setTextureRect(firstFrame);
    sprites[PlayerBody].setOrigin(centre, centre);
    sprites[LifeBar].setPosition(20.f, 20.f);
    sprites[RunBar].setPosition(20.f, 113.f);
    sprites[SparkSprite].setOrigin(centre, centre);
    attackSprite.setTexture(textures[PlayerBody]);
    attackSprite.setTextureRect(sf::IntRect(960, 120, TileSize, TileSize));
    attackSprite.setOrigin(90.f, 60.f);

    const sf::Vector2u sceneSize = program->sceneTexture.getSize();
    if (fogTexture.getSize() != sceneSize && !fogTexture.create(sceneSize.x, sceneSize.y)) {
        reportResourceFailure(*this, "fog texture");
        return false;
    }
    fogTexture.clear(sf::Color::Black);
    fogNeedsFill = true;

    dialogueText.setFont(fonts[1]);
    dialogueText.setFillColor(sf::Color(0, 0, 0, 255));
    dialogueText.setCharacterSize(40);

    restart();
    schedule(&Ingame::openingDialogueTask, {OpeningDialogueDelay});
    started = true;
    startFailed = false;
    return true;
}

void Ingame::stop()
{
    for (MapRecord& record : maps)
        record.clearObjects();
    for (sf::Sound& voice : voices)
        voice.stop();
    for (sf::Music& stream : music)
        stream.stop();
    started = false;
}

} // namespace vrk
