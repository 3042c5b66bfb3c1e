#include "ToolDocument.hpp"

#include <cctype>
#include <new>
#include <vector>

#include "tavric/model/Collection.hpp"
#include "tavric/text/ParsingTools.hpp"

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

// Where "name = address" stands in the text: the place of the name, or line 0.
void placeOfReference(const std::string& text, const std::string& name, const std::string& address, int& line,
                      int& column)
{
    std::size_t at = 0;
    std::size_t found = std::string::npos;
    while ((at = text.find(name, at)) != std::string::npos) {
        const bool startsWord =
            at == 0 || !(std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '_');
        std::size_t p = at + name.size();
        while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
            ++p;
        const bool assigns =
            p < text.size() && (text[p] == '=' || text.compare(p, 2, ":=") == 0 || text.compare(p, 2, "<-") == 0);
        if (startsWord && assigns) {
            p += text[p] == '=' ? 1 : 2;
            while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
                ++p;
            if (text.compare(p, address.size(), address) == 0) {
                found = at;
                break;
            }
        }
        at += name.size();
    }
    if (found == std::string::npos) {
        line = column = 0;
        return;
    }
    zul::ParsingTools::lineAndColumn(text, found, line, column);
}

// Adds a warning for every reference (in the main text) whose target does not exist: the resolution
// would create it, and the reference would read as that new, empty field.
void warnAboutMissingTargets(const Tavric& field, zul::NameDictionary& names, const Source& source)
{
    for (const Tavric* child : field.childrenInOrder()) {
        if (child->getKind() == zul::KindReference && !referenceTargetExists(*child, names)) {
            zul::Diagnostic warning;
            warning.severity = zul::Severity::Warning;
            warning.entry = source.name;
            placeOfReference(source.text, child->getName(), child->getAddressText(), warning.line, warning.column);
            if (warning.line == 0)
                warning.subject = child->getAddress();
            warning.text = "'" + child->getName() + "' refers to '" + child->getAddressText() +
                           "', which does not exist; it would read as a new, empty field (a word meant as text "
                           "needs quotes) [missing-target]";
            field.addDiagnostic(warning);
        }
        warnAboutMissingTargets(*child, names, source);
    }
    const zul::Collection* members = field.getCollection();
    if (!members)
        return;
    for (const Tavric* member : members->elements) {
        if (member->getKind() == zul::KindReference && !referenceTargetExists(*member, names)) {
            zul::Diagnostic warning;
            warning.severity = zul::Severity::Warning;
            const zul::SourcePlace place = member->place();
            warning.entry = place.line > 0 ? place.entry : source.name;
            warning.line = place.line;
            warning.column = place.column;
            if (warning.line == 0)
                warning.subject = field.getAddress();
            warning.text = "a member of '" + field.getName() + "' refers to '" + member->getAddressText() +
                           "', which does not exist: a member's address starts in its collection, and the "
                           "game cannot read it (a word meant as text needs quotes) [missing-target]";
            field.addDiagnostic(warning);
        }
        warnAboutMissingTargets(*member, names, source);
    }
}

} // namespace

bool loadDocument(const std::string& path, std::istream& in, Tavric& root, const LoadSteps& steps, Report& report,
                  Source& source)
{
    std::string problem;
    if (!readInput(path, InputKind::Document, source, problem, in)) {
        report.refused(source.name, problem);
        return false;
    }
    report.addSource(source);
    const int errorsBefore = report.errors();
    zul::ParseOptions options;
    options.finalize = false; // the reference check looks at the tree before the resolution
    options.path = source.name;
    options.tokens = steps.tokens;
    // A large document of numbers makes about a token in four bytes: growing the record by
    // doubling from nothing moves it again and again and holds up to three times it at once. What a
    // wordier text leaves unused of the reservation is never touched, so never resident.
    if (steps.tokens)
        steps.tokens->reserve(source.text.size() / 4);
    // Directive texts are the tool's messages: standard output holds only what the verb produces.
    options.directives = [&report](const zul::DirectiveText& directive) { report.directive(directive); };
    bool accepted = zul::parse(root, source.text, options);
    if (accepted && steps.warnAboutReferences)
        warnAboutMissingTargets(root, *root.getDictionary(), source);
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
