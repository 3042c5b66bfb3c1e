// The tavric command-line tool, run as built in the run directory: exit statuses and outputs.

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "ToolRunner.hpp"
#include "shell/UserDataKey.hpp"

namespace {

using tooltest::ToolRun;
using TavricTool = tooltest::TavricTool;

const char* const usage = "usage:\n"
                          "  tavric check [--warnings-as-errors] [--allow NAME]... [--color=WHEN] FILE...\n"
                          "  tavric fmt [--check] [--diff] [-w] FILE...\n"
                          "  tavric dump [--plain] [--raw] [--color[=WHEN]] FILE\n"
                          "  tavric get [--as bool|int|real|char|string] [--lossy] [--json] FILE ADDRESS\n"
                          "  tavric json [--all] [--raw] FILE\n"
                          "  tavric set FILE ADDRESS VALUE\n"
                          "  tavric import FILE.json\n"
                          "  tavric scramble FILE\n"
                          "  tavric unscramble [--raw] FILE\n"
                          "  tavric lsp\n"
                          "  tavric help [VERB]\n"
                          "  tavric --version\n";

TEST_F(TavricTool, HelpVersionAndBadCalls)
{
    const ToolRun help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, usage);
    const ToolRun version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tavric (Velmora) 0.1\n");
    // Help for each verb, in both spellings, on standard output.
    for (const char* verb : {"check", "fmt", "dump", "get", "json", "set", "import", "scramble", "unscramble", "help"}) {
        const ToolRun byHelp = run(std::string("help ") + verb);
        EXPECT_EQ(byHelp.status, 0) << verb;
        EXPECT_EQ(byHelp.out.rfind(std::string("usage: tavric ") + verb, 0), 0u) << byHelp.out;
        EXPECT_EQ(run(std::string(verb) + " --help").out, byHelp.out) << verb;
    }
    EXPECT_EQ(run("help").out.rfind("tavric: checks, formats, queries and converts Tavric documents.\n", 0), 0u);
    EXPECT_EQ(run("help nothing").status, 2);

    EXPECT_EQ(run("").err, usage + std::string("Try 'tavric help'.\n"));
    EXPECT_EQ(run("frobnicate").err, "tavric: no verb 'frobnicate'\n" + std::string(usage) + "Try 'tavric help'.\n");
    for (const char* bad : {"check", "fmt", "fmt --bogus x", "dump", "dump a b", "dump --bogus x", "get x",
                            "get x a --as float", "get x a --as", "json", "json a b", "set x a", "set x a 1 2", "import", "import a b", "scramble", "scramble a b",
                            "check --plain x", "json --plain x", "check --color=sometimes x"}) {
        const ToolRun result = run(bad);
        EXPECT_EQ(result.status, 2) << bad;
        EXPECT_NE(result.err.find("\nTry 'tavric help "), std::string::npos) << bad << ": " << result.err;
        EXPECT_EQ(result.out, "") << bad;
    }
    EXPECT_EQ(
        run("get x a --as float").err,
        "usage: tavric get [--as bool|int|real|char|string] [--lossy] [--json] FILE ADDRESS\nTry 'tavric help get'.\n");
    EXPECT_EQ(run("check --plain x").err,
              "tavric: 'check' takes no option '--plain'\n"
              "usage: tavric check [--warnings-as-errors] [--allow NAME]... [--color=WHEN] FILE...\n"
              "Try 'tavric help check'.\n");
}

TEST_F(TavricTool, CheckAcceptsAndRefuses)
{
    const std::string good = file("good.tvr", "a = 1\n[b c = _.a]\n");
    const std::string bad = file("bad.tvr", "a = 1\nb = 'xy'\n");
    const ToolRun accepted = run("check '" + good + "'");
    EXPECT_EQ(accepted.status, 0);
    EXPECT_EQ(accepted.out, "");
    EXPECT_EQ(accepted.err, "0 errors, 0 warnings in 1 file\n");

    const ToolRun refused = run("check '" + good + "' '" + bad + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, bad + ":2:7: error: Expected \"'\" after character value definition.\n"
                                 " b = 'xy'\n"
                                 "       ^\n"
                                 "1 error, 0 warnings in 2 files\n");
}

