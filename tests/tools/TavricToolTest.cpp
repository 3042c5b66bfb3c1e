// The tavric command-line tool, run as built in the run directory: exit statuses and outputs.

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/UserDataKey.hpp"

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class TavricTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tavric-tool-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        directory = made;
    }
    void TearDown() override
    {
        const std::string command = "rm -rf '" + directory + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }

    std::string file(const std::string& name, const std::string& contents) const
    {
        const std::string path = directory + "/" + name;
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }

    static std::string slurp(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Runs the tool with arguments (already quoted where needed).
    ToolRun run(const std::string& arguments) const
    {
        const std::string out = directory + "/stdout~";
        const std::string err = directory + "/stderr~";
        const std::string command =
            std::string("'") + VELMORA_RUN_DIR "/tavric' " + arguments + " >'" + out + "' 2>'" + err + "'";
        const int raw = std::system(command.c_str());
        ToolRun result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = slurp(out);
        result.err = slurp(err);
        return result;
    }

    std::string directory;
};

const char* const usage = "usage: tavric check FILE... | fmt [--check] [--diff] [-w] FILE... | dump [--plain] [--raw] "
                          "[--color] FILE | get FILE ADDRESS [--as bool|int|real|char|string] | json FILE | scramble "
                          "FILE | unscramble FILE | --help\n";

TEST_F(TavricTool, HelpAndBadCalls)
{
    const ToolRun help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, usage);
    for (const char* bad :
         {"", "frobnicate", "check", "dump", "dump a b", "dump --bogus x", "get x", "get x a --as float",
          "get x a --as", "json", "scramble", "scramble a b", "check --plain x"}) {
        const ToolRun result = run(bad);
        EXPECT_EQ(result.status, 2) << bad;
        EXPECT_EQ(result.err, usage) << bad;
        EXPECT_EQ(result.out, "") << bad;
    }
}

TEST_F(TavricTool, CheckAcceptsAndRefuses)
{
    const std::string good = file("good.tvr", "a = 1\n[b c = a]\n");
    const std::string bad = file("bad.tvr", "a = 1\nb = 'xy'\n");
    const ToolRun accepted = run("check '" + good + "'");
    EXPECT_EQ(accepted.status, 0);
    EXPECT_EQ(accepted.out, "");
    EXPECT_EQ(accepted.err, "");

    const ToolRun refused = run("check '" + good + "' '" + bad + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "(Entry " + bad +
                               ", line 2, col 7): Expected \"'\" after character value definition.\n"
                               "Parsing: Ended on error near \" 'xy' \".\n" +
                               std::string(33, ' ') + "^\n");
}

TEST_F(TavricTool, CheckResolvesAddresses)
{
    const std::string unbound = file("unbound.tvr", "int x = 1\nstring r = x\n");
    const ToolRun result = run("check '" + unbound + "'");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "string [].r : Cannot assign data of type field int to current field. Type mismatch.\n");
    const std::string divided = file("divided.tvr", "[s z = 0 q = 1 / z]\n");
    EXPECT_EQ(run("check '" + divided + "'").status, 1);
}

TEST_F(TavricTool, CheckOfAMissingFile)
{
    const ToolRun result = run("check '" + directory + "/none.tvr'");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Parsing: Cannot open input file '" + directory +
                              "/none.tvr' for loading a new tree. Error code is 2: 'No such file or directory'.\n");
}

TEST_F(TavricTool, DumpWritesTheTree)
{
    const std::string path = file("doc.tvr", "b = \"x\"   // comment\na=1\n[s x = 2 + 3]\n");
    const ToolRun spaced = run("dump '" + path + "'");
    EXPECT_EQ(spaced.status, 0);
    EXPECT_EQ(spaced.out, "b = \"x\"\na = 1\n[s\n  x = 5\n\n]\n");
    EXPECT_EQ(run("dump --plain '" + path + "'").out, "b=\"x\"\na=1\n[s\nx=5\n\n]\n");
    EXPECT_EQ(run("dump --raw '" + path + "'").out, "b = \"x\"\na = 1\n[s\n  x = 2 + 3\n\n]\n");
    EXPECT_EQ(run("dump --color '" + path + "'").out.substr(0, 8), "\x1b[1;33mb");
    const ToolRun broken = run("dump '" + file("broken.tvr", "x = 'ab'\n") + "'");
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, "");
    EXPECT_NE(broken.err, "");
}

TEST_F(TavricTool, DumpOutputParsesBackToTheSameText)
{
    const std::string path = file("doc.tvr", "private int a = 3\nl = [Collection (2) 1 2 3]\ne = a + 1\nc = 'q'\n");
    const ToolRun first = run("dump --raw '" + path + "'");
    ASSERT_EQ(first.status, 0);
    const std::string again = file("again.tvr", first.out);
    EXPECT_EQ(run("dump --raw '" + again + "'").out, first.out);
}

