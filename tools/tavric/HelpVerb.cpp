// tavric help: the tool, or one verb.

#include <ostream>

#include "Verbs.hpp"

namespace tavrictool {

Outcome helpVerb(const Arguments& args, Streams& streams)
{
    if (args.positional.empty()) {
        streams.out
            << "tavric: checks, formats, queries and converts Tavric documents.\n\n"
            << usageText() << '\n'
            << commonHelp
            << "Exit status: 0 done, 1 a finding or a refused input (diagnostics on standard error), 2 a bad call.\n";
        return Outcome::Done;
    }
    const Verb* verb = findVerb(args.positional[0]);
    if (!verb) {
        streams.err << "tavric: no verb '" << args.positional[0] << "'\n";
        return Outcome::BadCall;
    }
    describe(*verb, streams.out);
    return Outcome::Done;
}

} // namespace tavrictool
