// tavric dump: the tree a document loads into, written back out by the game's writer.

#include <sstream>

#include "ToolDocument.hpp"
#include "Verbs.hpp"

namespace tavrictool {

Outcome dumpVerb(const Arguments& args, Streams& streams)
{
    Document document(args, streams);
    if (!document.load(args.positional[0], false))
        return Outcome::Refused;
    // The whole text first: a failed write leaves nothing half-written on the output.
    std::ostringstream text;
    zul::WriteOptions options;
    options.raw = args.has("--raw");
    options.colour = args.colourOut(streams);
    options.plain = args.has("--plain");
    if (!zul::write(document.root, text, options))
        return Outcome::Refused;
    streams.out << text.str();
    return streams.out.flush() ? Outcome::Done : Outcome::Refused;
}

} // namespace tavrictool
