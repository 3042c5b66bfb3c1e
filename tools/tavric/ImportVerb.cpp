// tavric import: the Tavric text of a JSON document, laid out so that tavric json gives the same JSON
// back. The JSON is read as a stream of events and the text written as they come, so that a large
// document is never held as a tree; what Tavric cannot hold stops the import with its JSON pointer.

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <ostream>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ToolInput.hpp"
#include "ToolReport.hpp"
#include "Verbs.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/Parser.hpp"
#include "tavric/text/ParsingTools.hpp"

namespace tavrictool {

namespace {

// Members of a collection on one line: the writer's own default.
constexpr int membersPerLine = 16;

// A bracketed member of a collection needs a name; JSON never shows it.
const char* const memberName = "item";

// Bytes written as a backslash and a letter, and their letters.
const char* const namedBytes = "\a\b\t\n\v\f\r\"\\";
const char* const namedLetters = "abtnvfr\"\\";

// The escapes of the language for bytes below 32 and 127; UTF-8 text stays as it is.
void appendEscaped(std::string& out, const std::string& text)
{
    out += '"';
    bool afterOctal = false;
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        // An octal escape goes on over the octal digits that follow it: those are escaped too.
        const bool octal = byte < 32 || byte == 127 || (afterOctal && c >= '0' && c <= '7');
        afterOctal = false;
        const char* named = c != '\0' ? std::strchr(namedBytes, c) : nullptr;
        if (named) {
            out += '\\';
            out += namedLetters[named - namedBytes];
            continue;
        }
        if (octal) {
            char digits[8];
            const auto end = std::to_chars(digits, digits + sizeof digits, byte, 8).ptr;
            out += "\\0";
            out.append(digits, end);
            afterOctal = true;
        } else {
            out += c;
        }
    }
    out += '"';
}

// The shortest digits that read back as the same real, laid out without exponent (Tavric has none):
// 1e300 is a 1, 300 zeros and ".0".
std::string realText(double value)
{
    char written[64];
    const auto end = std::to_chars(written, written + sizeof written, value, std::chars_format::scientific).ptr;
    const std::string shortest(written, end);
    const std::size_t e = shortest.find('e');
    std::string digits;
    for (std::size_t i = 0; i < e; ++i)
        if (shortest[i] >= '0' && shortest[i] <= '9')
            digits += shortest[i];
    // The number of digits before the point.
    const long point = std::strtol(shortest.c_str() + e + 1, nullptr, 10) + 1;
    const long count = static_cast<long>(digits.size());
    std::string text = shortest[0] == '-' ? "-" : "";
    if (point <= 0)
        text += "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    else if (point >= count)
        text += digits + std::string(static_cast<std::size_t>(point - count), '0') + ".0";
    else
        text +=
            digits.substr(0, static_cast<std::size_t>(point)) + "." + digits.substr(static_cast<std::size_t>(point));
    return text;
}

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

    bool null() { return scalar("Nothing", true); }
    bool boolean(bool value) { return scalar(value ? "True" : "False"); }
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
        return scalar(realText(value));
    }
    bool string(json::string_t& value)
    {
        std::string quoted;
        appendEscaped(quoted, value);
        return scalar(quoted);
    }
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
        std::string indent;    // of the lines inside it
        std::string closing;   // what closes it
        std::unordered_set<std::string> keys;
        std::string key;       // the key now being read
        std::string name;      // that key as a Tavric name
        bool ownValue = false; // the first key is "=" and its value has been written
        bool lineOpen = false; // the line of the node's "[" is not ended yet
        int row = 0;           // members on the line being filled
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
            for (const std::string& form : {key, "\"" + key + "\""}) {
                zul::NameDictionary dictionary;
                zul::Tavric root(&dictionary);
                zul::ParseOptions options;
                options.finalize = false;
                if (zul::parse(root, form + " = 0\n", options) && root.childCount() == 1 &&
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

    void endLine(Frame& frame)
    {
        if (frame.lineOpen || frame.row > 0)
            text += '\n';
        frame.lineOpen = false;
        frame.row = 0;
    }

    // Where a value goes: "name = " in an object, a place in a row of a collection, "= " at the top.
    // opensNode: the value is an object, which is written "[name" instead.
    bool place(bool opensNode, bool isArray)
    {
        if (frames.empty()) {
            if (!opensNode)
                text += "= ";
            return true;
        }
        Frame& frame = frames.back();
        if (!frame.array && frame.key == "=" && !frame.ownValue) {
            if (opensNode)
                return refuse(here(), "a node's own value is one value or a collection, not an object");
            text += frames.size() == 1 ? "= " : " = ";
            frame.ownValue = true;
            return true;
        }
        if (frame.array) {
            ++frame.count;
            if (!opensNode && !isArray) {
                if (frame.lineOpen)
                    endLine(frame);
                text += frame.row == 0 ? frame.indent : std::string(" ");
                if (++frame.row == membersPerLine)
                    frame.row = -membersPerLine; // ended after the value
                return true;
            }
            endLine(frame);
            text += frame.indent;
            text += opensNode ? std::string("[") + memberName : std::string("[") + memberName + " = ";
            return true;
        }
        endLine(frame);
        text += frame.indent;
        text += opensNode ? "[" + frame.name : frame.name + " = ";
        return true;
    }

    // After a value: the end of its line. A collection's members fill rows; a bracketed one has its own.
    void placed(bool bracketed = false)
    {
        if (frames.empty()) {
            text += '\n';
            return;
        }
        Frame& frame = frames.back();
        if (frame.array) {
            if (frame.row < 0 || bracketed) {
                text += '\n';
                frame.row = 0;
            }
            return;
        }
        if (frame.key == "=" && frames.size() > 1) {
            frame.lineOpen = true;
            return;
        }
        text += '\n';
    }

    bool scalar(const std::string& value, bool isNull = false)
    {
        if (isNull && frames.empty())
            return refuse("",
                          "a document of null alone has no Tavric form (tavric json shows an empty document as {})");
        if (isNull && !frames.empty() && !frames.back().array && frames.back().key == "=")
            return refuse(here(), "a node's own value cannot be null: leave the key \"=\" out");
        // Inside a row of members a separator is all a value needs.
        if (!place(false, false))
            return false;
        text += value;
        placed();
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
        if (!top || isArray) {
            if (!place(!isArray, isArray))
                return false;
        }
        const bool member = !top && frames.back().array;
        const std::string outer = top ? std::string() : frames.back().indent;
        if (isArray) {
            text += "[Collection";
            frame.closing = member ? "]]" : "]";
        } else {
            frame.closing = "]";
        }
        frame.lineOpen = !top || isArray;
        frame.indent = top && !isArray ? std::string() : outer + "  ";
        frames.push_back(std::move(frame));
        return true;
    }

    bool close()
    {
        Frame frame = std::move(frames.back());
        frames.pop_back();
        const std::string outer = frame.indent.size() >= 2 ? frame.indent.substr(2) : std::string();
        if (!frame.array) {
            if (frame.count == 1 && frame.ownValue)
                return refuse(frame.pointer, "an object with nothing but \"=\" reads back as its value alone");
            if (frames.empty())
                return true; // the document itself: no brackets around it
            if (frame.count == 0)
                return refuse(frame.pointer, "an empty object has no Tavric form below the top: a node without "
                                             "fields reads as an empty field (null)");
            endLine(frame);
            text += outer + frame.closing;
        } else if (frame.count == 0) {
            text += frame.closing;
        } else {
            endLine(frame);
            text += outer + frame.closing;
        }
        placed(true);
        return true;
    }

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
