#include "ToolDocument.hpp"

#include <new>
#include <vector>

#include "tavric/model/Collection.hpp"

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

// Adds a warning for every reference (in the main text) whose target does not exist: the resolution
// would create it, and the reference would read as that new, empty field.
// Adds the warning at the reference's own place (or, without one, naming the field's address).
void warnAt(const Tavric& reference, const Tavric& holder, const std::string& entry, const std::string& text)
{
    zul::Diagnostic warning;
    warning.severity = zul::Severity::Warning;
    warning.range = reference.place();
    if (!warning.range.known()) {
        warning.range.entry = entry;
        warning.subject = holder.getAddress();
    }
    warning.text = text;
    holder.addDiagnostic(warning);
}

void warnAboutMissingTargets(const Tavric& field, zul::NameDictionary& names, const Source& source)
{
    for (const Tavric* child : field.childrenInOrder()) {
        if (child->getKind() == zul::KindReference && !referenceTargetExists(*child, names))
            warnAt(*child, *child, source.name,
                   "'" + child->getName() + "' refers to '" + child->getAddressText() +
                       "', which does not exist; it would read as a new, empty field (a word meant as text "
                       "needs quotes) [missing-target]");
        warnAboutMissingTargets(*child, names, source);
    }
    const zul::Collection* members = field.getCollection();
    if (!members)
        return;
    for (std::size_t i = 0; i < members->size(); ++i) {
        // A plain number refers to nothing and holds nothing: its field need not be made.
        int64_t plainInt = 0;
        double plainReal = 0.0;
        const Tavric* member = nullptr;
        if (members->plainInt(i, plainInt) || members->plainReal(i, plainReal) || !(member = members->elementAt(i)))
            continue;
        if (member->getKind() == zul::KindReference && !referenceTargetExists(*member, names))
            warnAt(*member, field, source.name,
                   "a member of '" + field.getName() + "' refers to '" + member->getAddressText() +
                       "', which does not exist: a member's address starts in its collection, and the "
                       "game cannot read it (a word meant as text needs quotes) [missing-target]");
        warnAboutMissingTargets(*member, names, source);
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
    bool accepted = zul::parse(root, source.text, options).accepted;
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
