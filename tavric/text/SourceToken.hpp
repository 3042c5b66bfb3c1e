#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zul {

// What a piece of an accepted text is to the parser.
enum class TokenRole : std::uint8_t {
    Name,         // a field's name, with its quotes when it is written quoted
    TypeName,     // the name after a record type word
    Qualifier,    // extern, local, strict, restricted
    Rights,       // private, locked, protected, public, limited[XY]
    Kind,         // Field, Collection, Script, Sequence, XML
    Type,         // a type word, const, and the ":" of a level of indirection
    Value,        // a literal, keyword values and a directive's text included
    Address,      // a reference or a pointer: "&", root mark, names, "." and "->"
    Assignment,   // "=", ":=", "<=", "<-"
    Operator,     // an operator of an expression (a word operator without the blank it ends in)
    Sequence,     // the sequence operator ","
    Open,         // "[" of a node, "[Collection", "[Script", "[Sequence", "[XML"
    Close,        // the "]" that ends one of those
    Parenthesis,  // "(" and ")" of a collection's format
    Directive,    // the word of a directive
    Semicolon,    // a ";" between elements
    LineComment,  // "//" to the line end
    BlockComment, // "/*" to "*/"
    // Empty: after a value, where the parser looked for an operator and found none. What stands
    // there on the same line must not be laid out into one.
    ValueEnd,
};

enum class Language : std::uint8_t { None, English, French };

// One piece of the text, by byte offset and length; SourceLines gives its SourceRange. Twelve bytes:
// a large document records millions of them (one per number of a map layer), so offsets are 32 bits
// and lines and columns are counted only when asked for.
struct SourceToken {
    SourceToken() = default;
    SourceToken(std::size_t offset, std::size_t length, TokenRole role = TokenRole::Value,
                Language language = Language::None)
        : offset(static_cast<std::uint32_t>(offset)), length(static_cast<std::uint32_t>(length)), role(role),
          language(language)
    {
    }
    // Where the token ends: one past its last byte.
    std::size_t end() const { return std::size_t(offset) + length; }

    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    TokenRole role = TokenRole::Value;
    // For the words of the language's tables (qualifiers, kinds, types, directives, keyword values).
    Language language = Language::None;
    // An integer literal beyond 64 bits, which reads as the nearest limit.
    bool clamped = false;
};

static_assert(sizeof(SourceToken) == 12, "a token record is held whole: keep the token small");

// The longest text whose tokens can be recorded; a parse asked to record a longer one fails as
// out of memory (its tree alone would need many times more).
constexpr std::size_t maxRecordedText = UINT32_MAX;

using SourceTokens = std::vector<SourceToken>;

// The language of a table word as written (any letter case): French for the French synonyms,
// English otherwise.
Language wordLanguage(const std::string& text, std::size_t offset, std::size_t length);

// Adds the comments and ";" that stand between the tokens of an accepted text, and sorts the whole
// by offset. Between two tokens the parser reads only blanks, line ends, line continuations,
// comments and ";".
void addGapTokens(const std::string& text, SourceTokens& tokens);

} // namespace zul
