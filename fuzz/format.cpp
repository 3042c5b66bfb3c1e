// The layout of tavric fmt: a text the parser accepts is laid out; the layout must be accepted,
// read to the same tree, keep every byte but blanks, line ends and line continuations, and be its
// own layout. The verb, which keeps no collection values and checks its layout by the tokens it
// reads, must agree.

#include "FuzzCommon.hpp"

#include <iostream>
#include <sstream>

#include "tavric/format/Formatter.hpp"
#include "tools/tavric/Verbs.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string text = fuzz::textOf(data, size);
    fuzz::Document original;
    if (!fuzz::parse(original.root, text, false))
        return 0;
    std::string once;
    if (!zul::formatSource(text, once))
        fuzz::fail("an accepted text is not laid out", text, "");
    fuzz::Document again;
    if (!fuzz::parse(again.root, once, false))
        fuzz::fail("the layout is refused", text, once + "\n" + fuzz::joinedMessages(again.root));
    if (zul::treeFingerprint(again.root) != zul::treeFingerprint(original.root))
        fuzz::fail("the layout reads to another tree", text, once);
    if (zul::withoutLayout(once) != zul::withoutLayout(text))
        fuzz::fail("the layout changed more than blanks", text, once);
    std::istringstream in(text);
    std::ostringstream out;
    std::ostringstream err;
    tavrictool::Arguments args;
    args.positional = {"-"};
    tavrictool::Streams streams{in, out, err};
    if (tavrictool::fmtVerb(args, streams) != tavrictool::Outcome::Done || out.str() != once)
        fuzz::fail("the verb refuses or lays out otherwise", text, out.str() + "\n" + err.str());
    std::string twice;
    if (!zul::formatSource(once, twice) || twice != once)
        fuzz::fail("the layout of the layout differs", once, twice);
    return 0;
}
