// tavric fmt: the formatter, which reads its own options.

#include "Verbs.hpp"
#include "tools/tavric/fmt/FmtCommand.hpp"

namespace tavrictool {

Outcome fmtVerb(const Arguments& args, Streams& streams)
{
    switch (tavricfmt::runFmt(args.positional, streams.in, streams.out, streams.err)) {
    case 0:
        return Outcome::Done;
    case 2:
        return Outcome::BadCall;
    default:
        return Outcome::Refused;
    }
}

} // namespace tavrictool
