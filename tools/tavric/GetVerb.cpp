// tavric get: one value of a document, read in the type asked.

#include <cctype>
#include <cstdio>
#include <ostream>

#include "ToolDocument.hpp"
#include "Verbs.hpp"

namespace tavrictool {

namespace {

using zul::Tavric;

// Reads a bracketed index "[N]" at position; false when none stands there.
bool readIndex(const std::string& text, std::size_t& position, std::size_t& index)
{
    if (position >= text.size() || text[position] != '[')
        return false;
    std::size_t p = position + 1;
    const std::size_t digits = p;
    while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p])))
        ++p;
    if (p == digits || p >= text.size() || text[p] != ']' || p - digits > 9)
        return false;
    index = static_cast<std::size_t>(std::stoul(text.substr(digits, p - digits)));
    position = p + 1;
    return true;
}

// The field an address with collection indexes names ("c[0]" is the first member, "m[2].x" a member's
// child); nullField when there is none, with a line already printed for an index out of range.
const Tavric& findField(const Tavric& root, const std::string& address, Report& report, const std::string& name)
{
    const Tavric* field = &root;
    std::size_t position = 0;
    while (position <= address.size()) {
        const std::size_t bracket = address.find('[', position);
        // "[]" is the root mark of an address, not an index.
        const bool isIndex = bracket != std::string::npos && address.compare(bracket, 2, "[]") != 0;
        const std::size_t end = isIndex ? bracket : address.size();
        std::string piece = address.substr(position, end - position);
        if (!piece.empty() && piece[0] == '.')
            piece.erase(0, 1);
        if (!piece.empty() || field == &root) {
            field = &field->resolve(piece.empty() ? std::string("[]") : piece, zul::publicUser);
            if (field == &zul::nullField)
                return zul::nullField;
        }
        if (!isIndex)
            break;
        position = bracket;
        std::size_t index = 0;
        if (!readIndex(address, position, index)) {
            report.refused(name, "bad index in address '" + address + "': an index is written [N], from 0");
            return zul::nullField;
        }
        const Tavric* member = field->childAt(index);
        if (!member) {
            const zul::Collection* elements = field->getCollection();
            report.refused(name, elements ? "index " + std::to_string(index) + " is out of range: '" +
                                                address.substr(0, bracket) + "' has " +
                                                std::to_string(elements->size()) + " members"
                                          : "'" + address.substr(0, bracket) + "' is not a collection");
            return zul::nullField;
        }
        field = member;
    }
    return *field;
}

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
    if (type == "real") {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.17g", field.getReal(zul::publicUser));
        return buffer;
    }
    if (type == "char")
        return characterText(field.getChar(zul::publicUser));
    return field.getString(zul::publicUser);
}

} // namespace

Outcome getVerb(const Arguments& args, Streams& streams)
{
    const std::string type = args.as.empty() ? "string" : args.as;
    if (type != "bool" && type != "int" && type != "real" && type != "char" && type != "string")
        return Outcome::BadCall;
    Document document(args, streams);
    if (!document.load(args.positional[0], true))
        return Outcome::Refused;
    Tavric& root = document.root;
    Report& report = document.report;
    const std::size_t before = root.diagnostics().size();
    const int errorsBefore = report.errors();
    // The read-only walk creates nothing; the modifiable read evaluates computed fields.
    const Tavric& found = findField(root, args.positional[1], report, document.source.name);
    if (&found == &zul::nullField) {
        report.print(root, before);
        if (report.errors() == errorsBefore)
            report.refused(document.source.name, "there is no field '" + args.positional[1] + "'");
        return Outcome::Refused;
    }
    const std::string text = valueText(const_cast<Tavric&>(found), type);
    if (root.diagnostics().size() != before) {
        report.print(root, before);
        return Outcome::Refused;
    }
    streams.out << text << '\n';
    return streams.out.flush() ? Outcome::Done : Outcome::Refused;
}

} // namespace tavrictool
