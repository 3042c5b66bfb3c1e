// Declarations: qualifiers, kind words, type specifications, names, repeated children.

#include "TextFixture.hpp"

using texttest::parentEntry;
using texttest::Text;
using namespace zul;

namespace {

using Declarations = Text;

TEST_F(Declarations, QualifierFlags)
{
    ASSERT_TRUE(parse("extern local strict restricted x = 1\n")) << messages();
    const Tavric& x = at("x");
    EXPECT_TRUE(x.isExternal());
    EXPECT_TRUE(x.isLocal());
    EXPECT_TRUE(x.isStrict());
    EXPECT_TRUE(x.isRestricted());
    EXPECT_EQ(x.rawInt(), 1);
}

TEST_F(Declarations, AccessLevelsInBothLanguages)
{
    ASSERT_TRUE(parse("private a = 1\nlocked b = 1\nprotected c = 1\npublic d = 1\n"
                      "priv\xC3\xA9 e = 1\nverrouill\xC3\xA9 f = 1\nprot\xC3\xA9g\xC3\xA9 g = 1\npublique h = 1\n"))
        << messages();
    EXPECT_EQ(at("a").getDefaultRights(), 0);
    EXPECT_EQ(at("b").getDefaultRights(), 1);
    EXPECT_EQ(at("c").getDefaultRights(), 5);
    EXPECT_EQ(at("d").getDefaultRights(), 15);
    EXPECT_EQ(at("e").getDefaultRights(), 0);
    EXPECT_EQ(at("f").getDefaultRights(), 1);
    EXPECT_EQ(at("g").getDefaultRights(), 5);
    EXPECT_EQ(at("h").getDefaultRights(), 15);
    EXPECT_FALSE(root.exists("publique"));
}

TEST_F(Declarations, AccessIsCheckedOnReads)
{
    ASSERT_TRUE(parse("protected p = 4\nprivate q = 5\n")) << messages();
    EXPECT_EQ(field("p").getInt(), 4);
    EXPECT_FALSE(field("p").setInt(1));
    EXPECT_EQ(field("q").getInt(), 0);
}

TEST_F(Declarations, LimitedClause)
{
    ASSERT_TRUE(parse("limited[3F] x = 1\nlimited[5] y = 1\nlimit\xC3\xA9[f4a] z = 1\n")) << messages();
    EXPECT_EQ(at("x").getDefaultRights(), 15);
    EXPECT_EQ(parentEntry(at("x")), 3);
    EXPECT_EQ(at("y").getDefaultRights(), 5);
    EXPECT_EQ(parentEntry(at("y")), 0);
    EXPECT_EQ(at("z").getDefaultRights(), 4);
    EXPECT_EQ(parentEntry(at("z")), 15);
}

TEST_F(Declarations, KindWords)
{
    ASSERT_TRUE(parse("Field a = 1\nChamp b = c\nCollection l = [Collection 1]\nScript s = [Script]\n"
                      "Sequence q = [Sequence]\nXML m = [XML]\n"))
        << messages();
    EXPECT_TRUE(at("a").isKindDeclared());
    EXPECT_EQ(at("a").getKind(), KindValue);
    EXPECT_EQ(at("b").getKind(), KindReference);
    EXPECT_EQ(at("l").getKind(), KindCollection);
    EXPECT_EQ(at("s").getKind(), KindProgram);
    EXPECT_EQ(at("q").getKind(), KindSequence);
    EXPECT_EQ(at("m").getKind(), KindXml);
    EXPECT_TRUE(lines().empty()) << messages();
}

TEST_F(Declarations, KindMismatchIsAWarning)
{
    ASSERT_TRUE(parse("Script s = 5\ny = 1\n"));
    EXPECT_EQ(messages(), "(Entry stdin, line 0, col 0): Warning, specified field structure and encountered one does "
                          "not match. Expected program and got field.\n");
    EXPECT_NE(&at("y"), &nullField);
}

TEST_F(Declarations, KindMismatchStopsUnderStopOnWarning)
{
    root.setOptionWord(3);
    EXPECT_FALSE(parse("Collection s = 5\ny = 1\n"));
    EXPECT_EQ(lines().front(), "(Entry stdin, line 0, col 0): Warning, specified field structure and encountered one "
                               "does not match. Expected collection and got field.\n");
    EXPECT_FALSE(root.exists("y"));
}

TEST_F(Declarations, TypeWords)
{
    ASSERT_TRUE(parse("integer a = 1\nint b = 1\nentier c = 1\nbool d = yes\nbool\xC3\xA9"
                      "en e = no\n"
                      "real f = 1.0\nr\xC3\xA9"
                      "el g = 1.0\ncharact\xC3\xA8re h = 'a'\nstring i = \"\"\n"
                      "chaine j = \"\"\nindex k = $1\ntype l = NULL\nvariant m = 1\n"))
        << messages();
    EXPECT_EQ(at("a").getType(), TypeInt);
    EXPECT_EQ(at("b").getType(), TypeInt);
    EXPECT_EQ(at("c").getType(), TypeInt);
    EXPECT_EQ(at("d").getType(), TypeBool);
    EXPECT_EQ(at("e").getType(), TypeBool);
    EXPECT_EQ(at("f").getType(), TypeReal);
    EXPECT_EQ(at("g").getType(), TypeReal);
    EXPECT_EQ(at("h").getType(), TypeChar);
    EXPECT_EQ(at("i").getType(), TypeString);
    EXPECT_EQ(at("j").getType(), TypeString);
    EXPECT_EQ(at("k").getType(), TypeDescriptor);
    EXPECT_EQ(at("l").getType(), TypePointer);
    EXPECT_FALSE(at("a").isUntyped());
    EXPECT_TRUE(at("m").isUntyped());
    EXPECT_TRUE(lines().empty()) << messages();
}

TEST_F(Declarations, CorrectFrenchSpellingsAndWritingThemBack)
{
    // "caractère" and "chaîne" beside the older "charactère" and "chaine"; written back in English.
    ASSERT_TRUE(parse("caract\xC3\xA8re c = 'x'\ncha\xC3\xAEne s = \"t\"\n")) << messages();
    EXPECT_EQ(at("c").getType(), TypeChar);
    EXPECT_EQ(at("s").getType(), TypeString);
    EXPECT_FALSE(at("s").isUntyped());
    EXPECT_TRUE(lines().empty()) << messages();
    std::ostringstream out;
    ASSERT_TRUE(zul::write(root, out));
    EXPECT_EQ(out.str(), "char c = 'x'\nstring s = \"t\"\n");
}

TEST_F(Declarations, RecordTypeNeedsAName)
{
    ASSERT_TRUE(parse("struct Point p\n")) << messages();
    EXPECT_EQ(at("p").getType(), TypeStruct);
    EXPECT_EQ(at("p").getStructName(), "Point");
    EXPECT_FALSE(parse("record = 1\n"));
    EXPECT_EQ(lines().front(), "(Entry stdin, line 1, col 8): Expected field name. Got '= 1'.\n");
}

TEST_F(Declarations, ConstAndPointerLevels)
{
    ASSERT_TRUE(parse("const int a = 1\nint const b = 1\nint : c\nint const : d\nint : const e\nconst f = 2\n"
                      "int : const : g\n"))
        << messages();
    EXPECT_TRUE(at("a").isConstant());
    EXPECT_TRUE(at("b").isConstant());
    EXPECT_EQ(at("c").getPointerLevels(), std::vector<int>{0});
    EXPECT_FALSE(at("c").isConstant());
    EXPECT_EQ(at("d").getPointerLevels(), std::vector<int>{1});
    EXPECT_FALSE(at("d").isConstant());
    EXPECT_EQ(at("e").getPointerLevels(), std::vector<int>{0});
    EXPECT_TRUE(at("e").isConstant());
    EXPECT_TRUE(at("f").isConstant());
    EXPECT_TRUE(at("f").isUntyped());
    EXPECT_EQ(at("g").getPointerLevels(), (std::vector<int>{0, 1}));
    EXPECT_FALSE(at("g").isConstant());
    // A constant field refuses the public user's writes, but the parser stored its value.
    EXPECT_EQ(field("a").getInt(), 1);
    EXPECT_FALSE(field("a").setInt(2));
}

TEST_F(Declarations, ConstTwiceIsAWarning)
{
    ASSERT_TRUE(parse("int const const x = 1\n"));
    EXPECT_EQ(messages(), "(Entry stdin, line 1, col 11): 'const' specified two times for the same value.\n");
    EXPECT_TRUE(at("x").isConstant());
}

TEST_F(Declarations, Names)
{
    ASSERT_TRUE(parse("\"quoted\" = 1\n_under = 2\nname_2 = 3\n")) << messages();
    EXPECT_EQ(field("quoted").getInt(), 1);
    EXPECT_EQ(field("_under").getInt(), 2);
    EXPECT_EQ(field("name_2").getInt(), 3);
}

TEST_F(Declarations, ReservedWordsAreNotNames)
{
    EXPECT_FALSE(parse("index = 5\n"));
    EXPECT_EQ(lines().front(), "(Entry stdin, line 1, col 7): Expected field name. Got '= 5'.\n");
    root.clearMessages();
    EXPECT_FALSE(parse("local = 1\n"));
    EXPECT_EQ(lines().front(), "(Entry stdin, line 1, col 7): Expected field name. Got '= 1'.\n");
}

TEST_F(Declarations, WordsThatOnlyStartLikeKeywordsAreNames)
{
    ASSERT_TRUE(parse("publicity = 1\nintegers = 2\nInclude2 = 3\nconstant = 4\n")) << messages();
    EXPECT_EQ(field("publicity").getInt(), 1);
    EXPECT_EQ(field("integers").getInt(), 2);
    EXPECT_EQ(field("Include2").getInt(), 3);
    EXPECT_EQ(field("constant").getInt(), 4);
}

TEST_F(Declarations, RepeatedChildKeepsTheLastValue)
{
    ASSERT_TRUE(parse("x = 1\nx = \"two\"\n")) << messages();
    EXPECT_EQ(root.childCount(), 1u);
    EXPECT_EQ(field("x").getString(), "two");
    EXPECT_TRUE(lines().empty());
}

TEST_F(Declarations, RepeatedStructuresMergeTheirChildren)
{
    ASSERT_TRUE(parse("[a b = 1]\n[a c = 2]\n[a b = 3]\n")) << messages();
    EXPECT_EQ(at("a").childCount(), 2u);
    EXPECT_EQ(field("a.b").getInt(), 3);
    EXPECT_EQ(field("a.c").getInt(), 2);
}

TEST_F(Declarations, AFieldWithoutValue)
{
    ASSERT_TRUE(parse("x\nint y\n")) << messages();
    EXPECT_TRUE(at("x").isEmpty());
    EXPECT_EQ(at("x").getKind(), KindNone);
    EXPECT_EQ(at("y").getType(), TypeInt);
}

TEST_F(Declarations, AssignmentSigns)
{
    ASSERT_TRUE(parse("a = 1\nb := 2\nc <= 3\nd <- 4\n")) << messages();
    EXPECT_EQ(field("a").getInt(), 1);
    EXPECT_EQ(field("b").getInt(), 2);
    EXPECT_EQ(field("c").getInt(), 3);
    EXPECT_EQ(field("d").getInt(), 4);
}

} // namespace
