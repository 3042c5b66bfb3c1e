// The programs' own answers about themselves, from the built executables: both name the
// project's configured version, and help lists every option the README documents.
#include "ToolRunner.hpp"

#include <gtest/gtest.h>

namespace {

class BuiltProgram : public tooltest::ScratchDirectory {};

TEST_F(BuiltProgram, VersionAndHelpAnswerWithoutStartingTheGame)
{
    struct Case {
        const char* program;
        const char* arguments;
        std::string expected;
    };
    // No display in the environment: the game must answer before it would need one.
    const Case cases[] = {
        {"velmora", "--version", "velmora (Velmora) " VELMORA_VERSION "\n"},
        {"tavric", "--version", "tavric (Velmora) " VELMORA_VERSION "\n"},
        {"velmora", "--Sound=False --version", "velmora (Velmora) " VELMORA_VERSION "\n"},
    };
    for (const Case& c : cases) {
        const tooltest::ToolRun run = tooltest::runBuilt(directory, c.program, c.arguments, "-u DISPLAY");
        EXPECT_EQ(run.status, 0) << c.program << ' ' << c.arguments << ": " << run.err;
        EXPECT_EQ(run.out, c.expected) << c.program << ' ' << c.arguments;
        EXPECT_EQ(run.err, "") << c.program << ' ' << c.arguments;
    }

    const tooltest::ToolRun help = tooltest::runBuilt(directory, "velmora", "--help", "-u DISPLAY");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--StartState=", "--Sound=", "--Window=", "--Difficulty=", "--Keys=", "--Language=",
                               "--UserData=", "--version", "--help"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    // Every option the help names is one the README's table documents too.
    const std::string readme = slurp(VELMORA_SOURCE_DIR "/README.md");
    for (const char* option : {"`--StartState=", "`--Sound=", "`--Window=", "`--Difficulty=", "`--Keys=",
                               "`--Language=", "`--UserData=", "`--version`",
                               "`--help`"})
        EXPECT_NE(readme.find(option), std::string::npos) << option;
}

} // namespace
