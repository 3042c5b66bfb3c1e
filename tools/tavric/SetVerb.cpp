// tavric set: one value changed in place. Only the bytes of the value's literal change: the parser's
// token record says where it stands, so comments, layout and every other byte stay as they were.

#include <algorithm>
#include <cstring>
#include <ostream>
#include <sstream>

#include "ToolAddress.hpp"
#include "ToolDocument.hpp"
#include "ToolJson.hpp"
#include "Verbs.hpp"
#include "tavric/format/Lint.hpp"
#include "tavric/model/Collection.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/Emitter.hpp"
#include "tavric/text/WholeFile.hpp"

namespace tavrictool {

namespace {

using zul::SourceToken;
using zul::SourceTokens;
using zul::Tavric;
using zul::TokenRole;

// The text to write, the file it goes to, and the errors the file had before.
struct Edit {
    std::string name;
    std::string text;
    int errorsBefore = 0;
};

// The literal of the value given, parsed as the value of a field of its own.
struct Literal {
    zul::NameDictionary names;
    Tavric root{&names};
    std::string text; // trimmed
    const Tavric* field = nullptr;
};

// The value is read as the value of this field.
const char* const literalField = "v";

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Why the text is not one literal the parser reads whole, or "" when it is.
std::string parseLiteral(const std::string& given, Literal& literal)
{
    literal.text = trimmed(given);
    if (literal.text.empty())
        return "no value given";
    std::string document;
    zul::Emitter(document).value(literalField, literal.text);
    const std::size_t literalStart = document.size() - literal.text.size() - 1;
    SourceTokens tokens;
    zul::ParseOptions options;
    options.finalize = false;
    options.tokens = &tokens;
    const bool parsed = zul::parse(literal.root, document, options).accepted;
    const std::vector<zul::Diagnostic>& found = literal.root.diagnostics();
    if (!parsed || !found.empty())
        return found.empty() ? "it does not read as a value" : found.front().text;
    // Readings an author rarely means ("notes" as no and a field, an integer beyond 64 bits).
    SourceTokens copy(tokens);
    const std::vector<zul::LintFinding> findings = zul::lintText(document, copy);
    if (!findings.empty())
        return findings.front().text;
    const Tavric* field = literal.root.childrenInOrder().empty() ? nullptr : literal.root.childrenInOrder().front();
    if (!field || literal.root.childCount() != 1)
        return "it is not one value: a number, a text in quotes, a character, yes or no";
    switch (field->getKind()) {
    case zul::KindValue:
        break;
    case zul::KindReference:
        return "a bare word is an address, not a value: write text in quotes (\"" + literal.text + "\")";
    case zul::KindPointer:
        return "a pointer is not a value set writes";
    case zul::KindComputed:
        return "an expression is not one value: write its result";
    default:
        return "set writes one value, not a collection or a special scope";
    }
    // One literal: the field's name, "=", and one token that is the whole text.
    std::vector<const SourceToken*> kept;
    for (const SourceToken& token : tokens)
        if (token.role != TokenRole::ValueEnd)
            kept.push_back(&token);
    if (kept.size() != 3 || kept[2]->offset != literalStart || kept[2]->length != literal.text.size())
        return "it is not one value: a number, a text in quotes, a character, yes or no";
    literal.field = field;
    return "";
}

// Why set cannot change the field, or "" when it is a single value written in the text.
std::string unsettable(const Tavric& field, const std::string& address)
{
    const std::string named = "'" + address + "'";
    if (field.childCount() > 0)
        return named + " is a node, not a single value: set one of its fields";
    switch (field.getKind()) {
    case zul::KindCollection:
        return named + " is a collection, not a single value: set one of its members (" + address + "[0])";
    case zul::KindProgram:
    case zul::KindSequence:
    case zul::KindXml:
        return named + " is a " + Tavric::kindNameOf(field.getKind()) + " and holds no value";
    case zul::KindReference:
        return named + " refers to '" + field.getAddressText() + "': set the field it refers to";
    case zul::KindPointer:
        return named + " is a pointer, not a value";
    case zul::KindComputed:
        return named + " is computed from an expression: set the values it is computed from";
    default:
        return "";
    }
}

bool isGap(TokenRole role)
{
    return role == TokenRole::LineComment || role == TokenRole::BlockComment || role == TokenRole::Semicolon ||
           role == TokenRole::ValueEnd;
}

std::size_t nextToken(const SourceTokens& tokens, std::size_t i)
{
    while (i < tokens.size() && isGap(tokens[i].role))
        ++i;
    return i;
}

// The token of the literal that gives the field its value: the one after the "=" of its
// declaration, or, for a member of a collection, the member-th member after the collection's opening.
// tokens.size() when the text does not hold it so.
std::size_t valueToken(const std::string& text, const SourceTokens& tokens, const Tavric& declared, int member)
{
    const zul::SourceRange place = declared.place();
    if (!place.known() || place.start.offset > text.size())
        return tokens.size();
    const std::size_t at = place.start.offset;
    std::size_t i =
        std::lower_bound(tokens.begin(), tokens.end(), at,
                         [](const SourceToken& token, std::size_t offset) { return token.offset < offset; }) -
        tokens.begin();
    // The declaration's words and name, up to its "=".
    for (;; ++i) {
        i = nextToken(tokens, i);
        if (i >= tokens.size())
            return i;
        const TokenRole role = tokens[i].role;
        if (role == TokenRole::Assignment)
            break;
        if (role != TokenRole::Qualifier && role != TokenRole::Rights && role != TokenRole::Kind &&
            role != TokenRole::Type && role != TokenRole::TypeName && role != TokenRole::Name)
            return tokens.size();
    }
    i = nextToken(tokens, i + 1);
    if (member < 0)
        return i < tokens.size() && tokens[i].role == TokenRole::Value ? i : tokens.size();
    if (i >= tokens.size() || tokens[i].role != TokenRole::Open)
        return tokens.size();
    // Past the format "(N)", then member by member; a bracketed member counts as one.
    int depth = 0;
    for (i = nextToken(tokens, i + 1); i < tokens.size() && (tokens[i].role == TokenRole::Parenthesis || depth > 0);
         i = nextToken(tokens, i + 1))
        if (tokens[i].role == TokenRole::Parenthesis)
            depth += text[tokens[i].offset] == '(' ? 1 : -1;
    for (int index = 0; i < tokens.size(); i = nextToken(tokens, i + 1), ++index) {
        const TokenRole role = tokens[i].role;
        if (role == TokenRole::Close)
            return tokens.size();
        if (role == TokenRole::Open) {
            for (int nested = 1; nested > 0 && ++i < tokens.size();)
                nested += tokens[i].role == TokenRole::Open ? 1 : tokens[i].role == TokenRole::Close ? -1 : 0;
        } else if (index == member) {
            return role == TokenRole::Value ? i : tokens.size();
        }
    }
    return tokens.size();
}

int errorCount(const Tavric& root)
{
    const std::vector<zul::Diagnostic>& records = root.diagnostics();
    return static_cast<int>(std::count_if(records.begin(), records.end(), [](const zul::Diagnostic& record) {
        return record.severity == zul::Severity::Error;
    }));
}

// Whether the text, read as the game reads it, gives the field at address the literal's value, with
// no error that the old text did not have.
bool readsBack(const std::string& text, const std::string& path, const std::string& address, const Literal& literal,
               int errorsBefore)
{
    zul::NameDictionary names;
    Tavric root(&names);
    zul::ParseOptions options;
    options.path = path;
    if (!zul::parse(root, text, options) || errorCount(root) > errorsBefore)
        return false;
    std::ostringstream ignored;
    Report quiet(ignored, false);
    const Tavric& field = findField(root, address, quiet, path);
    const Tavric& wanted = *literal.field;
    return &field != &zul::nullField && field.getKind() == zul::KindValue && field.isEmpty() == wanted.isEmpty() &&
           (wanted.isEmpty() || field.getType() == wanted.getType()) && toJson(field, true) == toJson(wanted, true);
}

// The file's text with the field's literal replaced; false after a refusal in the report. The tree
// it loads is gone when it returns, before the new text is read back.
bool editedText(const std::string& path, const std::string& address, const Literal& literal, Streams& streams,
                Report& report, Edit& edit)
{
    zul::NameDictionary names;
    Tavric root(&names);
    Source source;
    SourceTokens tokens;
    LoadSteps steps;
    steps.tokens = &tokens;
    const bool loaded = loadDocument(path, streams.in, root, steps, report, source);
    // The report reads a source again only to show a diagnostic about it: those are all printed here.
    const struct Forget {
        Report& report;
        const Source& source;
        ~Forget() { report.dropSource(source); }
    } forget{report, source};
    edit.name = source.name;
    if (!loaded)
        return false;
    edit.errorsBefore = errorCount(root);
    const std::size_t before = root.diagnostics().size();
    const int reportedBefore = report.errors();
    const Tavric& field = findField(root, address, report, source.name);
    if (&field == &zul::nullField) {
        if (reportMissing(root, before, report, source.name))
            return false;
        report.print(root, before);
        if (report.errors() == reportedBefore)
            report.refused(source.name, "there is no field '" + address + "'");
        return false;
    }
    const std::string why = unsettable(field, address);
    if (!why.empty()) {
        report.refused(source.name, why);
        return false;
    }
    // The rights and the type as the game's own write checks them, messages included.
    const int type = literal.field->isEmpty() ? field.getType() : literal.field->getType();
    if (!field.canWrite(type, zul::publicUser)) {
        report.print(root, before);
        return false;
    }
    // A plain member of a collection is found through the collection that holds it.
    const Tavric* declared = &field;
    int member = -1;
    if (!field.hasOwnPlace() && field.getParent() && field.getParent()->getCollection()) {
        declared = field.getParent();
        member = static_cast<int>(declared->getCollection()->indexOf(&field));
    }
    const zul::SourceRange place = declared->place();
    if (place.known() && place.entry != source.name) {
        report.refused(source.name, "'" + address + "' is written in '" + place.entry +
                                        "', which this file includes: set it in that file");
        return false;
    }
    const std::size_t at = valueToken(source.text, tokens, *declared, member);
    if (at >= tokens.size()) {
        report.refused(source.name, "'" + address + "' has no literal of its own in the text to change");
        return false;
    }
    edit.text = source.text;
    edit.text.replace(tokens[at].offset, tokens[at].length, literal.text);
    return true;
}

} // namespace

Outcome setVerb(const Arguments& args, Streams& streams)
{
    const std::string& path = args.positional[0];
    const std::string& address = args.positional[1];
    if (path == "-") {
        streams.err << "tavric: set changes a file in place: give its path, not -\n";
        return Outcome::BadCall;
    }
    Report report(streams.err, args.colourErr(streams));
    Literal literal;
    const std::string wrong = parseLiteral(args.positional[2], literal);
    if (!wrong.empty()) {
        report.refused(path, "'" + literal.text + "' is not a value set can write: " + wrong);
        return Outcome::Refused;
    }
    Edit edit;
    if (!editedText(path, address, literal, streams, report, edit))
        return Outcome::Refused;
    if (!readsBack(edit.text, edit.name, address, literal, edit.errorsBefore)) {
        report.refused(edit.name, "the changed text would not read '" + literal.text + "' back at '" + address +
                                      "' (is it given a value again further on?); the file is unchanged");
        return Outcome::Refused;
    }
    const zul::ReplaceResult written = zul::replaceWholeFile(edit.name, edit.text);
    if (!written) {
        report.refused(edit.name, written.text() + "; the file is unchanged");
        return Outcome::Refused;
    }
    return Outcome::Done;
}

} // namespace tavrictool
