#include "tavric/format/Formatter.hpp"

#include <sstream>
#include <vector>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Operators.hpp"
#include "tavric/text/Documents.hpp"

namespace zul {

namespace {

bool isComment(TokenRole role)
{
    return role == TokenRole::LineComment || role == TokenRole::BlockComment;
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

// Where the layout ends a token: a line comment loses its trailing blanks.
std::size_t laidOutEnd(const std::string& source, const SourceToken& token)
{
    std::size_t end = token.end();
    if (token.role == TokenRole::LineComment)
        while (end > token.offset && (source[end - 1] == ' ' || source[end - 1] == '\t' || source[end - 1] == '\r'))
            --end;
    return end;
}

// Lays the record out straight from it: a large document records millions of tokens, and a copy
// of them in another form would cost more than the text. The atoms are the tokens the layout
// shows: all but the empty ValueEnd marks, which tell of the atom after them. Everything between
// two atoms is blank: spaces, tabs, line ends and line continuations. Words, literals and comments
// are kept as written; the other roles decide blanks and indentation.
class Layout {
public:
    Layout(const std::string& source, const SourceTokens& tokens, const FormatOptions& options)
        : source(source), tokens(tokens), options(options)
    {
    }

    std::string run()
    {
        // A byte-order mark, which the parser passes over, stays first as written.
        const char* const byteOrderMark = "\xEF\xBB\xBF";
        if (source.compare(0, 3, byteOrderMark) == 0)
            out = byteOrderMark;
        // Most layouts are about as long as their source: reserved at once, the text is never copied
        // as it grows, and what it leaves unused is never touched.
        out.reserve(source.size() + source.size() / 4 + 64);
        std::size_t keptFrom = 0;
        std::size_t keptTo = 0;
        std::size_t previous = none;
        for (std::size_t i = nextAtom(none); i < tokens.size(); previous = i, i = nextAtom(i)) {
            const SourceToken& atom = tokens[i];
            if (afterValue(i)) {
                keptFrom = i;
                keptTo = keptGaps(i);
            }
            if (previous == none) {
                line = indentation(i);
            } else if (i > keptFrom && i <= keptTo) {
                line.append(source, tokens[previous].end(), atom.offset - tokens[previous].end());
            } else {
                const Gap gap = readGap(source, tokens[previous].end(), atom.offset);
                if (gap.lineEnds > 0) {
                    endLine();
                    if (gap.lineEnds > 1)
                        out += '\n';
                    line = indentation(i);
                } else if (gap.continued) {
                    line += " \\";
                    endLine();
                    line.assign(depth * options.indentWidth + options.continuationIndent, ' ');
                } else {
                    line += spacing(tokens[previous], atom, gap.empty);
                }
            }
            line.append(source, atom.offset, laidOutEnd(source, atom) - atom.offset);
            if (atom.role == TokenRole::Open)
                ++depth;
            else if (atom.role == TokenRole::Close && depth > 0)
                --depth;
        }
        if (previous != none) {
            endLine();
            // The parser accepts a "Message" without its text only at the very end of the text: one
            // more line end after it would make the document refused.
            if (tokens[previous].role == TokenRole::Directive && tokens[previous].end() == source.size())
                out.pop_back();
        }
        return std::move(out);
    }

private:
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    // The first atom after token i (none: from the start); tokens.size() when there is none.
    std::size_t nextAtom(std::size_t i) const
    {
        for (++i; i < tokens.size() && tokens[i].role == TokenRole::ValueEnd;)
            ++i;
        return i;
    }

    // The parser looked for an operator at this atom (it follows a value on the same line) and
    // found none there: the layout must not make one appear (as "x=1" would "x =", the "x " of
    // multiplication). Comments take room, so no atom after one stands where a mark before it does.
    bool afterValue(std::size_t i) const
    {
        const TokenRole role = tokens[i].role;
        return i > 0 && tokens[i - 1].role == TokenRole::ValueEnd && tokens[i - 1].offset == tokens[i].offset &&
               role != TokenRole::Semicolon && !isComment(role);
    }

    void endLine()
    {
        const std::size_t last = line.find_last_not_of(" \t");
        line.erase(last == std::string::npos ? 0 : last + 1);
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
        std::vector<std::size_t> atoms(1, first);
        for (std::size_t i = first, previous = none; i < tokens.size() && shown.size() < operatorWindow;
             previous = i, i = nextAtom(i)) {
            if (previous != none) {
                const Gap gap = readGap(source, tokens[previous].end(), tokens[i].offset);
                if (gap.lineEnds > 0)
                    break;
                gapStarts.push_back(shown.size());
                atoms.push_back(i);
                if (gap.continued) {
                    shown += " \\";
                    break;
                }
                shown += spacing(tokens[previous], tokens[i], gap.empty);
            }
            // Comments are blanks to the parser.
            if (isComment(tokens[i].role))
                shown.append(tokens[i].length, ' ');
            else
                shown.append(source, tokens[i].offset, tokens[i].length);
        }
        OperatorMatch match;
        if (!matchOperator(shown, 0, match))
            return first;
        std::size_t last = first;
        for (std::size_t k = 1; k < gapStarts.size() && gapStarts[k] < match.length; ++k)
            last = atoms[k];
        return last;
    }

    // A line that starts by closing nodes stands at the depth it closes to.
    std::string indentation(std::size_t first) const
    {
        std::size_t closing = 0;
        for (std::size_t i = first; i < tokens.size() && tokens[i].role == TokenRole::Close;) {
            ++closing;
            const std::size_t next = nextAtom(i);
            if (next < tokens.size()) {
                const Gap gap = readGap(source, tokens[i].end(), tokens[next].offset);
                if (gap.lineEnds > 0 || gap.continued)
                    break;
            }
            i = next;
        }
        const std::size_t level = closing < depth ? depth - closing : 0;
        return std::string(level * options.indentWidth, ' ');
    }

    static const char* spacing(const SourceToken& previous, const SourceToken& atom, bool touching)
    {
        if (atom.role == TokenRole::Semicolon)
            return "";
        if (previous.role == TokenRole::Semicolon)
            return " ";
        // "[" and the name of its node.
        if (previous.role == TokenRole::Open && previous.length == 1 && !isComment(atom.role))
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
    const SourceTokens& tokens;
    const FormatOptions& options;
    std::string out;
    std::string line;
    std::size_t depth = 0;
};

} // namespace

std::string formatTokens(const std::string& source, const SourceTokens& tokens, const FormatOptions& options)
{
    return Layout(source, tokens, options).run();
}

std::uint64_t readingDigest(const std::string& source, const SourceTokens& tokens)
{
    // FNV-1a, over each token's role, length and bytes as laid out.
    std::uint64_t digest = 14695981039346656037ull;
    const auto add = [&digest](unsigned char byte) { digest = (digest ^ byte) * 1099511628211ull; };
    for (const SourceToken& token : tokens) {
        const std::size_t end = laidOutEnd(source, token);
        add(static_cast<unsigned char>(token.role));
        for (int shift = 0; shift < 32; shift += 8)
            add(static_cast<unsigned char>((end - token.offset) >> shift));
        for (std::size_t i = token.offset; i < end; ++i)
            add(static_cast<unsigned char>(source[i]));
    }
    return digest;
}

bool formatSource(const std::string& source, std::string& formatted, const FormatOptions& layout)
{
    NameDictionary names;
    Tavric root(&names);
    SourceTokens tokens;
    ParseOptions options;
    options.finalize = false;
    options.tokens = &tokens;
    if (!parse(root, source, options))
        return false;
    formatted = formatTokens(source, tokens, layout);
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

std::string treeFingerprint(const Tavric& root)
{
    std::ostringstream text;
    WriteOptions options;
    options.raw = true;
    write(root, text, options);
    text << "\n----\n";
    options.raw = false;
    options.plain = true;
    write(root, text, options);
    return text.str();
}

} // namespace zul
