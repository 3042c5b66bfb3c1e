#include "shell/Program.hpp"
#include "tests/shell/ProgramProbe.hpp"
#include "UserDataDir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using vrk::testing::readFile;
using vrk::testing::scrambled;
using vrk::testing::writeFile;

constexpr int publicUser = -1;

const char* const twoLanguages = "[Language\n"
                                 "  [En Hello = \"Hello\"]\n"
                                 "  [Fr Hello = \"Bonjour\"]\n"
                                 "]\n";

std::string allMessages(const zul::Tavric& document)
{
    std::string text;
    for (const std::string& line : document.messages())
        text += line;
    return text;
}

std::string textOf(zul::Tavric& document, const char* name)
{
    return document.child(name, publicUser).getString(publicUser);
}

// The names in the current directory, in order: a save leaves no temporary file behind.
std::vector<std::string> directoryEntries()
{
    std::vector<std::string> names;
    if (DIR* d = opendir(".")) {
        while (dirent* entry = readdir(d))
            if (entry->d_name[0] != '.')
                names.push_back(entry->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

unsigned permissions(const char* path)
{
    struct stat info;
    EXPECT_EQ(stat(path, &info), 0) << path;
    return info.st_mode & 0777;
}

// What the call wrote to standard error; standard output must stay empty.
template <class Call>
std::string stderrOf(Call call)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    call();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    return testing::internal::GetCapturedStderr();
}

// Every test runs in a directory of its own holding a configuration with two languages.
class UserDataTest : public vrk::testing::UserDataDirTest {
protected:
    UserDataTest() : UserDataDirTest(twoLanguages) {}

    // A fresh program that reads back what was saved, as the next run would.
    std::unique_ptr<vrk::Program> nextRun()
    {
        auto next = std::make_unique<vrk::Program>();
        EXPECT_TRUE(next->loadConfiguration());
        EXPECT_TRUE(next->loadUserData());
        EXPECT_EQ(allMessages(next->userDocument()), "");
        return next;
    }

    static bool isSelected(zul::Tavric& document, const std::string& user)
    {
        zul::Tavric& entry = document.child("Users", publicUser).child(user, publicUser);
        return entry.exists("Selected") && entry.child("Selected", publicUser).getInt(publicUser) != 0;
    }

    vrk::Program program;
};

TEST_F(UserDataTest, ConfigurationFailuresGoToStandardError)
{
    EXPECT_EQ(stderrOf([&] { EXPECT_TRUE(program.loadConfiguration()); }), "");

    vrk::Program broken;
    writeFile("lev/config.tvr", "[Language [En Hello = ]\n");
    const std::string errors = stderrOf([&] { EXPECT_FALSE(broken.loadConfiguration()); });
    EXPECT_NE(errors, "");
    EXPECT_EQ(errors, allMessages(broken.configDocument()));
    EXPECT_NE(errors.find("(Entry ./lev/config.tvr, line 1"), std::string::npos) << errors;

    vrk::Program missing;
    ASSERT_EQ(unlink("lev/config.tvr"), 0);
    const std::string missingErrors = stderrOf([&] { EXPECT_FALSE(missing.loadConfiguration()); });
    EXPECT_EQ(missingErrors, allMessages(missing.configDocument()));
    EXPECT_NE(missingErrors.find("Cannot open input file './lev/config.tvr'"), std::string::npos) << missingErrors;
}

TEST_F(UserDataTest, NoFileMeansEnglishAndNoUsers)
{
    ASSERT_TRUE(program.loadConfiguration());
    const std::string said = stderrOf([&] {
        EXPECT_FALSE(program.loadUserData());
        program.chooseLanguage();
    });
    EXPECT_EQ(said, "");
    EXPECT_EQ(program.selectedUser(), "");
    EXPECT_EQ(textOf(program.languageDocument(), "Hello"), "Hello");

    ASSERT_TRUE(program.saveUserData());
    EXPECT_EQ(permissions("data.vrk"), 0644u);
    auto next = nextRun();
    EXPECT_EQ(textOf(next->userDocument(), "CurrentLanguage"), "En");
    EXPECT_EQ(next->selectedUser(), "");
}

TEST_F(UserDataTest, EmptyFileIsEmptyText)
{
    writeFile("data.vrk", "");
    ASSERT_TRUE(program.loadConfiguration());
    EXPECT_EQ(stderrOf([&] { EXPECT_TRUE(program.loadUserData()); }), "");
    EXPECT_EQ(program.selectedUser(), "");
    program.chooseLanguage();
    EXPECT_EQ(textOf(program.userDocument(), "CurrentLanguage"), "En");
}

TEST_F(UserDataTest, FileFromAnotherKeyIsReportedOnTheGivenErrorStream)
{
    std::string text = "CurrentLanguage = \"Fr\"\n[Users [Alice Selected = 1]]\n";
    std::string foreign = text;
    for (std::size_t i = 0; i < foreign.size(); ++i)
        foreign[i] = static_cast<char>(foreign[i] ^ static_cast<char>(0x80 | (i * 37 % 101)));
    writeFile("data.vrk", foreign);
    std::ostringstream errors;
    vrk::Program given(errors);
    ASSERT_TRUE(given.loadConfiguration());

    EXPECT_EQ(stderrOf([&] { EXPECT_FALSE(given.loadUserData()); }), "");
    EXPECT_NE(errors.str(), "");
    EXPECT_EQ(errors.str(), allMessages(given.userDocument()));

    // The game goes on in English.
    given.chooseLanguage();
    EXPECT_EQ(textOf(given.languageDocument(), "Hello"), "Hello");
}

TEST_F(UserDataTest, TheLastSelectedUserInNameOrderWins)
{
    storeUserText("CurrentLanguage = \"En\"\n"
                  "[Users\n  [Bob Selected = 1]\n  [Alice Selected = 1]\n  [Carol Selected = 0]\n]");
    ASSERT_TRUE(program.loadConfiguration());
    ASSERT_TRUE(program.loadUserData());
    EXPECT_EQ(program.selectedUser(), "Bob");

    ASSERT_TRUE(program.saveUserData());
    auto next = nextRun();
    EXPECT_EQ(next->selectedUser(), "Bob");
    EXPECT_TRUE(isSelected(next->userDocument(), "Bob"));
    EXPECT_FALSE(isSelected(next->userDocument(), "Alice"));
    // A stored 0 is not a selection, and the save drops the entry altogether.
    zul::Tavric& users = next->userDocument().child("Users", publicUser);
    EXPECT_TRUE(users.exists("Carol"));
    EXPECT_FALSE(users.child("Carol", publicUser).exists("Selected"));
    EXPECT_FALSE(users.child("Alice", publicUser).exists("Selected"));
}

TEST_F(UserDataTest, NoSelectionWhenEveryFlagIsZero)
{
    storeUserText("[Users [Dan Selected = 0]]");
    ASSERT_TRUE(program.loadUserData());
    EXPECT_EQ(program.selectedUser(), "");
    ASSERT_TRUE(program.saveUserData());
    auto next = nextRun();
    EXPECT_EQ(next->selectedUser(), "");
    EXPECT_TRUE(next->userDocument().child("Users", publicUser).exists("Dan"));
}

TEST_F(UserDataTest, EveryByteIsCombinedWithTheKeyByItsOffset)
{
    storeUserText("CurrentLanguage = \"Fr\"\n[Users [Alice Selected = 1]]");
    ASSERT_TRUE(program.loadUserData());
    ASSERT_TRUE(program.saveUserData());
    const std::string raw = readFile("data.vrk");
    const std::string text = savedText();
    ASSERT_GT(raw.size(), 33u);
    EXPECT_EQ(raw.find("CurrentLanguage"), std::string::npos);
    EXPECT_NE(text.find("CurrentLanguage=\"Fr\""), std::string::npos) << text;
    for (std::size_t i : {std::size_t(0), std::size_t(31), std::size_t(32), raw.size() - 1})
        EXPECT_EQ(static_cast<unsigned char>(raw[i]), static_cast<unsigned char>(text[i]) ^ vrk::userDataKey[i % 32])
            << i;
}

TEST_F(UserDataTest, TheFinalByteAndAnythingAfterANulAreNotRead)
{
    // Without the usual trailing line end the last digit is lost.
    writeFile("data.vrk", scrambled("Number = 12"));
    ASSERT_TRUE(program.loadUserData());
    EXPECT_EQ(program.userDocument().child("Number", publicUser).getInt(publicUser), 1);

    vrk::Program other;
    writeFile("data.vrk", scrambled(std::string("First = 1\n\0Second = 2\n", 23)));
    ASSERT_TRUE(other.loadUserData());
    EXPECT_TRUE(other.userDocument().exists("First"));
    EXPECT_FALSE(other.userDocument().exists("Second"));

    // A single byte is an empty text.
    vrk::Program single;
    writeFile("data.vrk", scrambled("x"));
    EXPECT_TRUE(single.loadUserData());
}

TEST_F(UserDataTest, AnInterruptedSaveLeavesTheOldFile)
{
    storeUserText("CurrentLanguage = \"Fr\"\n[Users [Alice Selected = 1] [Bob]]");
    const std::string before = readFile("data.vrk");
    ASSERT_TRUE(program.loadUserData());
    vrk::testing::ProgramProbe::selectedUserName(program) = "Bob";

    bool saved = true;
    std::string said;
    {
        const vrk::testing::FullDisk full;
        ASSERT_TRUE(full.limited);
        said = stderrOf([&] { saved = program.saveUserData(); });
    }

    EXPECT_FALSE(saved);
    EXPECT_EQ(said, "Cannot save the user data: cannot write the new content of './data.vrk': File too large\n");
    EXPECT_EQ(readFile("data.vrk"), before);
    EXPECT_EQ(directoryEntries(), (std::vector<std::string>{"data.vrk", "lev"}));

    // Once the disk has room again the same save goes through.
    ASSERT_TRUE(program.saveUserData());
    auto next = nextRun();
    EXPECT_EQ(next->selectedUser(), "Bob");
}

TEST_F(UserDataTest, ADirectoryInPlaceOfTheFileIsNeitherReadNorReplaced)
{
    ASSERT_EQ(mkdir("data.vrk", 0755), 0);
    EXPECT_FALSE(program.loadUserData());
    EXPECT_EQ(stderrOf([&] { EXPECT_FALSE(program.saveUserData()); }),
              "Cannot save the user data: cannot replace './data.vrk': it is not a regular file\n");
    EXPECT_EQ(directoryEntries(), (std::vector<std::string>{"data.vrk", "lev"}));
}

TEST_F(UserDataTest, SavingKeepsThePermissionsOfTheOldFile)
{
    storeUserText("CurrentLanguage = \"En\"");
    ASSERT_EQ(chmod("data.vrk", 0600), 0);
    ASSERT_TRUE(program.loadUserData());
    ASSERT_TRUE(program.saveUserData());
    EXPECT_EQ(permissions("data.vrk"), 0600u);
}

// ---- language choice ----

struct LanguageCase {
    const char* stored; // null: no user data file
    const char* option; // null: no --Language
    const char* hello;
    const char* chosen;
    const char* errors;
};

TEST_F(UserDataTest, LanguageIsChosenAndWrittenBack)
{
    const LanguageCase cases[] = {
        {"Fr", nullptr, "Bonjour", "Fr", ""},
        {nullptr, nullptr, "Hello", "En", ""},
        {"De", nullptr, "Hello", "En", ""},
        {"En", "Fr", "Bonjour", "Fr", ""},
        {"Fr", "Xx", "Bonjour", "Fr", "Ignoring --Language=Xx: the configuration has no such language.\n"},
        {nullptr, "", "Hello", "En", "Ignoring --Language=: the configuration has no such language.\n"},
    };
    for (const LanguageCase& c : cases) {
        SCOPED_TRACE(std::string(c.stored ? c.stored : "(none)") + " " + (c.option ? c.option : "(none)"));
        unlink("data.vrk");
        if (c.stored)
            storeUserText(std::string("CurrentLanguage = \"") + c.stored + "\"");
        vrk::Program run;
        if (c.option)
            run.setOption("Language", c.option);
        ASSERT_TRUE(run.loadConfiguration());
        run.loadUserData();
        EXPECT_EQ(stderrOf([&] { run.chooseLanguage(); }), c.errors);
        EXPECT_EQ(textOf(run.languageDocument(), "Hello"), c.hello);
        EXPECT_EQ(run.languageDocument().getName(), c.chosen);

        ASSERT_TRUE(run.saveUserData());
        auto next = nextRun();
        EXPECT_EQ(textOf(next->userDocument(), "CurrentLanguage"), c.chosen);
    }
}

TEST_F(UserDataTest, ConfigurationWithoutEnglishGivesAnEmptyLanguage)
{
    writeFile("lev/config.tvr", "[Language [Fr Hello = \"Bonjour\"]]\n");
    ASSERT_TRUE(program.loadConfiguration());
    program.chooseLanguage();
    EXPECT_EQ(program.languageDocument().getName(), "En");
    EXPECT_FALSE(program.languageDocument().exists("Hello"));
    EXPECT_EQ(textOf(program.userDocument(), "CurrentLanguage"), "En");
}

} // namespace
