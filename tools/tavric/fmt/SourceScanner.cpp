// The parser's reading order, kept to positions only: each rule below mirrors the rule of the
// document parser with the same name and returns the same 0/1/2 results, but builds no field.

#include "tools/tavric/fmt/SourceScanner.hpp"

#include <algorithm>

#include "tavric/text/Operators.hpp"
#include "tavric/text/ParsingTools.hpp"

namespace tavricfmt {

namespace {

using PT = zul::ParsingTools;

enum Result { Error = 0, NoMatch = 1, Accepted = 2 };

// Far beyond the parser's own nesting limit (each level of it is two or three here), so that only
// texts the parser refuses anyway reach it.
constexpr int maxDepth = 1000;

class Scanner {
public:
    Scanner(const std::string& text, std::vector<Atom>& atoms) : s(text), n(text.size()), atoms(atoms) {}

    bool document(std::size_t& p)
    {
        PT::skipSeparators(s, p);
        return body(p) != Error && p >= n;
    }

private:
    char at(std::size_t p) const { return p < n ? s[p] : '\0'; }
    void add(std::size_t begin, std::size_t end, Role role) { atoms.push_back(Atom{begin, end, role, false}); }

    bool word(std::size_t& p, const char* const* words, std::size_t count)
    {
        const std::size_t start = p;
        if (PT::matchKeyword(s, p, words, count, PT::identifierSet) < 0)
            return false;
        add(start, p, Role::Word);
        return true;
    }
    template <std::size_t N>
    bool word(std::size_t& p, const char* const (&words)[N])
    {
        return word(p, words, N);
    }

    bool identifier(std::size_t& p)
    {
        if (!PT::isIdentifierStart(at(p)))
            return false;
        while (p < n && PT::isIdentifierByte(s[p]))
            ++p;
        return true;
    }

    // ---- bodies, elements, directives and bracketed nodes ----

    int body(std::size_t& p)
    {
        if (++depth > maxDepth)
            return Error;
        int result = assignment(p) == Error ? Error : Accepted;
        while (result == Accepted) {
            const int element = this->element(p);
            if (element != Accepted) {
                result = element == Error ? Error : Accepted;
                break;
            }
            PT::skipSeparators(s, p);
            if (p >= n)
                break;
        }
        --depth;
        return result;
    }

    int element(std::size_t& p)
    {
        PT::skipSeparators(s, p);
        if (p >= n || s[p] == ']')
            return NoMatch;
        const int directive = this->directive(p);
        if (directive != NoMatch)
            return directive;
        if (at(p) == '[')
            return bracketedNode(p);
        const int declared = declaration(p);
        if (declared != Accepted)
            return declared;
        return assignment(p) == Error ? Error : Accepted;
    }

    int directive(std::size_t& p)
    {
        enum { Include, Message, Warning, Failure };
        std::size_t q = p;
        int which = Failure;
        if (word(q, PT::includeWords) || word(q, PT::includeRawWords))
            which = Include;
        else if (word(q, PT::messageWords))
            which = Message;
        else if (word(q, PT::warningWords))
            which = Warning;
        else if (!word(q, PT::errorWords))
            return NoMatch;
        atoms.back().role = Role::Directive;
        const std::size_t wordEnd = q;
        PT::skipSeparators(s, q);
        if (at(q) != '"') {
            // A message without its text lets a declaration follow the word; a warning stands alone.
            p = wordEnd;
            return which == Message ? NoMatch : which == Warning ? Accepted : Error;
        }
        const std::size_t start = q;
        if (string(q) != Accepted)
            return Error;
        add(start, q, Role::Word);
        p = q;
        return Accepted;
    }

    int bracketedNode(std::size_t& p)
    {
        if (++depth > maxDepth)
            return Error;
        add(p, p + 1, Role::Open);
        std::size_t q = p + 1;
        PT::skipBlanks(s, q);
        int result = declaration(q) == Accepted ? Accepted : Error;
        if (result == Accepted && assignment(q) == Error)
            result = Error;
        if (result == Accepted && body(q) == Error)
            result = Error;
        if (result == Accepted && at(q) == ']') {
            add(q, q + 1, Role::Close);
            ++q;
        } else {
            result = Error;
        }
        --depth;
        p = q;
        return result;
    }

