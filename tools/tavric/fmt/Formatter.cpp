#include "tools/tavric/fmt/Formatter.hpp"

#include <vector>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Operators.hpp"
#include "tavric/text/Documents.hpp"

namespace tavricfmt {

namespace {

using zul::TokenRole;

// A token of the parser's record as the layout sees it. Everything between two atoms is blank:
// spaces, tabs, line ends and line continuations. Words, literals and comments are kept as
// written; the other roles decide blanks and indentation.
struct Atom {
    std::size_t begin;
    std::size_t end;
    TokenRole role;
    // The parser looked for an operator at this atom (it follows a value on the same line) and
    // found none there: the layout must not make one appear (as "x=1" would "x =", the "x " of
    // multiplication).
    bool afterValue;
};

bool isComment(TokenRole role)
{
    return role == TokenRole::LineComment || role == TokenRole::BlockComment;
}

std::vector<Atom> atomsOf(const zul::SourceTokens& tokens)
{
    std::vector<Atom> atoms;
    atoms.reserve(tokens.size());
    std::size_t valueEnd = std::string::npos;
    for (const zul::SourceToken& token : tokens) {
        if (token.role == TokenRole::ValueEnd) {
            valueEnd = token.offset;
            continue;
        }
        const TokenRole role = token.role;
        const bool afterValue = token.offset == valueEnd && role != TokenRole::Semicolon && !isComment(role);
        if (!isComment(role))
            valueEnd = std::string::npos;
        atoms.push_back(Atom{token.offset, token.offset + token.length, role, afterValue});
    }
    return atoms;
}

// More than the longest operator synonym ("diff\xC3\xA9rent de ").
constexpr std::size_t operatorWindow = 32;

bool isOperator(TokenRole role)
{
    return role == TokenRole::Assignment || role == TokenRole::Operator;
}

// What stands between two atoms: how many line ends and whether a line continuation.
struct Gap {
    int lineEnds = 0;
    bool continued = false;
    bool empty = true;
};

Gap readGap(const std::string& source, std::size_t from, std::size_t to)
{
    Gap gap;
    gap.empty = from == to;
    for (std::size_t i = from; i < to; ++i) {
        const char c = source[i];
        if (c == '\\') {
            // "\\\r\n", "\\\n" or "\\\r": the scanner let no other backslash through.
            gap.continued = true;
            i += (i + 2 < to && source[i + 1] == '\r' && source[i + 2] == '\n') ? 2 : 1;
        } else if (c == '\n' || (c == '\r' && !(i + 1 < to && source[i + 1] == '\n'))) {
            ++gap.lineEnds;
        }
    }
    return gap;
}

class Layout {
public:
    Layout(const std::string& source, const std::vector<Atom>& atoms) : source(source), atoms(atoms) {}

    std::string run()
    {
        std::size_t keptFrom = 0;
        std::size_t keptTo = 0;
        for (std::size_t i = 0; i < atoms.size(); ++i) {
            const Atom& atom = atoms[i];
            if (atom.afterValue) {
                keptFrom = i;
                keptTo = keptGaps(i);
            }
            if (i == 0) {
                line = indentation(i);
            } else if (i > keptFrom && i <= keptTo) {
                line += source.substr(atoms[i - 1].end, atom.begin - atoms[i - 1].end);
            } else {
                const Atom& previous = atoms[i - 1];
                const Gap gap = readGap(source, previous.end, atom.begin);
                if (gap.lineEnds > 0) {
                    endLine();
                    if (gap.lineEnds > 1)
                        out += '\n';
                    line = indentation(i);
                } else if (gap.continued) {
                    line += " \\";
                    endLine();
                    line.assign(depth * indentWidth + continuationIndent, ' ');
                } else {
                    line += spacing(previous, atom, gap.empty);
                }
            }
            std::string text = source.substr(atom.begin, atom.end - atom.begin);
            if (atom.role == TokenRole::LineComment)
                trimEnd(text, " \t\r");
            line += text;
            if (atom.role == TokenRole::Open)
                ++depth;
            else if (atom.role == TokenRole::Close && depth > 0)
                --depth;
        }
        if (!atoms.empty())
            endLine();
        // The parser accepts a "Message" without its text only at the very end of the text: one
        // more line end after it would make the document refused.
        if (!atoms.empty() && atoms.back().role == TokenRole::Directive && atoms.back().end == source.size())
            out.pop_back();
        return out;
    }

private:
    static void trimEnd(std::string& text, const char* set)
    {
        const std::size_t last = text.find_last_not_of(set);
        text.erase(last == std::string::npos ? 0 : last + 1);
    }

