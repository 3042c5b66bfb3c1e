#pragma once

#include <cstddef>
#include <string>

#include "tavric/text/Words.hpp"

namespace zul {

// How an integer literal is written: its prefix and the digits allowed after it.
struct NumberForm {
    const char* prefix;
    const char* digits;
};

// Character-level reading of one whole text held in memory. Every matching operation takes the text
// and a byte position, advances the position only when it succeeds and leaves it unchanged otherwise.
// The byte at text.size() is the terminating NUL and marks the end of the text.
class ParsingTools {
public:
    // ---- character sets ----
    static constexpr const char* identifierStartSet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
    static constexpr const char* identifierSet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
    static constexpr const char* separatorSet = " \t\n\r;";
    static constexpr const char* blankSet = " \t";
    static constexpr const char* lineContinuations[] = {"\\\r\n", "\\\n", "\\\r"};

    // ---- token tables (the words of the language are in Words.hpp) ----
    static constexpr const char* assignmentWords[] = {"=", ":=", "<=", "<-"};
    static constexpr const char* scriptScopeWords[] = {"[Script"};
    static constexpr const char* sequenceScopeWords[] = {"[Sequence"};
    static constexpr const char* collectionScopeWords[] = {"[Collection"};
    static constexpr const char* xmlScopeWords[] = {"[XML"};
    static constexpr const char* scopeClose = "]";
    static constexpr const char* sizeWords[] = {"Byte", "Short", "Word", "Long"};

    // ---- single tokens ----
    static constexpr const char* reservedName = "_";
    static constexpr const char* dotToken = ".";
    static constexpr const char* arrowToken = "->";
    static constexpr const char* charQuote = "'";
    static constexpr const char* stringQuote = "\"";
    static constexpr const char* rootMark = "[]";
    static constexpr const char* braceRootMark = "{}";
    static constexpr const char* addressOfToken = "&";
    static constexpr const char* openParen = "(";
    static constexpr const char* closeParen = ")";
    static constexpr const char* listSeparator = ",";
    static constexpr const char* openBracket = "[";
    static constexpr const char* closeBracket = "]";
    static constexpr const char* typeSeparator = ":";
    static constexpr const char* starToken = "*";
    static constexpr const char* rawPointerPrefix = "#";
    static constexpr const char* descriptorPrefix = "$";
    static constexpr const char* questionToken = "?";
    static constexpr const char* nullPointerWord = "NULL";

    // ---- number forms, in this order: hexadecimal, decimal, octal, binary ----
    static constexpr NumberForm hexadecimalForm = {"0x", "0123456789abcdef"};
    static constexpr NumberForm decimalForm = {"", "0123456789"};
    static constexpr NumberForm octalForm = {"0", "01234567"};
    static constexpr NumberForm binaryForm = {"0b", "01"};
    static const NumberForm numberForms[4];

    // ---- terminal colours (escape character included) ----
    enum Colour {
        ColourBoldCyan = 0,
        ColourBoldBlue,
        ColourBoldRed,
        ColourBoldGreen,
        ColourMagenta,
        ColourBoldMagenta,
        ColourBoldYellow,
        ColourGrey,
        ColourBlackOnWhite,
        ColourReset,
        ColourCount
    };
    static constexpr const char* colours[ColourCount] = {"\x1b[1;36m",    "\x1b[1;34m", "\x1b[1;31m", "\x1b[1;32m",
                                                         "\x1b[0;35m",    "\x1b[1;35m", "\x1b[1;33m", "\x1b[1;30m",
                                                         "\x1b[0;30;47m", "\x1b[00m"};

    // ---- character classes (identifiers are ASCII; other bytes are never part of one) ----
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static bool isIdentifierStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
    static bool isIdentifierByte(char c) { return isIdentifierStart(c) || isDigit(c); }

    // ---- matching ----
    // "a" to "z" become capitals; every other byte, UTF-8 included, is kept.
    static int fold(char c);

    static bool startsWithNoCase(const std::string& text, std::size_t position, const char* word);
    static bool matchNoCase(const std::string& text, std::size_t& position, const char* word);
    // Index of the word that matched, or -1.
    static int matchAnyNoCase(const std::string& text, std::size_t& position, const char* const* words,
                              std::size_t count);
    // Whole-word match: the byte after the word must not be in the following set. When a word matches
    // only as a prefix the later synonyms are still tried, so "publique" follows "public" fine.
    // Index of the word that matched, or -1.
    static int matchKeyword(const std::string& text, std::size_t& position, const char* const* words, std::size_t count,
                            const char* followingSet);
    // The same, over the words of the language.
    static int matchAnyNoCase(const std::string& text, std::size_t& position, const Word* words, std::size_t count);
    static int matchKeyword(const std::string& text, std::size_t& position, const Word* words, std::size_t count,
                            const char* followingSet);
    static bool matchExact(const std::string& text, std::size_t& position, const char* literal);
    static int matchAnyExact(const std::string& text, std::size_t& position, const char* const* literals,
                             std::size_t count);

    template <std::size_t N>
    static int matchAnyNoCase(const std::string& text, std::size_t& position, const char* const (&words)[N])
    {
        return matchAnyNoCase(text, position, words, N);
    }
    template <std::size_t N>
    static int matchKeyword(const std::string& text, std::size_t& position, const char* const (&words)[N],
                            const char* followingSet)
    {
        return matchKeyword(text, position, words, N, followingSet);
    }
    template <std::size_t N>
    static int matchAnyNoCase(const std::string& text, std::size_t& position, const Word (&words)[N])
    {
        return matchAnyNoCase(text, position, words, N);
    }
    template <std::size_t N>
    static int matchKeyword(const std::string& text, std::size_t& position, const Word (&words)[N],
                            const char* followingSet)
    {
        return matchKeyword(text, position, words, N, followingSet);
    }
    template <std::size_t N>
    static int matchAnyExact(const std::string& text, std::size_t& position, const char* const (&literals)[N])
    {
        return matchAnyExact(text, position, literals, N);
    }
    static int matchKeyword(const std::string& text, std::size_t& position, const WordList& words,
                            const char* followingSet)
    {
        return matchKeyword(text, position, words.words, words.count, followingSet);
    }

    static bool skipSet(const std::string& text, std::size_t& position, const char* set);
    static bool skipSetNoCase(const std::string& text, std::size_t& position, const char* set);
    static bool inSetNoCase(const std::string& text, std::size_t position, const char* set);
    // Comments are read where blanks may stand, and only there: a "//" or "/*" inside a string or
    // character literal is part of it.
    // Separators and comments, repeatedly.
    static bool skipSeparators(const std::string& text, std::size_t& position);
    // Blanks, line continuations and comments, repeatedly. A "/*" comment may span lines.
    static bool skipBlanks(const std::string& text, std::size_t& position);
    // Length of the comment at the position: "//" to the line end (not included), "/*" to "*/".
    // 0 when none stands there, or when a "/*" is never closed (an error the parser reports).
    static std::size_t commentLength(const std::string& text, std::size_t position);
    static bool unclosedCommentAt(const std::string& text, std::size_t position);

    // ---- whole-text helpers ----
    // 1-based line and column of a byte position.
    static void lineAndColumn(const std::string& text, std::size_t position, int& line, int& column);
    // The end of what a message about a position points at: the word there (letters, digits, "_"
    // and the bytes of characters outside ASCII), else the one character there; the position itself
    // at a line's end or the text's.
    static std::size_t wordEnd(const std::string& text, std::size_t position);
};

} // namespace zul
