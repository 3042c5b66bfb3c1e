// tavric check: loads each file as the game does and reports every diagnostic, then a summary.

#include <algorithm>
#include <ostream>
#include <set>

#include "ToolDocument.hpp"
#include "Verbs.hpp"
#include "tavric/format/Lint.hpp"

namespace tavrictool {

namespace {

void lint(Report& report, const Source& source, zul::SourceTokens& tokens, const zul::LintOptions& options)
{
    for (const zul::LintFinding& finding : zul::lintText(source.text, tokens, options))
        report.finding(source.name, source.text, finding.offset, finding.text, finding.name, finding.hint);
}

// Lints a file an include read: its own text parsed alone for its tokens, its diagnostics left to the
// load that included it. Its own includes are not followed: the load met them too.
void lintIncluded(Report& report, const std::string& path, std::istream& in, const zul::LintOptions& options)
{
    Source source;
    std::string problem;
    if (path == "-" || !readInput(path, InputKind::Document, source, problem, in))
        return; // the load said why it could not include it
    zul::NameDictionary names;
    zul::Tavric scratch(&names);
    zul::SourceTokens tokens;
    zul::ParseOptions parse;
    parse.finalize = false;
    parse.path = path;
    parse.tokens = &tokens;
    parse.directives = [](const zul::DirectiveText&) {};
    parse.includes = [](const std::string&, std::string& text) {
        text.clear();
        return true;
    };
    (void)zul::parse(scratch, source.text, parse);
    source.name = path;
    lint(report, source, tokens, options);
}

} // namespace

Outcome checkVerb(const Arguments& args, Streams& streams)
{
    zul::LintOptions lint;
    lint.allowed = args.valueSet("--allow");
    for (const std::string& name : lint.allowed)
        if (std::find(zul::lintNames().begin(), zul::lintNames().end(), name) == zul::lintNames().end()) {
            streams.err << "tavric: no warning named '" << name << "'\n";
            return Outcome::BadCall;
        }
    Report report(streams.err, args.colourErr(streams));
    bool accepted = true;
    std::set<std::string> linted; // included files, linted once in a run
    for (const std::string& path : args.positional) {
        zul::NameDictionary names;
        zul::Tavric root(&names);
        Source source;
        zul::SourceTokens tokens;
        std::vector<std::string> included;
        LoadSteps steps;
        steps.warnAboutReferences = lint.allowed.count("missing-target") == 0;
        steps.tokens = &tokens;
        steps.included = &included;
        report.hold();
        const bool loaded = loadDocument(path, streams.in, root, steps, report, source);
        // A text that does not load is linted too: its warnings may well be the cause.
        tavrictool::lint(report, source, tokens, lint);
        for (const std::string& file : included)
            if (file != source.name && linted.insert(file).second)
                lintIncluded(report, file, streams.in, lint);
        report.release();
        accepted = loaded && accepted;
        report.dropSource(source);
    }
    const bool warningsFail = args.has("--warnings-as-errors") && report.warnings() > 0;
    streams.err << report.summary(static_cast<int>(args.positional.size())) << std::endl;
    return accepted && report.errors() == 0 && !warningsFail ? Outcome::Done : Outcome::Refused;
}

} // namespace tavrictool
