#pragma once

#include <map>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace sf {
class Sound;
}

namespace vrk {

// SFML reports every failed audio call on its error stream (sf::err()). Without a sound device
// every call fails, and a playing music stream fails in a loop: megabytes a second. This filter
// stands between SFML and standard error: it passes every line through until SFML says it could
// not open the device, and from then on drops SFML's audio complaints.
class AudioErrorFilter : public std::streambuf {
public:
    explicit AudioErrorFilter(std::streambuf* destination) : destination(destination) {}
    // SFML has said that no device opened.
    bool deviceFailed() const { return failed; }
    // Lines dropped since the failure.
    long long droppedLines() const { return dropped; }

protected:
    int overflow(int c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    void endLine();

    std::streambuf* destination;
    std::string line;
    bool failed = false;
    // Inside one of SFML's multi-line reports of a failed call, which ends with an empty line.
    bool inReport = false;
    long long dropped = 0;
};

// Without a device the run is silent: the option "Sound" becomes "False", and one line on
// `errors` says so (none when the option had silenced it already).
void soundOffWithoutDevice(bool deviceOpened, std::map<std::string, std::string>& options, std::ostream& errors);

// The sound device, opened once before anything else plays: the filter above is put on SFML's
// error stream for the whole run, and a first sound opens the device and keeps it open (SFML
// closes it when its last sound goes, and every reopening would try again). Standard error is
// muted while the device opens: the system's sound libraries write their own lines when it
// fails.
class SoundDevice {
public:
    SoundDevice();
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    bool opened() const { return !filter.deviceFailed(); }
    void apply(std::map<std::string, std::string>& options, std::ostream& errors) const
    {
        soundOffWithoutDevice(opened(), options, errors);
    }

private:
    std::streambuf* previous;
    AudioErrorFilter filter;
    std::unique_ptr<sf::Sound> keeper;
};

// The one line a run without a sound device writes.
extern const char* const noSoundDeviceLine;

} // namespace vrk
