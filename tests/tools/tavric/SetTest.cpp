// tavric set: one value changed in a file, every other byte kept; refusals leave the file as it was.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "../ToolRunner.hpp"
#include "InProcessCall.hpp"

namespace {

using tooltest::Call;

// Comments, blank lines, odd spacing, both languages' words, a node, a collection and fields the
// public may not change.
const char* const original = "// settings of the cellar\n"
                             "title   =  \"Old\"   // shown at the top\n"
                             "\n"
                             "int width = 12 /* px */ ; réel ratio := 0.5\n"
                             "[door   // the only door\n"
                             "    open = non\n"
                             "    key = 'K'\n"
                             "    protected int code = 3\n"
                             "    const int fixed = 1\n"
                             "    extern flag = yes\n"
                             "]\n"
                             "list = [Collection (2) 1 2\n"
                             "   3 [m x = 1] -4]\n"
                             "sum = 1 + 2\n"
                             "ref = title\n"
                             "target = &door\n"
                             "program = [Script]\n"
                             "empty\n";

class Set : public tooltest::ScratchDirectory {
protected:
    void SetUp() override
    {
        ScratchDirectory::SetUp();
        path = file("cellar.tvr", original);
    }

    Call set(const std::string& address, const std::string& value)
    {
        return tooltest::call({"set", path, address, value});
    }

    std::string path;
};

TEST_F(Set, ChangesOnlyTheValue)
{
    const struct {
        const char* address;
        const char* value;
        const char* before; // the literal replaced, the first of its text in the file
        const char* json;   // the field's value as json shows it afterwards
    } cases[] = {
        {"title", "\"Né \\\"x\\\"\"", "\"Old\"", "\"Né \\\"x\\\"\""},
        {"width", "0x10", "12", "16"},
        {"ratio", "-1.25", "0.5", "-1.25"},
        {"door.open", "Oui", "non", "true"},
        {"door.key", "'é'", "'K'", "\"é\""},
        {"list[1]", "20", "2\n", "20"},
        {"list[4]", "  40 ", "-4", "40"},
        {"title", "Nothing", "\"Old\"", "null"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " = " + c.value);
        file("cellar.tvr", original);
        const Call result = set(c.address, c.value);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out + result.err, "");
        // The text as it was, but for the one literal.
        std::string expected = original;
        const std::string before = c.before;
        std::string value = c.value;
        value = value.substr(value.find_first_not_of(' '));
        value = value.substr(0, value.find_last_not_of(' ') + 1);
        if (before.back() == '\n')
            value += '\n';
        expected.replace(expected.find(before), before.size(), value);
        EXPECT_EQ(slurp(path), expected);
        const Call shown = tooltest::call({"get", path, c.address, "--json"});
        EXPECT_EQ(shown.out, std::string(c.json) + "\n") << shown.err;
    }
}

