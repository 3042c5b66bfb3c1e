// Bracketed nodes, special scopes, collections, the document as a whole and its depth limit.

#include "TextFixture.hpp"
#include "tavric/text/Parser.hpp"

using texttest::Text;
using namespace zul;

namespace {

using Scopes = Text;

TEST_F(Scopes, EmptyTextsAreAccepted)
{
    EXPECT_TRUE(parse(""));
    EXPECT_TRUE(parse(" \t\n;\r\n// only a comment\n/* and\nanother */ ;;\n"));
    EXPECT_TRUE(parse("\xEF\xBB\xBF// a byte-order mark first\n", true));
    EXPECT_EQ(root.childCount(), 0u);
    EXPECT_TRUE(lines().empty());
    ASSERT_TRUE(parse("\xEF\xBB\xBFx = 1\n")) << messages();
    EXPECT_EQ(field("x").getInt(), 1);
}

TEST_F(Scopes, BracketedNodesNest)
{
    ASSERT_TRUE(parse("[a\n  x = 1\n  [b y = 2 [c z = 3]]\n]\n")) << messages();
    EXPECT_EQ(field("a.x").getInt(), 1);
    EXPECT_EQ(field("a.b.y").getInt(), 2);
    EXPECT_EQ(field("a.b.c.z").getInt(), 3);
    EXPECT_EQ(at("a.b.c").depth(), 3);
}

TEST_F(Scopes, BracketedNodeWithItsOwnValue)
{
    ASSERT_TRUE(parse("[a = 5 b = 1]\n")) << messages();
    EXPECT_EQ(field("a").getInt(), 5);
    EXPECT_EQ(field("a.b").getInt(), 1);
}

TEST_F(Scopes, TheDocumentMayHaveAValue)
{
    ASSERT_TRUE(parse("= 42\nx = 1\n")) << messages();
    EXPECT_EQ(root.getInt(), 42);
    // Without a declaration, the document's value stands where it is assigned.
    EXPECT_EQ(root.place().start.line, 1);
    EXPECT_EQ(field("x").getInt(), 1);
}

TEST_F(Scopes, SpecialScopes)
{
    ASSERT_TRUE(parse("s = [Script  \n ]\nq = [Sequence]\nm = [XML]\n")) << messages();
    EXPECT_EQ(at("s").getKind(), KindProgram);
    EXPECT_EQ(at("q").getKind(), KindSequence);
    EXPECT_EQ(at("m").getKind(), KindXml);
}

TEST_F(Scopes, SequenceAndXmlCloseAtOnce)
{
    EXPECT_FALSE(parse("q = [Sequence ]\n"));
    EXPECT_EQ(lines().front(), "(Entry stdin, line 1, col 14): Missing ']' token to close node or special scope.\n");
    root.clearMessages();
    EXPECT_FALSE(parse("s = [Script x]\n"));
    EXPECT_EQ(lines().front(), "(Entry stdin, line 1, col 13): Missing ']' token to close node or special scope.\n");
}

TEST_F(Scopes, CollectionOfValues)
{
    ASSERT_TRUE(parse("c = [Collection 1 2.5 \"three\" 'x' yes b.c\n  -7 ]\n")) << messages();
    const Tavric& c = at("c");
    ASSERT_EQ(c.getKind(), KindCollection);
    ASSERT_NE(c.getCollection(), nullptr);
    EXPECT_EQ(c.getCollection()->valuesPerLine, 16);
    ASSERT_EQ(c.getCollection()->size(), 7u);
    EXPECT_EQ(c.childAt(0)->getInt(), 1);
    EXPECT_DOUBLE_EQ(c.childAt(1)->getReal(), 2.5);
    EXPECT_EQ(c.childAt(2)->getString(), "three");
    EXPECT_EQ(c.childAt(3)->getChar(), 'x');
    EXPECT_TRUE(c.childAt(4)->getBool());
    EXPECT_EQ(c.childAt(5)->getKind(), KindReference);
    EXPECT_EQ(c.childAt(6)->getInt(), -7);
    EXPECT_EQ(c.childAt(7), nullptr);
    EXPECT_EQ(c.childCount(), 0u);
}

TEST_F(Scopes, CollectionValuesPerLine)
{
    ASSERT_TRUE(parse("a = [Collection (8) 1]\nb = [Collection ((0x20)) 1]\nc = [Collection ( 0b11 ) 1]\n"
                      "d = [Collection () 1]\n"))
        << messages();
    EXPECT_EQ(at("a").getCollection()->valuesPerLine, 8);
    EXPECT_EQ(at("b").getCollection()->valuesPerLine, 32);
    EXPECT_EQ(at("c").getCollection()->valuesPerLine, 3);
    EXPECT_EQ(at("d").getCollection()->valuesPerLine, 16);
}

TEST_F(Scopes, BadValuesPerLineFallsBackTo16)
{
    ASSERT_TRUE(parse("a = [Collection (0) 1 2]\n"));
    EXPECT_EQ(messages(), "(Entry stdin, line 1, col 18): Bad data per line value. Setting 16 instead of requested "
                          "value.\n");
    EXPECT_EQ(at("a").getCollection()->valuesPerLine, 16);
    EXPECT_EQ(at("a").getCollection()->size(), 2u);
}

TEST_F(Scopes, BracketedCollectionMembers)
{
    ASSERT_TRUE(parse("c = [Collection [first x = 1] 5 [second = 2]]\n")) << messages();
    const Collection* members = at("c").getCollection();
    ASSERT_EQ(members->size(), 3u);
    EXPECT_EQ(members->elementAt(0)->getName(), "first");
    EXPECT_EQ(members->elementAt(0)->child(std::string("x")).getInt(), 1);
    EXPECT_EQ(members->elementAt(1)->getInt(), 5);
    EXPECT_EQ(members->elementAt(2)->getInt(), 2);
    EXPECT_FALSE(at("c").exists("first"));
}

// Plain numbers are held compactly until asked for as fields; what is asked for is what the parser
// made before, parented by the collection that holds it after a redeclaration or a copy.
TEST_F(Scopes, PlainMembersAreMadeWhenAskedFor)
{
    ASSERT_TRUE(parse("[a l = [Collection 1 2.5]]\n[a l = [Collection 0 -4.5 00 0x1F \"s\" 0]]\n")) << messages();
    const Tavric& l = at("a.l");
    const Collection& members = *l.getCollection();
    ASSERT_EQ(members.size(), 6u);
    int64_t plain = -1;
    EXPECT_TRUE(members.plainInt(0, plain));
    EXPECT_EQ(plain, 0);
    const Tavric* zero = l.childAt(0);
    ASSERT_NE(zero, nullptr);
    EXPECT_FALSE(members.plainInt(0, plain));
    EXPECT_EQ(l.childAt(0), zero);
    EXPECT_EQ(members.indexOf(zero), 0u);
    EXPECT_EQ(members.indexOf(&l), 6u);
    Tavric copy(l);
    for (const Tavric* holder : {static_cast<const Tavric*>(&l), static_cast<const Tavric*>(&copy)}) {
        EXPECT_EQ(holder->childAt(0)->getInt(), 0);
        EXPECT_DOUBLE_EQ(holder->childAt(1)->getReal(), -4.5);
        EXPECT_EQ(holder->childAt(2)->getInt(), 0);
        EXPECT_EQ(holder->childAt(3)->getInt(), 31);
        EXPECT_EQ(holder->childAt(4)->getString(), "s");
        EXPECT_EQ(holder->childAt(5)->getType(), TypeInt);
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(holder->childAt(i)->getParent(), holder) << i;
            EXPECT_TRUE(holder->childAt(i)->isUntyped()) << i;
            EXPECT_FALSE(holder->childAt(i)->hasOwnPlace()) << i;
        }
    }
    EXPECT_NE(copy.childAt(1), l.childAt(1));
}

