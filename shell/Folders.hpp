#pragma once

#include <functional>
#include <string>

namespace vrk {

// What finding the game's data and the user data asks of the file system; tests give their own.
struct FolderChecks {
    std::function<bool(const std::string& path)> isFile;           // a regular file is there
    std::function<bool(const std::string& folder)> canCreateFiles; // new files can be made in it
};
FolderChecks systemFolderChecks();

// The folder holding the game's lev/ and res/: the executable's own (a build tree's run folder),
// else ../share/velmora beside it (an installed game). When neither has them, the executable's
// own, so that the missing configuration is reported there.
std::string chooseDataFolder(const std::string& gameFolder, const FolderChecks& checks);

// Where data.vrk is read at start and written at the end. They differ once: a file left beside
// a game that can no longer write there is read, and saved to the new place.
struct UserDataFiles {
    std::string readPath = "./data.vrk";
    std::string savePath = "./data.vrk";
};

// The environment the choice depends on; empty means unset.
struct UserDataPlaces {
    std::string gameFolder;  // the executable's folder, where data.vrk has always lived
    std::string option;      // --UserData=PATH, already made absolute
    std::string dataHome;    // $XDG_DATA_HOME
    std::string home;        // $HOME
    // The game's data was found in ../share/velmora: its folder is a shared bin/, not its own.
    bool installed = false;
};

// --UserData wins; then data.vrk beside the game when the game's folder is writable and its own
// (not an installed bin/); otherwise velmora/data.vrk in the user's data folder (the XDG one,
// ~/.local/share by default).
UserDataFiles chooseUserDataFiles(const UserDataPlaces& places, const FolderChecks& checks);

// The places of this process: its environment, the game folder given, and --UserData read
// relative to the folder the game was started from.
UserDataPlaces userDataPlaces(const std::string& gameFolder, const std::string& startFolder,
                              const std::string& option);

// The process's working folder, absolute; empty when it cannot be named.
std::string currentFolder();

// Makes the missing folders of the path (not its last part); an empty text on success, or one
// line saying which folder could not be made and why.
std::string makeParentFolders(const std::string& path);

} // namespace vrk
