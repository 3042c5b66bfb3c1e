#include "shell/Program.hpp"
#include "shell/UserDataKey.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int publicUser = -1;

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

// Each test runs in its own directory, with a configuration in English and French.
class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/velmora_language_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_EQ(mkdir((dir + "/lev").c_str(), 0755), 0);
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        writeFile("lev/config.tvr", "[Language\n"
                                    "  [En Hello = \"Hello\"]\n"
                                    "  [Fr Hello = \"Bonjour\"]\n"
                                    "]\n");
    }

    void TearDown() override
    {
        if (previous[0] != '\0') {
            EXPECT_EQ(chdir(previous), 0);
        }
        if (!dir.empty())
            std::system(("rm -rf '" + dir + "'").c_str());
    }

    // Starts the program's documents with this stored language ("" for no user data at all).
    void startWith(const std::string& stored)
    {
        if (!stored.empty()) {
            std::string bytes = "CurrentLanguage = \"" + stored + "\"\n";
            vrk::scrambleUserData(bytes);
            writeFile("data.vrk", bytes);
        }
        ASSERT_TRUE(program.loadConfiguration());
        program.loadUserData();
        program.chooseLanguage();
    }

    std::string hello() { return program.languageDocument.child("Hello", publicUser).getString(publicUser); }
    std::string current()
    {
        return program.userDocument.child("CurrentLanguage", publicUser).getString(publicUser);
    }

    std::string dir;
    char previous[4096] = {};
    vrk::Program program;
};

TEST_F(LanguageTest, StoredLanguageIsUsed)
{
    startWith("Fr");
    EXPECT_EQ(hello(), "Bonjour");
    EXPECT_EQ(current(), "Fr");
    EXPECT_EQ(program.languageDocument.getName(), "Fr");
}

TEST_F(LanguageTest, MissingLanguageFallsBackToEnglish)
{
    startWith("");
    EXPECT_EQ(hello(), "Hello");
    EXPECT_EQ(current(), "En");
}

TEST_F(LanguageTest, UnknownStoredLanguageIsReplacedByEnglish)
{
    startWith("De");
    EXPECT_EQ(hello(), "Hello");
    EXPECT_EQ(current(), "En");
}

TEST_F(LanguageTest, OptionWinsOverTheStoredLanguage)
{
    program.options["Language"] = "Fr";
    testing::internal::CaptureStderr();
    startWith("En");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(hello(), "Bonjour");
    EXPECT_EQ(current(), "Fr");
}

TEST_F(LanguageTest, UnknownOptionSaysSoOnceAndKeepsTheNormalChoice)
{
    program.options["Language"] = "Xx";
    testing::internal::CaptureStderr();
    startWith("Fr");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Ignoring --Language=Xx: the configuration has no such language.\n");
    EXPECT_EQ(hello(), "Bonjour");
    EXPECT_EQ(current(), "Fr");
}

TEST_F(LanguageTest, ConfigurationWithoutEnglishGivesAnEmptyLanguage)
{
    writeFile("lev/config.tvr", "[Language [Fr Hello = \"Bonjour\"]]\n");
    startWith("");
    EXPECT_EQ(current(), "En");
    EXPECT_EQ(program.languageDocument.getName(), "En");
    EXPECT_FALSE(program.languageDocument.exists("Hello"));
}

TEST_F(LanguageTest, LanguageSurvivesTheRoundTrip)
{
    program.options["Language"] = "Fr";
    startWith("");
    ASSERT_TRUE(program.saveUserData());

    vrk::Program next;
    ASSERT_TRUE(next.loadConfiguration());
    ASSERT_TRUE(next.loadUserData());
    next.chooseLanguage();
    EXPECT_EQ(next.languageDocument.child("Hello", publicUser).getString(publicUser), "Bonjour");
}

} // namespace
