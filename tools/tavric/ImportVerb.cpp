// tavric import: the Tavric text of a JSON document, laid out so that tavric json gives the same JSON
// back. The JSON is read as a stream of events and the text written as they come, so that a large
// document is never held as a tree; what Tavric cannot hold stops the import with its JSON pointer.

#include <nlohmann/json.hpp>
#include <ostream>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ToolInput.hpp"
#include "ToolReport.hpp"
#include "Verbs.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/Emitter.hpp"
#include "tavric/text/Literals.hpp"
#include "tavric/text/Parser.hpp"
#include "tavric/text/ParsingTools.hpp"

namespace tavrictool {

namespace {

// A bracketed member of a collection needs a name; JSON never shows it.
const char* const memberName = "item";

// A JSON pointer's step (RFC 6901): "~" and "/" escaped.
std::string pointerStep(const std::string& key)
{
    std::string step = "/";
    for (const char c : key)
        step += c == '~' ? std::string("~0") : c == '/' ? std::string("~1") : std::string(1, c);
    return step;
}

bool isName(const std::string& key)
{
    if (key.empty() || !zul::ParsingTools::isIdentifierStart(key[0]))
        return false;
    for (const char c : key)
        if (!zul::ParsingTools::isIdentifierByte(c))
            return false;
    return true;
}

// Builds the text from the parser's events (nlohmann's SAX interface). Returning false stops the
// parse; problem then says why.
class TextFromJson {
public:
    using json = nlohmann::json;

    std::string text;
    std::string problem;

    TextFromJson() : emitter(text) {}

    bool null() { return scalar(zul::nothingText, true); }
    bool boolean(bool value) { return scalar(zul::boolText(value)); }
    bool number_integer(json::number_integer_t value) { return scalar(std::to_string(value)); }
    bool number_unsigned(json::number_unsigned_t value)
    {
        if (value > static_cast<json::number_unsigned_t>(INT64_MAX))
            return refuse(here(), "the integer " + std::to_string(value) + " is beyond 64 bits");
        return scalar(std::to_string(value));
    }
    bool number_float(json::number_float_t value, const json::string_t& written)
    {
        // JSON reads an integer too large for 64 bits as a real: written without point or exponent.
        if (written.find_first_of(".eE") == std::string::npos)
            return refuse(here(), "the integer " + written + " is beyond 64 bits");
        return scalar(zul::realText(value));
    }
    bool string(json::string_t& value) { return scalar(zul::quotedString(value, zul::QuoteForm::Readable)); }
    bool binary(json::binary_t&) { return refuse(here(), "binary values have no Tavric form"); }

    bool start_object(std::size_t) { return open(false); }
    bool start_array(std::size_t) { return open(true); }
    bool key(json::string_t& key)
    {
        Frame& frame = frames.back();
        const std::string at = frame.pointer + pointerStep(key);
        if (!frame.keys.insert(key).second)
            return refuse(at, "the key \"" + key + "\" is given twice in one object; Tavric keeps one field per name");
        frame.key = key;
        ++frame.count;
        if (key == "=") {
            if (frame.count != 1)
                return refuse(at, "the key \"=\" (the node's own value) must come first in its object");
            return true;
        }
        return nameOf(key, at, frame.name);
    }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error)
    {
        std::string what = error.what();
        const std::size_t bracket = what.find("] ");
        problem = "not JSON: " + (bracket == std::string::npos ? what : what.substr(bracket + 2));
        return false;
    }

private:
    struct Frame {
        bool array = false;
        std::size_t count = 0; // keys or members so far
        std::string pointer;   // this container's JSON pointer
        std::unordered_set<std::string> keys;
        std::string key;       // the key now being read
        std::string name;      // that key as a Tavric name
        bool ownValue = false; // the first key is "=" and its value has been written
        int depth = 0;         // brackets around its lines
    };

    std::string here() const
    {
        if (frames.empty())
            return "";
        const Frame& frame = frames.back();
        return frame.pointer + (frame.array ? "/" + std::to_string(frame.count) : pointerStep(frame.key));
    }

    bool refuse(const std::string& pointer, const std::string& why)
    {
        problem = (pointer.empty() ? std::string("at the top") : "at " + pointer) + ": " + why;
        return false;
    }

