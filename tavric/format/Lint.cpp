#include "tavric/format/Lint.hpp"

#include <algorithm>
#include <cctype>

#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/Words.hpp"

namespace zul {

namespace {

constexpr const char* keywordPrefix = "keyword-prefix";
constexpr const char* strayWord = "stray-word";
constexpr const char* duplicateField = "duplicate-field";
constexpr const char* integerOverflow = "integer-overflow";
constexpr const char* invalidUtf8 = "invalid-utf8";
constexpr const char* truncatedReal = "truncated-real";

std::string piece(const std::string& text, const SourceToken& token)
{
    return text.substr(token.offset, token.length);
}

std::string lower(std::string word)
{
    for (char& c : word)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word;
}

// Edits (insertions, deletions, changes, swaps of neighbours) from a to b.
std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// The type, access or qualifier word nearest to word, when it is a likely misspelling of one.
std::string nearestDeclarationWord(const std::string& word)
{
    // The first of equally near words wins: types, then access, then qualifiers.
    std::vector<WordList> lists;
    for (const WordClass wordClass : {WordClass::Type, WordClass::Access, WordClass::Qualifier})
        for (const WordMeaning& meaning : wordMeanings())
            if (meaning.wordClass == wordClass)
                lists.push_back(meaning.words);
    std::string best;
    std::size_t bestDistance = 3;
    const std::string written = lower(word);
    for (const WordList& list : lists)
        for (std::size_t i = 0; i < list.count; ++i) {
            const std::size_t distance = editDistance(written, list.words[i].spelling);
            if (distance < bestDistance && distance * 3 <= written.size()) {
                bestDistance = distance;
                best = list.words[i].spelling;
            }
        }
    return best;
}

bool isIntegerLiteral(const std::string& value)
{
    const std::size_t start = !value.empty() && value[0] == '-' ? 1 : 0;
    return start < value.size() && std::isdigit(static_cast<unsigned char>(value[start])) &&
           value.find('.') == std::string::npos;
}

bool isRealLiteral(const std::string& value)
{
    const std::size_t start = !value.empty() && value[0] == '-' ? 1 : 0;
    return start < value.size() && std::isdigit(static_cast<unsigned char>(value[start])) &&
           value.find('.') != std::string::npos;
}

// The offset of the first byte of a string that does not belong to well-formed UTF-8, or npos.
std::size_t badUtf8(const std::string& text, std::size_t from, std::size_t to)
{
    for (std::size_t i = from; i < to;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || (length == 2 && c < 0xC2) || (length == 4 && c > 0xF4) || i + length > to)
            return i;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return i;
        const unsigned char next = length > 1 ? static_cast<unsigned char>(text[i + 1]) : 0;
        if ((c == 0xE0 && next < 0xA0) || (c == 0xED && next >= 0xA0) || (c == 0xF0 && next < 0x90) ||
            (c == 0xF4 && next >= 0x90))
            return i; // an overlong form, a surrogate, or beyond U+10FFFF
        i += length;
    }
    return std::string::npos;
}

// Only blanks between two offsets: the same line, nothing in between.
bool onlyBlanks(const std::string& text, std::size_t from, std::size_t to)
{
    for (std::size_t i = from; i < to; ++i)
        if (text[i] != ' ' && text[i] != '\t')
            return false;
    return true;
}

bool startsDeclaration(TokenRole role)
{
    return role == TokenRole::Name || role == TokenRole::Type || role == TokenRole::Rights ||
           role == TokenRole::Qualifier || role == TokenRole::Kind;
}

// Names given in one node, to find a second declaration of the same field.
struct NodeNames {
    bool collection = false;
    std::set<std::string> valued; // names given a value with "=" and its kin
    std::set<std::string> opened; // names of nodes opened with "[NAME"
};

class Linter {
public:
    // Empty tokens mark places, not text: they are dropped in place (a copy would double the
    // memory that a large document's tokens take).
    Linter(const std::string& text, SourceTokens& all, const LintOptions& options)
        : text(text), tokens(all), options(options)
    {
        tokens.erase(
            std::remove_if(tokens.begin(), tokens.end(), [](const SourceToken& token) { return token.length == 0; }),
            tokens.end());
    }

    std::vector<LintFinding> run()
    {
        nodes.push_back(NodeNames());
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            wordSplit(i);
            strayName(i);
            nesting(i);
            literal(i);
            expression(i);
        }
        std::stable_sort(findings.begin(), findings.end(),
                         [](const LintFinding& a, const LintFinding& b) { return a.offset < b.offset; });
        return findings;
    }

private:
    void add(std::size_t offset, const char* name, std::string message, std::string hint)
    {
        if (!options.allowed.count(name))
            findings.push_back(LintFinding{offset, name, std::move(message), std::move(hint)});
    }

    const SourceToken* at(std::size_t i) const { return i < tokens.size() ? &tokens[i] : nullptr; }

    // A word the parser read in two: a keyword value and then a new field ("notes" as No, tes).
    void wordSplit(std::size_t i)
    {
        const SourceToken& token = tokens[i];
        const SourceToken* next = at(i + 1);
        if (!next || (next->role != TokenRole::Name && next->role != TokenRole::Address) ||
            token.role != TokenRole::Value)
            return;
        const std::size_t end = token.offset + token.length;
        if (next->offset != end || !ParsingTools::isIdentifierByte(text[end - 1]) ||
            !ParsingTools::isIdentifierByte(text[end]))
            return;
        const std::string word = piece(text, token) + piece(text, *next);
        add(token.offset, keywordPrefix,
            "'" + word + "' reads as the keyword '" + piece(text, token) + "' followed by " +
                (next->role == TokenRole::Name ? "a new field '" : "a reference to '") + piece(text, *next) + "'",
            "write \"" + word + "\" in quotes for text, or put a blank after '" + piece(text, token) + "'");
    }

