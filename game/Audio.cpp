#include "game/Audio.hpp"

#include "game/Identifiers.hpp"

namespace vrk {

bool Audio::load(const std::string& directory, bool enabled, const std::function<void()>& progress,
                 const char*& failedPath)
{
    soundOn = enabled;
    if (soundOn) {
        for (int i = 0; i < SoundCount; ++i) {
            if (!buffers[i].loadFromFile(directory + soundPaths[i])) {
                failedPath = soundPaths[i];
                return false;
            }
            progress();
        }
    }
    for (sf::Sound& voice : voices)
        voice.setVolume(VoiceVolume);
    if (soundOn) {
        for (int i = 0; i < MusicCount; ++i) {
            if (!streams[i].openFromFile(directory + musicPaths[i])) {
                failedPath = musicPaths[i];
                return false;
            }
            streams[i].setLoop(true);
            streams[i].setVolume(MusicVolume);
            progress();
        }
    }
    return true;
}

void Audio::play(int sound, float pitch)
{
    if (sound < 0 || sound >= SoundCount)
        return;
    ++asked[sound];
    if (!soundOn)
        return;
    for (sf::Sound& voice : voices) {
        if (voice.getStatus() == sf::Sound::Stopped) {
            voice.setBuffer(buffers[sound]);
            voice.setPitch(pitch);
            voice.play();
            return;
        }
    }
}

// Without sound no stream was opened, and playing one would only complain.
void Audio::playMusic(int stream)
{
    if (soundOn && stream >= 0 && stream < MusicCount)
        streams[stream].play();
}

void Audio::stopMusic(int stream)
{
    if (stream >= 0 && stream < MusicCount)
        streams[stream].stop();
}

void Audio::playVictoryMusic()
{
    for (sf::Music& stream : streams)
        stream.stop();
    playMusic(VictoryTheme);
}

void Audio::pauseAll()
{
    for (sf::Sound& voice : voices)
        if (voice.getStatus() == sf::Sound::Playing)
            voice.pause();
    for (sf::Music& stream : streams)
        if (stream.getStatus() == sf::Music::Playing)
            stream.pause();
}

void Audio::resumeAll()
{
    for (sf::Sound& voice : voices)
        if (voice.getStatus() == sf::Sound::Paused)
            voice.play();
    for (sf::Music& stream : streams)
        if (stream.getStatus() == sf::Music::Paused)
            stream.play();
}

void Audio::setVolumes(int musicPercent, int effectsPercent)
{
    for (sf::Sound& voice : voices)
        voice.setVolume(VoiceVolume * static_cast<float>(effectsPercent) / 100.f);
    for (sf::Music& stream : streams)
        stream.setVolume(MusicVolume * static_cast<float>(musicPercent) / 100.f);
}

void Audio::stopAll()
{
    for (sf::Sound& voice : voices)
        voice.stop();
    for (sf::Music& stream : streams)
        stream.stop();
}

} // namespace vrk
