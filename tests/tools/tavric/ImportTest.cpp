// tavric import: JSON to Tavric text that tavric json turns back into the same JSON, and what has no
// Tavric form refused with its JSON pointer.

#include <cstdint>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>

#include "InProcessCall.hpp"
#include "tavric/text/Parser.hpp"

namespace {

using tooltest::Call;
using tooltest::callOn;

// The JSON as nlohmann writes it: one form for every spelling of the same values, which still tells
// 5 from 5.0 and keeps the order of keys.
std::string canonical(const std::string& json)
{
    return nlohmann::ordered_json::parse(json).dump();
}

// Imports the JSON and shows the Tavric text as JSON again.
std::string roundTrip(const std::string& json, std::string& text)
{
    const Call imported = callOn("import", {}, json);
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.err, "");
    text = imported.out;
    const Call shown = callOn("json", {}, text);
    EXPECT_EQ(shown.status, 0) << shown.err << text;
    EXPECT_EQ(shown.err, "") << text;
    return shown.status == 0 ? canonical(shown.out) : "";
}

TEST(Import, JsonBackAsItWas)
{
    const char* const documents[] = {
        R"({})",
        R"({"title":"Map","w":3,"r":-2.5,"half":5.0,"zero":-0.0,"t":true,"f":false,"n":null})",
        // Reals that need all their digits, and some without a short decimal form.
        R"({"a":0.1,"b":1e300,"c":5e-324,"d":1.7976931348623157e308,"e":-2.2250738585072014e-308,"f":123456.789e3})",
        R"({"min":-9223372036854775808,"max":9223372036854775807,"u":18446744073709551,"big":1e19})",
        // Escapes, control characters (one before an octal digit), UTF-8, comment marks in text.
        R"({"s":"tab\there \"q\" back\\ \n\r\f\b\u0007\u000b","c":"\u0001\u00017 \u0000 \u007f","u":"é 日本 😀",)"
        R"("mark":"// not /* a */ comment","empty":"","quote":"'"})",
        // Words of the language as keys: quoted in the text.
        R"({"index":1,"local":2,"message":3,"Include":4,"int":5,"Collection":6,"public":7,"yes":8,"Nothing":9})",
        // Arrays: mixed, nested, empty, of objects, of arrays, long enough to wrap.
        R"({"m":[1,"a",null,true,2.5,{"x":1},[],[[1],[2,[3]]],{"=":4,"y":[]}],"e":[],)"
        R"("long":[1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32,33]})",
        // A node's own value, one value or a collection, and deep nodes.
        R"({"=":3,"node":{"=":"own","k":{"deep":{"z":0}}},"list":{"=":[1,2],"n":1}})",
        // A document that is not an object.
        R"([1,{"a":1},[2]])",
        R"(5)",
        R"("text")",
    };
    for (const char* json : documents) {
        SCOPED_TRACE(json);
        std::string text;
        EXPECT_EQ(roundTrip(json, text), canonical(json)) << text;
    }
}

TEST(Import, ShapedLikeTheBenchmarksDocument)
{
    // Records of named values and layers of integers, as bench/tavric_vs_json.py makes them.
    nlohmann::ordered_json data = nlohmann::ordered_json::object();
    for (int record = 0; record < 3; ++record) {
        nlohmann::ordered_json entry = {{"title", "Map number " + std::to_string(record)},
                                        {"width", 8},
                                        {"height", 8},
                                        {"scale", record % 10 + 0.5}};
        for (int layer = 0; layer < 6; ++layer) {
            nlohmann::ordered_json values = nlohmann::ordered_json::array();
            for (int i = 0; i < 64; ++i)
                values.push_back((record * 7 + layer * 13 + i * 31) % 1000);
            entry["layer" + std::to_string(layer)] = values;
        }
        data["map" + std::to_string(record)] = entry;
    }
    std::string text;
    EXPECT_EQ(roundTrip(data.dump(), text), data.dump());
    EXPECT_NE(text.find("[map1\n  title = \"Map number 1\"\n  width = 8\n  height = 8\n  scale = 1.5\n"
                        "  layer0 = [Collection\n    7 38 69 100 131 162 193 224 255 286 317 348 379 410 441 472\n"),
              std::string::npos)
        << text;
}

