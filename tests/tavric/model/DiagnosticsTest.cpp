// Diagnostics: the line layout with its declaration prefix, lastError, and the process start-up.

#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "TavricFixture.hpp"

using namespace zul;

namespace {

using Diagnostics = tavrictest::Document;

TEST_F(Diagnostics, EmptyTypedFieldLine)
{
    Tavric& x = root["x"];
    x.declareType(TypeInt);
    EXPECT_EQ(0, x.getInt());
    ASSERT_EQ(1u, lines().size());
    EXPECT_EQ("int [].x : Field is empty.\n", lines()[0]);
    EXPECT_EQ(ErrorEmpty, x.lastError());
}

TEST_F(Diagnostics, LinesAccumulateAndLookupsResetTheCode)
{
    root["a"].getInt();
    root["b"].getReal();
    ASSERT_EQ(2u, lines().size());
    EXPECT_EQ("[].a : Field is empty.\n", lines()[0]);
    EXPECT_EQ("[].b : Field is empty.\n", lines()[1]);
    EXPECT_EQ(ErrorEmpty, root.lastError());
    root["a"];
    EXPECT_EQ(ErrorNone, root.lastError());
    EXPECT_EQ(2u, lines().size());
    // A successful walk resets it too.
    root["a"].getInt();
    root.resolve("a");
    EXPECT_EQ(ErrorNone, root.lastError());
    root.clearMessages();
    EXPECT_TRUE(lines().empty());
}

TEST_F(Diagnostics, DeclarationPrefixInWriterOrder)
{
    Tavric& field = root["f"];
    field.setDefaultRights(rightsProtected);
    field.setUserRights(dictionary.idOf("Bob"), RightsAll);
    field.setExternal(true);
    field.setLocal(true);
    field.setKind(KindCollection);
    field.setKindDeclared(true);
    field.setStrict(true);
    field.declareType(TypeChar);
    field.setPointerLevels({1, 0});
    field.setConstant(true);
    EXPECT_EQ("protected restricted extern local collection strict char const : : const ", field.declarationPrefix());
    EXPECT_FALSE(field.setInt(1, dictionary.idOf("Bob")));
    EXPECT_EQ("protected restricted extern local collection strict char const : : const [].f : Node is constant. "
              "Cannot perform 'write' operation on it.\n",
              lastLine());

    const std::string coloured = field.declarationPrefix(true);
    EXPECT_EQ(0u, coloured.find("\x1b[1;31mprotected \x1b[00m"));
    EXPECT_NE(std::string::npos, coloured.find("\x1b[1;32mchar \x1b[00m"));
}

TEST_F(Diagnostics, AccessWordsByDefaultRights)
{
    const std::pair<int, const char*> levels[] = {
        {rightsPrivate, "private "}, {rightsLocked, "locked "}, {rightsProtected, "protected "},
        {rightsPublic, ""},          {4, "limited[F4] "},
    };
    for (const auto& level : levels) {
        root["f"].setDefaultRights(level.first);
        EXPECT_EQ(level.second, root["f"].declarationPrefix());
    }
    // An unusual parent entry is kept in the limited form even for public rights.
    root["g"].setParentRights(3);
    EXPECT_EQ("limited[3F] ", root["g"].declarationPrefix());
    // A root has no parent entry.
    root.setDefaultRights(rightsPrivate);
    EXPECT_EQ("", root.declarationPrefix());
}

TEST(TypeDescriptions, KindTypeAndLevels)
{
    EXPECT_EQ("field int", Tavric::typeDescription(KindValue, TypeInt, {}));
    EXPECT_EQ("collection string: const :", Tavric::typeDescription(KindCollection, TypeString, {0, 1}));
    EXPECT_EQ(" void", Tavric::typeDescription(KindNone, TypeVoid, {}));
    EXPECT_EQ(std::string("pointer"), Tavric::typeNames[TypePointer]);
    EXPECT_EQ(std::string("access"), Tavric::rightName(RightAccess));
    EXPECT_EQ(std::string(""), Tavric::rightName(3));
    EXPECT_EQ(std::string("create"), Tavric::rightName(RightCreate));
}

TEST_F(Diagnostics, AddMessageKeepsTheCallersLine)
{
    root["a"]["b"].addMessage(25, "(Entry stdin, line 1, col 1): Expected field name. Got '='.\n");
    EXPECT_EQ("(Entry stdin, line 1, col 1): Expected field name. Got '='.\n", lastLine());
    EXPECT_EQ(25, root.lastError());
}

TEST_F(Diagnostics, EntryNameIsInherited)
{
    Tavric& child = root["a"]["b"];
    EXPECT_EQ("stdin", child.getEntryName());
    root.setEntryName("lev/config.tvr");
    EXPECT_EQ("lev/config.tvr", child.getEntryName());
    root["a"].setEntryName("inc.tvr");
    EXPECT_EQ("inc.tvr", child.getEntryName());
    EXPECT_EQ("", child.getOwnEntryName());
}

// ---------------------------------------------------------------- process start-up

class StartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        char buffer[PATH_MAX];
        ASSERT_NE(nullptr, getcwd(buffer, sizeof(buffer)));
        saved = buffer;
        // Tests of this suite run as parallel processes: each needs a directory of its own.
        scratch = saved + "/startup_test_dir~" + std::to_string(getpid());
        mkdir(scratch.c_str(), 0755);
    }
    void TearDown() override
    {
        ASSERT_EQ(0, chdir(saved.c_str()));
        std::remove((scratch + "/error_output~").c_str());
        rmdir(scratch.c_str());
    }
    static std::string workingDirectory()
    {
        char buffer[PATH_MAX];
        return getcwd(buffer, sizeof(buffer)) ? buffer : "";
    }

    std::string saved;
    std::string scratch;
};

