#include "tavric/text/Parser.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>

#include "tavric/model/ModelMessages.hpp"
#include "tavric/model/Tavric.hpp"
#include "tavric/model/TavricInternal.hpp"
#include "tavric/text/ExpressionNode.hpp"
#include "tavric/text/ParseMessages.hpp"
#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/WholeFile.hpp"

namespace zul {

namespace {

using PT = ParsingTools;

// The longest piece of text quoted back in a "Got '...'" message.
constexpr std::size_t quotedTextLength = 40;

bool readIdentifier(const std::string& text, std::size_t& position, std::string& out)
{
    if (position >= text.size() || !PT::isIdentifierStart(text[position]))
        return false;
    const std::size_t start = position;
    while (position < text.size() && PT::isIdentifierByte(text[position]))
        ++position;
    out.assign(text, start, position - start);
    return true;
}

// The access words that set the default rights alone, in the order they are tried.
struct RightsWord {
    WordList words;
    int rights;
};
const RightsWord rightsWords[] = {
    {lexicon::listOf(lexicon::privateWords), rightsPrivate},
    {lexicon::listOf(lexicon::lockedWords), rightsLocked},
    {lexicon::listOf(lexicon::protectedWords), rightsProtected},
    {lexicon::listOf(lexicon::publicWords), rightsPublic},
};

const RightsWord* matchRightsWord(const std::string& text, std::size_t& position)
{
    for (const RightsWord& word : rightsWords)
        if (PT::matchKeyword(text, position, word.words, PT::identifierSet) >= 0)
            return &word;
    return nullptr;
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool kindsAgree(int declared, int found)
{
    if (declared == KindNone || declared == found)
        return true;
    // "Field" accepts every plain value, reference, pointer and expression.
    return declared == KindValue && found >= KindValue && found <= KindComputed;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Entry points

void reportOpenInput(const Tavric& node, const std::string& path, const std::string& message)
{
    node.addMessage(parsemsg::OpenInput, message + "\n");
    Diagnostic diagnostic;
    diagnostic.code = parsemsg::OpenInput;
    diagnostic.range.entry = path;
    diagnostic.text = message;
    node.addDiagnostic(diagnostic);
}

std::string canonicalPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

bool loadInto(Tavric& node, const std::string& path, bool finalize, ParseContext& context)
{
    std::string text;
    const int error = readWholeFile(path, text);
    if (error != 0) {
        reportOpenInput(node, path, parsemsg::openInput(path, error, std::strerror(error)));
        return false;
    }
    node.setEntryName(path);
    return parseInto(node, text, finalize, context);
}

bool parseInto(Tavric& node, const std::string& text, bool finalize, ParseContext& context)
{
    bool accepted = false;
    const int depth = context.depth;
    const std::size_t includes = context.includeStack.size();
    try {
        Parser parser(node, text, context);
        accepted = parser.run();
    } catch (const std::bad_alloc&) {
        // What was built stays; the parse fails as for any other error.
        context.depth = depth;
        context.includeStack.resize(includes);
        node.report(ErrorMemory, modelmsg::memoryExhausted(text.size()));
    }
    node.setSystemAccess(true);
    if (finalize) {
        try {
            if (accepted)
                accepted = node.finalize();
        } catch (const std::bad_alloc&) {
            accepted = false;
            node.report(ErrorMemory, modelmsg::memoryExhausted(sizeof(Tavric)));
        }
        node.setSystemAccess(false);
    }
    return accepted;
}

namespace {

// The result of a read into root: the diagnostics from the first one not yet there.
ReadResult readResult(const Tavric& root, std::size_t before, bool accepted)
{
    ReadResult result;
    result.accepted = accepted;
    const std::vector<Diagnostic>& all = root.getRoot().diagnostics();
    if (before < all.size()) {
        try {
            result.diagnostics.assign(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
        } catch (const std::bad_alloc&) {
            // The root keeps them all the same.
        }
    }
    return result;
}

} // namespace

ReadResult load(Tavric& root, const std::string& path, const LoadOptions& options)
{
    if (&root == &nullField)
        return ReadResult();
    const std::size_t before = root.getRoot().diagnostics().size();
    ParseContext context;
    context.directives = options.directives ? &options.directives : nullptr;
    context.includeStack.push_back(canonicalPath(path));
    const bool accepted = loadInto(root, path, options.finalize, context);
    return readResult(root, before, accepted);
}

ReadResult parse(Tavric& root, const std::string& text, const ParseOptions& options)
{
    if (&root == &nullField)
        return ReadResult();
    const std::size_t before = root.getRoot().diagnostics().size();
    ParseContext context;
    context.directives = options.directives ? &options.directives : nullptr;
    context.tokens = options.tokens;
    context.keepCollectionValues = options.keepCollectionValues;
    context.includes = options.includes ? &options.includes : nullptr;
    if (!options.path.empty()) {
        context.includeStack.push_back(canonicalPath(options.path));
        root.setEntryName(options.path);
    }
    if (options.tokens != nullptr) {
        if (text.size() > maxRecordedText) {
            root.report(ErrorMemory, modelmsg::memoryExhausted(text.size()));
            return readResult(root, before, false);
        }
        // Few texts hold more than a token per two bytes. Reserved at once, the record is never
        // copied as it grows, and the pages it does not fill cost nothing.
        try {
            options.tokens->reserve(options.tokens->size() + text.size() / 2);
        } catch (const std::bad_alloc&) {
        }
    }
    const bool accepted = parseInto(root, text, options.finalize, context);
    return readResult(root, before, accepted);
}

// ---------------------------------------------------------------------------------------------
// Driver and messages

Parser::Parser(Tavric& target, const std::string& source, ParseContext& context)
    : target(target), original(source), stripped(source), context(context), entryName(target.getEntryName()),
      entryIndex(target.placeEntry(entryName)), tokens(context.tokens)
{
    context.tokens = nullptr;
}

void Parser::addToken(std::size_t begin, std::size_t end, TokenRole role)
{
    SourceToken made{begin, end - begin, role, Language::None};
    const bool word = role == TokenRole::Qualifier || role == TokenRole::Rights || role == TokenRole::Kind ||
                      role == TokenRole::Type || role == TokenRole::Directive || role == TokenRole::Value;
    if (word && begin < stripped.size() && PT::isIdentifierStart(stripped[begin]))
        made.language = wordLanguage(stripped, begin, end - begin);
    tokens->push_back(made);
}

bool Parser::run()
{
    // A byte-order mark some editors put first is no part of the document.
    std::size_t position = startsWithByteOrderMark() ? 3 : 0;
    PT::skipSeparators(stripped, position);
    int result = body(target, position);
    if (result != RuleError && !failed && position < stripped.size() && stripped[position] == ']') {
        error(parsemsg::UnopenedBracket, position, parsemsg::unopenedBracket);
        result = RuleError;
    }
    if (result != RuleError && !failed && PT::unclosedCommentAt(stripped, position))
        error(parsemsg::UnclosedComment, position, parsemsg::unclosedComment);
    const bool accepted = result != RuleError && !failed && position >= stripped.size();
    if (!accepted) {
        // The excerpt starts 3 bytes before the failing position; the caret stands under it.
        const std::size_t start = position >= 3 ? position - 3 : 0;
        std::string excerpt = stripped.substr(start, 20);
        for (char& c : excerpt)
            if (c == '\n' || c == '\r' || c == '\t')
                c = ' '; // keeps the excerpt on one line and the caret in place
        const int code = target.lastError();
        target.addMessage(code, parsemsg::endedOnError + excerpt + "\".\n");
        target.addMessage(code, std::string(30 + (position - start), ' ') + "^\n");
    }
    if (tokens != nullptr) {
        addGapTokens(stripped, *tokens);
        context.tokens = tokens;
    }
    return accepted;
}

void Parser::error(int code, std::size_t position, const std::string& message, std::size_t opened)
{
    // A rule that stops at a comment never closed stops because of it.
    if (position != noPosition && PT::unclosedCommentAt(stripped, position))
        record(parsemsg::UnclosedComment, position, parsemsg::unclosedComment, Severity::Error);
    else
        record(code, position, message, Severity::Error, opened);
    failed = true;
}

void Parser::note(int code, std::size_t position, const std::string& message)
{
    record(code, position, message, Severity::Note);
}

void Parser::record(int code, std::size_t position, const std::string& message, Severity severity,
                    std::size_t opened)
{
    Diagnostic diagnostic;
    diagnostic.code = code;
    diagnostic.severity = severity;
    diagnostic.range = rangeOfWordAt(position);
    diagnostic.text = message.compare(0, 2, ": ") == 0 ? message.substr(2) : message;
    target.addMessage(code, "(Entry " + entryName + ", line " + std::to_string(diagnostic.range.start.line) +
                                ", col " + std::to_string(diagnostic.range.start.column) + ")" + message + "\n");
    // A message about a whole field (a kind that does not match) keeps line 0 in its line, as it
    // always has; its record stands where the field is declared.
    if (position == noPosition && DiagnosticScope::current && DiagnosticScope::current->place().known())
        diagnostic.range = DiagnosticScope::current->place();
    if (opened != noPosition) {
        RelatedPlace where;
        where.range = rangeOf(opened, opened + 1);
        where.text = "opened here";
        diagnostic.related.push_back(where);
    }
    target.addDiagnostic(diagnostic);
}

SourceRange Parser::rangeOf(std::size_t begin, std::size_t end)
{
    SourceRange range;
    range.entry = entryName;
    range.start = positionAt(begin);
    range.end = positionAt(end);
    return range;
}

SourceRange Parser::rangeOfWordAt(std::size_t position)
{
    if (position == noPosition) {
        SourceRange range;
        range.entry = entryName;
        return range;
    }
    SourceRange range;
    range.entry = entryName;
    range.start = positionAt(position);
    // The same line: the column moves on by the bytes between.
    range.end = range.start;
    range.end.offset = PT::wordEnd(stripped, range.start.offset);
    range.end.column += static_cast<int>(range.end.offset - range.start.offset);
    return range;
}

bool Parser::warning(const Tavric& node, int code, std::size_t position, const std::string& message)
{
    record(code, position, message, Severity::Warning);
    if (!(node.stopsOnWarnings()))
        return true;
    failed = true;
    return false;
}

bool Parser::startsWithByteOrderMark() const
{
    return original.compare(0, 3, "\xEF\xBB\xBF") == 0;
}

SourcePosition Parser::positionAt(std::size_t position)
{
    // Fields are placed in the order of the text: counting on from the last place keeps a whole
    // parse linear.
    const std::size_t end = position < original.size() ? position : original.size();
    if (end < cursor.position)
        cursor = LineCursor();
    const char* text = original.data();
    while (const void* found = std::memchr(text + cursor.position, '\n', end - cursor.position)) {
        const std::size_t newline = static_cast<const char*>(found) - text;
        ++cursor.line;
        cursor.lineStart = newline + 1;
        cursor.position = newline + 1;
    }
    cursor.position = end;
    SourcePosition at;
    at.line = cursor.line;
    at.column = static_cast<int>(end - cursor.lineStart) + 1;
    at.offset = end;
    // The mark takes no room on the line as an editor shows it.
    if (at.line == 1 && end >= 3 && startsWithByteOrderMark())
        at.column -= 3;
    return at;
}

void Parser::placeField(Tavric& field, std::size_t position)
{
    field.setPlace(entryIndex, positionAt(position));
}

void Parser::endField(Tavric& field, std::size_t position)
{
    field.setPlaceEnd(positionAt(position));
}

void Parser::unreadable(std::size_t position)
{
    const unsigned char first = static_cast<unsigned char>(stripped[position]);
    if (first >= 0x80) {
        std::size_t end = position + 1;
        while (first >= 0xC0 && end < stripped.size() && end - position < 4 &&
               (static_cast<unsigned char>(stripped[end]) & 0xC0) == 0x80)
            ++end;
        error(parsemsg::NotAName, position, parsemsg::notNameCharacter(stripped.substr(position, end - position)));
    } else if (PT::isDigit(stripped[position])) {
        std::size_t end = position;
        while (end < stripped.size() && PT::isIdentifierByte(stripped[end]))
            ++end;
        error(parsemsg::NotAName, position, parsemsg::digitStartsName(stripped.substr(position, end - position)));
    } else {
        error(parsemsg::ExpectedName, position, parsemsg::expectedName(textAt(position)));
    }
}

std::string Parser::textAt(std::size_t position) const
{
    std::size_t end = position;
    while (end < stripped.size() && end - position < quotedTextLength && stripped[end] != '\n' && stripped[end] != '\r')
        ++end;
    return position < stripped.size() ? stripped.substr(position, end - position) : std::string();
}

bool Parser::enterLevel(std::size_t position)
{
    if (context.depth >= maxNestingDepth) {
        error(parsemsg::TooDeep, position, parsemsg::tooDeep(maxNestingDepth));
        return false;
    }
    ++context.depth;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Body, elements and bracketed nodes

int Parser::body(Tavric& node, std::size_t& position)
{
    if (assignment(node, position) == RuleError)
        return RuleError;
    for (;;) {
        const int result = element(node, position);
        if (result == RuleError)
            return RuleError;
        if (result == RuleNoMatch)
            return RuleAccepted;
        PT::skipSeparators(stripped, position);
        if (position >= stripped.size())
            return RuleAccepted;
    }
}

int Parser::element(Tavric& node, std::size_t& position)
{
    PT::skipSeparators(stripped, position);
    // The end of the text, a "]" or anything no rule reads ends the body; the caller judges it.
    if (position >= stripped.size() || stripped[position] == ']')
        return RuleNoMatch;
    const int directiveResult = directive(node, position);
    if (directiveResult != RuleNoMatch)
        return directiveResult;
    if (stripped[position] == '[') {
        std::unique_ptr<Tavric> made;
        if (bracketedNode(node, position, made) != RuleAccepted)
            return RuleError;
        node.adoptChild(made.release());
        return RuleAccepted;
    }
    std::unique_ptr<Tavric> field(node.makeChild(0));
    if (!field) {
        failed = true;
        return RuleError;
    }
    const std::size_t nameAt = position;
    const int declared = declaration(*field, position);
    if (declared == RuleNoMatch) {
        // After a bare Message word the text may end, or the scope close.
        if (position >= stripped.size() || stripped[position] == ']')
            return RuleNoMatch;
        unreadable(position);
        return RuleError;
    }
    if (declared != RuleAccepted)
        return RuleError;
    placeField(*field, nameAt);
    const int assigned = assignment(*field, position);
    if (assigned == RuleError)
        return RuleError;
    endField(*field, position);
    if (assigned == RuleNoMatch && followedByString(position)) {
        // A word and a quoted text on one line: a directive misspelt, not an empty field and a name.
        error(parsemsg::UnknownDirective, nameAt, parsemsg::unknownDirective(stripped.substr(nameAt, position - nameAt)));
        return RuleError;
    }
    node.adoptChild(field.release());
    return RuleAccepted;
}

bool Parser::followedByString(std::size_t position) const
{
    PT::skipBlanks(stripped, position);
    return position < stripped.size() && stripped[position] == '"';
}

int Parser::bracketedNode(Tavric& parent, std::size_t& position, std::unique_ptr<Tavric>& made)
{
    made.reset();
    if (!enterLevel(position))
        return RuleError;
    token(position, position + 1, TokenRole::Open);
    std::size_t p = position + 1;
    PT::skipBlanks(stripped, p);
    int result = RuleError;
    made.reset(parent.makeChild(0));
    if (!made) {
        failed = true;
    } else {
        const std::size_t nameAt = p;
        result = declaration(*made, p);
        if (result == RuleNoMatch)
            error(parsemsg::ExpectedName, p, parsemsg::expectedName(textAt(p)));
        else if (result == RuleAccepted)
            placeField(*made, nameAt);
        if (result == RuleAccepted && assignment(*made, p) == RuleError)
            result = RuleError;
        if (result == RuleAccepted && body(*made, p) == RuleError)
            result = RuleError;
        if (result == RuleAccepted) {
            if (p < stripped.size() && stripped[p] == ']') {
                token(p, p + 1, TokenRole::Close);
                ++p;
                endField(*made, p);
            } else {
                error(parsemsg::MissingBracket, p, parsemsg::missingBracket, position);
                result = RuleError;
            }
        } else {
            result = RuleError;
        }
    }
    leaveLevel();
    position = p;
    if (result != RuleAccepted)
        made.reset();
    return result;
}

// ---------------------------------------------------------------------------------------------
// Declarations

int Parser::declaration(Tavric& field, std::size_t& position)
{
    std::size_t p = position;
    PT::skipSeparators(stripped, p);
    const std::size_t start = p;
    if (qualifiers(field, p) == RuleError)
        return RuleError;

    static const WordList kindWords[] = {
        lexicon::listOf(lexicon::fieldKindWords), lexicon::listOf(lexicon::collectionKindWords),
        lexicon::listOf(lexicon::scriptKindWords), lexicon::listOf(lexicon::sequenceKindWords),
        lexicon::listOf(lexicon::xmlKindWords)};
    static const int kinds[] = {KindValue, KindCollection, KindProgram, KindSequence, KindXml};
    for (int i = 0; i < 5; ++i) {
        const std::size_t wordAt = p;
        if (PT::matchKeyword(stripped, p, kindWords[i], PT::identifierSet) >= 0) {
            token(wordAt, p, TokenRole::Kind);
            field.setKind(kinds[i]);
            field.setKindDeclared(true);
            PT::skipSeparators(stripped, p);
            break;
        }
    }
    if (typeSpecification(field, p) == RuleError)
        return RuleError;

    const std::size_t nameAt = p;
    const bool quoted = p < stripped.size() && stripped[p] == '"';
    if (quoted)
        ++p;
    std::string name;
    if (!readIdentifier(stripped, p, name)) {
        if (p == start)
            return RuleNoMatch;
        error(parsemsg::ExpectedName, p, parsemsg::expectedName(textAt(p)));
        return RuleError;
    }
    if (name == PT::reservedName) {
        error(parsemsg::ReservedName, p - 1, parsemsg::reservedName);
        return RuleError;
    }
    if (quoted && p < stripped.size() && stripped[p] == '"')
        ++p;
    const int id = field.getDictionary()->idOf(name);
    if (id == 0) {
        field.report(ErrorDictionary, modelmsg::dictionaryRefused(name));
        failed = true;
        return RuleError;
    }
    field.setNameId(id);
    token(nameAt, p, TokenRole::Name);
    position = p;
    return RuleAccepted;
}

int Parser::qualifiers(Tavric& field, std::size_t& p)
{
    const char* const ids = PT::identifierSet;
    for (;;) {
        const std::size_t wordAt = p;
        TokenRole role = TokenRole::Qualifier;
        if (PT::matchKeyword(stripped, p, lexicon::externWords, ids) >= 0) {
            field.setExternal(true);
        } else if (PT::matchKeyword(stripped, p, lexicon::localWords, ids) >= 0) {
            field.setLocal(true);
        } else if (const RightsWord* access = matchRightsWord(stripped, p)) {
            field.setDefaultRights(access->rights);
            role = TokenRole::Rights;
        } else if (PT::matchKeyword(stripped, p, lexicon::limitedWords, ids) >= 0) {
            role = TokenRole::Rights;
            // limited[XY]: X for the parent's identity, Y for everyone else; one digit is Y alone.
            if (p >= stripped.size() || stripped[p] != '[') {
                error(parsemsg::BadLimited, p, parsemsg::badLimited);
                return RuleError;
            }
            ++p;
            const std::size_t digits = p;
            if (p >= stripped.size() || hexDigitValue(stripped[p]) < 0) {
                error(parsemsg::BadLimited, p, parsemsg::badLimited);
                return RuleError;
            }
            while (p < stripped.size() && hexDigitValue(stripped[p]) >= 0)
                ++p;
            if (p >= stripped.size() || stripped[p] != ']') {
                error(parsemsg::BadLimited, p, parsemsg::badLimited);
                return RuleError;
            }
            int parentRights = 0;
            int defaultRights = hexDigitValue(stripped[digits]);
            if (p - digits >= 2) {
                parentRights = defaultRights;
                defaultRights = hexDigitValue(stripped[digits + 1]);
            }
            ++p;
            field.setDefaultRights(defaultRights);
            field.setParentRights(parentRights);
        } else if (PT::matchKeyword(stripped, p, lexicon::strictWords, ids) >= 0) {
            field.setStrict(true);
        } else if (PT::matchKeyword(stripped, p, lexicon::restrictedWords, ids) >= 0) {
            field.setRestricted(true);
        } else {
            return RuleAccepted;
        }
        token(wordAt, p, role);
        PT::skipSeparators(stripped, p);
    }
}

int Parser::typeSpecification(Tavric& field, std::size_t& p)
{
    const char* const ids = PT::identifierSet;
    bool declared = false;
    bool levelConst = false;
    std::size_t wordAt = p;
    if (PT::matchKeyword(stripped, p, lexicon::constWords, ids) >= 0) {
        token(wordAt, p, TokenRole::Type);
        declared = levelConst = true;
        PT::skipSeparators(stripped, p);
    }
    wordAt = p;
    for (std::size_t t = 0; t < std::size(lexicon::typeWords); ++t) {
        if (PT::matchKeyword(stripped, p, lexicon::typeWords[t], ids) < 0)
            continue;
        token(wordAt, p, TokenRole::Type);
        declared = true;
        field.declareType(static_cast<int>(t));
        PT::skipSeparators(stripped, p);
        if (t == TypeStruct) {
            std::string typeName;
            const std::size_t nameAt = p;
            if (!readIdentifier(stripped, p, typeName)) {
                error(parsemsg::ExpectedName, p, parsemsg::expectedName(textAt(p)));
                return RuleError;
            }
            token(nameAt, p, TokenRole::TypeName);
            field.setStructName(typeName);
            PT::skipSeparators(stripped, p);
        }
        break;
    }
    // A const after the type; written twice for the same level it is only a warning.
    for (std::size_t at = p; PT::matchKeyword(stripped, p, lexicon::constWords, ids) >= 0; at = p) {
        token(at, p, TokenRole::Type);
        if (levelConst && !warning(field, parsemsg::ConstTwice, at, parsemsg::constTwice))
            return RuleError;
        declared = levelConst = true;
        PT::skipSeparators(stripped, p);
    }
    // One ":" per level of indirection, each with its own optional const.
    std::vector<int> levels;
    while (p < stripped.size() && stripped[p] == ':' && (p + 1 >= stripped.size() || stripped[p + 1] != '=')) {
        token(p, p + 1, TokenRole::Type);
        ++p;
        levels.push_back(levelConst ? 1 : 0);
        declared = true;
        PT::skipSeparators(stripped, p);
        wordAt = p;
        levelConst = PT::matchKeyword(stripped, p, lexicon::constWords, ids) >= 0;
        if (levelConst) {
            token(wordAt, p, TokenRole::Type);
            PT::skipSeparators(stripped, p);
        }
    }
    if (declared) {
        field.setConstant(levelConst);
        if (!levels.empty())
            field.setPointerLevels(levels);
    }
    return RuleAccepted;
}

// ---------------------------------------------------------------------------------------------
// Assignments, special scopes and collections

int Parser::assignment(Tavric& field, std::size_t& position)
{
    const DiagnosticScope scope(field);
    std::size_t p = position;
    PT::skipBlanks(stripped, p);
    const std::size_t signAt = p;
    if (PT::matchAnyNoCase(stripped, p, PT::assignmentWords) < 0)
        return RuleNoMatch;
    token(signAt, p, TokenRole::Assignment);
    // A document's own value has no declaration: it stands where it is assigned.
    if (!field.hasOwnPlace())
        placeField(field, signAt);
    PT::skipBlanks(stripped, p);
    const int declaredKind = field.isKindDeclared() ? field.getKind() : KindNone;
    int foundKind = KindNone;
    int result = specialScope(field, p, foundKind);
    if (result == RuleNoMatch) {
        result = valueOrExpression(field, p);
        foundKind = field.getKind();
    }
    position = p;
    if (result == RuleError)
        return RuleError;
    endField(field, p);
    if (!kindsAgree(declaredKind, foundKind) &&
        !warning(field, parsemsg::KindMismatch, noPosition,
                 parsemsg::kindMismatch(Tavric::kindNames[declaredKind], Tavric::kindNames[foundKind])))
        return RuleError;
    return RuleAccepted;
}

int Parser::specialScope(Tavric& field, std::size_t& position, int& foundKind)
{
    std::size_t p = position;
    if (p >= stripped.size() || stripped[p] != '[')
        return RuleNoMatch;
    if (PT::matchAnyNoCase(stripped, p, PT::collectionScopeWords) >= 0) {
        token(position, p, TokenRole::Open);
        foundKind = KindCollection;
        const int result = collection(field, p);
        position = p;
        return result;
    }
    if (PT::matchAnyNoCase(stripped, p, PT::scriptScopeWords) >= 0) {
        token(position, p, TokenRole::Open);
        foundKind = KindProgram;
        PT::skipBlanks(stripped, p);
        PT::skipSeparators(stripped, p);
    } else if (PT::matchAnyNoCase(stripped, p, PT::sequenceScopeWords) >= 0) {
        token(position, p, TokenRole::Open);
        foundKind = KindSequence;
    } else if (PT::matchAnyNoCase(stripped, p, PT::xmlScopeWords) >= 0) {
        token(position, p, TokenRole::Open);
        foundKind = KindXml;
    } else {
        return RuleNoMatch;
    }
    field.setKind(foundKind);
    if (p >= stripped.size() || stripped[p] != ']') {
        error(parsemsg::MissingBracket, p, parsemsg::missingBracket, position);
        position = p;
        return RuleError;
    }
    token(p, p + 1, TokenRole::Close);
    position = p + 1;
    return RuleAccepted;
}

int Parser::collectionFormat(Tavric& field, std::size_t& p, int& valuesPerLine)
{
    int opened = 0;
    while (p < stripped.size() && stripped[p] == '(') {
        token(p, p + 1, TokenRole::Parenthesis);
        ++p;
        ++opened;
        PT::skipBlanks(stripped, p);
    }
    if (opened == 0)
        return RuleAccepted;
    const std::size_t numberAt = p;
    if (p < stripped.size() && stripped[p] != ')') {
        const char c = stripped[p];
        if ((c >= '0' && c <= '9') || c == '+' || c == '-') {
            Literal number;
            if (scanValue(p, number) == RuleError)
                return RuleError;
            if (number.type != TypeInt) {
                error(parsemsg::MissingParenthesis, numberAt, parsemsg::missingParenthesis);
                return RuleError;
            }
            valuesPerLine = number.intValue > INT_MAX ? INT_MAX : static_cast<int>(number.intValue);
            if (number.intValue < 1) {
                valuesPerLine = Collection::defaultValuesPerLine;
                if (!warning(field, parsemsg::BadValuesPerLine, numberAt, parsemsg::badValuesPerLine))
                    return RuleError;
            }
        }
        PT::skipBlanks(stripped, p);
    }
    if (p >= stripped.size() || stripped[p] != ')') {
        error(parsemsg::MissingParenthesis, p, parsemsg::missingParenthesis);
        return RuleError;
    }
    while (p < stripped.size() && stripped[p] == ')') {
        token(p, p + 1, TokenRole::Parenthesis);
        ++p;
    }
    return RuleAccepted;
}

int Parser::collection(Tavric& field, std::size_t& position)
{
    std::size_t p = position;
    field.setKind(KindCollection);
    Collection* elements = field.makeCollection();
    if (elements == nullptr) {
        failed = true;
        return RuleError;
    }
    PT::skipBlanks(stripped, p);
    int valuesPerLine = Collection::defaultValuesPerLine;
    if (collectionFormat(field, p, valuesPerLine) == RuleError) {
        position = p;
        return RuleError;
    }
    elements->valuesPerLine = valuesPerLine;
    if (!enterLevel(p)) {
        position = p;
        return RuleError;
    }
    Literal literal;
    int result = RuleAccepted;
    for (;;) {
        PT::skipSeparators(stripped, p);
        if (p >= stripped.size()) {
            // The scope word "[Collection" ends where this rule began.
            error(parsemsg::MissingBracket, p, parsemsg::missingBracket, stripped.rfind('[', position));
            result = RuleError;
            break;
        }
        const char c = stripped[p];
        if (c == ']') {
            token(p, p + 1, TokenRole::Close);
            ++p;
            break;
        }
        std::unique_ptr<Tavric> member;
        if (c == '[' && !(p + 1 < stripped.size() && stripped[p + 1] == ']')) {
            if (bracketedNode(field, p, member) != RuleAccepted) {
                result = RuleError;
                break;
            }
        } else if (!context.keepCollectionValues) {
            // A fresh member is untyped: storing the value could report nothing, so it is skipped.
            if (scanValue(p, literal) != RuleAccepted) {
                failed = true;
                result = RuleError;
                break;
            }
            continue;
        } else {
            if (scanValue(p, literal) != RuleAccepted) {
                failed = true;
                result = RuleError;
                break;
            }
            // A plain number is kept compact: its member is made when asked for.
            if (!literal.nothing && literal.kind == KindValue &&
                (literal.type == TypeInt || literal.type == TypeReal)) {
                if (!(literal.type == TypeInt ? elements->appendInt(literal.intValue)
                                              : elements->appendReal(literal.realValue))) {
                    failed = true;
                    result = RuleError;
                    break;
                }
                continue;
            }
            member.reset(field.makeChild(0));
            if (!member) {
                failed = true;
                result = RuleError;
                break;
            }
            storeLiteral(*member, literal, p);
        }
        if (!elements->append(member.get())) {
            failed = true;
            result = RuleError;
            break;
        }
        member.release();
    }
    leaveLevel();
    position = p;
    return result;
}

int Parser::valueOrExpression(Tavric& field, std::size_t& position)
{
    Literal literal;
    std::size_t p = position;
    const std::size_t mark = tokenMark();
    if (scanValue(p, literal) == RuleError) {
        position = p;
        return RuleError;
    }
    // A literal ends at a separator (or the end) after any blanks; anything else makes an expression.
    std::size_t after = p;
    PT::skipBlanks(stripped, after);
    if (after >= stripped.size() || stripped[after] == '\n' || stripped[after] == '\r' || stripped[after] == ';') {
        const std::size_t at = position;
        position = p;
        // What the store reports about the field covers its value.
        endField(field, p);
        return storeLiteral(field, literal, at) ? RuleAccepted : RuleError;
    }
    // Read again as an expression, with its own tokens.
    dropTokens(mark);
    std::unique_ptr<ExpressionNode> tree;
    std::size_t e = position;
    if (expressionLevel(field, 0, e, tree) != RuleAccepted) {
        position = e;
        return RuleError;
    }
    const std::size_t at = position;
    position = e;
    endField(field, e);
    if (tree->isOperand()) {
        // No operator at all (as in "x = 5]"): the value itself, as if it stood alone.
        return storeLiteral(field, literal, at) ? RuleAccepted : RuleError;
    }
    if (tree->isFolded()) {
        const Tavric& value = tree->foldedResult();
        if (&value != &nullField) {
            if (!field.isUntyped() && field.getType() != value.getType()) {
                field.report(ErrorTypeMismatch,
                             modelmsg::typeMismatch(Tavric::typeDescription(KindValue, value.getType(), {})));
                if (field.stopsOnWarnings()) {
                    failed = true;
                    return RuleError;
                }
                // Refused as the literal it folds to would be: neither value nor expression is
                // kept, so the field is written (and read back) as declared, without a value.
                return RuleAccepted;
            } else {
                field.storeFrom(value);
            }
        }
    }
    field.setExpression(tree.release());
    field.setKind(KindComputed);
    return RuleAccepted;
}

} // namespace zul
