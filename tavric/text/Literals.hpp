#pragma once

// Values as Tavric text: what the tree writer, the tools and other programs write, so that every
// writer of the language quotes, escapes and spells numbers alike.

#include <cstdint>
#include <string>

namespace zul {

enum class QuoteForm {
    // Every byte outside printable ASCII, and both quote marks, escaped: the tree writer's form,
    // whose texts (saved user data among them) survive any change of encoding.
    Ascii,
    // UTF-8 text and apostrophes as they are; control bytes, the double quote and the backslash
    // escaped: for texts people read (imported documents).
    Readable,
};

// A string literal, quotes included. A byte written as an octal escape has the octal digits that
// follow it escaped too, so that they do not extend the number.
std::string quotedString(const std::string& text, QuoteForm form = QuoteForm::Ascii);
// A character literal, quotes included: one byte, or two with the first in the low half as the
// parser stores them.
std::string quotedChar(std::uint16_t value);

// The literals of the truths and of an empty value, in English as the writer writes them.
const char* boolText(bool value);
extern const char* const nothingText;

enum class RealForm {
    // The fewest digits that read back as the same double.
    Shortest,
    // Sixteen decimals, more when sixteen would not read back the same: the tree writer's form, kept
    // so that a document or user data file written again without a change stays byte for byte the
    // same as the files earlier versions wrote.
    Writer,
};

// A real as the parser reads it: fixed notation (the language has no exponent) with a decimal
// point. Not a number is written 0.0, an infinity as a number too large for a double.
std::string realText(double value, RealForm form = RealForm::Shortest);

} // namespace zul
