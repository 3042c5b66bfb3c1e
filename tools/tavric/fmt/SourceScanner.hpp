#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tavricfmt {

// What a piece of the source is to the layout: words and literals are kept as written, the rest
// decides blanks and indentation.
enum class Role {
    Word,         // name, keyword, literal, address, or any other piece kept as it is
    Directive,    // the word of a directive
    Assign,       // the assignment sign of a field
    Operator,     // a binary operator of an expression (without the blank a word operator ends in)
    Comma,        // the sequence operator
    Open,         // "[" of a node, "[Collection", "[Script", "[Sequence", "[XML"
    Close,        // the "]" that ends one of those
    Semicolon,    // a ";" standing as a separator
    LineComment,  // "//" to the end of the line
    BlockComment, // "/*" to "*/"
};

// A byte range of the source and its role. Everything between two atoms is blank: spaces, tabs,
// line ends and line continuations.
struct Atom {
    std::size_t begin;
    std::size_t end;
    Role role;
    // The parser looks for an operator at this atom (it follows a value on the same line) and
    // found none there: the layout must not make one appear (as "x=1" would "x =", the "x "
    // of multiplication).
    bool afterValue = false;
};

// Cuts a source the parser accepts into atoms. It follows the parser's rules step by step on the
// same comment-blanked text, so that it splits exactly where the parser reads; it decides nothing
// about values. False (with the position it stopped at) when the text is not one it can follow.
bool scanSource(const std::string& source, std::vector<Atom>& atoms, std::size_t& stoppedAt);

} // namespace tavricfmt
