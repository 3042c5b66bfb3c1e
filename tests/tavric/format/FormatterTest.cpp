// The layout of tavric fmt: what it changes (indentation, blanks, empty lines) and what it keeps
// (words as spelled, comments, literals, line breaks), on made-up texts and on the shipped ones.

#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "tavric/model/Tavric.hpp"
#include "tavric/format/Formatter.hpp"
#include "tavric/text/Documents.hpp"

namespace {

std::string formatted(const std::string& source)
{
    std::string out;
    EXPECT_TRUE(zul::formatSource(source, out)) << source;
    return out;
}

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// ---- what changes ----

TEST(FormatterLayout, IndentsByNesting)
{
    EXPECT_EQ(formatted("[a\n      x = 1\n [b\ny = 2\n        ]\n    ]\n"), "[a\n  x = 1\n  [b\n    y = 2\n  ]\n]\n");
    // A line that opens or closes several nodes at once stands at the depth it starts or ends at.
    EXPECT_EQ(formatted("[a [b\nx = 1\n] ]\nz = 2\n"), "[a [b\n    x = 1\n] ]\nz = 2\n");
    EXPECT_EQ(formatted("l = [Collection (4)\n1 2\n   3 4\n[m x = 1]\n   ]\n"),
              "l = [Collection (4)\n  1 2\n  3 4\n  [m x = 1]\n]\n");
    EXPECT_EQ(formatted("s = [Script\n]\nq = [Sequence]\n"), "s = [Script\n]\nq = [Sequence]\n");
    EXPECT_EQ(formatted("[ a x = 1 ]\n"), "[a x = 1 ]\n");
}

TEST(FormatterLayout, OneBlankAroundSignsAndOperators)
{
    EXPECT_EQ(formatted("x=1+2*3\ny:=a  -  b\nz<-3\nw<=4\nv = 1 ,2,3\n"),
              "x = 1 + 2 * 3\ny := a - b\nz <- 3\nw <= 4\nv = 1, 2, 3\n");
    // Signs belong to their numbers: "3--5" is 3 minus -5.
    EXPECT_EQ(formatted("a = 3--5\nb = -0x1F\nc = 1 - -2\n"), "a = 3 - -5\nb = -0x1F\nc = 1 - -2\n");
    // "2.*3" is the real 2. times 3, not a power; "2 .* 3" is a power.
    EXPECT_EQ(formatted("c = 2.*3\nd = 2 .* 3\n"), "c = 2. * 3\nd = 2 .* 3\n");
    // Word operators keep their spelling and the blank they need.
    EXPECT_EQ(formatted("m = 2 x   3\nw = a OR  b\nf = 1 \xC3\xA9gal \xC3\xA0 1\n"),
              "m = 2 x 3\nw = a OR b\nf = 1 \xC3\xA9gal \xC3\xA0 1\n");
    EXPECT_EQ(formatted("p = &b->c\nr = b.c\nt = x <<= 2\n"), "p = &b->c\nr = b.c\nt = x <<= 2\n");
}

TEST(FormatterLayout, BlanksAndEmptyLines)
{
    EXPECT_EQ(formatted("\n\n\ta   =   1   \n\n\n\nb = 2\t\n\n\n"), "a = 1\n\nb = 2\n");
    EXPECT_EQ(formatted("a = 1 ;b = 2;;c = 3"), "a = 1; b = 2;; c = 3\n");
    EXPECT_EQ(formatted("public   int\tx = 1\n"), "public int x = 1\n");
    EXPECT_EQ(formatted(""), "");
    EXPECT_EQ(formatted(" \n\n "), "");
    EXPECT_EQ(formatted("a = 1\r\n\r\nb = 2\r\n"), "a = 1\n\nb = 2\n");
}

TEST(FormatterLayout, ContinuedLines)
{
    EXPECT_EQ(formatted("[n\ncont = 1 +\\\n2 +   \\\n\\\n 3\n]\n"), "[n\n  cont = 1 + \\\n      2 + \\\n      3\n]\n");
}

// ---- what stays ----

TEST(FormatterKeeps, CommentsAsWritten)
{
    EXPECT_EQ(formatted("// top   \n[a\n/* two\n     lines */\n  x = 1   //   after  \n  y /* in */ = 2\n]\n"),
              "// top\n[a\n  /* two\n     lines */\n  x = 1 //   after\n  y /* in */ = 2\n]\n");
    EXPECT_EQ(formatted("a = 1 /* c */ + 2\nb = 3 // x\n"), "a = 1 /* c */ + 2\nb = 3 // x\n");
    // Comment marks inside literals are text.
    EXPECT_EQ(formatted("a  = \"x /* y\"\nb =  2\nc = \"z */ w\" // c\nu = \"http://x/\"\nd = '/'\n"),
              "a = \"x /* y\"\nb = 2\nc = \"z */ w\" // c\nu = \"http://x/\"\nd = '/'\n");
}

TEST(FormatterKeeps, WordsLiteralsAndDirectives)
{
    const std::string kept = "priv\xC3\xA9 entier y := 0x1f\n"
                             "PUBLIC Int z = oui\n"
                             "Inclure \"" VELMORA_SOURCE_DIR "/content/text/En.tvr\"\n"
                             "Attention \"w\"\n"
                             "Message \"hello\"\n"
                             "limited[3F] r = 1.50\n"
                             "l = [Collection ((2))\n"
                             "  0B101 017 -0 #FF $12 'a' '\\n' '\xC3\xA9' Nullepart VRAI\n"
                             "]\n"
                             "s = \"Le Ch\xC3\xA2teau \\\" \\t\"\n"
                             "g = yesterday\n"
                             "\"quoted\" = 1\n";
    EXPECT_EQ(formatted(kept), kept);
    // A string over several lines is kept byte for byte, its inner indentation included.
    EXPECT_EQ(formatted("[a\ns = \"one\n     two  \n\"   \n]\n"), "[a\n  s = \"one\n     two  \n\"\n]\n");
}

TEST(FormatterKeeps, RefusesWhatItCannotFollow)
{
    std::string out;
    for (const char* refused :
         {"a = 1\nb = 'xy'\n", "[a x = 1\n", "x = \\\n", "x = 1\n/* open to the end", "x = 1 /* open\r\n\n\n"})
        EXPECT_FALSE(zul::formatSource(refused, out)) << refused;
}

// ---- properties over real documents ----

int commentCount(const std::string& text)
{
    int count = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '/' && text[i + 1] == '/') {
            ++count;
            i = text.find('\n', i);
            if (i == std::string::npos)
                break;
        } else if (text[i] == '/' && text[i + 1] == '*') {
            ++count;
            i = text.find("*/", i + 2);
            if (i == std::string::npos)
                break;
            ++i;
        }
    }
    return count;
}

