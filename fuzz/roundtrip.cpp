// Round trip: a text the parser accepts is written, the written text parsed again and written
// again; the two written texts must be equal, and the written text must itself be accepted.
// Every writer form is checked (plain and indented, folded and raw expressions), on a tree
// parsed as it stands and on one whose references the post-parse resolution has bound.
//
// One limit is inherent: the resolution evaluates computed fields, and an assignment in an
// expression ("u = t += 5") changes another field each time it runs. The text written after one
// load holds the changed value and the same assignment, so the next load changes it again
// (t = 15, then 20): a document that assigns is a program, not a fixed point. Resolved trees that
// hold an assignment are therefore checked only unresolved, where nothing is evaluated.

#include "FuzzCommon.hpp"

namespace {

void roundTrip(const std::string& text, bool finalize)
{
    fuzz::Document first;
    if (!fuzz::parse(first.root, text, finalize)) {
        // What a refused text left in the tree (the game saves user data after a failed load) is
        // still written as text the parser accepts, and that text is a fixed point.
        if (!finalize) {
            const std::string partial = fuzz::written(first.root, true, false);
            fuzz::Document again;
            if (!fuzz::parse(again.root, partial, false))
                fuzz::fail("what a refused text left is written as a text that is refused too", partial,
                           fuzz::joinedMessages(again.root));
            roundTrip(partial, false);
        }
        return;
    }
    if (finalize && fuzz::assigns(first.root))
        return;
    for (int form = 0; form < 4; ++form) {
        const bool plain = (form & 1) != 0;
        const bool raw = (form & 2) != 0;
        const std::string once = fuzz::written(first.root, plain, raw);
        fuzz::Document second;
        if (!fuzz::parse(second.root, once, finalize))
            fuzz::fail(finalize ? "written text refused (finalized)" : "written text refused", once,
                       fuzz::joinedMessages(second.root));
        const std::string twice = fuzz::written(second.root, plain, raw);
        if (once != twice)
            fuzz::fail(plain ? (raw ? "round trip differs (plain, raw)" : "round trip differs (plain)")
                             : (raw ? "round trip differs (raw)" : "round trip differs"),
                       once, twice);
    }
    // A node shared into another document (as the program takes its language) is written with
    // its linked children, and that text too reads back to itself.
    for (zul::Tavric* node : std::vector<zul::Tavric*>(first.root.childrenInOrder())) {
        if (node->childCount() == 0)
            continue;
        zul::Tavric shared(&first.dictionary);
        shared.copyFrom(*node);
        const std::string once = fuzz::written(shared, true, false);
        fuzz::Document second;
        if (!fuzz::parse(second.root, once, finalize))
            fuzz::fail("written shared node refused", once, fuzz::joinedMessages(second.root));
        const std::string twice = fuzz::written(second.root, true, false);
        if (once != twice)
            fuzz::fail("round trip of a shared node differs", once, twice);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string text = fuzz::textOf(data, size);
    roundTrip(text, false);
    roundTrip(text, true);
    return 0;
}
