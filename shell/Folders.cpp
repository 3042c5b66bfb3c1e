#include "shell/Folders.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vrk {

namespace {

const char* const userDataName = "data.vrk";

std::string joined(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The user's data folder; a relative $XDG_DATA_HOME is ignored, as the XDG rules ask.
std::string userDataHome(const UserDataPlaces& places)
{
    if (!places.dataHome.empty() && places.dataHome[0] == '/')
        return places.dataHome;
    if (!places.home.empty())
        return joined(places.home, ".local/share");
    return "";
}

} // namespace

FolderChecks systemFolderChecks()
{
    FolderChecks checks;
    checks.isFile = [](const std::string& path) {
        struct stat status;
        return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    };
    checks.canCreateFiles = [](const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; };
    return checks;
}

std::string chooseDataFolder(const std::string& gameFolder, const FolderChecks& checks)
{
    const char* const configuration = "lev/config.tvr";
    if (checks.isFile(joined(gameFolder, configuration)))
        return gameFolder;
    const std::string installed = joined(gameFolder, "../share/velmora");
    return checks.isFile(joined(installed, configuration)) ? installed : gameFolder;
}

UserDataFiles chooseUserDataFiles(const UserDataPlaces& places, const FolderChecks& checks)
{
    UserDataFiles files;
    if (!places.option.empty()) {
        files.readPath = files.savePath = places.option;
        return files;
    }
    const std::string beside = joined(places.gameFolder, userDataName);
    files.readPath = files.savePath = beside;
    const std::string dataHome = userDataHome(places);
    // With nowhere else to go the game keeps its own folder, and a failed save says why.
    if ((checks.canCreateFiles(places.gameFolder) && !places.installed) || dataHome.empty())
        return files;
    files.savePath = joined(joined(dataHome, "velmora"), userDataName);
    // The file of an earlier save here is newer than one left beside the game.
    if (checks.isFile(files.savePath) || !checks.isFile(beside))
        files.readPath = files.savePath;
    return files;
}

UserDataPlaces userDataPlaces(const std::string& gameFolder, const std::string& startFolder, const std::string& option)
{
    UserDataPlaces places;
    places.gameFolder = gameFolder;
    places.option = option.empty() || option[0] == '/' ? option : joined(startFolder, option);
    places.dataHome = environment("XDG_DATA_HOME");
    places.home = environment("HOME");
    return places;
}

std::string currentFolder()
{
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

std::string makeParentFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        // Private, as the XDG rules ask of the folders they name.
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return "cannot create the folder '" + folder + "': " + std::strerror(errno);
    }
    return "";
}

} // namespace vrk
