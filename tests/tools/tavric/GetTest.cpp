// tavric get: a node shown whole, as Tavric text or JSON, and a conversion that would lose the value
// refused unless --lossy is given.

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "InProcessCall.hpp"

namespace {

const char* const document = "[w\n  damage = 4 + 1\n  name = \"sword\"\n]\nref = w\nm = [Collection 1 2]\n"
                             "text = \"hello\"\nnum = \"42\"\nspaced = \" 42\"\nfrac = \"0.1\"\ntruth = \"True\"\n"
                             "yes = \"yes\"\nr = 2.5\nwhole = 3.0\nbig = 5\none = 1\nhuge = 9223372036854775807\n"
                             "odd = 9007199254740993\n";

using tooltest::Call;

// get with the document as standard input, then the address and options.
Call get(const std::vector<std::string>& words)
{
    std::vector<std::string> all = {"get", "-"};
    all.insert(all.end(), words.begin(), words.end());
    return tooltest::call(all, document);
}

TEST(Get, NodesWhole)
{
    const struct {
        std::vector<std::string> words;
        const char* out;
    } cases[] = {
        {{"w"}, "damage = 5\nname = \"sword\"\n"},
        {{"ref"}, "damage = 5\nname = \"sword\"\n"}, // through the reference
        {{"w", "--json"}, "{\n  \"damage\": 5,\n  \"name\": \"sword\"\n}\n"},
        {{"m", "--json"}, "[\n  1,\n  2\n]\n"},
        {{"w.damage", "--json"}, "5\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words[0]);
        const Call result = get(c.words);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, c.out);
    }
    EXPECT_EQ(get({"m"}).out.rfind("[Collection", 0), 0u);
}

TEST(Get, ConversionsThatLoseTheValue)
{
    const struct {
        const char* field;
        const char* type;
        const char* kept; // what is printed, or nullptr: refused without --lossy
        const char* lossy;
    } cases[] = {
        {"text", "int", nullptr, "0\n"},
        {"num", "int", "42\n", "42\n"},
        {"spaced", "int", nullptr, "42\n"},
        {"frac", "real", "0.1\n", "0.1\n"},
        {"truth", "bool", "true\n", "true\n"},
        {"yes", "bool", nullptr, "false\n"},
        {"r", "int", nullptr, "2\n"},
        {"whole", "int", "3\n", "3\n"},
        {"big", "bool", nullptr, "true\n"},
        {"one", "bool", "true\n", "true\n"},
        {"big", "real", "5.0\n", "5.0\n"},
        {"huge", "real", nullptr, "9223372036854776000.0\n"},
        {"odd", "real", nullptr, "9007199254740992.0\n"},
        {"r", "string", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " as " + c.type);
        const Call strict = get({c.field, "--as", c.type});
        const Call lossy = get({c.field, "--as", c.type, "--lossy"});
        if (!c.lossy) { // a text is every value's own form: never refused
            EXPECT_EQ(strict.status, 0);
            EXPECT_EQ(strict.out, lossy.out);
            continue;
        }
        EXPECT_EQ(lossy.status, 0) << lossy.err;
        EXPECT_EQ(lossy.out, c.lossy);
        if (c.kept) {
            EXPECT_EQ(strict.status, 0) << strict.err;
            EXPECT_EQ(strict.out, c.kept);
            continue;
        }
        EXPECT_EQ(strict.status, 1);
        EXPECT_EQ(strict.out, "");
        EXPECT_EQ(strict.err.find('\n'), strict.err.size() - 1) << strict.err; // one line
        EXPECT_NE(strict.err.find(std::string("'") + c.field + "' holds "), std::string::npos) << strict.err;
        EXPECT_NE(strict.err.find(std::string("read as ") + c.type + " it would lose its value"), std::string::npos);
    }
}

} // namespace
