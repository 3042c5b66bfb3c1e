// The record of what the parser accepted: every token with its span, role and the language of
// its word, in the order of the text, and nothing of an included text.

#include <gtest/gtest.h>
#include <string>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/SourceToken.hpp"

using namespace zul;

namespace {

const char* const roleNames[] = {"Name",      "TypeName",   "Qualifier",   "Rights",       "Kind",    "Type",  "Value",
                                 "Address",   "Assignment", "Operator",    "Sequence",     "Open",    "Close", "Paren",
                                 "Directive", "Semicolon",  "LineComment", "BlockComment", "ValueEnd"};

// "Role:text" per token, "/fr" or "/en" after a word of the tables.
std::string recorded(const std::string& text)
{
    NameDictionary names;
    Tavric root(&names);
    SourceTokens tokens;
    ParseOptions options;
    options.finalize = false;
    options.tokens = &tokens;
    EXPECT_TRUE(parse(root, text, options)) << text;
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

} // namespace
