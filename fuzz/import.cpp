// tavric import: a text that import takes is JSON, its Tavric text is accepted, and tavric json of
// that text gives the same JSON back (the same values, types and key order).

#include "FuzzCommon.hpp"

#include <nlohmann/json.hpp>
#include <sstream>

#include "tools/tavric/Verbs.hpp"

namespace {

// A verb run on text as its standard input: its status, and what it printed.
tavrictool::Outcome runVerb(tavrictool::Outcome (*verb)(const tavrictool::Arguments&, tavrictool::Streams&),
                            const std::string& input, std::string& output, std::string& errors)
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    tavrictool::Streams streams{in, out, err};
    tavrictool::Arguments args;
    args.positional = {"-"};
    const tavrictool::Outcome outcome = verb(args, streams);
    output = out.str();
    errors = err.str();
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string json = fuzz::textOf(data, size);
    std::string text;
    std::string errors;
    if (runVerb(tavrictool::importVerb, json, text, errors) != tavrictool::Outcome::Done)
        return 0;
    nlohmann::ordered_json given;
    try {
        given = nlohmann::ordered_json::parse(json);
    } catch (const std::exception& error) {
        fuzz::fail("import took a text that is not JSON", json, error.what());
    }
    std::string back;
    if (runVerb(tavrictool::jsonVerb, text, back, errors) != tavrictool::Outcome::Done)
        fuzz::fail("the imported text does not load", json, text + "\n" + errors);
    const std::string expected = given.dump();
    const std::string got = nlohmann::ordered_json::parse(back).dump();
    if (got != expected)
        fuzz::fail("json does not give the JSON back", expected + "\n" + text, got);
    return 0;
}