    // ---- declarations ----

    int declaration(std::size_t& p)
    {
        std::size_t q = p;
        PT::skipSeparators(s, q);
        const std::size_t start = q;
        if (qualifiers(q) == Error)
            return Error;
        if (word(q, PT::fieldKindWords) || word(q, PT::collectionKindWords) || word(q, PT::scriptKindWords) ||
            word(q, PT::sequenceKindWords) || word(q, PT::xmlKindWords))
            PT::skipSeparators(s, q);
        if (typeSpecification(q) == Error)
            return Error;
        const std::size_t nameStart = q;
        const bool quoted = at(q) == '"';
        if (quoted)
            ++q;
        const std::size_t identifierStart = q;
        if (!identifier(q))
            return q == start ? NoMatch : Error;
        if (q - identifierStart == 1 && s[identifierStart] == '_')
            return Error;
        if (quoted && at(q) == '"')
            ++q;
        add(nameStart, q, Role::Word);
        p = q;
        return Accepted;
    }

    int qualifiers(std::size_t& q)
    {
        for (;;) {
            const std::size_t start = q;
            if (PT::matchKeyword(s, q, PT::limitedWords, PT::identifierSet) >= 0) {
                // limited[XY] is one piece: no blank may stand inside it.
                if (at(q) != '[')
                    return Error;
                ++q;
                const std::size_t digits = q;
                PT::skipSetNoCase(s, q, "0123456789abcdef");
                if (q == digits || at(q) != ']')
                    return Error;
                ++q;
                add(start, q, Role::Word);
            } else if (!word(q, PT::externWords) && !word(q, PT::localWords) && !word(q, PT::privateWords) &&
                       !word(q, PT::lockedWords) && !word(q, PT::protectedWords) && !word(q, PT::publicWords) &&
                       !word(q, PT::strictWords) && !word(q, PT::restrictedWords)) {
                return Accepted;
            }
            PT::skipSeparators(s, q);
        }
    }

    int typeSpecification(std::size_t& q)
    {
        if (word(q, PT::constWords))
            PT::skipSeparators(s, q);
        for (std::size_t t = 0; t < PT::typeWordCount; ++t) {
            if (!word(q, PT::typeWords[t].words, PT::typeWords[t].count))
                continue;
            PT::skipSeparators(s, q);
            if (t == PT::typeWordCount - 1) {
                // A record names its type.
                const std::size_t start = q;
                if (!identifier(q))
                    return Error;
                add(start, q, Role::Word);
                PT::skipSeparators(s, q);
            }
            break;
        }
        while (word(q, PT::constWords))
            PT::skipSeparators(s, q);
        while (at(q) == ':' && at(q + 1) != '=') {
            add(q, q + 1, Role::Word);
            ++q;
            PT::skipSeparators(s, q);
            if (word(q, PT::constWords))
                PT::skipSeparators(s, q);
        }
        return Accepted;
    }

    // ---- assignments, special scopes, collections and expressions ----

    int assignment(std::size_t& p)
    {
        std::size_t q = p;
        PT::skipBlanks(s, q);
        const std::size_t sign = q;
        if (PT::matchAnyNoCase(s, q, PT::assignmentWords) < 0)
            return NoMatch;
        add(sign, q, Role::Assign);
        PT::skipBlanks(s, q);
        int result = specialScope(q);
        if (result == NoMatch)
            result = valueOrExpression(q);
        p = q;
        return result;
    }

    int specialScope(std::size_t& p)
    {
        std::size_t q = p;
        if (at(q) != '[')
            return NoMatch;
        if (PT::matchAnyNoCase(s, q, PT::collectionScopeWords) >= 0) {
            add(p, q, Role::Open);
            const int result = collection(q);
            p = q;
            return result;
        }
        const bool script = PT::matchAnyNoCase(s, q, PT::scriptScopeWords) >= 0;
        if (!script && PT::matchAnyNoCase(s, q, PT::sequenceScopeWords) < 0 &&
            PT::matchAnyNoCase(s, q, PT::xmlScopeWords) < 0)
            return NoMatch;
        add(p, q, Role::Open);
        if (script) {
            PT::skipBlanks(s, q);
            PT::skipSeparators(s, q);
        }
        if (at(q) != ']')
            return Error;
        add(q, q + 1, Role::Close);
        p = q + 1;
        return Accepted;
    }

