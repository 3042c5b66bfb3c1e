// Inputs the fuzzers (fuzz/) found, each replayed the way its harness ran it, with the sound
// outcome asserted. The same inputs are in the fuzzers' seed corpora.

#include <sys/stat.h>

#include "TextFixture.hpp"

using texttest::Document;
using namespace zul;

namespace {

// A document whose written text must read back as the same tree.
struct Replayed : Document {
    // Parses what this document writes into a fresh document and gives what that one writes; the
    // round trip holds when it equals what this one wrote.
    std::string writtenAgain(bool finalize, bool plain, bool raw)
    {
        Document again;
        EXPECT_TRUE(again.parseText(written(plain, raw), finalize)) << written(plain, raw) << "\n" << again.messages();
        return again.written(plain, raw);
    }

    void expectRoundTrip(bool finalize)
    {
        for (int form = 0; form < 4; ++form) {
            const bool plain = (form & 1) != 0;
            const bool raw = (form & 2) != 0;
            EXPECT_EQ(written(plain, raw), writtenAgain(finalize, plain, raw)) << "plain " << plain << " raw " << raw;
        }
    }
};

struct FuzzRegression : ::testing::Test, Replayed {};

// One input a fuzzer found, replayed: parsed (resolved or not), then what the parse said and what
// the writer gives back, and the round trip of every writer form where the tree must survive it.
struct Replay {
    const char* found; // what went wrong before
    const char* text;
    bool finalize;
    bool accepted;
    const char* said;    // every message line; with a leading "~", a part of them; null: not checked
    const char* written; // indented, folded; null: not checked
    const char* raw;     // indented, as stored; null: not checked
    bool roundTrip;
    void (*more)(Replayed&); // what else the tree must hold; null: nothing
};

const Replay replays[] = {
    // ---- assignments in expressions write fields of the document, never the expression ----
    {"the root's '5 = &L' stored &L into the literal 5 and was written '&L = &L', which failed silently", "=5=&L",
     true, false, "[] : Node is constant. Cannot perform 'write' operation on it.\n", nullptr, " = 5 = &L\n", true,
     nullptr},
    {"folded at parse time, the literal 1 became 2", "x = 1 = 2\n", true, false, nullptr, nullptr, "x = 1 = 2\n",
     false, [](Replayed& t) { EXPECT_EQ(t.field("x").getInt(), 0); }},
    {"an assignment to a computed value changed it", "a = 1\nx = a + 1 = 5\n", false, true, "", nullptr,
     "a = 1\nx = a + 1 = 5\n", false,
     [](Replayed& t) {
         // Refused when the read evaluates it.
         EXPECT_EQ(t.field("x").getInt(), 0);
         EXPECT_NE(t.messages().find("Node is constant. Cannot perform 'write' operation on it."), std::string::npos);
         EXPECT_EQ(t.field("a").getInt(), 1);
     }},
    {"'&a' was resolved in the operand's own detached field: a was never found", "a = 1\n[s y = &_.a = 5]\n", true,
     true, nullptr, nullptr, "a = 5\n[s\n  y = &_.a = 5\n\n]\n", true,
     [](Replayed& t) { EXPECT_EQ(t.field("a").getInt(), 5); }},
    {"'&{}' designated the operand itself, rewriting the expression", "[s y = &{} = 5]\n", true, true, nullptr,
     nullptr, nullptr, false,
     [](Replayed& t) {
         EXPECT_EQ(t.field("s").getInt(), 5);
         EXPECT_EQ(t.field("s.y").getInt(), 5);
         EXPECT_NE(t.written(true, true).find("y=&{}=5"), std::string::npos) << t.written(true, true);
     }},
    {"the pointer's own diagnostics stayed in the detached operand: the parse failed silently",
     "x = Nowhere = 3\n", true, false, "~It cannot be dereferenced.", nullptr, nullptr, false, nullptr},
    // ---- what the parser refused is not written back ----
    {"'string s = 1 + 2' kept its expression and was written 'string s = 3', an empty string field",
     "int x = 1 + 2\nstring s = 1 + 2\n", false, true,
     "string [].s : Cannot assign data of type field int to current field. Type mismatch.\n",
     "int x = 3\nstring s\n", "int x = 1 + 2\nstring s\n", true,
     [](Replayed& t) {
         EXPECT_EQ(t.field("s").getExpression(), nullptr);
         EXPECT_TRUE(t.field("s").isEmpty());
     }},
    {"the literal refused the same way", "string s = 3\n", false, true, nullptr, nullptr, "string s\n", false,
     nullptr},
    {"a typed reference bound to a void field was written 'void e', which reads back untyped",
     "type e = NULtrtct Point p\n", true, true, nullptr, "e = NULtrtct\nPoint\np\nNULtrtct\n", nullptr, true,
     [](Replayed& t) { EXPECT_EQ(t.field("e").getType(), TypeVoid); }},
    // ---- pointer levels the resolution took are left to it ----
    {"'A=&A' took a level from itself and was written ': A = &A', which no longer matched", "A=&A", true, true,
     nullptr, "A = &A\n", nullptr, true,
     [](Replayed& t) {
         EXPECT_EQ(t.field("A").getPointerLevels(), std::vector<int>{0});
         EXPECT_TRUE(t.field("A").arePointerLevelsTaken());
     }},
    {"a cycle's levels depend on the order: declared, they refused the second binding and A went",
     "A = &B\nB = &C\nC = &A\n", true, true, nullptr, "A = &B\nB = &C\nC = &A\n", nullptr, true,
     [](Replayed& t) {
         // Resolving again takes the levels afresh instead of checking them as declared ones.
         EXPECT_TRUE(t.root.finalize()) << t.messages();
         EXPECT_TRUE(t.root.exists("A"));
         EXPECT_EQ(&t.field("A").dereference(), &t.field("B"));
     }},
    {"declared levels are still written", "k = 1\nconst : p = &k\n", true, true, nullptr, "k = 1\nconst : p = &k\n",
     nullptr, true, [](Replayed& t) { EXPECT_FALSE(t.field("p").arePointerLevelsTaken()); }},
};

TEST_F(FuzzRegression, EachFindingReplaysToItsSoundOutcome)
{
    for (const Replay& replay : replays) {
        SCOPED_TRACE(std::string(replay.found) + "\n" + replay.text);
        Replayed t;
        EXPECT_EQ(t.parseText(replay.text, replay.finalize), replay.accepted) << t.messages();
        if (replay.said && replay.said[0] == '~') {
            EXPECT_NE(t.messages().find(replay.said + 1), std::string::npos) << t.messages();
        } else if (replay.said) {
            EXPECT_EQ(t.messages(), replay.said);
        }
        if (replay.written) {
            EXPECT_EQ(t.written(false, false), replay.written);
        }
        if (replay.raw) {
            EXPECT_EQ(t.written(false, true), replay.raw);
        }
        if (replay.roundTrip)
            t.expectRoundTrip(replay.finalize && replay.accepted);
        if (replay.more)
            replay.more(t);
    }
}

// ---- includes read regular files only ----

TEST_F(FuzzRegression, DevicesAndPipesAreNotIncluded)
{
    // "/dev/zero" was read until memory ran out, a pipe without a writer blocked the parse for
    // ever; a user data file names its includes itself.
    texttest::ScratchDirectory scratch;
    const std::string pipe = scratch.path + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {std::string("/dev/zero"), pipe}) {
        for (const char* word : {"Include", "Includec"}) {
            Document document;
            EXPECT_FALSE(document.parseText("a = 1\n" + std::string(word) + " \"" + path + "\"\nb = 2\n"));
            EXPECT_EQ(document.lines().at(0), "Parsing: Cannot open input file '" + path +
                                                  "' for loading a new tree. It is not a regular file.\n");
            EXPECT_EQ(document.lines().at(1), "(Entry stdin, line 2, col 1): Error while resolving include "
                                              "directive '" +
                                                  path + "'.\n");
            EXPECT_EQ(document.at("a").getInt(), 1);
        }
    }
    // A regular file is still included.
    const std::string part = scratch.file("part.tvr", "c = 3\n");
    ASSERT_TRUE(parseText("Include \"" + part + "\"\n")) << messages();
    EXPECT_EQ(field("c").getInt(), 3);
}