struct Parsed {
    bool accepted = false;
    std::string fingerprint;
};

Parsed parse(const std::string& text)
{
    zul::NameDictionary names;
    zul::Tavric root(&names);
    Parsed result;
    zul::ParseOptions options;
    options.finalize = false;
    result.accepted = zul::parse(root, text, options).accepted;
    result.fingerprint = zul::treeFingerprint(root);
    return result;
}

// Checks every property on one document; false when the parser refuses it (nothing to check).
bool checkDocument(const std::string& name, const std::string& text)
{
    const Parsed before = parse(text);
    if (!before.accepted)
        return false;
    std::string once;
    if (!zul::formatSource(text, once)) {
        ADD_FAILURE() << name << ": not laid out";
        return true;
    }
    std::string twice;
    EXPECT_TRUE(zul::formatSource(once, twice)) << name;
    EXPECT_EQ(twice, once) << name << ": formatting twice differs from once";
    EXPECT_EQ(zul::withoutLayout(once), zul::withoutLayout(text)) << name << ": more than blanks changed";
    EXPECT_EQ(commentCount(once), commentCount(text)) << name;
    const Parsed after = parse(once);
    EXPECT_TRUE(after.accepted) << name;
    EXPECT_EQ(after.fingerprint, before.fingerprint) << name << ": reads to another tree";
    return true;
}

