// The tree writer: layout, escapes, colours, saving, and round trips (parse, write, parse, write: the
// same text and the same tree) for every form the parser reads.

#include <cmath>
#include <limits>
#include <dirent.h>
#include <sys/stat.h>

#include "TextFixture.hpp"

using texttest::Document;
using texttest::parentEntry;
using texttest::ScratchDirectory;
using texttest::Text;
using namespace zul;

namespace {

using Writer = Text;

// Everything the text can carry, compared field by field; a difference is reported with its address.
void expectSameField(const Tavric& a, const Tavric& b, const std::string& where)
{
    SCOPED_TRACE(where);
    // A root's own name is not part of the text.
    if (a.getParent() != nullptr) {
        EXPECT_EQ(a.getName(), b.getName());
    }
    EXPECT_EQ(a.getKind(), b.getKind());
    EXPECT_EQ(a.isKindDeclared(), b.isKindDeclared());
    EXPECT_EQ(a.isUntyped(), b.isUntyped());
    if (!a.isUntyped() || !a.isEmpty()) {
        EXPECT_EQ(a.getType(), b.getType());
    }
    EXPECT_EQ(a.isEmpty(), b.isEmpty());
    EXPECT_EQ(a.isStrict(), b.isStrict());
    EXPECT_EQ(a.isConstant(), b.isConstant());
    EXPECT_EQ(a.isExternal(), b.isExternal());
    EXPECT_EQ(a.isLocal(), b.isLocal());
    EXPECT_EQ(a.isRestricted(), b.isRestricted());
    EXPECT_EQ(a.getDefaultRights(), b.getDefaultRights());
    EXPECT_EQ(parentEntry(a), parentEntry(b));
    EXPECT_EQ(a.getPointerLevels(), b.getPointerLevels());
    EXPECT_EQ(a.getStructName(), b.getStructName());
    if (a.getKind() == KindReference || a.getKind() == KindPointer) {
        EXPECT_EQ(a.getAddressText(), b.getAddressText());
    } else if (!a.isEmpty() && a.getKind() != KindComputed) {
        switch (a.getType()) {
        case TypeBool:
            EXPECT_EQ(a.rawBool(), b.rawBool());
            break;
        case TypeInt:
        case TypeChar:
        case TypeDescriptor:
            EXPECT_EQ(a.rawInt(), b.rawInt());
            break;
        case TypeReal:
            EXPECT_EQ(std::signbit(a.rawReal()), std::signbit(b.rawReal()));
            EXPECT_TRUE(a.rawReal() == b.rawReal() || (std::isnan(a.rawReal()) && std::isnan(b.rawReal())));
            break;
        case TypeString:
            EXPECT_EQ(a.rawString(), b.rawString());
            break;
        case TypePointer:
            EXPECT_EQ(a.rawPointer(), b.rawPointer());
            break;
        default:
            break;
        }
    }
    const Collection* ca = a.getCollection();
    const Collection* cb = b.getCollection();
    ASSERT_EQ(ca == nullptr, cb == nullptr);
    if (ca) {
        EXPECT_EQ(ca->valuesPerLine, cb->valuesPerLine);
        ASSERT_EQ(ca->size(), cb->size());
        for (std::size_t i = 0; i < ca->size(); ++i)
            expectSameField(*ca->elementAt(i), *cb->elementAt(i), where + "[" + std::to_string(i) + "]");
    }
    // Linked children are written as the tree's own: compare every child by name.
    std::vector<const Tavric*> childrenA;
    std::vector<const Tavric*> childrenB;
    for (const auto& entry : a.childrenById())
        childrenA.push_back(entry.second);
    for (const auto& entry : b.childrenById())
        childrenB.push_back(entry.second);
    ASSERT_EQ(childrenA.size(), childrenB.size());
    for (const Tavric* child : childrenA) {
        const Tavric& other = b.child(child->getName());
        ASSERT_NE(&other, &nullField) << child->getName();
        expectSameField(*child, other, where + "." + child->getName());
    }
}

// Writes, parses what was written, writes again: the same text, and a tree equal to the first.
void expectRoundTrip(const Tavric& original, bool plain, bool raw)
{
    std::ostringstream first;
    ASSERT_TRUE(zul::write(original, first, texttest::writeOptions(raw, plain)));
    Document again;
    ASSERT_TRUE(again.parseText(first.str())) << first.str() << "\n" << again.messages();
    EXPECT_TRUE(again.lines().empty()) << again.messages();
    EXPECT_EQ(again.written(plain, raw), first.str());
    if (raw)
        expectSameField(original, again.root, "[]");
}

const char* const everyForm =
    "= 7\n"
    "a = 1\nb = \"x\\ty\"\nr = 1.5\nnr = -2.25\ntiny = 0.000000000000000000001\n"
    "huge = 123456789012345678901234567890.5\nthird = 0.3333333333333333\n"
    "t = yes\nf = Faux\nn = Nothing\nw = Nowhere\nnp = NULL\n"
    "ch = 'q'\nch2 = '\\n'\nch3 = '\xC3\xA9'\nch4 = '\\''\nch5 = '\\0177'\n"
    "s2 = \"quote\\\" back\\\\ slash / and \\057/ and /\\052 \\0101 bell\\a nul\\0 7 \\0177\"\n"
    "s3 = \"caf\xC3\xA9\"\nhex = 0x1F\nbin = 0b101\noct = 010\nneg = -5\nptr = #1f\ndesc = $12\n"
    "ref = s.x\npt = &s.x\nrootref = []\nup = &_.a\n"
    "[s x = 1 y = 2\n  [deep z = 3]\n]\n"
    "[valued = 9 inner = 1]\n"
    "private p1 = 1\nlocked p2 = 2\nprotected p3 = 3\nlimited[3F] p4 = 4\nlimited[5] p5 = 5\nlimited[f4] p6 = 6\n"
    "extern e1 = 1\nlocal l1 = 1\nstrict int st = 3\nrestricted rs = 4\nconst int k = 5\n"
    "int : pl = &a\nint const : const pl2 = &a\n: untypedLevels\nstruct Point sp\nvariant v = 1\n"
    "Field fd = 1\nScript sc\nsc2 = [Script]\nsq = [Sequence]\nxm = [XML]\nSequence sq2\n"
    "Collection cl = [Collection (4) 1 2 3 4 5 [named v = 1 [sub = 2]] \"s\" 2.5 b.c Nothing 'c' -1.5]\n"
    "c16 = [Collection 1 2 3]\nc0 = [Collection]\n"
    "empty\nint typed\nField fn = Nothing\n"
    "expr = a + 1 ## \"x\"\nfolded = 2 * 3\ncmp = 1 < 2 < a\nlt = a < -1\npw = a .* 2\nneg2 = a - -1\n"
    "amp = a & 3\nseq = a, 2\nassign = a = 3\nwords = a .OR. no\nfolds = a + 2 * 3\n";

TEST_F(Writer, PointerToNowhereIsWrittenAsAnAddress)
{
    // Both spellings read back as the same pointer to nowhere; the writer's rule is "&" and the address.
    for (const char* text : {"w = Nowhere\n", "w = &nowhere\n", "w = Nullepart\n"}) {
        Document document;
        ASSERT_TRUE(document.parseText(text)) << text;
        EXPECT_EQ(document.written(false, false), "w = &nowhere\n") << text;
        EXPECT_EQ(document.root["w"].getKind(), KindPointer) << text;
        EXPECT_EQ(document.root["w"].getAddressText(), "nowhere") << text;
    }
}

// The layout of each form, spaced and, where given, plain.
TEST(WriterLayout, EachForm)
{
    struct Case {
        const char* name;
        const char* text;
        const char* spaced;
        const char* plain;
    };
    const Case cases[] = {
        {"PlainAndSpacedForms", "a = 1\nb = \"x\\ty\"\n", "a = 1\nb = \"x\\ty\"\n", "a=1\nb=\"x\\ty\"\n"},
        {"ValuesByType", "t = yes\nf = no\nr = 1.5\nc = 'a'\nd = $7\np = #ff\nn = NULL\ni = -3\n",
         "t = True\nf = False\nr = 1.5000000000000000\nc = 'a'\nd = $7\np = #ff\nn = NULL\ni = -3\n", nullptr},
        {"CollectionsInRows", "a = [Collection 1 2 3]\nb = [Collection (2) 1 2 3]\n",
         "a = [Collection\n  1 2 3 \n]\nb = [Collection (2)\n  1 2 \n  3 \n]\n",
         "a=[Collection\n1 2 3 \n]\nb=[Collection (2)\n1 2 \n3 \n]\n"},
        {"NestedCollectionClosesAtItsIndentation", "[s a = [Collection (8) 1 2]]\n",
         "[s\n  a = [Collection (8)\n    1 2 \n  ]\n\n]\n", nullptr},
        {"StructuresAreBracketedAndIndented", "[s = 1 k = 2 [t y = 3]]\n",
         "[s = 1\n  k = 2\n  [t\n    y = 3\n\n  ]\n\n]\n", "[s=1\nk=2\n[t\ny=3\n\n]\n\n]\n"},
        {"DeclarationsBeforeTheName",
         "private strict int a = 1\nlimited[3F] b = 2\nrestricted extern local Field c = 3\n"
         "int const : const d\ntype e = NULL\nstruct Point p\nScript s\n",
         "private strict int a = 1\nlimited[3f] b = 2\nrestricted extern local field c = 3\n"
         "int const : const d\ntype e = NULL\nstruct Point p\nScript s\n",
         nullptr},
    };
    for (const Case& c : cases) {
        Document document;
        ASSERT_TRUE(document.parseText(c.text)) << c.name << "\n" << document.messages();
        EXPECT_EQ(document.written(), c.spaced) << c.name;
        if (c.plain) {
            EXPECT_EQ(document.written(true), c.plain) << c.name;
        }
    }
}

TEST_F(Writer, FoldedExpressionsAsValuesUnlessRaw)
{
    ASSERT_TRUE(parseText("a = 2 + 3 * 4\nb = a + 2 * 3\nc = 1 < 2\n"));
    EXPECT_EQ(written(), "a = 14\nb = a + 6\nc = True\n");
    EXPECT_EQ(written(false, true), "a = 2 + 3 * 4\nb = a + 2 * 3\nc = 1 < 2\n");
    EXPECT_EQ(written(true, true), "a=2+3*4\nb=a+2*3\nc=1<2\n");
}

TEST_F(Writer, EscapesThatReadBack)
{
    ASSERT_TRUE(parseText("s = \"back\\\\slash\"\n"));
    EXPECT_EQ(written(), "s = \"back\\\\slash\"\n");
    ASSERT_TRUE(field("s").setString(std::string{'a', '\0', '1', '\x01', '2', '\x7f', 'b', '\xff'}));
    EXPECT_EQ(written(), "s = \"a\\0\\061\\01\\062\\0177b\\0377\"\n");
    ASSERT_TRUE(field("s").setString("http://x/*y*/"));
    // Comment marks are text inside a string.
    EXPECT_EQ(written(), "s = \"http://x/*y*/\"\n");
}

TEST_F(Writer, CharactersOfTwoBytes)
{
    ASSERT_TRUE(parseText("c = '\xC3\xA9'\n"));
    EXPECT_EQ(written(), "c = '\xC3\xA9'\n");
    ASSERT_TRUE(field("c").setChar(0x1234));
    EXPECT_EQ(written(), "c = '\\011064'\n");
    ASSERT_TRUE(field("c").setChar(0x00E9));
    EXPECT_EQ(written(), "c = '\\0351'\n");
}

TEST_F(Writer, RealsReadBackExactly)
{
    constexpr double largest = std::numeric_limits<double>::max();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const double values[] = {0.1,  0.1 + 0.2, 1.0 / 3, 1e-300,  5e-324,   1e300,
                             -0.0, -123.456,  1e22,    largest, infinity, -infinity};
    for (const double value : values) {
        Document document;
        ASSERT_TRUE(document.root["r"].setReal(value));
        Document again;
        ASSERT_TRUE(again.parseText(document.written())) << value << " " << again.messages();
        const double back = again.field("r").getReal();
        EXPECT_EQ(back, value) << document.written();
        EXPECT_EQ(std::signbit(back), std::signbit(value)) << document.written();
        EXPECT_EQ(document.written().find('e'), std::string::npos) << document.written();
    }
}

TEST_F(Writer, IntegersAndDescriptorsAtTheirLimits)
{
    ASSERT_TRUE(root["lo"].setInt(std::numeric_limits<int64_t>::min()));
    ASSERT_TRUE(root["d"].setDescriptor(-5));
    ASSERT_TRUE(root["p"].setPointer(-1));
    expectRoundTrip(root, false, true);
}

TEST_F(Writer, NamesTheParserWouldTakeForWordsAreQuoted)
{
    for (const char* name : {"index", "local", "Message", "int", "const", "Field", "publique"})
        ASSERT_TRUE(root[name].setInt(1)) << name;
    EXPECT_EQ(written(), "\"index\" = 1\n\"local\" = 1\n\"Message\" = 1\n\"int\" = 1\n\"const\" = 1\n"
                         "\"Field\" = 1\n\"publique\" = 1\n");
    expectRoundTrip(root, false, true);
}

// Unnamed children, and names that are no identifiers, are left out.
TEST_F(Writer, NamesThatCannotBeWrittenAreLeftOut)
{
    for (const char* name : {"", "two words", "9lives"}) {
        Document document;
        ASSERT_TRUE(document.root[name].setInt(1)) << '"' << name << '"';
        ASSERT_TRUE(document.root["kept"].setInt(3)) << '"' << name << '"';
        EXPECT_EQ(document.written(), "kept = 3\n") << '"' << name << '"';
    }
}

TEST_F(Writer, LinkedChildrenAreWrittenAsTheirOwnContent)
{
    Document source;
    ASSERT_TRUE(source.parseText("[shared a = 1 b = \"two\"]\nz = 3\n"));
    ASSERT_TRUE(root.copyFrom(source.field("shared")));
    root["own"].setInt(0);
    EXPECT_EQ(written(), "own = 0\na = 1\nb = \"two\"\n");
    expectRoundTrip(root, false, true);
}

TEST_F(Writer, ColoursForTheConsole)
{
    ASSERT_TRUE(parseText("private int a = yes\ns = \"t\"\n"));
    // The bool literal does not match the declared int: only the declaration is kept.
    root.clearMessages();
    ASSERT_TRUE(field("s").setString("t"));
    EXPECT_EQ(written(false, false, true), "\x1b[1;31mprivate \x1b[00m\x1b[1;32mint \x1b[00m\x1b[1;33ma\x1b[00m\n"
                                           "\x1b[1;33ms\x1b[00m = \x1b[1;32m\"t\"\x1b[00m\n");
    // The plain form never colours.
    EXPECT_EQ(written(true, false, true), "private int a\ns=\"t\"\n");
}

TEST_F(Writer, ExpressionsNeedTheReadRight)
{
    ASSERT_TRUE(parseText("private e = a + 1\n"));
    std::ostringstream out;
    ASSERT_TRUE(zul::write(root, out, texttest::asStored()));
    EXPECT_EQ(out.str(), "private e\n");
    std::ostringstream parent;
    const int key = static_cast<int32_t>(static_cast<uint32_t>(root.getIdentity()));
    ASSERT_TRUE(zul::write(root, parent, texttest::asStored(key)));
    EXPECT_EQ(parent.str(), "private e = a + 1\n");
}

TEST_F(Writer, EveryFormRoundTrips)
{
    ASSERT_TRUE(parseText(everyForm)) << messages();
    ASSERT_TRUE(lines().empty()) << messages();
    for (const bool plain : {false, true})
        for (const bool raw : {false, true}) {
            SCOPED_TRACE(std::string(plain ? "plain" : "spaced") + (raw ? " raw" : ""));
            expectRoundTrip(root, plain, raw);
        }
}

TEST_F(Writer, RoundTripAfterTheResolution)
{
    ASSERT_TRUE(parseText("a = 1\np = &a\nint : q = &a\nr = a\n[s x = 2]\nps = &s.x\n", true)) << messages();
    std::ostringstream text;
    ASSERT_TRUE(zul::write(root, text, texttest::asStored()));
    EXPECT_EQ(text.str(), "a = 1\np = &a\nint : q = &a\nr = a\n[s\n  x = 2\n\n]\nps = &s.x\n");
    Document again;
    ASSERT_TRUE(again.parseText(text.str(), true)) << again.messages();
    expectSameField(root, again.root, "[]");
}

TEST_F(Writer, EveryByteOfAStringRoundTrips)
{
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    all += "//*/0123";
    ASSERT_TRUE(root["s"].setString(all));
    expectRoundTrip(root, false, true);
    expectRoundTrip(root, true, true);
}

TEST_F(Writer, SaveAndLoadBack)
{
    ScratchDirectory files;
    ASSERT_TRUE(parseText(everyForm));
    const std::string path = files.path + "/saved.tvr";
    ASSERT_TRUE(zul::save(root, path, texttest::writeOptions(true, true))) << messages();
    EXPECT_EQ(files.read("saved.tvr"), written(true, true));
    struct stat status;
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
    Document again;
    ASSERT_TRUE(zul::load(again.root, path, texttest::unresolved())) << again.messages();
    expectSameField(root, again.root, "[]");
}

TEST_F(Writer, SaveIntoAMissingDirectory)
{
    ASSERT_TRUE(parseText("a = 1\n"));
    EXPECT_FALSE(zul::save(root, "/nonexistent/dir/out.tvr"));
    EXPECT_EQ(messages(), "[] : Cannot open output file '/nonexistent/dir/out.tvr' for saving the current tree. Error "
                          "code is 2: 'No such file or directory'.\n");
    EXPECT_EQ(root.lastError(), 11);
}

TEST_F(Writer, AFailedSaveLeavesNothingHalfWritten)
{
    ScratchDirectory files;
    ASSERT_TRUE(parseText("a = 1\n"));
    // A directory where the file should go: refused before anything is written beside it.
    ASSERT_EQ(::mkdir((files.path + "/taken").c_str(), 0755), 0);
    EXPECT_FALSE(zul::save(root, files.path + "/taken"));
    EXPECT_EQ(messages(), "[] : Cannot write into output file '" + files.path +
                              "/taken' for saving the current tree. Error code is 22: 'Invalid argument'.\n");
    EXPECT_EQ(root.lastError(), 13);
    // A folder that does not exist: the temporary file cannot be made, which is an open failure.
    EXPECT_FALSE(zul::save(root, files.path + "/none/data.tvr"));
    EXPECT_NE(messages().find("Cannot open output file '" + files.path + "/none/data.tvr'"), std::string::npos)
        << messages();
    // Nothing is left beside the files.
    DIR* folder = ::opendir(files.path.c_str());
    ASSERT_NE(folder, nullptr);
    int entries = 0;
    while (const dirent* entry = ::readdir(folder))
        entries += entry->d_name[0] != '.';
    ::closedir(folder);
    EXPECT_EQ(entries, 1) << "only the folder 'taken'";
}

TEST_F(Writer, SaveReplacesTheOldFileWhole)
{
    ScratchDirectory files;
    const std::string path = files.file("data.tvr", std::string(10000, 'x'));
    ASSERT_TRUE(parseText("a = 1\n"));
    ASSERT_TRUE(zul::save(root, path, texttest::writeOptions(false, true)));
    EXPECT_EQ(files.read("data.tvr"), "a=1\n");
}

} // namespace
