// Inputs the fuzzers (fuzz/) found, each replayed the way its harness ran it, with the sound
// outcome asserted. The same inputs are in the fuzzers' seed corpora.

#include <sys/stat.h>

#include "TextFixture.hpp"

using texttest::Document;
using texttest::Text;
using namespace zul;

namespace {

struct FuzzRegression : Text {
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

// ---- assignments in expressions write fields of the document, never the expression ----

TEST_F(FuzzRegression, AssignmentToALiteralIsRefusedAndLeavesTheExpressionAlone)
{
    // Found by the round trip: the root's "5 = &L" stored &L into the literal 5, so the tree
    // was written back as "&L = &L", which then failed without any message.
    EXPECT_FALSE(parseText("=5=&L", true));
    EXPECT_EQ(messages(), "[] : Node is constant. Cannot perform 'write' operation on it.\n");
    EXPECT_EQ(written(false, true), " = 5 = &L\n");
    expectRoundTrip(false);

    // Folded at parse time, where the literal 1 used to become 2.
    Document folded;
    EXPECT_FALSE(folded.parseText("x = 1 = 2\n", true));
    EXPECT_EQ(folded.written(false, true), "x = 1 = 2\n");
    EXPECT_EQ(folded.field("x").getInt(), 0);
}

TEST_F(FuzzRegression, AssignmentToAComputedValueIsRefused)
{
    ASSERT_TRUE(parseText("a = 1\nx = a + 1 = 5\n"));
    EXPECT_EQ(field("x").getInt(), 0);
    EXPECT_NE(messages().find("Node is constant. Cannot perform 'write' operation on it."), std::string::npos);
    EXPECT_EQ(field("a").getInt(), 1);
    EXPECT_EQ(written(false, true), "a = 1\nx = a + 1 = 5\n");
}

TEST_F(FuzzRegression, APointerOperandAssignsTheFieldItDesignates)
{
    // The address of "&a" used to be resolved in the operand's own detached field: a was never
    // found, and "&{}" designated the operand itself, rewriting the expression.
    ASSERT_TRUE(parseText("a = 1\n[s y = &_.a = 5]\n", true)) << messages();
    EXPECT_EQ(field("a").getInt(), 5);
    EXPECT_EQ(written(false, true), "a = 5\n[s\n  y = &_.a = 5\n\n]\n");
    expectRoundTrip(true);

    Document self;
    ASSERT_TRUE(self.parseText("[s y = &{} = 5]\n", true)) << self.messages();
    EXPECT_EQ(self.field("s").getInt(), 5);
    EXPECT_EQ(self.field("s.y").getInt(), 5);
    EXPECT_NE(self.written(true, true).find("y=&{}=5"), std::string::npos) << self.written(true, true);
}

TEST_F(FuzzRegression, AFailedAssignmentThroughAPointerIsReported)
{
    // The pointer's own diagnostics stayed in the detached operand: the parse failed silently.
    EXPECT_FALSE(parseText("x = Nowhere = 3\n", true));
    EXPECT_NE(messages().find("It cannot be dereferenced."), std::string::npos) << messages();
}

// ---- what the parser refused is not written back ----

TEST_F(FuzzRegression, AFoldedValueOfTheWrongTypeIsRefusedLikeItsLiteral)
{
    // Found by the round trip: "string s = 1 + 2" kept its expression after the type mismatch
    // and was written "string s = 3", which reads back as an empty string field.
    ASSERT_TRUE(parseText("int x = 1 + 2\nstring s = 1 + 2\n")) << messages();
    EXPECT_EQ(messages(), "string [].s : Cannot assign data of type field int to current field. Type mismatch.\n");
    EXPECT_EQ(field("s").getExpression(), nullptr);
    EXPECT_TRUE(field("s").isEmpty());
    EXPECT_EQ(written(false, false), "int x = 3\nstring s\n");
    EXPECT_EQ(written(false, true), "int x = 1 + 2\nstring s\n");
    expectRoundTrip(false);

    Document literal;
    ASSERT_TRUE(literal.parseText("string s = 3\n"));
    EXPECT_EQ(literal.written(false, true), "string s\n");
}

TEST_F(FuzzRegression, ATypedReferenceBoundToAVoidFieldIsWrittenUntyped)
{
    // Found by the round trip (finalized): the resolution gives a typed reference the type of its
    // target, here void; the writer wrote "void e", which reads back untyped, so the second text
    // lost the word.
    ASSERT_TRUE(parseText("type e = NULtrtct Point p\n", true)) << messages();
    EXPECT_EQ(field("e").getType(), TypeVoid);
    EXPECT_EQ(written(false, false), "e = NULtrtct\nPoint\np\nNULtrtct\n");
    expectRoundTrip(true);
}

// ---- pointer levels the resolution took are left to it ----

TEST_F(FuzzRegression, APointerToItselfIsWrittenWithoutTakenLevels)
{
    // Found by the round trip (finalized): "A=&A" took one level from itself and was written
    // ": A = &A", whose declared level no longer matched once the level was counted again.
    ASSERT_TRUE(parseText("A=&A", true)) << messages();
    EXPECT_EQ(field("A").getPointerLevels(), std::vector<int>{0});
    EXPECT_TRUE(field("A").arePointerLevelsTaken());
    EXPECT_EQ(written(false, false), "A = &A\n");
    expectRoundTrip(true);
}

TEST_F(FuzzRegression, ACycleOfPointersReadsBackWhole)
{
    // Each pointer takes its target's levels as they stand when it is bound, so a cycle's levels
    // depend on the order; declared, they refused the second binding and A was removed.
    ASSERT_TRUE(parseText("A = &B\nB = &C\nC = &A\n", true)) << messages();
    EXPECT_EQ(written(false, false), "A = &B\nB = &C\nC = &A\n");
    expectRoundTrip(true);
    // Resolving again takes the levels afresh instead of checking them as declared ones.
    EXPECT_TRUE(root.finalize()) << messages();
    EXPECT_TRUE(root.exists("A"));
    EXPECT_EQ(&field("A").dereference(), &field("B"));
}

TEST_F(FuzzRegression, DeclaredLevelsAreStillWritten)
{
    ASSERT_TRUE(parseText("k = 1\nconst : p = &k\n", true)) << messages();
    EXPECT_FALSE(field("p").arePointerLevelsTaken());
    EXPECT_EQ(written(false, false), "k = 1\nconst : p = &k\n");
    expectRoundTrip(true);
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
