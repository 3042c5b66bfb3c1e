#include "ToolDocument.hpp"

#include <map>
#include <new>
#include <vector>

#include "tavric/model/Collection.hpp"
#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/SourceLines.hpp"

namespace tavrictool {

namespace {

using zul::Tavric;

// Address steps as Tavric::parseAddress gives them.
constexpr int stepRoot = 1;
constexpr int stepParent = 2;

// Whether a reference's address names a field that exists now (without creating or reporting
// anything). A step that follows a pointer cannot be judged before the resolution: taken as found.
bool referenceTargetExists(const Tavric& reference, zul::NameDictionary& names)
{
    Tavric scratch(&names);
    std::vector<int> steps;
    if (!scratch.parseAddress(reference.getAddressText(), steps))
        return true; // the resolution reports the address itself
    const Tavric* field = reference.getParent() ? reference.getParent() : &reference;
    for (int step : steps) {
        if (step < 0)
            return true;
        if (step == stepRoot) {
            field = &field->getRoot();
        } else if (step == stepParent) {
            field = field->getParent();
            if (!field)
                return false;
        } else {
            const auto& children = field->childrenById();
            const auto found = children.find(step);
            if (found == children.end())
                return false;
            field = found->second;
        }
    }
    return true;
}

// A diagnostic at the reference's own place (or, without one, naming the field's address).
void diagnose(const Tavric& reference, const Tavric& holder, const std::string& entry, const std::string& text,
              zul::Severity severity, zul::SourceRange range)
{
    zul::Diagnostic diagnostic;
    diagnostic.severity = severity;
    diagnostic.range = range.known() ? range : reference.place();
    if (!diagnostic.range.known()) {
        diagnostic.range.entry = entry;
        diagnostic.subject = holder.getAddress();
    }
    diagnostic.text = text;
    holder.addDiagnostic(diagnostic);
}

// Where the count-th (from 0) word address stands in a collection's declaration, outside its quoted
// texts: a member has no place of its own. Not known when the declaration is in another text.
zul::SourceRange memberPlace(const Tavric& collection, const std::string& address, int count, const Source& source)
{
    const zul::SourceRange declared = collection.place();
    if (!declared.known() || declared.entry != source.name || declared.end.offset > source.text.size())
        return zul::SourceRange();
    const std::string& text = source.text;
    const auto word = [&text](std::size_t i) {
        return i < text.size() && (zul::ParsingTools::isIdentifierByte(text[i]) || text[i] == '.');
    };
    for (std::size_t i = declared.start.offset; i < declared.end.offset; ++i) {
        if (text[i] == '"' || text[i] == '\'') {
            const char quote = text[i];
            while (++i < declared.end.offset && text[i] != quote)
                i += text[i] == '\\';
            continue;
        }
        if (text.compare(i, address.size(), address) != 0 || (i > 0 && word(i - 1)) || word(i + address.size()))
            continue;
        if (count-- == 0)
            return zul::SourceLines(text, source.name).range(i, i + address.size());
    }
    return zul::SourceRange();
}

// The references (in the main text) whose target does not exist. A field's would be created by the
// resolution and read as that new, empty field: a warning, when asked for. A collection member's
// cannot be read at all, by the game or by any verb: an error, always.
void checkTargets(const Tavric& field, zul::NameDictionary& names, const Source& source, bool warn)
{
    for (const Tavric* child : field.childrenInOrder()) {
        if (warn && child->getKind() == zul::KindReference && !referenceTargetExists(*child, names))
            diagnose(*child, *child, source.name,
                     "'" + child->getName() + "' refers to '" + child->getAddressText() +
                         "', which does not exist; it would read as a new, empty field (a word meant as text "
                         "needs quotes) [missing-target]",
                     zul::Severity::Warning, zul::SourceRange());
        checkTargets(*child, names, source, warn);
    }
    const zul::Collection* members = field.getCollection();
    if (!members)
        return;
    std::map<std::string, int> seen; // the members met so far with each address
    for (std::size_t i = 0; i < members->size(); ++i) {
        // A plain number refers to nothing and holds nothing: its field need not be made.
        int64_t plainInt = 0;
        double plainReal = 0.0;
        const Tavric* member = nullptr;
        if (members->plainInt(i, plainInt) || members->plainReal(i, plainReal) || !(member = members->elementAt(i)))
            continue;
        if (member->getKind() == zul::KindReference) {
            const std::string& address = member->getAddressText();
            const int count = seen[address]++;
            if (!referenceTargetExists(*member, names))
                diagnose(*member, field, source.name,
                         "a member of '" + field.getName() + "' refers to '" + address +
                             "', which does not exist: a member's address starts in its collection, and the "
                             "game cannot read it (a word meant as text needs quotes)",
                         zul::Severity::Error, memberPlace(field, address, count, source));
        }
        checkTargets(*member, names, source, warn);
    }
}

} // namespace

bool loadDocument(const std::string& path, std::istream& in, Tavric& root, const LoadSteps& steps, Report& report,
                  Source& source)
{
    std::string problem;
    bool read = false;
    if (steps.text) {
        source.name = path;
        source.text = *steps.text;
        read = acceptedText(source.text, InputKind::Document, problem);
    } else {
        read = readInput(path, InputKind::Document, source, problem, in);
    }
    if (!read) {
        report.refused(source.name, problem);
        return false;
    }
    report.addSource(source);
    const int errorsBefore = report.errors();
    zul::ParseOptions options;
    options.finalize = false; // the reference check looks at the tree before the resolution
    options.path = source.name;
    options.tokens = steps.tokens;
    // Directive texts are the tool's messages: standard output holds only what the verb produces.
    options.directives = steps.directives ? steps.directives : [&report](const zul::DirectiveText& directive) {
        report.directive(directive);
    };
    options.includes = steps.includes;
    if (steps.included)
        options.includes = [&steps](const std::string& path, std::string& text) {
            steps.included->push_back(path);
            return steps.includes && steps.includes(path, text);
        };
    bool accepted = zul::parse(root, source.text, options).accepted;
    if (steps.whole)
        *steps.whole = accepted;
    if (accepted)
        checkTargets(root, *root.getDictionary(), source, steps.warnAboutReferences);
    if (steps.finalize) {
        try {
            if (accepted)
                accepted = root.finalize();
        } catch (const std::bad_alloc&) {
            report.refused(source.name, "memory ran out while resolving the document");
            accepted = false;
        }
        root.setSystemAccess(false);
    }
    report.print(root);
    if (!accepted)
        report.refusedSilently(source.name, errorsBefore);
    return accepted;
}

} // namespace tavrictool
