#include "shell/CommandLine.hpp"
#include "shell/GameModules.hpp"
#include "shell/Program.hpp"
#include "shell/SoundDevice.hpp"

#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (vrk::answerInfoOption(argc, argv, std::cout))
        return 0;
    const std::string startFolder = vrk::currentFolder();
    if (zul::initErrorOutput(argv[0], false) == -1)
        return 1;
    // Now in the executable's folder, where the game's files and its data.vrk have always been.
    const std::string gameFolder = vrk::currentFolder();
    // Every game file is then named relative to the data folder.
    const std::string dataFolder = vrk::chooseDataFolder(gameFolder, vrk::systemFolderChecks());
    if (::chdir(dataFolder.c_str()) != 0)
        return 1;
    // Before any module holds a sound, and outliving them all: their last calls are filtered too.
    vrk::SoundDevice soundDevice;
    auto program = std::make_unique<vrk::Program>(std::cerr);
    program->parseArguments(argc, argv);
    vrk::UserDataPlaces places = vrk::userDataPlaces(gameFolder, startFolder, program->option("UserData"));
    places.installed = dataFolder != gameFolder;
    program->setUserDataFiles(vrk::chooseUserDataFiles(places, vrk::systemFolderChecks()));
    std::map<std::string, std::string> options = program->options();
    soundDevice.apply(options, program->errors());
    program->setOption("Sound", options["Sound"]);
    vrk::registerGameModules(*program);
    if (!program->load())
        return 1;
    program->run();
    zul::closeErrorOutput();
    return program->exitStatus();
}
