// The record of what the parser accepted: every token with its span, role and the language of
// its word, in the order of the text, and nothing of an included text.

#include <gtest/gtest.h>
#include <string>

#include "tavric/model/Collection.hpp"
#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/SourceToken.hpp"

using namespace zul;

namespace {

const char* const roleNames[] = {"Name",      "TypeName",   "Qualifier",   "Rights",       "Kind",    "Type",  "Value",
                                 "Address",   "Assignment", "Operator",    "Sequence",     "Open",    "Close", "Paren",
                                 "Directive", "Semicolon",  "LineComment", "BlockComment", "ValueEnd"};

// "Role:text" per token, "/fr" or "/en" after a word of the tables.
std::string shown(const std::string& text, const SourceTokens& tokens)
{
    std::string out;
    for (const SourceToken& token : tokens) {
        out += out.empty() ? "" : " ";
        out += roleNames[static_cast<int>(token.role)];
        out += ":" + text.substr(token.offset, token.length);
        if (token.language != Language::None)
            out += token.language == Language::French ? "/fr" : "/en";
    }
    return out;
}

// A parse that records its tokens: the verdict, the messages and the tokens shown.
struct Reading {
    bool accepted;
    std::string messages;
    std::string tokens;
};

Reading read(const std::string& text, bool keepCollectionValues, Tavric& root)
{
    SourceTokens tokens;
    ParseOptions options;
    options.finalize = false;
    options.tokens = &tokens;
    options.keepCollectionValues = keepCollectionValues;
    Reading reading{parse(root, text, options).accepted, "", ""};
    for (const std::string& line : root.messages())
        reading.messages += line;
    reading.tokens = shown(text, tokens);
    return reading;
}

std::string recorded(const std::string& text)
{
    NameDictionary names;
    Tavric root(&names);
    const Reading reading = read(text, true, root);
    EXPECT_TRUE(reading.accepted) << text;
    return reading.tokens;
}

TEST(SourceTokens, RecordWhatTheParserAccepted)
{
    const std::pair<std::string, const char*> cases[] = {
        {"priv\xC3\xA9 entier x := 0x1f // c\n",
         "Rights:priv\xC3\xA9/fr Type:entier/fr Name:x Assignment::= Value:0x1f LineComment:// c"},
        {"[n Field \"q\" = a.b + 2 ; y = 'c']",
         "Open:[ Name:n Kind:Field/en Name:\"q\" Assignment:= Address:a.b Operator:+ Value:2 ValueEnd: "
         "Semicolon:; Name:y Assignment:= Value:'c' ValueEnd: Close:]"},
        {"Message \"hi\" /* x */ l = [Collection (4) 1 Oui] s = [Script ]",
         "Directive:Message/en Value:\"hi\" BlockComment:/* x */ Name:l Assignment:= Open:[Collection Paren:( "
         "Value:4 Paren:) Value:1 Value:Oui/fr Close:] Name:s Assignment:= Open:[Script Close:]"},
        {"const int : const p = &a->b, 3\n",
         "Type:const/en Type:int/en Type:: Type:const/en Name:p Assignment:= Address:&a->b Sequence:, Value:3 "
         "ValueEnd:"},
        {"m = 2 x 3 // \"x\"\nstruct Point sp\n",
         "Name:m Assignment:= Value:2 Operator:x Value:3 LineComment:// \"x\" ValueEnd: Type:struct/en "
         "TypeName:Point Name:sp"},
        {"limited[3F] extern Inclure_x = Vrai\ns = \"a /* b\" ;; t = Nowhere",
         "Rights:limited[3F]/en Qualifier:extern/en Name:Inclure_x Assignment:= Value:Vrai/fr Name:s Assignment:= "
         "Value:\"a /* b\" Semicolon:; Semicolon:; Name:t Assignment:= Value:Nowhere/en"},
        {"Include \"" VELMORA_SOURCE_DIR "/content/text/En.tvr\" // the included text is another text",
         "Directive:Include/en Value:\"" VELMORA_SOURCE_DIR
         "/content/text/En.tvr\" LineComment:// the included text is another text"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(recorded(c.first), c.second) << c.first;
}

// Without the collections' plain values the parse reads, records and reports the same; only
// bracketed members stay in the tree.
TEST(SourceTokens, CollectionValuesNeedNotBeKept)
{
    const struct {
        const char* text;
        std::size_t kept; // members of l left without the values
    } cases[] = {
        {"l = [Collection 1 \"s\" [n x = 1] 'c' &a Nowhere]", 1},
        {"l = [Collection (0) 1 2]", 0},
        {"strict l = [Collection 1 [n int x = \"s\"] 2 [m int y = 2.5]]", 2},
        {"Collection l = [Collection 1 08 2]", 0},
        {"l = [Collection [n x = 1] 1 [m]", 0},
        {"int l = [Collection 1 2.5] \n m = [Collection [a = [Collection 1 2]]]", 0},
    };
    for (const auto& c : cases) {
        NameDictionary keptNames;
        Tavric kept(&keptNames);
        NameDictionary leanNames;
        Tavric lean(&leanNames);
        const Reading whole = read(c.text, true, kept);
        const Reading values = read(c.text, false, lean);
        EXPECT_EQ(values.accepted, whole.accepted) << c.text;
        EXPECT_EQ(values.messages, whole.messages) << c.text;
        EXPECT_EQ(values.tokens, whole.tokens) << c.text;
        const Collection* members = lean["l"].getCollection();
        EXPECT_EQ(members ? members->size() : 0u, c.kept) << c.text;
    }
}

} // namespace