    int collection(std::size_t& q)
    {
        PT::skipBlanks(s, q);
        int opened = 0;
        while (at(q) == '(') {
            add(q, q + 1, Role::Word);
            ++q;
            ++opened;
            PT::skipBlanks(s, q);
        }
        if (opened > 0) {
            const char c = at(q);
            if (q < n && c != ')') {
                if (PT::isDigit(c) || c == '+' || c == '-') {
                    const std::size_t start = q;
                    if (value(q) != Accepted)
                        return Error;
                    add(start, q, Role::Word);
                }
                PT::skipBlanks(s, q);
            }
            if (at(q) != ')')
                return Error;
            while (at(q) == ')') {
                add(q, q + 1, Role::Word);
                ++q;
            }
        }
        if (++depth > maxDepth)
            return Error;
        int result = Accepted;
        for (;;) {
            PT::skipSeparators(s, q);
            if (q >= n) {
                result = Error;
                break;
            }
            if (s[q] == ']') {
                add(q, q + 1, Role::Close);
                ++q;
                break;
            }
            if (s[q] == '[' && at(q + 1) != ']') {
                if (bracketedNode(q) != Accepted) {
                    result = Error;
                    break;
                }
                continue;
            }
            const std::size_t start = q;
            if (value(q) != Accepted) {
                result = Error;
                break;
            }
            add(start, q, Role::Word);
        }
        --depth;
        return result;
    }

    int valueOrExpression(std::size_t& p)
    {
        std::size_t q = p;
        if (value(q) != Accepted)
            return Error;
        // A literal ends at a line end, a ";" or the end; anything else makes an expression.
        std::size_t after = q;
        PT::skipBlanks(s, after);
        const char next = at(after);
        if (after >= n || next == '\n' || next == '\r' || next == ';') {
            add(p, q, Role::Word);
            p = q;
            return Accepted;
        }
        add(p, q, Role::Word);
        valueEnds.push_back(atoms.size());
        for (;;) {
            std::size_t r = q;
            PT::skipBlanks(s, r);
            zul::OperatorMatch match;
            if (!zul::matchOperator(s, r, match))
                break;
            std::size_t end = r + match.length;
            // A word operator's own blank belongs to the space after it.
            const std::size_t shown = match.length > 1 && s[end - 1] == ' ' ? end - 1 : end;
            add(r, shown, match.level == 0 ? Role::Comma : Role::Operator);
            PT::skipBlanks(s, end);
            const std::size_t operand = end;
            if (value(end) != Accepted)
                return Error;
            add(operand, end, Role::Word);
            valueEnds.back() = atoms.size();
            q = end;
        }
        p = q;
        return Accepted;
    }

    // ---- value forms, in the parser's order; positions only ----

    int value(std::size_t& p)
    {
        const char c = at(p);
        int result = NoMatch;
        if (c >= '1' && c <= '9') {
            std::size_t q = p;
            digits(q);
            if (at(q) == '.') {
                ++q;
                digits(q);
            }
            p = q;
            return Accepted;
        }
        if (PT::isDigit(c) || c == '+' || c == '-') {
            result = real(p);
            if (result == NoMatch)
                result = prefixed(p, "0x", "0123456789abcdef", true);
            if (result == NoMatch)
                result = prefixed(p, "0b", "01", false);
            if (result == NoMatch)
                result = octal(p);
        } else if (PT::isIdentifierStart(c)) {
            result = keyword(p);
        } else if (c == '\'') {
            result = character(p);
        } else if (c == '"') {
            result = string(p);
        } else if (c == '#' || c == '$') {
            std::size_t q = p + 1;
            if (c == '#')
                PT::skipSetNoCase(s, q, "0123456789abcdef");
            else
                digits(q);
            if (q == p + 1)
                return Error;
            p = q;
            return Accepted;
        }
        if (result == NoMatch && (PT::isIdentifierStart(c) || c == '&' || c == '[' || c == '{'))
            result = address(p);
        if (result == NoMatch)
            result = decimal(p);
        return result;
    }

