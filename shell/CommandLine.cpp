#include "shell/CommandLine.hpp"

#include <ostream>

namespace vrk {

namespace {

const char* const helpText = R"(Usage: velmora [--key=value ...]
A top-down action game.

Options:
  --StartState=ingame      skip the opening credits and the title: play at once
  --StartState=title       skip the opening credits: start at the title
  --Sound=False            no sound and no music
  --Window=WIDTHxHEIGHT    play in a window of that size for this run, e.g. 1280x720
  --Difficulty=easy        easy, normal or classic; remembered
  --Keys=azerty            bind movement to Z Q S D (qwerty: W A S D); remembered
  --Language=Fr            play in that language of the configuration; remembered
  --UserData=PATH          keep the settings and progress in PATH instead of data.vrk
  --help                   show this help and exit
  --version                show the version and exit
)";

} // namespace

std::string versionText()
{
    return "velmora (Velmora) " VELMORA_VERSION;
}

bool answerInfoOption(int argc, const char* const* argv, std::ostream& out)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--version") {
            out << versionText() << '\n';
            return true;
        }
        if (argument == "--help") {
            out << helpText;
            return true;
        }
    }
    return false;
}

} // namespace vrk