    // The key as written in a declaration: bare, or quoted when bare it would be read as a word of
    // the language (a type, a qualifier, a directive). Asked of the parser itself, once per key.
    bool nameOf(const std::string& key, const std::string& at, std::string& name)
    {
        if (!isName(key) || key == "_")
            return refuse(at, "the key \"" + key +
                                  "\" is not a Tavric name (ASCII letters, digits and _, not starting "
                                  "with a digit, and not _ alone)");
        auto known = names.find(key);
        if (known == names.end()) {
            std::string chosen;
            for (const std::string& form : {key, zul::quotedString(key)}) {
                zul::NameDictionary dictionary;
                zul::Tavric root(&dictionary);
                zul::ParseOptions options;
                options.finalize = false;
                std::string declared;
                zul::Emitter(declared).value(form, "0");
                if (zul::parse(root, declared, options) && root.childCount() == 1 &&
                    root.childrenInOrder().front()->getName() == key) {
                    chosen = form;
                    break;
                }
            }
            known = names.emplace(key, chosen).first;
        }
        if (known->second.empty())
            return refuse(at, "the key \"" + key + "\" cannot be a field's name in Tavric");
        name = known->second;
        return true;
    }

    // The name the emitter writes the next value under: the key's, none for the node's own value or
    // a plain member, the member's name for a bracketed one.
    std::string target(bool bracketed)
    {
        if (frames.empty())
            return "";
        Frame& frame = frames.back();
        if (frame.array) {
            ++frame.count;
            return bracketed ? memberName : "";
        }
        if (frame.key == "=" && !frame.ownValue) {
            frame.ownValue = true;
            return "";
        }
        return frame.name;
    }

    bool scalar(const std::string& value, bool isNull = false)
    {
        if (isNull && frames.empty())
            return refuse("",
                          "a document of null alone has no Tavric form (tavric json shows an empty document as {})");
        if (isNull && !frames.empty() && !frames.back().array && frames.back().key == "=")
            return refuse(here(), "a node's own value cannot be null: leave the key \"=\" out");
        emitter.value(target(false), value);
        return true;
    }

    bool open(bool isArray)
    {
        const bool top = frames.empty();
        Frame frame;
        // Each "[" is a level: a collection inside a collection is two ("[item = [Collection").
        frame.depth = top ? (isArray ? 1 : 0) : frames.back().depth + (isArray && frames.back().array ? 2 : 1);
        if (frame.depth > zul::maxNestingDepth)
            return refuse(here(), "nested deeper than the " + std::to_string(zul::maxNestingDepth) +
                                      " levels a Tavric document may have");
        frame.array = isArray;
        frame.pointer = here();
        if (!top && !isArray && !frames.back().array && frames.back().key == "=" && !frames.back().ownValue)
            return refuse(here(), "a node's own value is one value or a collection, not an object");
        if (isArray)
            emitter.beginCollection(target(true));
        else if (!top)
            emitter.beginNode(target(true));
        frames.push_back(std::move(frame));
        return true;
    }

    bool close()
    {
        Frame frame = std::move(frames.back());
        frames.pop_back();
        if (!frame.array) {
            if (frame.count == 1 && frame.ownValue)
                return refuse(frame.pointer, "an object with nothing but \"=\" reads back as its value alone");
            if (frames.empty())
                return true; // the document itself: no brackets around it
            if (frame.count == 0)
                return refuse(frame.pointer, "an empty object has no Tavric form below the top: a node without "
                                             "fields reads as an empty field (null)");
        }
        emitter.end();
        return true;
    }

    zul::Emitter emitter;
    std::vector<Frame> frames;
    std::unordered_map<std::string, std::string> names; // key -> its form in a declaration, "" if none
};

} // namespace

Outcome importVerb(const Arguments& args, Streams& streams)
{
    Report report(streams.err, args.colourErr(streams));
    Source source;
    std::string problem;
    if (!readInput(args.positional[0], InputKind::Document, source, problem, streams.in)) {
        report.refused(source.name, problem);
        return Outcome::Refused;
    }
    TextFromJson builder;
    builder.text.reserve(source.text.size());
    if (!nlohmann::json::sax_parse(source.text, &builder)) {
        report.refused(source.name, builder.problem);
        return Outcome::Refused;
    }
    streams.out << builder.text;
    return streams.out.flush() ? Outcome::Done : Outcome::Refused;
}

} // namespace tavrictool
