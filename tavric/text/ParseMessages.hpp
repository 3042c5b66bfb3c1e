#pragma once

#include <string>

// The texts of the parse, directive and expression diagnostics, each in one place. Every text
// follows the "(Entry NAME, line L, col C)" prefix that the parser puts in front of it.
namespace zul {
namespace parsemsg {

enum Code : int {
    OpenInput = 12,
    KindMismatch = 22,
    IncludeFailed = 23,
    MissingBracket = 24,
    ExpectedName = 25,
    ReservedName = 27,
    BadLimited = 28,
    ExpectedHex = 29,
    ExpectedBinary = 31,
    ExpectedValue = 32,
    ExpectedDescriptor = 33,
    DirectiveIncomplete = 34,
    BadEscape = 35,
    UnclosedChar = 36,
    UnclosedString = 37,
    ExpectedAddress = 38,
    ExpectedStepName = 41,
    ConstTwice = 42,
    ExpectedOperand = 43,
    RootNotFirst = 44,
    BadValuesPerLine = 45,
    MissingParenthesis = 46,
    // Our own, beyond the language's historic codes.
    DivisionByZero = 47,
    NegativeShift = 48,
    TooDeep = 49,
    SelfReference = 50,
    MalformedNumber = 60,
    NotAName = 61,
    UnopenedBracket = 62,
    UnknownDirective = 63,
    UnclosedComment = 64,
};

inline std::string openInput(const std::string& path, int error, const std::string& text)
{
    return "Parsing: Cannot open input file '" + path + "' for loading a new tree. Error code is " +
           std::to_string(error) + ": '" + text + "'.";
}
inline std::string notRegularFile(const std::string& path)
{
    return "Parsing: Cannot open input file '" + path + "' for loading a new tree. It is not a regular file.";
}
inline std::string kindMismatch(const std::string& expected, const std::string& found)
{
    return ": Warning, specified field structure and encountered one does not match. Expected " + expected +
           " and got " + found + ".";
}
inline std::string includeFailed(const std::string& path)
{
    return ": Error while resolving include directive '" + path + "'.";
}
inline std::string expectedName(const std::string& found)
{
    return ": Expected field name. Got '" + found + "'.";
}
inline std::string directiveIncomplete(const std::string& word)
{
    return ": Expected string after a directive. Directive '" + word + "' is incomplete.";
}
inline std::string tooDeep(int limit)
{
    return ": Too many nested levels of brackets, scopes or includes (more than " + std::to_string(limit) +
           "). The rest of the text is not read.";
}
inline std::string expectedOperand(const std::string& found)
{
    return ": Expected operand after an operator. '" + found + "' encountered instead.";
}

inline std::string malformedNumber(const std::string& number, const std::string& why)
{
    return ": Malformed number '" + number + "': " + why + ".";
}
constexpr const char* octalDigits = "a number that starts with 0 is octal, with the digits 0 to 7";
constexpr const char* binaryDigits = "a number that starts with 0b is binary, with the digits 0 and 1";
constexpr const char* twoPoints = "a number has one '.' at most";
constexpr const char* wholeOnly = "only decimal numbers have a fractional part";
constexpr const char* digitsOnly = "letters cannot follow the digits of a number";
// The character is one UTF-8 sequence (or a byte outside any).
inline std::string notNameCharacter(const std::string& character)
{
    return ": '" + character + "' cannot be part of a name: names are ASCII letters, digits and _";
}
inline std::string digitStartsName(const std::string& word)
{
    return ": '" + word + "' cannot be a name: names start with an ASCII letter or _";
}
inline std::string unknownDirective(const std::string& word)
{
    return ": Unknown directive '" + word + "'. The directives are Include, Includec, Message, Warning and Error.";
}
constexpr const char* unopenedBracket = ": Unexpected ']': no '[' is open here.";
constexpr const char* missingBracket = ": Missing ']' token to close node or special scope.";
constexpr const char* reservedName = ": Fieldname '_' is reserved.";
constexpr const char* badLimited = ": Bad 'limited' statement syntax. Syntax is 'limited[XY]', where X and Y are "
                                   "hexadecimal values for local scope and public.";
constexpr const char* expectedHex = ": Expected hexadecimal value after '0x' prefix or '#'.";
constexpr const char* expectedBinary = ": Expected binary value after '0b' prefix.";
constexpr const char* expectedValue = ": Expected value.";
constexpr const char* expectedDescriptor = ": Expected decimal value after '$' prefix to specify a descriptor.";
constexpr const char* badEscape =
    ": Bad character value encountered in character or string field. Unrecognized '\\?' format.";
constexpr const char* unclosedChar = ": Expected \"'\" after character value definition.";
constexpr const char* unclosedString = ": Expected '\"' after string value definition.";
constexpr const char* expectedAddress =
    ": Expected Tavric adress (a field, that could be considered as a variable) after '&' token.";
constexpr const char* expectedStepName = ": Expected field name after '.' or '->'.";
constexpr const char* constTwice = ": 'const' specified two times for the same value.";
constexpr const char* rootNotFirst = ": Root can only be used as the first element in a tavric address.";
constexpr const char* badValuesPerLine = ": Bad data per line value. Setting 16 instead of requested value.";
constexpr const char* missingParenthesis = ": Missing ')' after opening '('.";
constexpr const char* unclosedComment = ": Comment opened with '/*' is never closed with '*/'.";
constexpr const char* endedOnError = "Parsing: Ended on error near \"";

constexpr const char* divisionByZero = ": Division by zero. The expression has no value.";
constexpr const char* negativeShift = ": Shift by a negative amount. The expression has no value.";
constexpr const char* selfReference = ": Expression depends on its own value. It cannot be evaluated.";

} // namespace parsemsg
} // namespace zul
