#include "shell/SoundDevice.hpp"

#include <SFML/Audio/Sound.hpp>
#include <SFML/System/Err.hpp>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace vrk {

const char* const noSoundDeviceLine = "No sound device could be opened: sound and music are off for this run.";

namespace {

// What SFML 2 writes when the device or its context fails, and the first line of its report of
// any failed audio call.
bool startsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}
bool deviceFailure(const std::string& line)
{
    return startsWith(line, "Failed to open the audio device") || startsWith(line, "Failed to create the audio context");
}
bool reportStart(const std::string& line)
{
    return startsWith(line, "An internal OpenAL call failed");
}

} // namespace

int AudioErrorFilter::overflow(int c)
{
    if (c == traits_type::eof())
        return traits_type::not_eof(c);
    if (c == '\n')
        endLine();
    else
        line.push_back(static_cast<char>(c));
    return c;
}

std::streamsize AudioErrorFilter::xsputn(const char* text, std::streamsize count)
{
    for (std::streamsize i = 0; i < count; ++i)
        overflow(static_cast<unsigned char>(text[i]));
    return count;
}

int AudioErrorFilter::sync()
{
    return destination->pubsync();
}

void AudioErrorFilter::endLine()
{
    bool drop = false;
    if (deviceFailure(line)) {
        failed = true;
        drop = true;
    } else if (failed && reportStart(line)) {
        inReport = true;
        drop = true;
    } else if (inReport) {
        drop = true;
        inReport = !line.empty();
    }
    if (drop) {
        ++dropped;
    } else {
        line.push_back('\n');
        destination->sputn(line.data(), static_cast<std::streamsize>(line.size()));
    }
    line.clear();
}

SoundDevice::SoundDevice() : previous(sf::err().rdbuf()), filter(previous)
{
    sf::err().rdbuf(&filter);
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int nowhere = open("/dev/null", O_WRONLY);
    const bool muted = saved >= 0 && nowhere >= 0 && dup2(nowhere, STDERR_FILENO) >= 0;
    if (nowhere >= 0)
        close(nowhere);
    keeper = std::make_unique<sf::Sound>();
    std::fflush(stderr);
    if (muted)
        dup2(saved, STDERR_FILENO);
    if (saved >= 0)
        close(saved);
}

SoundDevice::~SoundDevice()
{
    keeper.reset();
    sf::err().flush();
    sf::err().rdbuf(previous);
}

void soundOffWithoutDevice(bool deviceOpened, std::map<std::string, std::string>& options, std::ostream& errors)
{
    if (deviceOpened)
        return;
    auto sound = options.find("Sound");
    if (sound == options.end() || sound->second != "True")
        return;
    sound->second = "False";
    errors << noSoundDeviceLine << std::endl;
}

} // namespace vrk
