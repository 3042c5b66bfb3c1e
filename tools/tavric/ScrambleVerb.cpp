// tavric scramble and unscramble: the player's data file to text and back.

#include <ostream>

#include "ToolInput.hpp"
#include "ToolReport.hpp"
#include "Verbs.hpp"
#include "shell/UserDataKey.hpp"

namespace tavrictool {

namespace {

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
    // The transform is its own inverse: scramble and unscramble are the same call.
    vrk::scrambleUserData(source.text);
    if (!forward && source.text.find('\0') != std::string::npos) {
        report.refused(source.name, "does not unscramble to a text: it is not scrambled user data");
        return Outcome::Refused;
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
