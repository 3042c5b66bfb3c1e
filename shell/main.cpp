#include "shell/GameModules.hpp"
#include "shell/Program.hpp"
#include "shell/SoundDevice.hpp"

#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    if (zul::initErrorOutput(argv[0], false) == -1)
        return 1;
    // Before any module holds a sound, and outliving them all: their last calls are filtered too.
    vrk::SoundDevice soundDevice;
    auto program = std::make_unique<vrk::Program>(std::cerr);
    program->parseArguments(argc, argv);
    soundDevice.apply(program->options, program->errors());
    vrk::registerGameModules(*program);
    if (!program->load())
        return 1;
    program->run();
    zul::closeErrorOutput();
    return program->exitStatus;
}