    // A word alone before a declaration on the same line: it declares an empty field of its own.
    void strayName(std::size_t i)
    {
        const SourceToken& token = tokens[i];
        const SourceToken* next = at(i + 1);
        if (token.role != TokenRole::Name || !next || !startsDeclaration(next->role))
            return;
        if (namesNode(i))
            return; // "[node child = 1": the node's name, then its first child
        if (!onlyBlanks(text, token.offset + token.length, next->offset))
            return;
        const std::string word = piece(text, token);
        const std::string meant = nearestDeclarationWord(word);
        add(token.offset, strayWord,
            "'" + word + "' is not a type or access word: it declares an empty field of its own, before '" +
                piece(text, *next) + "'",
            meant.empty() ? "put each field on a line of its own, or remove '" + word + "'"
                          : "did you mean '" + meant + "'?");
    }

    // Whether the name at i is a bracketed node's, after the node's own declaration words
    // ("[private record Point p").
    bool namesNode(std::size_t i) const
    {
        while (i > 0) {
            const SourceToken& before = tokens[--i];
            if (before.role == TokenRole::Open)
                return true;
            if (before.role != TokenRole::Type && before.role != TokenRole::TypeName &&
                before.role != TokenRole::Rights && before.role != TokenRole::Qualifier &&
                before.role != TokenRole::Kind)
                return false;
        }
        return false;
    }

    // The nodes opened and closed, and the names declared in each.
    void nesting(std::size_t i)
    {
        const SourceToken& token = tokens[i];
        if (token.role == TokenRole::Open) {
            const bool named = !nodes.back().collection && piece(text, token) == "[";
            NodeNames inner;
            inner.collection = piece(text, token) != "["; // members have no names
            if (named && at(i + 1) && tokens[i + 1].role == TokenRole::Name) {
                // A node opened twice adds to the same node: not a second declaration.
                nodes.back().opened.insert(piece(text, tokens[i + 1]));
                skipName = i + 1;
            }
            nodes.push_back(inner);
            return;
        }
        if (token.role == TokenRole::Close) {
            if (nodes.size() > 1)
                nodes.pop_back();
            return;
        }
        if (token.role != TokenRole::Name || i == skipName)
            return;
        const SourceToken* next = at(i + 1);
        if (!next || next->role != TokenRole::Assignment)
            return;
        const std::string name = piece(text, token);
        NodeNames& node = nodes.back();
        if (!node.valued.insert(name).second || node.opened.count(name))
            add(token.offset, duplicateField,
                "'" + name + "' is declared a second time in the same node: this value replaces the first",
                "remove one of the two, or give this one another name");
    }

    // Literals the parser reads, but not as written.
    void literal(std::size_t i)
    {
        const SourceToken& token = tokens[i];
        if (token.role != TokenRole::Value)
            return;
        // The numbers of a map layer are most of a large document: only what may be text is looked at.
        const char first = text[token.offset];
        if (!token.clamped && first != '"' && first != '\'')
            return;
        const std::string value = piece(text, token);
        if (token.clamped)
            add(token.offset, integerOverflow,
                "'" + value + "' does not fit in 64 bits: it reads as " +
                    (value[0] == '-' ? "-9223372036854775808" : "9223372036854775807"),
                "write it as a real (with a decimal point), or as text in quotes");
        if (value[0] == '"' || value[0] == '\'') {
            const std::size_t bad = badUtf8(text, token.offset, token.offset + token.length);
            if (bad != std::string::npos)
                add(bad, invalidUtf8, "this text is not valid UTF-8: the game shows the bytes from here garbled",
                    "save the file as UTF-8");
        }
    }

    // An untyped field's expression takes the type of its first operand: "0 - 2.5" is -2.
    void expression(std::size_t i)
    {
        if (tokens[i].role != TokenRole::Assignment || i == 0 || tokens[i - 1].role != TokenRole::Name)
            return;
        if (i >= 2 && tokens[i - 2].role == TokenRole::Type)
            return; // a declared type says what the author wants
        const SourceToken* first = at(i + 1);
        if (!first || first->role != TokenRole::Value || !isIntegerLiteral(piece(text, *first)))
            return;
        for (std::size_t k = i + 2; k + 1 < tokens.size() && tokens[k].role == TokenRole::Operator; k += 2) {
            const SourceToken& operand = tokens[k + 1];
            if (operand.role != TokenRole::Value)
                return;
            if (isRealLiteral(piece(text, operand))) {
                const std::string whole = piece(text, *first);
                add(operand.offset, truncatedReal,
                    "'" + piece(text, operand) +
                        "' is cut to an integer: the expression takes the type of its "
                        "first operand, '" +
                        whole + "'",
                    "write '" + whole + ".0' to compute in reals");
                return;
            }
        }
    }

    const std::string& text;
    SourceTokens& tokens;
    const LintOptions& options;
    std::vector<NodeNames> nodes;
    std::vector<LintFinding> findings;
    std::size_t skipName = static_cast<std::size_t>(-1);
};

} // namespace

const std::vector<std::string>& lintNames()
{
    static const std::vector<std::string> names = {keywordPrefix, strayWord,     duplicateField,  integerOverflow,
                                                   invalidUtf8,   truncatedReal, "missing-target"};
    return names;
}

std::vector<LintFinding> lintText(const std::string& text, SourceTokens& tokens, const LintOptions& options)
{
    return Linter(text, tokens, options).run();
}

} // namespace zul
