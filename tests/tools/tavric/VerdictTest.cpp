// One verdict for every verb: the same document is refused (or accepted) by check, json, dump and
// get alike, and the verbs that print still print what they can of a document that parsed.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "InProcessCall.hpp"

namespace {

struct Verb {
    std::vector<std::string> words; // "-" stands for the document, given as standard input
    const char* out;                // what it prints (nullptr: not checked)
};

struct Case {
    const char* document;
    int status;         // of every verb
    const char* placed; // the first diagnostic's line, as every verb but check's lint gives it ("" for none)
    std::vector<Verb> verbs;
};

TEST(Verdict, EveryVerbAlike)
{
    const std::vector<Case> cases = {
        {"a = 1 / 0\nb = 2\n",
         1,
         "<stdin>:1:1: error: [].a: Division by zero. The expression has no value.",
         {{{"check", "-"}, ""},
          {{"json", "-"}, "{\n  \"a\": null,\n  \"b\": 2\n}\n"},
          {{"dump", "-"}, "a = 1 / 0\nb = 2\n"},
          {{"get", "-", "b"}, "2\n"},
          {{"get", "--json", "-", "b"}, "2\n"}}},
        // A member that names a field its collection does not have: no verb can read it.
        {"row = [Collection 1 two 3]\nb = 2\n",
         1,
         "<stdin>:1:21: error: a member of 'row' refers to 'two', which does not exist: a member's address starts in "
         "its collection, and the game cannot read it (a word meant as text needs quotes)",
         {{{"check", "-"}, ""},
          {{"check", "--allow", "missing-target", "-"}, ""},
          {{"json", "-"}, nullptr},
          {{"dump", "-"}, "row = [Collection\n  1 two 3 \n]\nb = 2\n"},
          {{"get", "-", "b"}, "2\n"},
          {{"get", "-", "row"}, nullptr}}},
        // A member's address starts in its collection: b is looked for in c.
        {"b = 1\nc = [Collection 1 b \"b\" b]\n",
         1,
         "<stdin>:2:19: error: a member of 'c' refers to 'b', which does not exist: a member's address starts in its "
         "collection, and the game cannot read it (a word meant as text needs quotes)",
         {{{"check", "-"}, ""}}},
        {"int i = \"x\"\nb = 2\n",
         1,
         "<stdin>:1:1: error: int [].i: Cannot assign data of type field string to current field. Type mismatch.",
         {{{"check", "-"}, ""}, {{"json", "-"}, "{\n  \"i\": null,\n  \"b\": 2\n}\n"}, {{"get", "-", "b"}, "2\n"}}},
        // A text that does not parse has no tree to show.
        {"a = \nb = 2\n",
         1,
         "<stdin>:1:5: error: Expected value.",
         {{{"check", "-"}, ""}, {{"json", "-"}, ""}, {{"dump", "-"}, ""}, {{"get", "-", "b"}, ""}}},
        // Warnings refuse nothing, in any verb.
        {"t = Hello\nb = 2\n",
         0,
         "",
         {{{"json", "-"}, "{\n  \"t\": null,\n  \"b\": 2,\n  \"Hello\": null\n}\n"},
          {{"dump", "-"}, "t = Hello\nb = 2\n"},
          {{"get", "-", "b"}, "2\n"}}},
        {"t = Hello\nb = 2\n",
         0,
         "<stdin>:1:1: warning: 't' refers to 'Hello', which does not exist; it would read as "
         "a new, empty field (a word meant as text needs quotes) [missing-target]",
         {{{"check", "-"}, ""}}},
        {"b = 2\n", 0, "", {{{"check", "-"}, ""}, {{"json", "-"}, "{\n  \"b\": 2\n}\n"}, {{"get", "-", "b"}, "2\n"}}},
    };
    for (const Case& c : cases)
        for (const Verb& verb : c.verbs) {
            SCOPED_TRACE(std::string(c.document) + " | " + verb.words[0] + " " + verb.words[verb.words.size() - 1]);
            const tooltest::Call result = tooltest::call(verb.words, c.document);
            EXPECT_EQ(result.status, c.status) << result.err;
            if (verb.out) {
                EXPECT_EQ(result.out, verb.out);
            }
            const std::string first = result.err.substr(0, result.err.find('\n'));
            if (*c.placed) {
                EXPECT_EQ(first, c.placed) << result.err;
            } else if (verb.words[0] != "check") {
                EXPECT_EQ(result.err, "");
            }
        }
}

} // namespace