TEST_F(Scopes, ElementsAtTheMapScale)
{
    std::string text = "layer = [Collection (256)\n";
    for (int i = 0; i < 256 * 256; ++i)
        text += std::to_string(i % 1080) + ((i + 1) % 256 == 0 ? "\n" : " ");
    text += "]\n";
    ASSERT_TRUE(parse(text)) << messages();
    const Collection* members = at("layer").getCollection();
    ASSERT_EQ(members->size(), 65536u);
    EXPECT_EQ(members->elementAt(65535)->getInt(), 65535 % 1080);
}

TEST_F(Scopes, NothingMatchingEndsTheBody)
{
    EXPECT_FALSE(parse("x = 1\n% y = 2\n"));
    EXPECT_EQ(messages(), "(Entry stdin, line 2, col 1): Expected field name. Got '% y = 2'.\n"
                          "Parsing: Ended on error near \" 1 % y = 2 \".\n"
                          "                                 ^\n");
    EXPECT_EQ(field("x").getInt(), 1);
}

TEST_F(Scopes, AStrayClosingBracketIsRefused)
{
    EXPECT_FALSE(parse("x = 1\n]\n"));
    ASSERT_EQ(lines().size(), 3u);
    EXPECT_EQ(lines()[0], "(Entry stdin, line 2, col 1): Unexpected ']': no '[' is open here.\n");
}