    void signs(std::size_t& q) const
    {
        while (at(q) == '+' || at(q) == '-')
            ++q;
    }

    // A run of decimal digits; false when there is none.
    bool digits(std::size_t& q) const
    {
        const std::size_t start = q;
        while (PT::isDigit(at(q)))
            ++q;
        return q > start;
    }

    int real(std::size_t& p)
    {
        std::size_t q = p;
        signs(q);
        if (!digits(q) || at(q) != '.')
            return NoMatch;
        ++q;
        digits(q);
        p = q;
        return Accepted;
    }

    int prefixed(std::size_t& p, const char* prefix, const char* digits, bool withSigns)
    {
        std::size_t q = p;
        if (withSigns)
            signs(q);
        if (!PT::matchNoCase(s, q, prefix))
            return NoMatch;
        if (!PT::skipSetNoCase(s, q, digits))
            return Error;
        p = q;
        return Accepted;
    }

    int octal(std::size_t& p)
    {
        std::size_t q = p;
        signs(q);
        if (at(q) != '0')
            return NoMatch;
        ++q;
        while (at(q) >= '0' && at(q) <= '7')
            ++q;
        p = q;
        return Accepted;
    }

    int decimal(std::size_t& p)
    {
        std::size_t q = p;
        signs(q);
        if (!digits(q))
            return Error;
        p = q;
        return Accepted;
    }

    int keyword(std::size_t& p)
    {
        // Prefixes, as the parser matches them: "Yesterday" is "Yes" and then more text.
        if (PT::matchAnyNoCase(s, p, PT::nothingWords) >= 0 || PT::matchAnyNoCase(s, p, PT::nullAddressWords) >= 0 ||
            PT::matchAnyNoCase(s, p, PT::trueWords) >= 0 || PT::matchAnyNoCase(s, p, PT::falseWords) >= 0 ||
            PT::matchNoCase(s, p, PT::nullPointerWord))
            return Accepted;
        return NoMatch;
    }

    int escape(std::size_t& q)
    {
        const char c = at(q);
        if (c == '0') {
            while (at(q) >= '0' && at(q) <= '7')
                ++q;
            return Accepted;
        }
        if (q >= n || std::string("\"'\\abfnrtv").find(c) == std::string::npos)
            return Error;
        ++q;
        return Accepted;
    }

    int character(std::size_t& p)
    {
        std::size_t q = p + 1;
        if (at(q) == '\\') {
            ++q;
            if (escape(q) != Accepted)
                return Error;
        } else if (q < n) {
            const bool wide = static_cast<unsigned char>(s[q]) >= 128;
            ++q;
            if (wide && q < n)
                ++q;
        }
        if (at(q) != '\'' || q >= n)
            return Error;
        p = q + 1;
        return Accepted;
    }

    int string(std::size_t& p)
    {
        std::size_t q = p + 1;
        for (;;) {
            while (q < n && s[q] != '"' && s[q] != '\\')
                ++q;
            if (q >= n)
                return Error;
            if (s[q] == '"')
                break;
            ++q;
            if (escape(q) != Accepted)
                return Error;
        }
        p = q + 1;
        return Accepted;
    }

    bool rootMark(std::size_t q) const
    {
        return q + 1 < n && ((s[q] == '[' && s[q + 1] == ']') || (s[q] == '{' && s[q + 1] == '}'));
    }

