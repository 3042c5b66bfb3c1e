// tavric json shows references, pointers and computed fields as the game reads them, and as written
// with --raw.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "InProcessCall.hpp"

namespace {

std::string compactJson(const std::vector<std::string>& options, const std::string& document)
{
    const tooltest::Call result = tooltest::callOn("json", options, document);
    EXPECT_EQ(result.status, 0) << result.err;
    return nlohmann::ordered_json::parse(result.out).dump();
}

TEST(JsonValues, ReadAsTheGameReadsThemOrAsWritten)
{
    const struct {
        const char* document;
        const char* values; // json
        const char* raw;    // json --raw
    } cases[] = {
        {"name = \"Ana\"\nshown = name\n", R"({"name":"Ana","shown":"Ana"})", R"({"name":"Ana","shown":"name"})"},
        {"a = 2\nb = a * 3 + 1\n", R"({"a":2,"b":7})", R"({"a":2,"b":"a * 3 + 1"})"},
        {"[p n = 1]\nt = &p\nu = Nowhere\n", R"({"p":{"n":1},"t":{"n":1},"u":null})",
         R"({"p":{"n":1},"t":"p","u":"nowhere"})"},
        // A chain of references, and one to a collection.
        {"a = 1.5\nb = a\nc = b\nm = [Collection 1 2]\nv = m\n", R"({"a":1.5,"b":1.5,"c":1.5,"m":[1,2],"v":[1,2]})",
         R"({"a":1.5,"b":"a","c":"b","m":[1,2],"v":"m"})"},
        // A reference to the node around it cannot be written out: it keeps its address.
        {"[n x = 1\n  back = [].n\n]\n", R"({"n":{"x":1,"back":"[].n"}})", R"({"n":{"x":1,"back":"[].n"}})"},
        // A reference does not show what the public may not read.
        {"private secret = 5\nshown = secret\n", R"({"shown":null})", R"({"shown":"secret"})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document);
        EXPECT_EQ(compactJson({}, c.document), c.values);
        EXPECT_EQ(compactJson({"--raw"}, c.document), c.raw);
    }
    EXPECT_EQ(compactJson({"--all"}, "private secret = 5\nshown = secret\n"), R"({"secret":5,"shown":5})");
}

} // namespace
