#include "shell/GameModules.hpp"
#include "shell/Program.hpp"

#include <memory>

int main(int argc, char** argv)
{
    if (zul::initErrorOutput(argv[0], false) == -1)
        return 1;
    auto program = std::make_unique<vrk::Program>();
    program->parseArguments(argc, argv);
    vrk::registerGameModules(*program);
    if (!program->load())
        return 1;
    program->run();
    zul::closeErrorOutput();
    return program->exitStatus;
}
