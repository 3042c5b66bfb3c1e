// tavric check: loads each file as the game does and reports every diagnostic, then a summary.

#include <algorithm>
#include <ostream>

#include "ToolDocument.hpp"
#include "Verbs.hpp"
#include "tavric/format/Lint.hpp"

namespace tavrictool {

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
    for (const std::string& path : args.positional) {
        zul::NameDictionary names;
        zul::Tavric root(&names);
        Source source;
        zul::SourceTokens tokens;
        LoadSteps steps;
        steps.warnAboutReferences = lint.allowed.count("missing-target") == 0;
        steps.tokens = &tokens;
        const bool loaded = loadDocument(path, streams.in, root, steps, report, source);
        if (loaded)
            for (const zul::LintFinding& finding : zul::lintText(source.text, tokens, lint))
                report.finding(source.name, source.text, finding.offset, finding.text, finding.name, finding.hint);
        accepted = loaded && accepted;
        report.dropSource(source);
    }
    const bool warningsFail = args.has("--warnings-as-errors") && report.warnings() > 0;
    streams.err << report.summary(static_cast<int>(args.positional.size())) << std::endl;
    return accepted && report.errors() == 0 && !warningsFail ? Outcome::Done : Outcome::Refused;
}

} // namespace tavrictool
