#include "DocumentAnalysis.hpp"

#include <algorithm>
#include <iterator>
#include <ostream>
#include <sstream>

#include "tavric/format/Lint.hpp"
#include "tools/tavric/ToolDocument.hpp"
#include "tools/tavric/ToolJson.hpp"
#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/SourceLines.hpp"
#include "tavric/text/Words.hpp"

namespace tavriclsp {

namespace {

// The code an editor shows and filters by: the name a warning carries at its end ("[missing-target]",
// taken off the message, since the editor shows the code beside it), else the library's number.
std::string diagnosticCode(int number, std::string& message)
{
    const std::size_t open = message.rfind(" [");
    if (open != std::string::npos && message.back() == ']' &&
        message.find_first_not_of("abcdefghijklmnopqrstuvwxyz-", open + 2) == message.size() - 1) {
        std::string name = message.substr(open + 2, message.size() - open - 3);
        message.erase(open);
        return name;
    }
    return "E" + std::to_string(number);
}

using zul::SourceToken;
using zul::Tavric;
using zul::TokenRole;

// A hover shows the start of a long value: the editor's box is no place for a whole node.
constexpr std::size_t hoverValueBytes = 400;

// Every word of the language's tables, for completion.
std::vector<std::string> keywords()
{
    std::vector<std::string> words;
    for (const zul::WordMeaning& meaning : zul::wordMeanings())
        for (std::size_t i = 0; i < meaning.words.count; ++i)
            words.push_back(meaning.words.words[i].spelling);
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

bool isNameByte(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x80 || u == '_' || (u >= '0' && u <= '9') || ((u | 0x20) >= 'a' && (u | 0x20) <= 'z');
}

// The first bytes of text, cut at a character's start.
std::string shortened(const std::string& text, std::size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    std::size_t cut = bytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut) + "…";
}

std::string rightsText(int rights)
{
    const char* word = rights == zul::rightsPublic      ? "public"
                       : rights == zul::rightsProtected ? "protected"
                       : rights == zul::rightsLocked    ? "locked"
                       : rights == zul::rightsPrivate   ? "private"
                                                        : "limited";
    std::string bits;
    for (int right : {zul::RightRead, zul::RightWrite, zul::RightExecute, zul::RightCreate})
        if (rights & right)
            bits += std::string(bits.empty() ? "" : ", ") + Tavric::rightName(right);
    return std::string(word) + " (" + std::to_string(rights) + ": " + (bits.empty() ? "none" : bits) + ")";
}

// A value as JSON shows it; a text as it is.
std::string jsonText(const nlohmann::ordered_json& value)
{
    if (value.is_string())
        return value.get<std::string>();
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// The text of a quoted directive argument, with the escapes a path may hold undone.
std::string unquoted(const std::string& literal)
{
    if (literal.size() < 2)
        return literal;
    std::string text;
    for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
        if (literal[i] == '\\' && i + 2 < literal.size())
            ++i;
        text += literal[i];
    }
    return text;
}

void collectChildren(const Tavric& field, std::vector<Completion>& items, const char* sortText)
{
    for (const auto& child : field.childrenById()) {
        const std::string& name = child.second->getName();
        if (name.empty())
            continue;
        Completion item;
        item.label = name;
        item.kind = ItemKind::Field;
        item.detail = child.second->declarationPrefix() + kindWord(*child.second);
        item.sortText = sortText + name;
        items.push_back(item);
    }
}

} // namespace

const char* kindWord(const Tavric& field)
{
    // The library's own names call most kinds "field"; an author tells them apart.
    static const char* const words[zul::fieldKindCount] = {"none",    "value",    "reference",  "pointer", "computed",
                                                           "program", "sequence", "collection", "xml"};
    const int kind = field.getKind();
    if (kind == zul::KindNone && field.childCount() > 0)
        return "node";
    return kind >= 0 && kind < zul::fieldKindCount ? words[kind] : "";
}

// ---------------------------------------------------------------------------------------------
// Loading

DocumentAnalysis::DocumentAnalysis(const std::string& path, std::string text, const zul::IncludeSource& includes)
    : documentPath(path), documentText(std::move(text))
{
    std::string problem;
    if (!tavrictool::acceptedText(documentText, tavrictool::InputKind::Document, problem)) {
        Finding finding;
        finding.range = zul::SourceLines(documentText, path).range(0, 0);
        finding.message = "this document " + problem;
        finding.code = "unreadable";
        found.push_back(finding);
        return;
    }
    tavrictool::LoadSteps steps;
    steps.warnAboutReferences = true;
    steps.tokens = &tokens;
    steps.text = &documentText;
    steps.includes = [this, &includes](const std::string& included, std::string& given) {
        includedPaths.push_back(included);
        return includes && includes(included, given);
    };
    steps.directives = [this](const zul::DirectiveText& directive) {
        const Level level = directive.kind == zul::DirectiveKind::Error     ? Level::Error
                            : directive.kind == zul::DirectiveKind::Warning ? Level::Warning
                                                                            : Level::Information;
        Finding finding;
        finding.range = directive.range;
        finding.level = level;
        finding.message = directive.text;
        finding.code = level == Level::Error     ? "error-directive"
                       : level == Level::Warning ? "warning-directive"
                                                 : "message-directive";
        found.push_back(finding);
    };
    // The report lays diagnostics out for a terminal; here they are taken from the tree's records.
    std::ostream nowhere(nullptr);
    tavrictool::Report report(nowhere, false);
    tavrictool::Source source;
    std::istringstream none;
    loaded = tavrictool::loadDocument(path, none, root, steps, report, source);
    for (const zul::Diagnostic& record : root.diagnostics()) {
        const Level level = record.severity == zul::Severity::Error     ? Level::Error
                            : record.severity == zul::Severity::Warning ? Level::Warning
                                                                        : Level::Information;
        Finding finding;
        finding.range = record.range;
        if (finding.range.entry.empty())
            finding.range.entry = path;
        finding.level = level;
        finding.message =
            !record.range.known() && !record.subject.empty() ? record.subject + ": " + record.text : record.text;
        finding.related = record.related;
        finding.code = diagnosticCode(record.code, finding.message);
        found.push_back(finding);
    }
    if (loaded) {
        const zul::SourceLines lines(documentText, path);
        for (const zul::LintFinding& lint : zul::lintText(documentText, tokens)) {
            Finding finding;
            finding.range = lines.range(lint.offset, zul::ParsingTools::wordEnd(documentText, lint.offset));
            finding.level = Level::Warning;
            finding.message = lint.text;
            if (!lint.hint.empty())
                finding.message += " (" + lint.hint + ")";
            finding.code = lint.name;
            found.push_back(finding);
        }
    }
    tokens.erase(std::remove_if(tokens.begin(), tokens.end(), [](const SourceToken& t) { return t.length == 0; }),
                 tokens.end());
    std::stable_sort(tokens.begin(), tokens.end(),
                     [](const SourceToken& a, const SourceToken& b) { return a.offset < b.offset; });
    outlineFields();
}

zul::Language DocumentAnalysis::language() const
{
    std::size_t french = 0;
    std::size_t english = 0;
    for (const SourceToken& token : tokens) {
        french += token.language == zul::Language::French;
        english += token.language == zul::Language::English;
    }
    return french > english ? zul::Language::French : zul::Language::English;
}

// ---------------------------------------------------------------------------------------------
// The outline

void DocumentAnalysis::outlineFields()
{
    struct Walk {
        DocumentAnalysis& self;
        void fields(const Tavric& node, std::vector<Symbol>& into)
        {
            for (const Tavric* child : node.childrenInOrder())
                field(*child, into);
            // Plain numbers are not fields until asked for, and have no place of their own: only
            // the bracketed members can be in the outline.
            if (const zul::Collection* members = node.getCollection())
                for (std::size_t i = 0; i < members->size(); ++i) {
                    int64_t integer;
                    double real;
                    if (members->plainInt(i, integer) || members->plainReal(i, real))
                        continue;
                    if (const Tavric* member = members->elementAt(i))
                        field(*member, into);
                }
        }
        void field(const Tavric& child, std::vector<Symbol>& into)
        {
            const zul::SourceRange place = child.place();
            if (!child.hasOwnPlace() || place.entry != self.documentPath) {
                fields(child, into);
                return;
            }
            Symbol symbol;
            symbol.field = &child;
            symbol.start = std::min(place.start.offset, self.documentText.size());
            symbol.declaration = symbol.start;
            symbol.nameStart = symbol.nameEnd = symbol.start;
            const zul::SourceTokens& tokens = self.tokens;
            auto at = std::lower_bound(tokens.begin(), tokens.end(), symbol.start,
                                       [](const SourceToken& t, std::size_t o) { return t.offset < o; });
            if (at != tokens.begin() && std::prev(at)->role == TokenRole::Open)
                symbol.start = std::prev(at)->offset;
            for (; at != tokens.end(); ++at) {
                if (at->role == TokenRole::Name) {
                    symbol.nameStart = at->offset;
                    symbol.nameEnd = at->offset + at->length;
                    break;
                }
                if (at->role != TokenRole::Qualifier && at->role != TokenRole::Rights && at->role != TokenRole::Kind &&
                    at->role != TokenRole::Type && at->role != TokenRole::TypeName)
                    break;
            }
            fields(child, symbol.children);
            into.push_back(std::move(symbol));
        }
    };
    Walk{*this}.fields(root, outline);

    std::vector<Symbol*> all;
    const auto gather = [&all](std::vector<Symbol>& list, const auto& self) -> void {
        for (Symbol& symbol : list) {
            all.push_back(&symbol);
            self(symbol.children, self);
        }
    };
    gather(outline, gather);
    std::stable_sort(all.begin(), all.end(), [](const Symbol* a, const Symbol* b) { return a->start < b->start; });
    // A declaration ends with its last token before the next field at its depth or above, or with
    // the "]" that closes it, or before the "]" of the node around it.
    for (std::size_t k = 0; k < all.size(); ++k) {
        Symbol& symbol = *all[k];
        const int depth = symbol.field->depth();
        std::size_t boundary = std::string::npos;
        for (std::size_t next = k + 1; next < all.size(); ++next)
            if (all[next]->field->depth() <= depth) {
                boundary = all[next]->start;
                break;
            }
        auto at = std::lower_bound(tokens.begin(), tokens.end(), symbol.start,
                                   [](const SourceToken& t, std::size_t o) { return t.offset < o; });
        const bool bracketed = at != tokens.end() && at->offset == symbol.start && at->role == TokenRole::Open;
        int open = 0;
        symbol.end = symbol.nameEnd;
        for (; at != tokens.end() && at->offset < boundary; ++at) {
            if (at->role == TokenRole::Open) {
                ++open;
            } else if (at->role == TokenRole::Close) {
                if (open == 0)
                    break;
                --open;
            }
            symbol.end = std::max<std::size_t>(symbol.end, at->offset + at->length);
            if (bracketed && open == 0)
                break;
        }
    }
    flat.assign(all.begin(), all.end());
}

const SourceToken* DocumentAnalysis::tokenAt(std::size_t offset) const
{
    auto after = std::upper_bound(tokens.begin(), tokens.end(), offset,
                                  [](std::size_t o, const SourceToken& t) { return o < t.offset; });
    if (after == tokens.begin())
        return nullptr;
    const SourceToken& token = *std::prev(after);
    // A cursor just after a word is still on it, as editors place it after a double click.
    return offset <= token.offset + token.length ? &token : nullptr;
}

const Symbol* DocumentAnalysis::symbolAt(std::size_t offset) const
{
    auto after =
        std::upper_bound(flat.begin(), flat.end(), offset, [](std::size_t o, const Symbol* s) { return o < s->start; });
    while (after != flat.begin()) {
        --after;
        if (offset <= (*after)->end)
            return *after;
    }
    return nullptr;
}

bool DocumentAnalysis::nameAt(std::size_t declaration, std::size_t& from, std::size_t& to) const
{
    auto after = std::upper_bound(flat.begin(), flat.end(), declaration,
                                  [](std::size_t o, const Symbol* s) { return o < s->start; });
    // A node's "[" stands before its declaration: the symbol is among the last few started.
    for (int step = 0; after != flat.begin() && step < 4; ++step) {
        --after;
        if ((*after)->declaration == declaration) {
            from = (*after)->nameStart;
            to = (*after)->nameEnd;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Hover and definition

std::string DocumentAnalysis::hover(std::size_t offset) const
{
    const Symbol* symbol = tokenAt(offset) ? symbolAt(offset) : nullptr;
    if (!symbol)
        return "";
    const Tavric& field = *symbol->field;
    std::string text = "```tavric\n" + field.declarationPrefix() + field.getName() + "\n```\n";
    // A reference left unresolved (in a text that did not load) has no type yet.
    text += "`" + field.getAddress() + "`: " + kindWord(field) +
            (field.getType() == zul::TypeVoid ? "" : std::string(", ") + Tavric::typeNameOf(field.getType())) + "  \n";
    text += "rights: " + rightsText(field.getDefaultRights()) + "  \n";
    const int kind = field.getKind();
    if (kind == zul::KindComputed)
        text += "expression: `" + shortened(jsonText(tavrictool::toJson(field, true, true)), hoverValueBytes) + "`  \n";
    if (kind == zul::KindReference || kind == zul::KindPointer)
        text += "refers to: `" + field.getAddressText() + "`  \n";
    // A node or a collection is described, not converted whole: it may hold a map's layers.
    const Tavric* holder = &field;
    for (int step = 0; step < 64 && holder->getTarget() &&
                       (holder->getKind() == zul::KindReference || holder->getKind() == zul::KindPointer);
         ++step)
        holder = holder->getTarget();
    const zul::Collection* members = holder->getCollection();
    if (holder->childCount() > 0 && holder->isEmpty())
        text += "value: a node of " + std::to_string(holder->childCount()) + " fields";
    else if (holder->childCount() > 0)
        text += "value: `" + shortened(holder->getString(zul::publicUser), hoverValueBytes) + "`, and a node of " +
                std::to_string(holder->childCount()) + " fields";
    else if (holder->getKind() == zul::KindCollection && members)
        text += "value: a collection of " + std::to_string(members->size()) + " members";
    else
        text +=
            "value: `" +
            shortened(
                tavrictool::toJson(field, true).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace),
                hoverValueBytes) +
            "`";
    if (!field.hasRight(zul::publicUser, zul::RightRead))
        text += " (the game may not read it)";
    return text + "\n";
}

std::vector<Fold> DocumentAnalysis::folds() const
{
    std::vector<Fold> found;
    std::vector<std::size_t> open; // indexes into found of the nodes not closed yet
    for (const SourceToken& token : tokens) {
        if (token.role == TokenRole::Open) {
            open.push_back(found.size());
            found.push_back({token.offset, token.offset, false});
        } else if (token.role == TokenRole::Close && !open.empty()) {
            found[open.back()].end = token.offset;
            open.pop_back();
        } else if (token.role == TokenRole::BlockComment) {
            found.push_back({token.offset, token.end() - 1, true});
        }
    }
    // A node the text leaves open (a parse that failed) has no end to fold to.
    found.erase(std::remove_if(found.begin(), found.end(), [](const Fold& f) { return f.end == f.start; }),
                found.end());
    return found;
}

std::vector<Occurrence> DocumentAnalysis::occurrences(std::size_t offset) const
{
    std::vector<Occurrence> found;
    const SourceToken* token = tokenAt(offset);
    if (!token || (token->role != TokenRole::Name && token->role != TokenRole::Address))
        return found;
    std::size_t from = std::max<std::size_t>(offset, token->offset);
    std::size_t to = from;
    while (from > token->offset && isNameByte(documentText[from - 1]))
        --from;
    while (to < token->end() && isNameByte(documentText[to]))
        ++to;
    if (from == to)
        return found;
    const std::string name = documentText.substr(from, to - from);
    for (const SourceToken& other : tokens) {
        if (other.role != TokenRole::Name && other.role != TokenRole::Address)
            continue;
        // Looked for within the token only: a search on through the text would cost a whole text per
        // token in a large document.
        for (std::size_t at = other.offset; at + name.size() <= other.end(); ++at) {
            const std::size_t end = at + name.size();
            if (documentText.compare(at, name.size(), name) == 0 &&
                (at == other.offset || !isNameByte(documentText[at - 1])) &&
                (end == other.end() || !isNameByte(documentText[end])))
                found.push_back({at, end, other.role == TokenRole::Name});
        }
    }
    return found;
}

bool DocumentAnalysis::definition(std::size_t offset, Definition& where) const
{
    const SourceToken* token = tokenAt(offset);
    if (!token)
        return false;
    const std::size_t index = static_cast<std::size_t>(token - tokens.data());
    if (token->role == TokenRole::Directive || token->role == TokenRole::Value) {
        const SourceToken* word = token->role == TokenRole::Directive ? token : index > 0 ? token - 1 : nullptr;
        const SourceToken* argument = token->role == TokenRole::Value ? token
                                      : index + 1 < tokens.size()     ? token + 1
                                                                      : nullptr;
        if (!word || !argument || word->role != TokenRole::Directive || argument->role != TokenRole::Value)
            return false;
        std::string name = documentText.substr(word->offset, word->length);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name.compare(0, 5, "inclu") != 0)
            return false;
        where.range.entry = unquoted(documentText.substr(argument->offset, argument->length));
        return true;
    }
    if (token->role != TokenRole::Address)
        return false;
    // The address runs over the neighbouring address tokens; it is taken up to the piece under the
    // cursor, so that a click on "player" in "_.player.name" goes to the player.
    std::size_t first = index;
    while (first > 0 && tokens[first - 1].role == TokenRole::Address &&
           tokens[first - 1].offset + tokens[first - 1].length == tokens[first].offset)
        --first;
    std::size_t end = std::max<std::size_t>(offset, token->offset);
    while (end < token->offset + token->length && isNameByte(documentText[end]))
        ++end;
    std::string address = documentText.substr(tokens[first].offset, end - tokens[first].offset);
    address.erase(0, address.find_first_not_of("&"));
    while (!address.empty() && (address.back() == '.' || address.back() == '>' || address.back() == '-'))
        address.pop_back();
    const Symbol* symbol = symbolAt(offset);
    if (address.empty() || !symbol)
        return false;
    // A member's address starts in its collection; any other field's beside the field.
    const Tavric& field = *symbol->field;
    const Tavric* from = field.getKind() == zul::KindCollection && offset > symbol->nameEnd ? &field
                         : field.getParent()                                                ? field.getParent()
                                                                                            : &field;
    const Tavric& target = from->resolve(address, zul::publicUser);
    if (&target == &zul::nullField || !target.hasOwnPlace())
        return false;
    where.range = target.place();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Completion

std::vector<std::string> DocumentAnalysis::nodesAround(std::size_t offset) const
{
    // Each open scope before the offset: "[" with the node's name after it, or a special scope
    // (a collection's opening) that belongs to the field named before its sign.
    std::vector<std::string> path;
    for (std::size_t i = 0; i < tokens.size() && tokens[i].offset < offset; ++i) {
        const SourceToken& token = tokens[i];
        if (token.role == TokenRole::Close) {
            if (!path.empty() && token.offset + token.length <= offset)
                path.pop_back();
        } else if (token.role == TokenRole::Open) {
            std::string name;
            if (token.length == 1) {
                for (std::size_t k = i + 1; k < tokens.size(); ++k)
                    if (tokens[k].role == TokenRole::Name) {
                        name = documentText.substr(tokens[k].offset, tokens[k].length);
                        break;
                    } else if (tokens[k].role == TokenRole::Open || tokens[k].role == TokenRole::Close) {
                        break;
                    }
            } else {
                for (std::size_t k = i; k-- > 0;)
                    if (tokens[k].role == TokenRole::Name) {
                        name = documentText.substr(tokens[k].offset, tokens[k].length);
                        break;
                    }
            }
            path.push_back(name);
        }
    }
    return path;
}

std::vector<Completion> DocumentAnalysis::completion(std::size_t offset, const DocumentAnalysis* lastGood) const
{
    offset = std::min(offset, documentText.size());
    const DocumentAnalysis& tree = loaded || !lastGood ? *this : *lastGood;
    const Tavric* node = &tree.root;
    for (const std::string& name : nodesAround(offset)) {
        const auto& children = node->childrenById();
        const auto child = std::find_if(children.begin(), children.end(),
                                        [&name](const auto& entry) { return entry.second->getName() == name; });
        if (child == children.end())
            break;
        node = child->second;
    }
    std::size_t word = offset;
    while (word > 0 && isNameByte(documentText[word - 1]))
        --word;
    std::vector<Completion> items;
    const bool arrow = word >= 2 && documentText.compare(word - 2, 2, "->") == 0;
    if ((word >= 1 && documentText[word - 1] == '.') || arrow) {
        const std::size_t baseEnd = word - (arrow ? 2 : 1);
        std::size_t base = baseEnd;
        while (base > 0 && (isNameByte(documentText[base - 1]) ||
                            std::string(".[]{}->&").find(documentText[base - 1]) != std::string::npos))
            --base;
        std::string address = documentText.substr(base, baseEnd - base);
        address.erase(0, address.find_first_not_of("&"));
        if (address.empty())
            return items;
        const Tavric* target = &node->resolve(address, zul::publicUser);
        if (arrow && target != &zul::nullField)
            target = &target->dereference(zul::publicUser);
        if (target != &zul::nullField)
            collectChildren(*target, items, "0");
        return items;
    }
    collectChildren(*node, items, "0");
    const zul::Language documentLanguage = language();
    for (const std::string& keyword : keywords()) {
        Completion item;
        item.label = keyword;
        item.detail = "keyword";
        const bool own = zul::wordLanguage(keyword, 0, keyword.size()) == documentLanguage;
        item.sortText = (own ? "1" : "2") + keyword;
        items.push_back(item);
    }
    return items;
}

} // namespace tavriclsp