TEST_F(Scopes, ErrorsAtTheVeryEndFail)
{
    EXPECT_FALSE(parse("[a x = 1"));
    EXPECT_EQ(lines().front(), "(Entry stdin, line 1, col 9): Missing ']' token to close node or special scope.\n");
    root.clearMessages();
    EXPECT_FALSE(parse("s = \"abc"));
    root.clearMessages();
    EXPECT_FALSE(parse("p = &"));
    EXPECT_EQ(lines().front(),
              "(Entry stdin, line 1, col 6): Expected Tavric adress (a field, that could be considered as a variable) "
              "after '&' token.\n");
}

TEST_F(Scopes, AFailedElementLeavesTheEarlierOnes)
{
    EXPECT_FALSE(parse("a = 1\n[b c = 2 d = 'xy']\ne = 3\n"));
    EXPECT_TRUE(root.exists("a"));
    EXPECT_FALSE(root.exists("b"));
    EXPECT_FALSE(root.exists("e"));
}

TEST_F(Scopes, AMegabyteOfOpeningBracketsFailsCleanly)
{
    const std::string text(1 << 20, '[');
    EXPECT_FALSE(parse(text));
    EXPECT_EQ(lines().front(),
              "(Entry stdin, line 1, col 2): Expected field name. Got '" + std::string(40, '[') + "'.\n");
}

TEST_F(Scopes, NestingIsBounded)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "[a ";
    EXPECT_FALSE(parse(deep));
    EXPECT_EQ(lines().front(), "(Entry stdin, line 1, col " + std::to_string(3 * maxNestingDepth + 1) +
                                   "): Too many nested levels of brackets, scopes or includes (more than 200). The "
                                   "rest of the text is not read.\n");
}

TEST_F(Scopes, NestingUpToTheLimitIsAccepted)
{
    std::string text;
    for (int i = 0; i < maxNestingDepth; ++i)
        text += "[a ";
    text += "x = 1";
    text += std::string(maxNestingDepth, ']');
    ASSERT_TRUE(parse(text)) << messages();
    std::string address = "a";
    for (int i = 1; i < maxNestingDepth; ++i)
        address += ".a";
    EXPECT_EQ(field(address + ".x").getInt(), 1);
}

TEST_F(Scopes, DeepCollectionsAreBoundedToo)
{
    std::string text = "c = ";
    for (int i = 0; i < 1000; ++i)
        text += "[Collection [a = ";
    EXPECT_FALSE(parse(text));
    EXPECT_NE(messages().find("Too many nested levels"), std::string::npos);
}

} // namespace