    void endLine()
    {
        trimEnd(line, " \t");
        out += line;
        out += '\n';
        line.clear();
    }

    // The parser looks for an operator where the atom "first" stands. If the layout of the atoms
    // from there would read as one (a field "x" and its "=" become "x =", whose "x " multiplies),
    // the gaps inside that operator are kept as written. The last atom whose gap is kept, else
    // "first".
    std::size_t keptGaps(std::size_t first) const
    {
        std::string shown;
        std::vector<std::size_t> gapStarts(1, 0);
        for (std::size_t i = first; i < atoms.size() && shown.size() < operatorWindow; ++i) {
            if (i > first) {
                const Gap gap = readGap(source, atoms[i - 1].end, atoms[i].begin);
                if (gap.lineEnds > 0)
                    break;
                gapStarts.push_back(shown.size());
                if (gap.continued) {
                    shown += " \\";
                    break;
                }
                shown += spacing(atoms[i - 1], atoms[i], gap.empty);
            }
            // Comments are blanks to the parser.
            const std::size_t length = atoms[i].end - atoms[i].begin;
            shown += isComment(atoms[i].role) ? std::string(length, ' ') : source.substr(atoms[i].begin, length);
        }
        zul::OperatorMatch match;
        if (!zul::matchOperator(shown, 0, match))
            return first;
        std::size_t last = first;
        for (std::size_t k = 1; k < gapStarts.size() && gapStarts[k] < match.length; ++k)
            last = first + k;
        return last;
    }

    // A line that starts by closing nodes stands at the depth it closes to.
    std::string indentation(std::size_t first) const
    {
        std::size_t closing = 0;
        for (std::size_t i = first; i < atoms.size() && atoms[i].role == TokenRole::Close; ++i) {
            ++closing;
            if (i + 1 < atoms.size()) {
                const Gap gap = readGap(source, atoms[i].end, atoms[i + 1].begin);
                if (gap.lineEnds > 0 || gap.continued)
                    break;
            }
        }
        const std::size_t level = closing < depth ? depth - closing : 0;
        return std::string(level * indentWidth, ' ');
    }

    std::string spacing(const Atom& previous, const Atom& atom, bool touching) const
    {
        if (atom.role == TokenRole::Semicolon)
            return "";
        if (previous.role == TokenRole::Semicolon)
            return " ";
        // "[" and the name of its node.
        if (previous.role == TokenRole::Open && previous.end - previous.begin == 1 && !isComment(atom.role))
            return "";
        if (isOperator(previous.role) || isOperator(atom.role))
            return " ";
        if (atom.role == TokenRole::Sequence)
            return "";
        if (previous.role == TokenRole::Sequence)
            return " ";
        return touching ? "" : " ";
    }

    const std::string& source;
    const std::vector<Atom>& atoms;
    std::string out;
    std::string line;
    std::size_t depth = 0;
};

} // namespace

std::string formatTokens(const std::string& source, const zul::SourceTokens& tokens)
{
    const std::vector<Atom> atoms = atomsOf(tokens);
    // A byte-order mark, which the parser passes over, stays first as written.
    const char* const byteOrderMark = "\xEF\xBB\xBF";
    const bool marked = source.compare(0, 3, byteOrderMark) == 0;
    return (marked ? std::string(byteOrderMark) : std::string()) + Layout(source, atoms).run();
}

bool formatSource(const std::string& source, std::string& formatted)
{
    zul::NameDictionary names;
    zul::Tavric root(&names);
    zul::SourceTokens tokens;
    zul::ParseOptions options;
    options.finalize = false;
    options.tokens = &tokens;
    if (!zul::parse(root, source, options))
        return false;
    formatted = formatTokens(source, tokens);
    return true;
}

std::string withoutLayout(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // A backslash that ends a line (or the text) continues it: layout too.
        if (c == '\\' && (i + 1 == text.size() || text[i + 1] == '\n' || text[i + 1] == '\r'))
            continue;
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            out += c;
    }
    return out;
}

} // namespace tavricfmt