TEST_F(StartUp, ChangesIntoTheProgramsDirectoryWithoutRedirection)
{
    EXPECT_EQ(0, initErrorOutput(scratch + "/velmora", false));
    EXPECT_EQ(scratch, workingDirectory());
    EXPECT_NE(0, access("error_output~", F_OK));
    closeErrorOutput();
}

TEST_F(StartUp, MissingDirectoryIsReported)
{
    EXPECT_EQ(-2, initErrorOutput(scratch + "/nowhere/velmora", false));
    EXPECT_EQ(saved, workingDirectory());
    closeErrorOutput();
}

TEST_F(StartUp, ProgramFoundThroughPathUsesItsOwnDirectory)
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    ASSERT_GT(length, 0);
    std::string executable(buffer, static_cast<std::size_t>(length));
    EXPECT_EQ(0, initErrorOutput("velmora", false));
    EXPECT_EQ(executable.substr(0, executable.rfind('/')), workingDirectory());
    closeErrorOutput();
}

TEST_F(StartUp, RedirectionLastsUntilClose)
{
    ASSERT_EQ(0, initErrorOutput(scratch + "/", true));
    const char text[] = "to the file\n";
    ASSERT_EQ(static_cast<ssize_t>(sizeof(text) - 1), write(2, text, sizeof(text) - 1));
    closeErrorOutput();
    FILE* file = std::fopen((scratch + "/error_output~").c_str(), "r");
    ASSERT_NE(nullptr, file);
    char line[64] = {};
    ASSERT_NE(nullptr, std::fgets(line, sizeof(line), file));
    std::fclose(file);
    EXPECT_STREQ(text, line);
    // Standard error no longer goes to the file.
    struct stat standardError = {};
    struct stat redirected = {};
    ASSERT_EQ(0, fstat(2, &standardError));
    ASSERT_EQ(0, stat((scratch + "/error_output~").c_str(), &redirected));
    EXPECT_FALSE(standardError.st_ino == redirected.st_ino && standardError.st_dev == redirected.st_dev);
}

} // namespace