TEST_F(TavricTool, CheckWarnsAboutReferencesToNothing)
{
    // Words where a value was meant: a reference to a field that does not exist, and a new field.
    const std::string words = file("words.tvr", "greeting = \"hi\"\n[s\n  title = Hello world\n  ok = _.greeting\n]\n");
    const ToolRun result = run("check '" + words + "'");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, words + ":3:3: warning: 'title' refers to 'Hello', which does not exist; it would read as "
                                  "a new, empty field (a word meant as text needs quotes) [missing-target]\n"
                                  "   title = Hello world\n"
                                  "   ^\n"
                                  "0 errors, 1 warning in 1 file\n");
    const ToolRun strict = run("check --warnings-as-errors '" + words + "'");
    EXPECT_EQ(strict.status, 1);
    EXPECT_EQ(strict.err, result.err);
    EXPECT_EQ(run("check --allow missing-target --warnings-as-errors '" + words + "'").status, 0);
    // Addresses to the root, the parent and a pointer's target are judged too, or left to the resolution.
    const std::string fine = file("fine.tvr", "a = 1\n[s b = _.a\n c = [].a\n p = &a\n q = p->x]\n");
    EXPECT_EQ(run("check '" + fine + "'").err, "0 errors, 0 warnings in 1 file\n");
    // Relative addresses start beside the reference: "a" inside [b] is b.a, which does not exist.
    const std::string inner = file("inner.tvr", "a = 1\n[b c = a]\n");
    EXPECT_EQ(run("check '" + inner + "'").err.find(inner + ":2:4: warning: 'c' refers to 'a', which does not exist"),
              0u);
}

TEST_F(TavricTool, UnclosedBracketPointsWhereItOpens)
{
    const std::string path = file("open.tvr", "a = 1\n[s\n  x = 1\n  [t y = 2]\nz = 3\n");
    const ToolRun result = run("check '" + path + "'");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, path +
                              ":6:1: error: Missing ']' token to close node or special scope.\n"
                              " \n"
                              " ^\n" +
                              path +
                              ":2:1: note: opened here\n"
                              " [s\n"
                              " ^\n"
                              "1 error, 0 warnings in 1 file\n");
}

TEST_F(TavricTool, ColourOnlyWhenAskedOrOnATerminal)
{
    const std::string bad = file("bad.tvr", "b = 'xy'\n");
    // Into a file (not a terminal): no colour, NO_COLOR or not.
    EXPECT_EQ(run("check '" + bad + "'", "TERM=xterm").err.find('\x1b'), std::string::npos);
    const ToolRun always = run("check --color=always '" + bad + "'");
    EXPECT_EQ(always.err.rfind("\x1b[1m" + bad + ":1:7:\x1b[0m \x1b[1;31merror:\x1b[0m Expected", 0), 0u) << always.err;
    EXPECT_EQ(run("check --color=never '" + bad + "'").err.find('\x1b'), std::string::npos);
    const std::string good = file("good.tvr", "a = 1\n");
    EXPECT_EQ(run("dump --color=always '" + good + "'").out, "\x1b[1;33ma\x1b[00m = 1\n");
    EXPECT_EQ(run("dump --color=never '" + good + "'").out, "a = 1\n");
}

TEST_F(TavricTool, StandardInputForEveryVerb)
{
    const std::string path = file("doc.tvr", "[s x = 2 + 3]\nc = 'A'\n");
    EXPECT_EQ(run("check - <'" + path + "'").err, "0 errors, 0 warnings in 1 file\n");
    EXPECT_EQ(run("dump - <'" + path + "'").out, "[s\n  x = 5\n\n]\nc = 'A'\n");
    EXPECT_EQ(run("get - s.x <'" + path + "'").out, "5\n");
    EXPECT_EQ(run("json - <'" + path + "'").out, "{\n  \"s\": {\n    \"x\": 5\n  },\n  \"c\": \"A\"\n}\n");
    const ToolRun scrambled = run("scramble - <'" + path + "'");
    ASSERT_EQ(scrambled.status, 0);
    const std::string stored = file("data.vrk", scrambled.out);
    EXPECT_EQ(run("unscramble - <'" + stored + "'").out, slurp(path));
    const ToolRun broken = run("check - <'" + file("bad.tvr", "b = 'xy'\n") + "'");
    EXPECT_EQ(broken.err.rfind("<stdin>:1:7: error: ", 0), 0u) << broken.err;
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
    EXPECT_EQ(bad.err, "usage: tavric fmt [--check] [--diff] [-w] FILE... (- reads standard input)\n"
                       "Try 'tavric help fmt'.\n");
}