std::vector<std::string> filesIn(const std::string& directory)
{
    std::vector<std::string> files;
    if (DIR* dir = ::opendir(directory.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.')
                files.push_back(directory + "/" + entry->d_name);
        ::closedir(dir);
    }
    return files;
}

TEST(FormatterProperties, ShippedDocuments)
{
    const std::vector<std::string> shipped = {VELMORA_SOURCE_DIR "/content/text/En.tvr",
                                              VELMORA_SOURCE_DIR "/content/text/Fr.tvr",
                                              VELMORA_RUN_DIR "/lev/config.tvr"};
    for (const std::string& path : shipped) {
        const std::string text = slurp(path);
        ASSERT_FALSE(text.empty()) << path;
        EXPECT_TRUE(checkDocument(path, text)) << path << " does not parse";
        // The sources are kept formatted (the build checks them too).
        if (path.find("/content/") != std::string::npos) {
            EXPECT_EQ(formatted(text), text) << path;
        }
    }
}

TEST(FormatterProperties, FuzzSeedsThatParse)
{
    int checked = 0;
    int seeds = 0;
    for (const char* corpus : {"parse", "roundtrip", "expression", "format"}) {
        for (const std::string& path : filesIn(std::string(VELMORA_SOURCE_DIR "/fuzz/corpus/") + corpus)) {
            ++seeds;
            checked += checkDocument(path, slurp(path)) ? 1 : 0;
        }
    }
    EXPECT_GT(seeds, 200);
    // Most seeds are valid documents; a corpus that stopped parsing would make this test empty.
    EXPECT_GT(checked, seeds / 2);
}

TEST(FormatterProperties, FuzzFindings)
{
    EXPECT_TRUE(checkDocument("closed comment", "\n\n\t/*   2\ntwo\n   lines\"\nc = 1*/\r\n\n"));
    // After a value the parser looks for an operator; the layout must not make one of the next
    // field's name ("x=" would become the "x " of multiplication, "is  unlike" a comparison).
    EXPECT_TRUE(checkDocument("operator made", "[a\n      x=0+2  x=0+2 /_INITIAL=3 ]\n"));
    EXPECT_EQ(formatted("[a\n x=0+2  x=0+2 /_INITIAL=3 ]\n"), "[a\n  x = 0 + 2 x= 0 + 2 / _INITIAL = 3 ]\n");
    EXPECT_EQ(formatted("a = b  is  unlike=1\nc = 1 or\tx\n"), "a = b is  unlike= 1\nc = 1 or\tx\n");
    EXPECT_EQ(formatted("a = b + c  y=1\n"), "a = b + c y = 1\n");
    // A message directive without its text is accepted only when nothing, not even a line end, follows.
    EXPECT_TRUE(checkDocument("bare message", " = 2=5\nMessage"));
    EXPECT_TRUE(checkDocument("byte-order mark", "\xEF\xBB\xBF = \"zhtple\"\n"));
    EXPECT_EQ(formatted("\xEF\xBB\xBF\n  a=1\n"), "\xEF\xBB\xBF"
                                                  "a = 1\n");
    EXPECT_EQ(formatted("x=1\nMessage"), "x = 1\nMessage");
    EXPECT_TRUE(checkDocument("comment, backslash", " \t\n;\r\n// c\n/* and\naanther *ly a \\ello\\*/"));
}

TEST(FormatterProperties, MixedDocument)
{
    const std::string text = "// header\n\n\n/* block\n   comment */\npublic   int   x=5   // trailing\n"
                             "priv\xC3\xA9 entier y  :=  0x1F\n[Node  =  3\n      a=1+2*3\n   b = \"\xC3\xA9 \\\" q\"\n"
                             " [ Inner\nc=-5\n      d = 3--5\n e = b.c ; f=&b->c\n]\n  ]\n"
                             "col = [Collection (4)\n1 2 3 4\n  5 6 7 8\n[m x = 1]\n]\n"
                             "r=1 , 2\nw = a or b\nm = 2 x 3\ncont = 1 + \\\n   2\nlimited[3F] z = 1.5\n"
                             "g = yesterday\nh = '\xC3\xA9'\nMessage x = 1\nWarning\n";
    EXPECT_TRUE(checkDocument("mixed", text));
}

} // namespace
