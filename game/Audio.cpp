#include "game/Audio.hpp"

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
    if (!soundOn || sound < 0 || sound >= SoundCount)
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

void Audio::stopAll()
{
    for (sf::Sound& voice : voices)
        voice.stop();
    for (sf::Music& stream : streams)
        stream.stop();
}

} // namespace vrk
