// tavric fmt as a verb: options, statuses, what it prints and what it writes.

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "InProcessCall.hpp"
#include "tests/tools/ToolRunner.hpp"

namespace {

using FmtRun = tooltest::Call;

class FmtCommand : public tooltest::ScratchDirectory {
protected:
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(directory.c_str())) {
            while (const dirent* entry = ::readdir(dir))
                if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
                    names.push_back(entry->d_name);
            ::closedir(dir);
        }
        return names;
    }

    static tooltest::Call fmt(const std::vector<std::string>& arguments, const std::string& input = "")
    {
        std::vector<std::string> words = {"fmt"};
        words.insert(words.end(), arguments.begin(), arguments.end());
        return tooltest::call(words, input);
    }
};

const char* const messy = "a=1\n[s\nx = 2+3   // sum\n]\n";
const char* const tidy = "a = 1\n[s\n  x = 2 + 3 // sum\n]\n";
const char* const usage =
    "usage: tavric fmt [--check] [--diff] [-w] FILE... (- reads standard input)\nTry 'tavric help fmt'.\n";

TEST_F(FmtCommand, PrintsTheLayout)
{
    const std::string path = file("a.tvr", messy);
    const FmtRun run = fmt({path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, tidy);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(slurp(path), messy);
    // Standard input, as "-".
    const FmtRun piped = fmt({"-"}, messy);
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.out, tidy);
}

TEST_F(FmtCommand, CheckNamesTheFilesThatWouldChange)
{
    const std::string clean = file("clean.tvr", tidy);
    const std::string dirty = file("dirty.tvr", messy);
    const FmtRun clear = fmt({"--check", clean});
    EXPECT_EQ(clear.status, 0);
    EXPECT_EQ(clear.out, "");
    const FmtRun found = fmt({"--check", clean, dirty});
    EXPECT_EQ(found.status, 1);
    EXPECT_EQ(found.out, dirty + "\n");
    EXPECT_EQ(slurp(dirty), messy);
    EXPECT_EQ(fmt({"--check", "-"}, messy).out, "<stdin>\n");
}

TEST_F(FmtCommand, DiffShowsTheChanges)
{
    const std::string path = file("a.tvr", "a=1\nb = 2\n");
    const FmtRun run = fmt({"--diff", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "--- " + path + ".orig\n+++ " + path + "\n@@ -1,2 +1,2 @@\n-a=1\n+a = 1\n b = 2\n");
    EXPECT_EQ(fmt({"--diff", "--check", path}).status, 1);
    EXPECT_EQ(fmt({"--diff", file("b.tvr", "b = 2\n")}).out, "");
}

TEST_F(FmtCommand, WriteReplacesChangedFilesWhole)
{
    const std::string dirty = file("dirty.tvr", messy);
    const std::string clean = file("clean.tvr", tidy);
    ASSERT_EQ(::chmod(dirty.c_str(), 0640), 0);
    struct stat before;
    ASSERT_EQ(::stat(clean.c_str(), &before), 0);
    const FmtRun run = fmt({"-w", dirty, clean});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(slurp(dirty), tidy);
    struct stat after;
    ASSERT_EQ(::stat(dirty.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    // A file already formatted is not rewritten; no temporary file is left behind.
    ASSERT_EQ(::stat(clean.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(entries().size(), 2u);
    EXPECT_EQ(fmt({"--check", dirty}).status, 0);
}

TEST_F(FmtCommand, WriteThroughALinkKeepsTheLink)
{
    const std::string target = file("target.tvr", messy);
    const std::string link = directory + "/link.tvr";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    EXPECT_EQ(fmt({"-w", link}).status, 0);
    struct stat status;
    ASSERT_EQ(::lstat(link.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(slurp(target), tidy);
}

TEST_F(FmtCommand, RefusedFilesAreLeftAlone)
{
    const std::string broken = file("broken.tvr", "a = 1\nb   =   'xy'\n");
    const std::string dirty = file("dirty.tvr", messy);
    const FmtRun run = fmt({"-w", broken, dirty});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind(broken + ":2:11: error: Expected \"'\" after character value definition.\n", 0), 0u)
        << run.err;
    EXPECT_EQ(slurp(broken), "a = 1\nb   =   'xy'\n");
    // The other files are still done.
    EXPECT_EQ(slurp(dirty), tidy);
    // An error directive refuses the document; it is reported as the other verbs report it, alone.
    const std::string stopped = file("stopped.tvr", "x=1\nError \"stop here\"\n");
    const FmtRun refused = fmt({stopped});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, stopped + ":2:1: error: stop here\n Error \"stop here\"\n ^\n");
    const FmtRun missing = fmt({directory + "/none.tvr"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, directory + "/none.tvr: error: No such file or directory\n");
}

TEST_F(FmtCommand, DirectivesAreKeptAndNotRun)
{
    const std::string part = file("part.tvr", "p   =   1\n");
    const std::string path = file("main.tvr", "Include   \"" + part + "\"\nMessage   \"hello\"\nx=1\n");
    const FmtRun run = fmt({path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Include \"" + part + "\"\nMessage \"hello\"\nx = 1\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(slurp(part), "p   =   1\n");
    // The parser decides: an include it cannot read makes the document refused.
    const std::string lost = file("lost.tvr", "Include \"" + directory + "/none.tvr\"\n");
    const FmtRun refused = fmt({"-w", lost});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Error while resolving include directive"), std::string::npos) << refused.err;
    EXPECT_EQ(slurp(lost), "Include \"" + directory + "/none.tvr\"\n");
}

TEST_F(FmtCommand, BadCalls)
{
    const std::string path = file("a.tvr", tidy);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {}, {"--check"}, {"-x", path}, {"--bogus", path}, {"-w", "-"}, {"-w", "--check", path}, {"-", "-"}}) {
        const FmtRun run = fmt(bad);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, usage);
        EXPECT_EQ(run.out, "");
    }
    // After "--" every argument is a file.
    EXPECT_EQ(fmt({"--", "--check"}).status, 1);
}

} // namespace