    int address(std::size_t& p)
    {
        std::size_t q = p;
        const bool pointer = at(q) == '&';
        if (pointer)
            ++q;
        if (rootMark(q))
            q += 2;
        else if (!identifier(q))
            return pointer ? Error : NoMatch;
        for (;;) {
            std::size_t step = q;
            if (at(step) == '.')
                step += 1;
            else if (at(step) == '-' && at(step + 1) == '>')
                step += 2;
            else
                break;
            if (rootMark(step) || !identifier(step))
                return Error;
            q = step;
        }
        p = q;
        return Accepted;
    }

public:
    // Index of the first atom after the last operand of each value read as an expression: the
    // parser looked for one more operator there.
    std::vector<std::size_t> valueEnds;

private:
    const std::string& s;
    const std::size_t n;
    std::vector<Atom>& atoms;
    int depth = 0;
};

// ---------------------------------------------------------------------------------------------
// Comments and the blanks between atoms

// Where the parser's comment removal finds comments, with the same walk.
void findComments(const std::string& text, std::vector<Atom>& comments)
{
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        if (text[i] == '/' && i + 1 < size && text[i + 1] == '/') {
            const std::size_t start = i;
            while (i < size && text[i] != '\n')
                ++i;
            comments.push_back(Atom{start, i, Role::LineComment, false});
        } else if (text[i] == '/' && i + 1 < size && text[i + 1] == '*') {
            const std::size_t start = i;
            i += 2;
            while (i < size && !(text[i] == '*' && i + 1 < size && text[i + 1] == '/'))
                ++i;
            i = std::min(size, i + 2);
            comments.push_back(Atom{start, i, Role::BlockComment, false});
        } else {
            ++i;
        }
    }
}

bool continuationAt(const std::string& s, std::size_t i, std::size_t& length)
{
    if (s[i] != '\\')
        return false;
    if (s.compare(i, 3, "\\\r\n") == 0)
        length = 3;
    else if (i + 1 < s.size() && (s[i + 1] == '\n' || s[i + 1] == '\r'))
        length = 2;
    else
        return false;
    return true;
}

} // namespace

bool scanSource(const std::string& source, std::vector<Atom>& atoms, std::size_t& stoppedAt)
{
    std::string stripped = source;
    PT::stripComments(stripped);
    std::vector<Atom> code;
    std::size_t position = 0;
    Scanner scanner(stripped, code);
    if (!scanner.document(position)) {
        stoppedAt = position;
        return false;
    }
    for (std::size_t next : scanner.valueEnds) {
        // Only blanks (comments are blanks to the parser) and continuations up to that atom.
        if (next >= code.size())
            continue;
        std::size_t i = code[next - 1].end;
        std::size_t length = 0;
        while (i < code[next].begin &&
               (stripped[i] == ' ' || stripped[i] == '\t' || continuationAt(stripped, i, length)))
            i += (stripped[i] == '\\') ? length : 1;
        code[next].afterValue = i == code[next].begin;
    }
    std::vector<Atom> comments;
    findComments(source, comments);

    // Merge in source order. A comment mark inside a string is part of the string.
    atoms.clear();
    std::size_t c = 0;
    std::size_t end = 0;
    auto gap = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            std::size_t length = 0;
            if (stripped[i] == ';') {
                atoms.push_back(Atom{i, i + 1, Role::Semicolon, false});
            } else if (continuationAt(stripped, i, length)) {
                i += length - 1;
            } else if (stripped[i] != ' ' && stripped[i] != '\t' && stripped[i] != '\n' && stripped[i] != '\r') {
                stoppedAt = i;
                return false;
            }
        }
        return true;
    };
    for (const Atom& atom : code) {
        if (atom.begin < end) {
            stoppedAt = atom.begin;
            return false;
        }
        while (c < comments.size() && comments[c].begin < atom.begin) {
            if (comments[c].begin >= end) {
                if (!gap(end, comments[c].begin))
                    return false;
                atoms.push_back(comments[c]);
                end = comments[c].end;
            }
            ++c;
        }
        if (!gap(end, atom.begin))
            return false;
        atoms.push_back(atom);
        end = atom.end;
    }
    for (; c < comments.size(); ++c) {
        if (comments[c].begin >= end) {
            if (!gap(end, comments[c].begin))
                return false;
            atoms.push_back(comments[c]);
            end = comments[c].end;
        }
    }
    return gap(end, source.size());
}

} // namespace tavricfmt
