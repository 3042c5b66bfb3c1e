// tavric dump: the tree a document loads into, written back out by the game's writer.

#include <sstream>

#include "ToolDocument.hpp"
#include "Verbs.hpp"

namespace tavrictool {

Outcome dumpVerb(const Arguments& args, Streams& streams)
{
    Document document(args, streams);
    if (!loadDocument(document, args.positional[0], false))
        return Outcome::Refused;
    // The whole text first: a failed write leaves nothing half-written on the output.
    std::ostringstream text;
    zul::WriteOptions options;
    options.raw = args.has("--raw");
    options.colour = args.colourOut(streams);
    options.plain = args.has("--plain");
    if (!zul::write(document.root, text, options))
        return Outcome::Refused;
    // Diagnostics the write raised (an expression without a value) are the document's too.
    document.report.print(document.root, document.reported);
    streams.out << text.str();
    // The text is shown even when a value is at fault, but the status says so.
    return document.verdict(static_cast<bool>(streams.out.flush()));
}

} // namespace tavrictool
