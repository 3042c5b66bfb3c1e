#include "shell/Program.hpp"
#include "shell/Folders.hpp"
#include "UserDataDir.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using vrk::testing::scrambled;
using vrk::testing::writeFile;

// A file system of named files and writable folders.
vrk::FolderChecks fakeChecks(const std::set<std::string>& files, const std::set<std::string>& writable)
{
    vrk::FolderChecks checks;
    checks.isFile = [files](const std::string& path) { return files.count(path) != 0; };
    checks.canCreateFiles = [writable](const std::string& folder) { return writable.count(folder) != 0; };
    return checks;
}

TEST(Folders, UserDataInTheGameFolderWhileWritableOtherwiseInTheUserDataFolder)
{
    const std::string game = "/opt/game";
    const std::string beside = "/opt/game/data.vrk";
    const std::string xdg = "/x/velmora/data.vrk";
    const std::string homeData = "/home/p/.local/share/velmora/data.vrk";
    struct Case {
        const char* what;
        bool gameWritable;
        std::set<std::string> files;
        std::string dataHome, home, option;
        std::string read, save;
    };
    const Case cases[] = {
        {"the option wins", true, {beside}, "/x", "/home/p", "/saves/mine.vrk", "/saves/mine.vrk", "/saves/mine.vrk"},
        {"the option wins when read-only too", false, {beside, xdg}, "/x", "", "/s.vrk", "/s.vrk", "/s.vrk"},
        {"writable, a file beside", true, {beside}, "/x", "/home/p", "", beside, beside},
        {"writable, nothing yet", true, {}, "/x", "/home/p", "", beside, beside},
        {"read-only, the old file moves", false, {beside}, "/x", "/home/p", "", beside, xdg},
        {"read-only, an earlier save wins", false, {beside, xdg}, "/x", "/home/p", "", xdg, xdg},
        {"read-only, nothing yet", false, {}, "/x", "/home/p", "", xdg, xdg},
        {"XDG unset: the default", false, {}, "", "/home/p", "", homeData, homeData},
        {"a relative XDG folder is ignored", false, {}, "x", "/home/p", "", homeData, homeData},
        {"no folder at all: beside", false, {beside}, "", "", "", beside, beside},
    };
    for (const Case& c : cases) {
        vrk::UserDataPlaces places{game, c.option, c.dataHome, c.home};
        const vrk::UserDataFiles files =
            vrk::chooseUserDataFiles(places, fakeChecks(c.files, c.gameWritable ? std::set<std::string>{game}
                                                                                   : std::set<std::string>{}));
        EXPECT_EQ(files.readPath, c.read) << c.what;
        EXPECT_EQ(files.savePath, c.save) << c.what;
    }

    // An installed game's bin/ is shared even where it is writable: the user's folder, and an old
    // file beside the game still read.
    vrk::UserDataPlaces installed{game, "", "/x", "/home/p", true};
    const vrk::UserDataFiles moved = vrk::chooseUserDataFiles(installed, fakeChecks({beside}, {game}));
    EXPECT_EQ(moved.readPath, beside);
    EXPECT_EQ(moved.savePath, xdg);

    // A folder given with its final slash, as the executable's folder may be.
    vrk::UserDataPlaces slashed{"/opt/game/", "", "/x/", ""};
    EXPECT_EQ(vrk::chooseUserDataFiles(slashed, fakeChecks({}, {})).savePath, xdg);
    EXPECT_EQ(vrk::chooseUserDataFiles(slashed, fakeChecks({}, {"/opt/game/"})).savePath, beside);

    // --UserData is read from where the game was started, not from the game's folder.
    for (const auto& [option, expected] : std::set<std::pair<std::string, std::string>>{
             {"", ""}, {"mine.vrk", "/start/mine.vrk"}, {"/abs/mine.vrk", "/abs/mine.vrk"}})
        EXPECT_EQ(vrk::userDataPlaces(game, "/start", option).option, expected) << option;
}

TEST(Folders, GameDataBesideTheExecutableElseInTheInstalledDataFolder)
{
    const std::string bin = "/usr/games";
    const std::string installed = "/usr/games/../share/velmora";
    struct Case {
        const char* what;
        std::set<std::string> files;
        std::string expected;
    };
    const Case cases[] = {
        {"a build tree's run folder", {bin + "/lev/config.tvr"}, bin},
        {"beside wins over installed", {bin + "/lev/config.tvr", installed + "/lev/config.tvr"}, bin},
        {"installed", {installed + "/lev/config.tvr"}, installed},
        {"neither: the executable's folder reports it", {}, bin},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vrk::chooseDataFolder(bin, fakeChecks(c.files, {})), c.expected) << c.what;
}

const char* const twoLanguages = "[Language [En Hello = \"Hello\"] [Fr Hello = \"Bonjour\"]]\n";

class UserDataPlaceTest : public vrk::testing::UserDataDirTest {
protected:
    UserDataPlaceTest() : UserDataDirTest(twoLanguages) {}

    // One run of a game whose own folder (the test's directory) is read-only: load, choose the
    // language and save, as start-up and the end of a run do.
    std::string run(const std::string& language, std::string* said = nullptr)
    {
        vrk::FolderChecks checks = vrk::systemFolderChecks();
        checks.canCreateFiles = [](const std::string&) { return false; };
        vrk::Program program;
        program.setUserDataFiles(vrk::chooseUserDataFiles({dir, "", dir + "/share", ""}, checks));
        EXPECT_TRUE(program.loadConfiguration());
        program.loadUserData();
        if (!language.empty())
            program.setOption("Language", language);
        program.chooseLanguage();
        ::testing::internal::CaptureStderr();
        program.saveUserData();
        const std::string stderrText = ::testing::internal::GetCapturedStderr();
        if (said)
            *said = stderrText;
        else
            EXPECT_EQ(stderrText, "");
        return program.userDocument().child("CurrentLanguage", zul::publicUser).getString(zul::publicUser);
    }
};

TEST_F(UserDataPlaceTest, AReadOnlyGameKeepsItsSettingsInTheUserDataFolder)
{
    // Left beside the game by a version that wrote there: read, then saved to the new place.
    storeUserText("CurrentLanguage = \"Fr\"");
    const std::string before = vrk::testing::readFile("data.vrk");
    EXPECT_EQ(run(""), "Fr");
    EXPECT_EQ(vrk::testing::readFile("data.vrk"), before);
    EXPECT_NE(vrk::testing::readFile("share/velmora/data.vrk"), "");

    // The next two runs read the new place: the choice of one survives into the other.
    EXPECT_EQ(run("En"), "En");
    EXPECT_EQ(run(""), "En");
    EXPECT_EQ(vrk::testing::readFile("data.vrk"), before);
}

TEST_F(UserDataPlaceTest, AnUnwritableUserDataFolderIsOneLineAndTheRunGoesOn)
{
    // A file where the folder should be: as refusing as a read-only folder, even to root.
    writeFile("share", "not a folder");
    std::string said;
    EXPECT_EQ(run("Fr", &said), "Fr");
    EXPECT_EQ(said, "Cannot save the user data: cannot create the folder '" + dir + "/share/velmora': Not a directory\n");
    EXPECT_EQ(vrk::testing::readFile("share"), "not a folder");
}

} // namespace
