// tavric get: one value of a document, read in the type asked.

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <sstream>

#include "ToolAddress.hpp"
#include "ToolDocument.hpp"
#include "ToolJson.hpp"
#include "Verbs.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/Literals.hpp"
#include "tavric/text/ParsingTools.hpp"

namespace tavrictool {

namespace {

using zul::Tavric;

// The character's bytes, first byte in the low half, as the parser stores them.
std::string characterText(uint16_t value)
{
    std::string text(1, static_cast<char>(value & 0xFF));
    if (value >> 8)
        text += static_cast<char>(value >> 8);
    return text;
}

// The value of field read as type ("bool", "int", "real", "char" or "string").
std::string valueText(Tavric& field, const std::string& type)
{
    if (type == "bool")
        return field.getBool(zul::publicUser) ? "true" : "false";
    if (type == "int")
        return std::to_string(field.getInt(zul::publicUser));
    if (type == "real")
        return zul::realText(field.getReal(zul::publicUser));
    if (type == "char")
        return characterText(field.getChar(zul::publicUser));
    return field.getString(zul::publicUser);
}

// The field whose value a read gives: a reference's target, followed to the end of the chain.
const Tavric& valueHolder(const Tavric& field)
{
    const Tavric* holder = &field;
    for (int step = 0; holder->getKind() == zul::KindReference && holder->getTarget() && step < 64; ++step)
        holder = holder->getTarget();
    return *holder;
}

bool isWholeText(const std::string& text, bool integer)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    errno = 0;
    char* end = nullptr;
    if (integer)
        std::strtoll(text.c_str(), &end, 10);
    else
        std::strtod(text.c_str(), &end);
    return errno == 0 && end == text.c_str() + text.size();
}

// Why reading the field as type does not give its value back, or "" when it does.
std::string lossOf(const Tavric& field, const std::string& type, const std::string& read)
{
    const Tavric& holder = valueHolder(field);
    if (type == "string" || holder.isEmpty())
        return "";
    switch (holder.getType()) {
    case zul::TypeInt: {
        const std::int64_t value = holder.rawInt();
        // Beyond 2^53 a real skips integers; 2^63, where the largest integers round to, is no integer.
        const double asReal = static_cast<double>(value);
        if ((type == "bool" && value != 0 && value != 1) ||
            (type == "real" && (asReal >= 9223372036854775808.0 || static_cast<std::int64_t>(asReal) != value)) ||
            (type == "char" && (value < 0 || value > 0xFFFF)))
            return "the integer " + std::to_string(value);
        return "";
    }
    case zul::TypeReal: {
        const double value = holder.rawReal();
        const bool whole = std::isfinite(value) && std::trunc(value) == value && std::fabs(value) < 9.2e18;
        if ((type == "int" && !whole) || (type == "bool" && value != 0 && value != 1) || type == "char")
            return "the real " + zul::realText(value);
        return "";
    }
    case zul::TypeString: {
        const std::string& text = holder.rawString();
        std::string lower = text;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        // The library reads "true" and "false" (any case) as truths, anything else as false; a
        // character it cannot take from a text it refuses itself.
        const bool kept = type == "int"    ? isWholeText(text, true)
                          : type == "real" ? isWholeText(text, false)
                          : type == "bool" ? lower == read
                                           : true;
        return kept ? "" : "the string \"" + text + "\"";
    }
    default:
        return "";
    }
}

// A field shown whole: a node (its children), a collection, or a reference to one of those.
bool isNode(const Tavric& field)
{
    const Tavric& holder = valueHolder(field);
    return holder.childCount() > 0 || holder.getKind() == zul::KindCollection;
}

bool printNode(const Tavric& field, std::ostream& out)
{
    std::ostringstream text;
    zul::write(valueHolder(field), text);
    std::string written = text.str();
    written.erase(0, written.find_first_not_of('\n'));
    // A collection alone is its value: written after " = ".
    if (valueHolder(field).childCount() == 0 && written.compare(0, 3, " = ") == 0)
        written.erase(0, 3);
    out << written;
    if (!written.empty() && written.back() != '\n')
        out << '\n';
    return static_cast<bool>(out);
}

} // namespace

Outcome getVerb(const Arguments& args, Streams& streams)
{
    const std::string type = args.value("--as").empty() ? "string" : args.value("--as");
    if (type != "bool" && type != "int" && type != "real" && type != "char" && type != "string")
        return Outcome::BadCall;
    Document document(args, streams);
    if (!loadDocument(document, args.positional[0], true))
        return Outcome::Refused;
    Tavric& root = document.root;
    Report& report = document.report;
    const std::size_t before = root.diagnostics().size();
    const int errorsBefore = report.errors();
    // The read-only walk creates nothing; the modifiable read evaluates computed fields.
    const Tavric& found = findField(root, args.positional[1], report, document.source.name);
    if (&found == &zul::nullField) {
        if (reportMissing(root, before, report, document.source.name))
            return Outcome::Refused;
        report.print(root, before);
        if (report.errors() == errorsBefore)
            report.refused(document.source.name, "there is no field '" + args.positional[1] + "'");
        return Outcome::Refused;
    }
    if (args.has("--json")) {
        streams.out << toJson(found, false).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                    << '\n';
        report.print(root, before);
        return document.verdict(static_cast<bool>(streams.out.flush()));
    }
    if (args.value("--as").empty() && isNode(found))
        return document.verdict(printNode(found, streams.out) && streams.out.flush());
    const std::string text = valueText(const_cast<Tavric&>(found), type);
    if (root.diagnostics().size() != before) {
        report.print(root, before);
        return Outcome::Refused;
    }
    const std::string loss = args.has("--lossy") ? "" : lossOf(found, type, text);
    if (!loss.empty()) {
        report.refused(document.source.name, "'" + args.positional[1] + "' holds " + loss + ": read as " + type +
                                                 " it would lose its value (--lossy converts it anyway)");
        return Outcome::Refused;
    }
    streams.out << text << '\n';
    // The value is shown; faults elsewhere in the document still decide the status, as in check.
    return document.verdict(static_cast<bool>(streams.out.flush()));
}

} // namespace tavrictool
