#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/SourceToken.hpp"

namespace zul {

class Tavric;
class ExpressionNode;

// Brackets, special scopes and includes are parsed by recursion, a few frames per level (about
// 1 KB of stack per level with sanitizers, far less without). 200 levels keep the deepest parse
// well inside the default 8 MB stack while real documents nest fewer than ten.
constexpr int maxNestingDepth = 200;

// Rule results: a message has been reported and the parse stops; nothing of this rule stands at
// the position (which is unchanged); the rule accepted what it read.
enum RuleResult : int { RuleError = 0, RuleNoMatch = 1, RuleAccepted = 2 };

// Shared by a load or parse and every include below it.
struct ParseContext {
    // Files being read, outermost first (canonical paths), to refuse include cycles.
    std::vector<std::string> includeStack;
    int depth = 0;
    // Where directive texts go (none: nowhere).
    const DirectiveSink* directives = nullptr;
    // Where the outermost text's tokens go, when the caller asks for them (included texts are
    // other texts: their tokens are not recorded).
    SourceTokens* tokens = nullptr;
    // ParseOptions::keepCollectionValues, for every text of the load.
    bool keepCollectionValues = true;
    // Texts of included files given by the caller (none: every file is read).
    const IncludeSource* includes = nullptr;
};

// A value as read from the text, before it is stored into a field.
struct Literal {
    FieldKind kind = KindValue; // a value, a reference or a pointer
    int type = 0;               // FieldType of a value
    bool nothing = false;
    bool boolValue = false;
    bool clamped = false; // an integer beyond 64 bits, read as the nearest limit
    int64_t intValue = 0; // int, char, descriptor and raw pointer values
    double realValue = 0.0;
    std::string text; // string value, or address text of a reference or pointer
};

// The recursive-descent reader of one text into one field. Comments are read as blanks where blanks
// may stand (ParsingTools' skipping), so comment marks inside literals are text.
class Parser {
public:
    Parser(Tavric& target, const std::string& source, ParseContext& context);

    // Parses the whole text into the target; false when any rule failed or text remains.
    bool run();

    // Position meaning "no position": messages then print line 0 and column 0.
    static constexpr std::size_t noPosition = static_cast<std::size_t>(-1);

    // ---- shared with the directives and expressions ----
    const std::string& text() const { return stripped; }
    ParseContext& parseContext() { return context; }
    // Appends "(Entry ..., line ..., col ...)" and the text; an error (not a warning) fails the parse.
    // opened: where the bracket or quote that was never closed stands, for the record (a related
    // place "opened here"); noPosition when the error is about no such thing.
    void error(int code, std::size_t position, const std::string& message, std::size_t opened = noPosition);
    // The same line without failing the parse.
    void note(int code, std::size_t position, const std::string& message);
    // A warning: goes on (true) unless the node stops on warnings, which then fails the parse.
    bool warning(const Tavric& node, int code, std::size_t position, const std::string& message);
    // What stands at a position, for "Got '...'" messages: the rest of its line, cut short.
    std::string textAt(std::size_t position) const;
    // Value forms in order; RuleError after a message, RuleAccepted with the value in out.
    int scanValue(std::size_t& position, Literal& out);
    // The string form alone (directives' arguments).
    int scanString(std::size_t& position, std::string& out);
    // Stores a literal into a field, with the type check against a declared type.
    bool storeLiteral(Tavric& field, const Literal& literal, std::size_t position);

private:
    bool startsWithByteOrderMark() const;
    // Line, column and offset of a byte position (positions asked in text order cost a pass in all).
    SourcePosition positionAt(std::size_t position);
    SourceRange rangeOf(std::size_t begin, std::size_t end);
    // The word (or the one character) at a position, where a message about it points.
    SourceRange rangeOfWordAt(std::size_t position);
    // Where the field's declaration starts, then where it ends, kept with the field.
    void placeField(Tavric& field, std::size_t position);
    void endField(Tavric& field, std::size_t position);
    // Reports what stands where an element was expected and none begins.
    void unreadable(std::size_t position);
    // A string literal after blanks on the same line.
    bool followedByString(std::size_t position) const;
    void record(int code, std::size_t position, const std::string& message, Severity severity,
                std::size_t opened = noPosition);
    int body(Tavric& node, std::size_t& position);
    int element(Tavric& node, std::size_t& position);
    // "[" declaration, assignment, body, "]": the new node in made.
    int bracketedNode(Tavric& parent, std::size_t& position, std::unique_ptr<Tavric>& made);
    int declaration(Tavric& field, std::size_t& position);
    int qualifiers(Tavric& field, std::size_t& position);
    int typeSpecification(Tavric& field, std::size_t& position);
    int assignment(Tavric& field, std::size_t& position);
    int specialScope(Tavric& field, std::size_t& position, int& foundKind);
    int collection(Tavric& field, std::size_t& position);
    int collectionFormat(Tavric& field, std::size_t& position, int& valuesPerLine);
    int valueOrExpression(Tavric& field, std::size_t& position);
    int directive(Tavric& node, std::size_t& position);
    int include(Tavric& node, const std::string& path, bool raw, std::size_t at);
    // Hands a directive's text to the caller's sink.
    void emit(DirectiveKind kind, const std::string& text, std::size_t at, std::size_t end);

