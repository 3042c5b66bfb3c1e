// tavric: the content authors' tool. Checks, formats, queries and converts Tavric documents, and
// scrambles or unscrambles the player's data file. The verbs live in files of their own
// (ToolCall.cpp lists them); this only connects the tool to the process.

#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "ToolCall.hpp"

namespace {

// Colour by default only on a terminal, and never when NO_COLOR is set.
bool colourTerminal(int fd)
{
    const char* noColour = std::getenv("NO_COLOR");
    return (noColour == nullptr || *noColour == '\0') && ::isatty(fd) == 1;
}

} // namespace

int main(int argc, char** argv)
{
    tavrictool::Streams streams{std::cin, std::cout, std::cerr, colourTerminal(1), colourTerminal(2)};
    return tavrictool::runTool(std::vector<std::string>(argv + 1, argv + argc), streams);
}