TEST(Import, WhatTavricCannotHoldIsRefusedWithItsPointer)
{
    const struct {
        const char* json;
        const char* error; // after "<stdin>: error: "
    } cases[] = {
        {R"({"a b":1})",
         "at /a b: the key \"a b\" is not a Tavric name (ASCII letters, digits and _, not starting with "
         "a digit, and not _ alone)"},
        {R"({"x":{"1st":1}})", "at /x/1st: the key \"1st\" is not a Tavric name (ASCII letters, digits and _, not "
                               "starting with a digit, and not _ alone)"},
        {R"({"x":[0,{"é":1}]})", "at /x/1/é: the key \"é\" is not a Tavric name (ASCII letters, digits and _, not "
                                 "starting with a digit, and not _ alone)"},
        {R"({"":1})", "at /: the key \"\" is not a Tavric name (ASCII letters, digits and _, not starting with a "
                      "digit, and not _ alone)"},
        {R"({"a/b~":1})", "at /a~1b~0: the key \"a/b~\" is not a Tavric name (ASCII letters, digits and _, not "
                          "starting with a digit, and not _ alone)"},
        {R"({"_":1})", "at /_: the key \"_\" is not a Tavric name (ASCII letters, digits and _, not starting with a "
                       "digit, and not _ alone)"},
        {R"({"a":1,"b":{"c":1,"c":2}})", "at /b/c: the key \"c\" is given twice in one object; Tavric keeps one field "
                                         "per name"},
        {R"({"x":{}})", "at /x: an empty object has no Tavric form below the top: a node without fields reads as an "
                        "empty field (null)"},
        {R"({"x":[{}]})", "at /x/0: an empty object has no Tavric form below the top: a node without fields reads as "
                          "an empty field (null)"},
        {R"({"x":{"=":1}})", "at /x: an object with nothing but \"=\" reads back as its value alone"},
        {R"({"x":{"a":1,"=":2}})", "at /x/=: the key \"=\" (the node's own value) must come first in its object"},
        {R"({"x":{"=":null,"a":1}})", "at /x/=: a node's own value cannot be null: leave the key \"=\" out"},
        {R"({"x":{"=":{"a":1},"b":2}})", "at /x/=: a node's own value is one value or a collection, not an object"},
        {R"({"x":[1,18446744073709551615]})", "at /x/1: the integer 18446744073709551615 is beyond 64 bits"},
        {R"({"x":-9223372036854775809})", "at /x: the integer -9223372036854775809 is beyond 64 bits"},
        {R"(null)", "at the top: a document of null alone has no Tavric form (tavric json shows an empty document "
                    "as {})"},
        {R"({"x":1)", "not JSON: parse error at line 1, column 7: syntax error while parsing object - unexpected end "
                      "of input; expected '}'"},
        {R"({"x":1e999})", "not JSON: number overflow parsing '1e999'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const Call result = callOn("import", {}, c.json);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, std::string("<stdin>: error: ") + c.error + "\n");
    }
}

TEST(Import, NestingUpToWhatADocumentMayHold)
{
    // Each object below the top is a level; an array in an array is two.
    const auto nested = [](int objects, int arrays) {
        std::string json;
        for (int level = 0; level < objects; ++level)
            json += "{\"a\":";
        json += std::string(static_cast<std::size_t>(arrays), '[') + "1" +
                std::string(static_cast<std::size_t>(arrays), ']');
        return json + std::string(static_cast<std::size_t>(objects), '}');
    };
    std::string text;
    const std::string deepest = nested(zul::maxNestingDepth + 1, 0);
    EXPECT_EQ(roundTrip(deepest, text), canonical(deepest));
    const std::string arrays = nested(1, zul::maxNestingDepth / 2);
    EXPECT_EQ(roundTrip(arrays, text), canonical(arrays));
    for (const std::string& json : {nested(zul::maxNestingDepth + 2, 0), nested(1, zul::maxNestingDepth / 2 + 1)}) {
        const Call result = callOn("import", {}, json);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find("nested deeper than the 200 levels a Tavric document may have"), std::string::npos)
            << result.err;
    }
}

} // namespace