TEST_F(TavricTool, FmtKeepsTheTextAndChecks)
{
    const std::string path = file("doc.tvr", "b = \"x\"   // comment\na=1\n[s x = 2 + 3]\n");
    const ToolRun shown = run("fmt '" + path + "'");
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, "b = \"x\" // comment\na = 1\n[s x = 2 + 3]\n");
    const ToolRun checked = run("fmt --check '" + path + "'");
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out, path + "\n");
    const ToolRun piped = run("fmt - < '" + path + "'");
    EXPECT_EQ(piped.out, shown.out);
    const ToolRun bad = run("fmt --bogus '" + path + "'");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "usage: tavric fmt [--check] [--diff] [-w] FILE... (- reads standard input)\n");
}

TEST_F(TavricTool, GetReadsInEachType)
{
    const std::string path = file("doc.tvr", "[s r = 0.1 i = -42 t = yes c = 'A' n = \"name\" e = i * 2]\nempty\n");
    const std::string quoted = "'" + path + "'";
    EXPECT_EQ(run("get " + quoted + " s.n").out, "name\n");
    EXPECT_EQ(run("get " + quoted + " s.i --as int").out, "-42\n");
    EXPECT_EQ(run("get " + quoted + " s.i --as=real").out, "-42\n");
    EXPECT_EQ(run("get " + quoted + " s.r --as real").out, "0.10000000000000001\n");
    EXPECT_EQ(run("get " + quoted + " s.t --as bool").out, "true\n");
    EXPECT_EQ(run("get " + quoted + " s.c --as char").out, "65\n");
    EXPECT_EQ(run("get " + quoted + " s.e --as int").out, "-84\n");
    EXPECT_EQ(run("get " + quoted + " s.i").out, "-42\n");
    const ToolRun found = run("get " + quoted + " []->s.t --as bool");
    EXPECT_EQ(found.status, 1);
}

TEST_F(TavricTool, GetRefusals)
{
    const std::string path = file("doc.tvr", "[s i = 1]\nempty\ntext = \"abc\"\n");
    const std::string quoted = "'" + path + "'";
    const ToolRun missing = run("get " + quoted + " s.none");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "[].s : Node is constant. Cannot perform 'create' operation on it.\n");

    const ToolRun emptyField = run("get " + quoted + " empty --as int");
    EXPECT_EQ(emptyField.status, 1);
    EXPECT_EQ(emptyField.err, "[].empty : Field is empty.\n");

    const ToolRun unconvertible = run("get " + quoted + " text --as char");
    EXPECT_EQ(unconvertible.status, 1);
    EXPECT_EQ(unconvertible.err, "[].text : Field cannot be converted into field char. It may be a nonsense.\n");

    EXPECT_EQ(run("get " + quoted + " s..i").status, 1);
    EXPECT_EQ(run("get '" + directory + "/none.tvr' s").status, 1);
}

TEST_F(TavricTool, JsonOfATree)
{
    const std::string path =
        file("doc.tvr", "= 1\nb = yes\nr = 2.5\ns = \"t\"\nc = 'x'\nl = [Collection 1 2]\np = &b\nq = b\nn = Nothing\n"
                        "[m x = 1]\nd = $3\n");
    const ToolRun result = run("json '" + path + "'");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "{\n"
                          "  \"=\": 1,\n"
                          "  \"b\": true,\n"
                          "  \"c\": \"x\",\n"
                          "  \"d\": 3,\n"
                          "  \"l\": [\n    1,\n    2\n  ],\n"
                          "  \"m\": {\n    \"x\": 1\n  },\n"
                          "  \"n\": null,\n"
                          "  \"p\": \"b\",\n"
                          "  \"q\": \"b\",\n"
                          "  \"r\": 2.5,\n"
                          "  \"s\": \"t\"\n"
                          "}\n");
}

TEST_F(TavricTool, ScrambleAndUnscramble)
{
    std::string plain = "CurrentLanguage = \"Fr\"\n[Users Selected = \"Ana\"]\n";
    plain += std::string("\0\xff", 2);
    const std::string path = file("data.tvr", plain);
    const ToolRun scrambled = run("scramble '" + path + "'");
    ASSERT_EQ(scrambled.status, 0);
    ASSERT_EQ(scrambled.out.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(static_cast<unsigned char>(scrambled.out[i]),
                  static_cast<unsigned char>(plain[i]) ^ vrk::userDataKey[i % 32])
            << i;
    const std::string stored = file("data.vrk", scrambled.out);
    const ToolRun back = run("unscramble '" + stored + "'");
    EXPECT_EQ(back.status, 0);
    EXPECT_EQ(back.out, plain);
    EXPECT_EQ(run("scramble '" + directory + "/none'").status, 1);
}

} // namespace