    // Value forms (Values.cpp).
    int scanValueForm(std::size_t& position, Literal& out);
    int scanReal(std::size_t& position, Literal& out);
    int scanKeyword(std::size_t& position, Literal& out);
    int scanInteger(std::size_t& position, Literal& out, const char* prefix, const char* digits, int base, bool signs,
                    int emptyCode, const char* emptyMessage);
    int scanOctal(std::size_t& position, Literal& out);
    int scanChar(std::size_t& position, Literal& out);
    int scanEscape(std::size_t& position, uint32_t& value);
    int scanRawPointer(std::size_t& position, Literal& out);
    int scanDescriptor(std::size_t& position, Literal& out);
    int scanAddress(std::size_t& position, Literal& out);
    int scanDecimal(std::size_t& position, Literal& out);
    // False, after a message, when the number from start runs on into letters, digits or a '.' at
    // end that no number form takes ("08", "1..2", "0x1F.5"); base 0 stands for a real. Inline:
    // map layers are made of numbers.
    bool numberEnds(std::size_t start, std::size_t end, int base)
    {
        if (end >= stripped.size())
            return true;
        const char c = stripped[end];
        const bool runsOn = (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_' || c == '.';
        return !runsOn || reportMalformedNumber(start, end, base);
    }
    // The message of numberEnds; false.
    bool reportMalformedNumber(std::size_t start, std::size_t end, int base);

    // Expressions (ExpressionParser.cpp).
    int expressionLevel(Tavric& field, int level, std::size_t& position, std::unique_ptr<ExpressionNode>& made);
    int expressionOperand(Tavric& field, std::size_t& position, std::unique_ptr<ExpressionNode>& made);

    // Records a token when the caller asks for them; nothing else otherwise.
    void token(std::size_t begin, std::size_t end, TokenRole role)
    {
        if (tokens != nullptr)
            addToken(begin, end, role);
    }
    void addToken(std::size_t begin, std::size_t end, TokenRole role);
    // Tokens recorded so far, to drop those of a reading that is read again another way.
    std::size_t tokenMark() const { return tokens != nullptr ? tokens->size() : 0; }
    void dropTokens(std::size_t mark)
    {
        if (tokens != nullptr)
            tokens->resize(mark);
    }

    bool enterLevel(std::size_t position);
    void leaveLevel() { --context.depth; }

    Tavric& target;
    const std::string& original;
    // The text the rules read: the same as original.
    const std::string& stripped;
    ParseContext& context;
    std::string entryName;
    uint32_t entryIndex = 0;
    // The line counted up to a position of the text.
    struct LineCursor {
        std::size_t position = 0;
        std::size_t lineStart = 0;
        int line = 1;
    };
    LineCursor cursor;
    bool failed = false;
    SourceTokens* tokens;
};

// The path with links and "." resolved, so that one file has one name (the path itself when it
// cannot be resolved).
std::string canonicalPath(const std::string& path);
// A file that cannot be read: its message line and its record.
void reportOpenInput(const Tavric& node, const std::string& path, const std::string& message);
// Reads a file into node, with the include stack of an enclosing load (or a fresh one).
bool loadInto(Tavric& node, const std::string& path, bool finalize, ParseContext& context);
// Parses a text into node, with the include stack of an enclosing load (or a fresh one).
bool parseInto(Tavric& node, const std::string& text, bool finalize, ParseContext& context);

} // namespace zul
