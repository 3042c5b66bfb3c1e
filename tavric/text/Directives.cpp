// Directives among the fields: Include, Includec, Message, Warning, Error.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "tavric/model/Tavric.hpp"
#include "tavric/model/ModelMessages.hpp"
#include "tavric/text/ParseMessages.hpp"
#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/WholeFile.hpp"
#include "tavric/text/Parser.hpp"

namespace zul {

namespace {

enum Directive { Include, IncludeRaw, Message, Warning, Error, DirectiveCount };

// The word a directive is named by in messages.
const char* const directiveNames[DirectiveCount] = {"Include", "Include", "Message", "Warning", "Error"};

} // namespace

using PT = ParsingTools;

int Parser::directive(Tavric& node, std::size_t& position)
{
    const char* const ids = PT::identifierSet;
    std::size_t p = position;
    int which = -1;
    if (PT::matchKeyword(stripped, p, lexicon::includeWords, ids) >= 0)
        which = Include;
    else if (PT::matchKeyword(stripped, p, lexicon::includeRawWords, ids) >= 0)
        which = IncludeRaw;
    else if (PT::matchKeyword(stripped, p, lexicon::messageWords, ids) >= 0)
        which = Message;
    else if (PT::matchKeyword(stripped, p, lexicon::warningWords, ids) >= 0)
        which = Warning;
    else if (PT::matchKeyword(stripped, p, lexicon::errorWords, ids) >= 0)
        which = Error;
    if (which < 0)
        return RuleNoMatch;

    const std::size_t wordAt = position;
    const std::size_t wordEnd = p;
    token(wordAt, wordEnd, TokenRole::Directive);
    PT::skipSeparators(stripped, p);
    std::string argument;
    if (p >= stripped.size() || stripped[p] != '"') {
        const std::string message = parsemsg::directiveIncomplete(directiveNames[which]);
        if (which == Message) {
            // The parse goes on with a declaration after the word.
            note(parsemsg::DirectiveIncomplete, p, message);
            position = wordEnd;
            return RuleNoMatch;
        }
        if (which == Warning) {
            if (!warning(node, parsemsg::DirectiveIncomplete, p, message))
                return RuleError;
            position = wordEnd;
            return RuleAccepted;
        }
        error(parsemsg::DirectiveIncomplete, p, message);
        position = p;
        return RuleError;
    }
    const std::size_t argumentAt = p;
    if (scanString(p, argument) != RuleAccepted) {
        position = p;
        return RuleError;
    }
    token(argumentAt, p, TokenRole::Value);
    position = p;
    switch (which) {
    case Include:
    case IncludeRaw:
        return include(node, argument, which == IncludeRaw, wordAt);
    case Message:
        emit(DirectiveKind::Message, argument, wordAt, p);
        return RuleAccepted;
    case Warning:
        emit(DirectiveKind::Warning, argument, wordAt, p);
        return node.stopsOnWarnings() ? (failed = true, RuleError) : RuleAccepted;
    default:
        emit(DirectiveKind::Error, argument, wordAt, p);
        failed = true;
        return RuleError;
    }
}

void Parser::emit(DirectiveKind kind, const std::string& text, std::size_t at, std::size_t end)
{
    if (!context.directives)
        return;
    DirectiveText directive;
    directive.kind = kind;
    directive.text = text;
    directive.range = rangeOf(at, end);
    (*context.directives)(directive);
}

int Parser::include(Tavric& node, const std::string& path, bool raw, std::size_t at)
{
    // Messages of the included text name its path; afterwards the node keeps the name it had.
    const std::string saved = node.getEntryName();
    if (!enterLevel(at))
        return RuleError;
    const std::string canonical = canonicalPath(path);
    std::vector<std::string>& stack = context.includeStack;
    bool accepted = false;
    bool reportInclude = true;
    // A document names its includes itself (user data too): a device, a pipe or a socket there
    // would be read without end or wait for a writer forever. Only regular files are included.
    std::string given;
    const bool isGiven = context.includes && (*context.includes)(path, given);
    struct stat status;
    const bool special =
        !isGiven && ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
    if (special) {
        reportOpenInput(node, path, parsemsg::notRegularFile(path));
    } else if (std::find(stack.begin(), stack.end(), canonical) == stack.end()) {
        stack.push_back(canonical);
        if (isGiven) {
            node.setEntryName(path);
            accepted = parseInto(node, given, false, context);
        } else if (!raw) {
            accepted = loadInto(node, path, false, context);
        } else {
            std::string bytes;
            std::size_t size = 0;
            const int code = readWholeFile(path, bytes, FileKinds::Readable, &size);
            if (code == 0) {
                // Messages name the file that holds the text, as for a plain include.
                node.setEntryName(path);
                accepted = parseInto(node, bytes, false, context);
            } else if (code != ENOMEM) {
                reportOpenInput(node, path, parsemsg::openInput(path, code, std::strerror(code)));
            } else {
                node.report(ErrorMemory, modelmsg::memoryExhausted(size));
                reportInclude = false;
            }
        }
        stack.pop_back();
    }
    node.setEntryName(saved);
    leaveLevel();
    if (accepted)
        return RuleAccepted;
    if (reportInclude)
        error(parsemsg::IncludeFailed, at, parsemsg::includeFailed(path));
    failed = true;
    return RuleError;
}

} // namespace zul
