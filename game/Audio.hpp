#pragma once

#include "game/Tuning.hpp"
#include "shell/Resources.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>

#include <functional>
#include <string>

namespace vrk {

// The sound effects, played on a pool of voices, and the music streams. With sound off nothing
// is opened and nothing plays.
class Audio {
public:
    // Opens the sounds and music from `directory` when `enabled`, calling progress after each;
    // false with `failedPath` set when a file cannot be opened.
    bool load(const std::string& directory, bool enabled, const std::function<void()>& progress,
              const char*& failedPath);
    bool enabled() const { return soundOn; }

    // On the first idle voice; dropped when all are busy.
    void play(int sound, float pitch);
    void playMusic(int stream);
    void stopMusic(int stream);
    // The victory theme from its start, in place of whatever music was playing.
    void playVictoryMusic();
    // Every voice and stream.
    void stopAll();
    // Holds what is playing, and lets exactly that go on.
    void pauseAll();
    void resumeAll();
    // In percent of the game's full loudness (0 to 100), for music and for effects.
    void setVolumes(int musicPercent, int effectsPercent);
    // How many times a sound was asked for, heard or not (with sound off, or all voices busy).
    int timesAsked(int sound) const { return sound >= 0 && sound < SoundCount ? asked[sound] : 0; }

    const sf::Sound& voice(int index) const { return voices[index]; }
    sf::Sound& voice(int index) { return voices[index]; }
    const sf::SoundBuffer& buffer(int index) const { return buffers[index]; }
    const sf::Music& music(int index) const { return streams[index]; }

private:
    sf::SoundBuffer buffers[SoundCount];
    sf::Music streams[MusicCount];
    sf::Sound voices[VoiceCount];
    bool soundOn = false;
    int asked[SoundCount] = {};
};

} // namespace vrk
