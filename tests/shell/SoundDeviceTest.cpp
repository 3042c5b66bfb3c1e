// The filter on SFML's error stream and the silence of a run without a sound device. SFML's
// reports are written here as SFML 2.5 writes them; the device itself is the null one the tests
// run with, so its failure is played by the reports.
#include "shell/SoundDevice.hpp"

#include <SFML/System/Err.hpp>
#include <gtest/gtest.h>

#include <sstream>

namespace {

const std::string DeviceFailure = "Failed to open the audio device\n";
const std::string FailedCall = "An internal OpenAL call failed in SoundSource.cpp(37).\n"
                               "Expression:\n"
                               "   alGenSources(1, &m_source)\n"
                               "Error description:\n"
                               "   AL_INVALID_OPERATION\n"
                               "   The specified operation is not allowed in the current state.\n"
                               "\n";
constexpr long long FailedCallLines = 7;

TEST(AudioErrorFilter, AfterTheDeviceFailedSfmlsAudioReportsAreDroppedAndTheRestPasses)
{
    const struct {
        const char* what;
        std::string written;
        std::string passed;
        bool failed;
        long long dropped;
    } cases[] = {
        {"a line of another kind", "Setting vertical sync not supported\n", "Setting vertical sync not supported\n",
         false, 0},
        {"a failed call with a device: shown", FailedCall, FailedCall, false, 0},
        {"the device's failure", DeviceFailure, "", true, 1},
        {"then every failed call", DeviceFailure + FailedCall + FailedCall + "Other\n", "Other\n", true,
         1 + 2 * FailedCallLines},
        {"the context's failure too", "Failed to create the audio context\n" + FailedCall, "", true,
         1 + FailedCallLines},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::size_t piece : {std::size_t(1), std::size_t(5), c.written.size() + 1}) {
            std::ostringstream out;
            vrk::AudioErrorFilter filter(out.rdbuf());
            std::ostream sfml(&filter);
            // As SFML writes: in pieces of any size, flushed with std::endl.
            for (std::size_t at = 0; at < c.written.size(); at += piece)
                sfml << c.written.substr(at, piece);
            sfml.flush();
            EXPECT_EQ(out.str(), c.passed) << "in pieces of " << piece;
            EXPECT_EQ(filter.deviceFailed(), c.failed);
            EXPECT_EQ(filter.droppedLines(), c.dropped);
        }
    }
}

TEST(SoundDevice, WithoutADeviceSoundIsOffWithOneLineUnlessItWasOffAlready)
{
    const struct {
        bool opened;
        const char* sound; // the option as given
        const char* after;
        std::string line;
    } cases[] = {
        {true, "True", "True", ""},
        {false, "True", "False", std::string(vrk::noSoundDeviceLine) + "\n"},
        {false, "False", "False", ""},
        {false, "true", "true", ""}, // only "True" enables sound: it was off already
    };
    for (const auto& c : cases) {
        std::map<std::string, std::string> options{{"Sound", c.sound}};
        std::ostringstream errors;
        vrk::soundOffWithoutDevice(c.opened, options, errors);
        EXPECT_EQ(options["Sound"], c.after) << c.sound << " " << c.opened;
        EXPECT_EQ(errors.str(), c.line);
    }
}

TEST(SoundDevice, TheDeviceOpensQuietlyAndSfmlsStreamIsGivenBack)
{
    std::streambuf* before = sf::err().rdbuf();
    ::testing::internal::CaptureStderr();
    {
        vrk::SoundDevice device;
        EXPECT_TRUE(device.opened()); // the tests' null device
        EXPECT_NE(sf::err().rdbuf(), before);
        sf::err() << "passed on" << std::endl;
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "passed on\n");
    EXPECT_EQ(sf::err().rdbuf(), before);
}

} // namespace
