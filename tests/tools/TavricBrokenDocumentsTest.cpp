// Broken documents through the tavric tool: each gives its first diagnostic line, with the place of
// the text at fault, and status 1.

#include <string>
#include <vector>

#include "ToolRunner.hpp"

namespace {

using tooltest::ToolRun;

struct BrokenDocument {
    const char* text;  // "@" stands for the scratch directory
    const char* first; // the first line on standard error; "{doc}" is the document's path
    // Refused by the parse, so by every verb; otherwise an error the parse goes on after, which
    // the verbs that resolve values report (dump and fmt write the text as it stands, get reads one
    // field).
    bool everyVerb;
};

std::string filledIn(std::string text, const std::string& directory, const std::string& document)
{
    for (std::size_t at = text.find("{doc}"); at != std::string::npos; at = text.find("{doc}", at))
        text.replace(at, 5, document);
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + directory.size()))
        text.replace(at, 1, directory);
    return text;
}

class TavricBrokenDocuments : public tooltest::TavricTool {};

TEST_F(TavricBrokenDocuments, EachGivesItsFirstLineThroughEveryVerb)
{
    file("quote.tvr", "ok = 1\nc = 'xy'\n");
    file("empty.tvr", "e = Nothing * 2\n");
    const BrokenDocument cases[] = {
        {"a = 1\nb = 08\n",
         "{doc}:2:6: error: Malformed number '08': a number that starts with 0 is octal, with the digits 0 to 7.",
         true},
        {"a = 1\n]\n", "{doc}:2:1: error: Unexpected ']': no '[' is open here.", true},
        {"9x = 1\n", "{doc}:1:1: error: '9x' cannot be a name: names start with an ASCII letter or _", true},
        {"a = 1 2\n", "{doc}:1:7: error: '2' cannot be a name: names start with an ASCII letter or _", true},
        {"x = 1..2\n", "{doc}:1:7: error: Malformed number '1..2': a number has one '.' at most.", true},
        {"x = 0x1F.5\n", "{doc}:1:9: error: Malformed number '0x1F.5': only decimal numbers have a fractional part.",
         true},
        {"x = 12ab\n", "{doc}:1:7: error: Malformed number '12ab': letters cannot follow the digits of a number.", true},
        {"[s y = 3 * 1.5.2]\n", "{doc}:1:15: error: Malformed number '1.5.2': a number has one '.' at most.", true},
        {"\xC3\xA9 = 1\n",
         "{doc}:1:1: error: '\xC3\xA9' cannot be part of a name: names are ASCII letters, digits and _", true},
        {"caf\xC3\xA9 = 1\n",
         "{doc}:1:4: error: '\xC3\xA9' cannot be part of a name: names are ASCII letters, digits and _", true},
        // A byte-order mark is skipped and takes no column.
        {"\xEF\xBB\xBFx = 0b12\n",
         "{doc}:1:8: error: Malformed number '0b12': a number that starts with 0b is binary, with the digits 0 and 1.",
         true},
        {"Inclde \"z.tvr\"\n",
         "{doc}:1:1: error: Unknown directive 'Inclde'. The directives are Include, Includec, Message, Warning and "
         "Error.",
         true},
        {"s = \"open\n", "{doc}:2:1: error: Expected '\"' after string value definition.", true},
        {"limited[x] a = 1\n",
         "{doc}:1:9: error: Bad 'limited' statement syntax. Syntax is 'limited[XY]', where X and Y are hexadecimal "
         "values for local scope and public.",
         true},
        // Included texts are named by their own path.
        {"Include \"@/quote.tvr\"\n", "@/quote.tvr:2:7: error: Expected \"'\" after character value definition.",
         true},
        {"Includec \"@/quote.tvr\"\n", "@/quote.tvr:2:7: error: Expected \"'\" after character value definition.",
         true},
        {"x = 1\nInclude \"{doc}\"\n", "{doc}:2:1: error: Error while resolving include directive '{doc}'.", true},
        {"x = Nothing + 1\n", "{doc}:1:1: error: []: Field is empty.", false},
        {"Include \"@/empty.tvr\"\n", "@/empty.tvr:1:1: error: []: Field is empty.", false},
        {"[s\n  z = 0\n  q = 1 / z\n]\n", "{doc}:3:3: error: [].s: Division by zero. The expression has no value.",
         false},
        {"int w = \"wide\"\nok = 1\n",
         "{doc}:1:1: error: int [].w: Cannot assign data of type field string to current field. Type mismatch.", false},
        {"int x = 1\n\nstring r = x\n",
         "{doc}:3:1: error: string [].r: Cannot assign data of type field int to current field. Type mismatch.",
         false},
        // A name found nowhere: placed at the field whose value needs it.
        {"bonus = 2\n[sword\n  damage = 4 + bonus\n]\n",
         "{doc}:3:3: error: [].sword: Node is constant. Cannot perform 'create' operation on it.", false},
    };
    const std::vector<std::string> verbs = {"check {doc}", "json {doc}", "dump {doc}", "fmt --check {doc}",
                                            "get {doc} x"};
    int number = 0;
    for (const BrokenDocument& c : cases) {
        const std::string document = directory + "/case" + std::to_string(++number) + ".tvr";
        file("case" + std::to_string(number) + ".tvr", filledIn(c.text, directory, document));
        const std::string first = filledIn(c.first, directory, document);
        for (const std::string& verb : verbs) {
            if (!c.everyVerb && verb.rfind("check", 0) != 0 && verb.rfind("json", 0) != 0)
                continue;
            const ToolRun result = run(filledIn(verb, directory, "'" + document + "'"));
            const std::string what = verb + " on " + c.text + "\n" + result.err;
            EXPECT_EQ(result.status, 1) << what;
            EXPECT_EQ(result.err.substr(0, result.err.find('\n')), first) << what;
        }
    }
    // The name found nowhere is said in plain words.
    const std::string sword = file("sword.tvr", "bonus = 2\n[sword\n  damage = 4 + bonus\n]\n");
    EXPECT_NE(run("check '" + sword + "'").err.find(sword + ":3:3: note: 'bonus' is not a field of [].sword\n"),
              std::string::npos);
}

} // namespace