// ---- a removed field is no longer designated ----

TEST_F(FuzzRegression, APointerToAFieldTheResolutionRemovedIsNotFollowedIntoFreedMemory)
{
    // Found by the parse fuzzer (text merged into a resolved document): the redeclared "a" points
    // to itself with a declared level that cannot match, so the resolution removes it; s.p was
    // still bound to it, and writing s.p read the deleted field.
    ASSERT_TRUE(parseText("a = 1\n[s x = 1 y = _.a + 1 p = &_.a r = _.b]\nb = 2\n", true)) << messages();
    EXPECT_EQ(&field("s.p").dereference(), &field("a"));
    EXPECT_FALSE(parseText("a = 1\np = &q\ni: a = &a\nr = a\n[s x  =2]\nps = &s.x\n", true));
    EXPECT_FALSE(root.exists("a"));
    const std::string text = written(false, false);
    EXPECT_NE(text.find("  p = &_.a\n"), std::string::npos) << text;
    root.clearMessages();
    EXPECT_EQ(&field("s.p").dereference(), &nullField);
    EXPECT_FALSE(lines().empty());
}

TEST_F(FuzzRegression, RemovingADesignatedFieldLeavesItsPointersResolvable)
{
    // The user data save removes "Selected" from every user while other fields may point to it.
    ASSERT_TRUE(parseText("[u Selected = 1]\np = &u.Selected\nq = &u\n", true)) << messages();
    EXPECT_EQ(&field("p").dereference(), &field("u.Selected"));
    ASSERT_TRUE(field("u").removeChild("Selected"));
    EXPECT_EQ(&field("p").dereference(), &nullField);
    EXPECT_EQ(&field("q").dereference(), &field("u"));
    EXPECT_EQ(written(true), "u\np=&u.Selected\nq=&u\n");
    // Declared again, the field is found again through the address.
    field("u")["Selected"] = 2;
    EXPECT_EQ(field("p").dereference().getInt(), 2);
}

} // namespace
