// tavric check: loads each file as the game does and reports every diagnostic, then a summary.

#include <ostream>

#include "ToolDocument.hpp"
#include "Verbs.hpp"

namespace tavrictool {

Outcome checkVerb(const Arguments& args, Streams& streams)
{
    Report report(streams.err, args.colourErr(streams));
    bool accepted = true;
    for (const std::string& path : args.positional) {
        zul::NameDictionary names;
        zul::Tavric root(&names);
        Source source;
        LoadSteps steps;
        steps.warnAboutReferences = true;
        accepted = loadDocument(path, streams.in, root, steps, report, source) && accepted;
        report.dropSource(source);
    }
    const bool warningsFail = args.has("--warnings-as-errors") && report.warnings() > 0;
    streams.err << report.summary(static_cast<int>(args.positional.size())) << std::endl;
    return accepted && report.errors() == 0 && !warningsFail ? Outcome::Done : Outcome::Refused;
}

} // namespace tavrictool
