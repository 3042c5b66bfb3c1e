// tavric scramble and unscramble: the player's data file to text and back.

#include <ostream>

#include "ToolDocument.hpp"
#include "Verbs.hpp"
#include "shell/UserDataKey.hpp"

namespace tavrictool {

namespace {

// Whether a text loads as the game loads the user data: its diagnostics go to the report.
bool loads(const Source& source, Report& report, std::istream& in)
{
    zul::NameDictionary names;
    zul::Tavric root(&names);
    LoadSteps steps;
    steps.text = &source.text;
    Source loaded;
    const bool accepted = loadDocument(source.name, in, root, steps, report, loaded);
    report.dropSource(loaded);
    return accepted;
}

Outcome scramble(const Arguments& args, Streams& streams, bool forward)
{
    Report report(streams.err, args.colourErr(streams));
    Source source;
    std::string problem;
    // Plain user data is a text; scrambled user data is binary until it is unscrambled.
    if (!readInput(args.positional[0], forward ? InputKind::Document : InputKind::UserData, source, problem,
                   streams.in)) {
        report.refused(source.name, problem);
        return Outcome::Refused;
    }
    // The game would be handed a file it cannot read, and lose the player's data with it.
    if (forward && !loads(source, report, streams.in)) {
        report.refused(source.name, "does not load as a document: it is not scrambled, as the game could not read it");
        return Outcome::Refused;
    }
    // The transform is its own inverse: scramble and unscramble are the same call.
    vrk::scrambleUserData(source.text);
    if (!forward && !args.has("--raw")) {
        if (source.text.find('\0') != std::string::npos) {
            report.refused(source.name, "does not unscramble to a text: it is not scrambled user data");
            return Outcome::Refused;
        }
        if (!loads(source, report, streams.in)) {
            report.refused(source.name, "does not unscramble to a document that loads: it is damaged, or not "
                                        "scrambled user data (--raw writes the bytes anyway)");
            return Outcome::Refused;
        }
    }
    streams.out.write(source.text.data(), static_cast<std::streamsize>(source.text.size()));
    return streams.out.flush() ? Outcome::Done : Outcome::Refused;
}

} // namespace

Outcome scrambleVerb(const Arguments& args, Streams& streams)
{
    return scramble(args, streams, true);
}

Outcome unscrambleVerb(const Arguments& args, Streams& streams)
{
    return scramble(args, streams, false);
}

} // namespace tavrictool