TEST_F(TavricTool, GetReadsAddressesOrRefuses)
{
    enum Doc { Types, Lists, Refusals, Missing };
    const std::string docs[] = {
        file("types.tvr", "[s r = 0.1 i = -42 t = yes c = 'A' e8 = '\xC3\xA9' n = \"name\" e = i * 2]\nempty\n"),
        file("lists.tvr",
             "c = [Collection 10 20 30]\nm = [Collection [a x = 1] [b x = 2]]\n[s l = [Collection 'q']]\n"),
        file("refusals.tvr", "[s i = 1]\nempty\ntext = \"abc\"\nprivate secret = 1\n"),
        directory + "/none.tvr",
    };
    // A read prints the value and nothing else; a refusal prints nothing and says why after the file's name.
    struct Case {
        const char* name;
        Doc doc;
        const char* args;
        const char* out; // null: refused with status 1
        const char* err; // after the file's name; null: not checked
    };
    const Case cases[] = {
        {"string by default", Types, "s.n", "name\n", nullptr},
        {"int", Types, "s.i --as int", "-42\n", nullptr},
        {"int as real, with =", Types, "s.i --as=real", "-42.0\n", nullptr},
        {"real", Types, "s.r --as real", "0.1\n", nullptr},
        {"bool", Types, "s.t --as bool", "true\n", nullptr},
        // A character is printed as itself, a two-byte one too.
        {"char", Types, "s.c --as char", "A\n", nullptr},
        {"two-byte char", Types, "s.e8 --as char", "\xC3\xA9\n", nullptr},
        {"expression", Types, "s.e --as int", "-84\n", nullptr},
        {"int by default", Types, "s.i", "-42\n", nullptr},
        {"the root dereferenced", Types, "'[]->s.t' --as bool", nullptr, nullptr},
        // Collection members count from zero.
        {"first member", Lists, "'c[0]'", "10\n", nullptr},
        {"last member", Lists, "'c[2]' --as int", "30\n", nullptr},
        {"member's field", Lists, "'m[1].x'", "2\n", nullptr},
        {"nested member", Lists, "'s.l[0]' --as char", "q\n", nullptr},
        {"beyond the end", Lists, "'c[3]'", nullptr, ": error: index 3 is out of range: 'c' has 3 members\n"},
        {"index of a node", Lists, "'s[0]'", nullptr, ": error: 's' is not a collection\n"},
        {"bad index", Lists, "'c[x]'", nullptr,
         ": error: bad index in address 'c[x]': an index is written [N], from 0\n"},
        // A field that does not exist is named, with where it was looked for, in one line.
        {"missing field", Refusals, "s.none", nullptr, ": error: no field named 'none' in [].s\n"},
        {"missing node", Refusals, "nothing.deeper", nullptr, ": error: no field named 'nothing' in []\n"},
        {"empty field", Refusals, "empty --as int", nullptr, ":2:1: error: [].empty: Field is empty.\n empty\n ^\n"},
        {"unconvertible", Refusals, "text --as char", nullptr,
         ":3:1: error: [].text: Field cannot be converted into field char. It may be a nonsense.\n"
         " text = \"abc\"\n ^\n"},
        {"private field", Refusals, "secret", nullptr, nullptr},
        {"empty address step", Refusals, "s..i", nullptr, nullptr},
        {"missing file", Missing, "s", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const ToolRun result = run("get '" + docs[c.doc] + "' " + c.args);
        EXPECT_EQ(result.status, c.out ? 0 : 1) << c.name;
        EXPECT_EQ(result.out, c.out ? c.out : "") << c.name;
        if (c.out || c.err) {
            EXPECT_EQ(result.err, c.out ? "" : docs[c.doc] + c.err) << c.name;
        }
    }
}

TEST_F(TavricTool, JsonInDocumentOrderWithoutPrivateFields)
{
    const std::string path =
        file("doc.tvr", "= 1\nb = yes\nr = 2.5\ns = \"t\"\nc = 'x'\nl = [Collection 1 2]\np = &b\nq = b\nn = Nothing\n"
                        "[m x = 1 private hidden = 2]\nd = $3\n_INITIAL_100 = 1\n_INITIAL_10 = 2\nprivate key = 7\n"
                        "locked lock = 8\n");
    const ToolRun result = run("json '" + path + "'");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "{\n"
                          "  \"=\": 1,\n"
                          "  \"b\": true,\n"
                          "  \"r\": 2.5,\n"
                          "  \"s\": \"t\",\n"
                          "  \"c\": \"x\",\n"
                          "  \"l\": [\n    1,\n    2\n  ],\n"
                          "  \"p\": true,\n" // the pointer and the reference read as b does
                          "  \"q\": true,\n"
                          "  \"n\": null,\n"
                          "  \"m\": {\n    \"x\": 1\n  },\n"
                          "  \"d\": 3,\n"
                          "  \"_INITIAL_100\": 1,\n"
                          "  \"_INITIAL_10\": 2\n"
                          "}\n");
    const std::string all = run("json --all '" + path + "'").out;
    EXPECT_NE(all.find("  \"m\": {\n    \"x\": 1,\n    \"hidden\": 2\n  },"), std::string::npos) << all;
    EXPECT_NE(all.find("  \"key\": 7,\n  \"lock\": 8\n}\n"), std::string::npos) << all;
}

TEST_F(TavricTool, ScrambleAndUnscramble)
{
    std::string plain = "CurrentLanguage = \"Fr\"\n[Users Selected = \"Ana\xff\"]\n";
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
    // A directory is refused with one clear line (it used to end in an uncaught exception).
    for (const char* verb : {"scramble", "unscramble"}) {
        const ToolRun refused = run(std::string(verb) + " '" + directory + "'");
        EXPECT_EQ(refused.status, 1) << verb;
        EXPECT_EQ(refused.out, "") << verb;
        EXPECT_EQ(refused.err, directory + ": error: is a directory, not a file\n") << verb;
    }
}

} // namespace
