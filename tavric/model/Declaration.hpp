#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zul {

// How the digits of a "limited[XY]" access word are written. The diagnostics have always written
// the whole numbers in capitals; the writer writes one lower-case digit each, the form the parser
// reads back.
enum class HexStyle { Diagnostic, Document };

// Hexadecimal digits of a number, without prefix (capitals when asked).
std::string hexText(uint32_t value, bool capitals);

// The access word of a field whose parent holds the rights word parentEntry on it: "private ",
// "locked ", "protected ", nothing for public, else "limited[XY] ".
std::string accessWord(int parentEntry, int defaultRights, HexStyle style);

// The words in front of a field's name, as the diagnostics and the writer both put them. Each word
// holds its trailing blank; an empty word is left out.
struct Declaration {
    std::string access;
    bool restricted = false;
    bool external = false;
    bool local = false;
    std::string kind;
    bool strict = false;
    std::string type;
    std::vector<int> levels; // ": " per level, "const : " for a constant level
    bool constant = false;
    // The writer puts "strict" before the kind word; the diagnostics after it.
    bool strictFirst = false;
};

// The declaration as text, each word in its terminal colour when asked.
std::string declarationText(const Declaration& words, bool colour);

} // namespace zul