TEST_F(Set, RefusesAndLeavesTheFileAsItWas)
{
    const std::string name = path + ": error: ";
    const struct {
        const char* address;
        const char* value;
        std::string error;
    } cases[] = {
        {"width", "\"wide\"",
         path + ":4:1: error: int [].width: Cannot assign data of type field string to current field. Type "
                "mismatch.\n int width = 12 /* px */ ; réel ratio := 0.5\n ^\n"},
        {"ratio", "5",
         path + ":4:27: error: real [].ratio: Cannot assign data of type field int to current field. Type "
                "mismatch.\n int width = 12 /* px */ ; réel ratio := 0.5\n                           ^\n"},
        {"door.code", "4",
         path + ":8:5: error: protected int [].door.code: Permission denied. Cannot perform 'write' operation. "
                "Public user rights are insufficient.\n     protected int code = 3\n     ^\n"},
        {"door.fixed", "2",
         path + ":9:5: error: int const [].door.fixed: Node is constant. Cannot perform 'write' operation on "
                "it.\n     const int fixed = 1\n     ^\n"},
        {"door.flag", "no",
         path + ":10:5: error: extern [].door.flag: Field is extern. Cannot perform any 'write' operation on "
                "it.\n     extern flag = yes\n     ^\n"},
        {"door.nope", "1", name + "no field named 'nope' in [].door\n"},
        {"door..open", "1", name + "[]: Syntax error while resolving address 'door..open'.\n"},
        {"list[9]", "1", name + "index 9 is out of range: 'list' has 5 members\n"},
        {"door", "1", name + "'door' is a node, not a single value: set one of its fields\n"},
        {"list[3]", "1", name + "'list[3]' is a node, not a single value: set one of its fields\n"},
        {"list", "1", name + "'list' is a collection, not a single value: set one of its members (list[0])\n"},
        {"sum", "4", name + "'sum' is computed from an expression: set the values it is computed from\n"},
        {"ref", "\"x\"", name + "'ref' refers to 'title': set the field it refers to\n"},
        {"target", "1", name + "'target' is a pointer, not a value\n"},
        {"program", "1", name + "'program' is a program and holds no value\n"},
        {"empty", "1", name + "'empty' has no literal of its own in the text to change\n"},
        {"title", "New",
         name + "'New' is not a value set can write: a bare word is an address, not a value: write "
                "text in quotes (\"New\")\n"},
        {"title", "notes",
         name + "'notes' is not a value set can write: 'notes' reads as the keyword 'no' followed "
                "by a new field 'tes'\n"},
        {"width", "1 + 1",
         name + "'1 + 1' is not a value set can write: an expression is not one value: write its "
                "result\n"},
        {"width", "99999999999999999999",
         name + "'99999999999999999999' is not a value set can write: '99999999999999999999' does not fit in 64 "
                "bits: it reads as 9223372036854775807\n"},
        {"width", "5 // five",
         name + "'5 // five' is not a value set can write: it is not one value: a number, a "
                "text in quotes, a character, yes or no\n"},
        {"width", "5\nother = 6",
         name + "'5\nother = 6' is not a value set can write: it is not one value: a "
                "number, a text in quotes, a character, yes or no\n"},
        {"width", "[Collection 1]",
         name + "'[Collection 1]' is not a value set can write: set writes one value, "
                "not a collection or a special scope\n"},
        {"width", " ", name + "'' is not a value set can write: no value given\n"},
        {"title", "\"open",
         name + "'\"open' is not a value set can write: Expected '\"' after string value "
                "definition.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " = " + c.value);
        const Call result = set(c.address, c.value);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, c.error);
        EXPECT_EQ(slurp(path), original);
    }
}

TEST_F(Set, ValuesItCannotChangeAlone)
{
    // A value that an include gives, and one given again further on: set would not be what is read.
    const std::string included = file("door.tvr", "open = no\n");
    const std::string main = file("main.tvr", "[door\n  Include \"" + included + "\"\n]\nx = 1\nx = 2\n");
    const Call inIncluded = tooltest::call({"set", main, "door.open", "yes"});
    EXPECT_EQ(inIncluded.status, 1);
    EXPECT_EQ(inIncluded.err, main + ": error: 'door.open' is written in '" + included +
                                  "', which this file includes: set it in that file\n");
    const Call twice = tooltest::call({"set", main, "x", "3"});
    EXPECT_EQ(twice.status, 1);
    EXPECT_EQ(twice.err, main + ": error: the changed text would not read '3' back at 'x' (is it given a value "
                                "again further on?); the file is unchanged\n");
    EXPECT_EQ(slurp(main), "[door\n  Include \"" + included + "\"\n]\nx = 1\nx = 2\n");
    EXPECT_EQ(tooltest::call({"set", included, "open", "yes"}).status, 0);
    EXPECT_EQ(slurp(included), "open = yes\n");

    // A file that does not load is not touched; nor is a call without a file or with standard input.
    const std::string broken = file("broken.tvr", "a = 1\nb = \"open\n");
    EXPECT_EQ(tooltest::call({"set", broken, "a", "2"}).status, 1);
    EXPECT_EQ(slurp(broken), "a = 1\nb = \"open\n");
    const Call fromInput = tooltest::call({"set", "-", "a", "2"}, "a = 1\n");
    EXPECT_EQ(fromInput.status, 2);
    EXPECT_EQ(fromInput.err.rfind("tavric: set changes a file in place: give its path, not -\n", 0), 0u);
    EXPECT_EQ(tooltest::call({"set", broken, "a"}).status, 2);
    EXPECT_EQ(tooltest::call({"set", directory + "/none.tvr", "a", "1"}).status, 1);
}

} // namespace
