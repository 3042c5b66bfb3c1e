#include "LanguageServer.hpp"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>
#include <ostream>
#include <unistd.h>
#include <vector>

#include "MessageReader.hpp"
#include "tavric/format/Formatter.hpp"
#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/WholeFile.hpp"

namespace tavriclsp {

using nlohmann::json;

namespace {

// Symbol kinds as the protocol numbers them.
enum SymbolKind {
    SymbolFunction = 12,
    SymbolVariable = 13,
    SymbolString = 15,
    SymbolNumber = 16,
    SymbolBoolean = 17,
    SymbolArray = 18,
    SymbolObject = 19,
    SymbolField = 8
};

// The semantic token types and modifiers, in the order of the legend the server advertises.
const char* const tokenTypes[] = {"keyword", "modifier", "type",     "property", "variable",
                                  "number",  "string",   "operator", "macro",    "comment"};
enum TokenType {
    TypeKeyword,
    TypeModifier,
    TypeType,
    TypeProperty,
    TypeVariable,
    TypeNumber,
    TypeString,
    TypeOperator,
    TypeMacro,
    TypeComment,
    TypeNone
};
const char* const tokenModifiers[] = {"declaration"};

// The type an editor colours a piece of the text by; TypeNone for brackets and separators.
int tokenType(const zul::SourceToken& token, const std::string& text)
{
    switch (token.role) {
    case zul::TokenRole::Name:
        return TypeProperty;
    case zul::TokenRole::TypeName:
    case zul::TokenRole::Type:
        return TypeType;
    case zul::TokenRole::Qualifier:
    case zul::TokenRole::Rights:
        return TypeModifier;
    case zul::TokenRole::Kind:
        return TypeKeyword;
    case zul::TokenRole::Address:
        return TypeVariable;
    case zul::TokenRole::Assignment:
    case zul::TokenRole::Operator:
    case zul::TokenRole::Sequence:
        return TypeOperator;
    case zul::TokenRole::Directive:
        return TypeMacro;
    case zul::TokenRole::LineComment:
    case zul::TokenRole::BlockComment:
        return TypeComment;
    case zul::TokenRole::Value: {
        // A number (signed, or a real such as .5), a quoted text, else a keyword value (true, null...).
        const auto digit = [&text](std::size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
        const std::size_t at = token.offset;
        const char first = at < text.size() ? text[at] : ' ';
        if (digit(at) || ((first == '-' || first == '+' || first == '.') && (digit(at + 1) || digit(at + 2))))
            return TypeNumber;
        return first == '"' || first == '\'' ? TypeString : TypeKeyword;
    }
    default:
        return TypeNone;
    }
}

int symbolKind(const zul::Tavric& field)
{
    if (field.childCount() > 0)
        return SymbolObject;
    switch (field.getKind()) {
    case zul::KindReference:
    case zul::KindPointer:
        return SymbolVariable;
    case zul::KindComputed:
    case zul::KindProgram:
        return SymbolFunction;
    case zul::KindCollection:
    case zul::KindSequence:
        return SymbolArray;
    default:
        break;
    }
    switch (field.getType()) {
    case zul::TypeBool:
        return SymbolBoolean;
    case zul::TypeInt:
    case zul::TypeReal:
    case zul::TypeChar:
    case zul::TypeDescriptor:
        return SymbolNumber;
    case zul::TypeString:
        return SymbolString;
    default:
        return SymbolField;
    }
}

json position(const Position& at)
{
    return {{"line", at.line}, {"character", at.character}};
}

bool isUnreserved(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Files and URIs

std::string pathOfUri(const std::string& uri)
{
    if (uri.compare(0, 7, "file://") != 0)
        return uri;
    const std::size_t slash = uri.find('/', 7);
    const std::string encoded = slash == std::string::npos ? "" : uri.substr(slash);
    std::string path;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size() && hexValue(encoded[i + 1]) >= 0 &&
            hexValue(encoded[i + 2]) >= 0) {
            path += static_cast<char>(hexValue(encoded[i + 1]) * 16 + hexValue(encoded[i + 2]));
            i += 2;
        } else {
            path += encoded[i];
        }
    }
    return path;
}

std::string uriOfPath(const std::string& path)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : fileKey(path)) {
        if (isUnreserved(c)) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += digits[c >> 4];
            uri += digits[c & 15];
        }
    }
    return uri;
}

std::string fileKey(const std::string& path)
{
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string result(real);
        std::free(real);
        return result;
    }
    std::string whole = path;
    if (whole.empty() || whole[0] != '/') {
        char here[PATH_MAX];
        whole = std::string(::getcwd(here, sizeof here) ? here : "") + "/" + path;
    }
    std::vector<std::string> steps;
    std::size_t from = 0;
    while (from <= whole.size()) {
        std::size_t to = whole.find('/', from);
        if (to == std::string::npos)
            to = whole.size();
        const std::string step = whole.substr(from, to - from);
        if (step == "..") {
            if (!steps.empty())
                steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        from = to + 1;
    }
    std::string result;
    for (const std::string& step : steps)
        result += "/" + step;
    return result.empty() ? "/" : result;
}

// ---------------------------------------------------------------------------------------------
// Messages

void LanguageServer::send(const json& message)
{
    // Texts that are not UTF-8 (a document's bytes in a hover) go out with replacement characters.
    writeMessage(out, message.dump(-1, ' ', false, json::error_handler_t::replace));
}

void LanguageServer::respond(const json& id, const json& result)
{
    send({{"jsonrpc", "2.0"}, {"id", id}, {"result", result}});
}

void LanguageServer::fail(const json& id, int code, const std::string& message)
{
    send({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

void LanguageServer::refuseFraming(const std::string& problem)
{
    log << "tavric lsp: " << problem << '\n';
    fail(nullptr, ParseError, "malformed message: " + problem);
}

bool LanguageServer::handle(const std::string& body)
{
    const json message = json::parse(body, nullptr, false);
    if (message.is_discarded()) {
        fail(nullptr, ParseError, "the message is not JSON");
        return true;
    }
    // Parts of the message are used in place: a copy of a deeply nested value would recurse.
    static const json none;
    static const json noParams = json::object();
    const bool hasId = message.is_object() && message.contains("id");
    const json& id = hasId ? message["id"] : none;
    if (!message.is_object() || !message.contains("method") || !message["method"].is_string() ||
        (hasId && !id.is_number_integer() && !id.is_string())) {
        // A response from the client (to nothing the server asked) is not answered.
        if (message.is_object() && hasId && (message.contains("result") || message.contains("error")))
            return true;
        fail(hasId && (id.is_number_integer() || id.is_string()) ? id : none, InvalidRequest,
             "not a request or notification: an object with a method, and an id that is a number or a string");
        return true;
    }
    const std::string method = message["method"];
    if (method == "exit")
        return false;
    const json& params = message.contains("params") ? message["params"] : noParams;
    try {
        dispatch(method, id, params, hasId);
    } catch (const json::exception& problem) {
        if (hasId)
            fail(id, InvalidParams, std::string("invalid parameters for ") + method + ": " + problem.what());
        else
            log << "tavric lsp: invalid parameters for " << method << ": " << problem.what() << '\n';
    } catch (const std::bad_alloc&) {
        if (hasId)
            fail(id, InternalError, "memory ran out answering " + method);
        log << "tavric lsp: memory ran out handling " << method << '\n';
    }
    return true;
}

void LanguageServer::dispatch(const std::string& method, const json& id, const json& params, bool request)
{
    if (method == "initialize") {
        if (initialized)
            fail(id, InvalidRequest, "initialize was already received");
        else
            respond(id, initialize(params));
        return;
    }
    if (!initialized) {
        if (request)
            fail(id, ServerNotInitialized, "the server has not been initialized");
        return;
    }
    if (shutDown) {
        if (request)
            fail(id, InvalidRequest, "the server is shutting down");
        return;
    }
    if (!request) {
        if (method == "textDocument/didOpen")
            open(params.at("textDocument").at("uri"), params.at("textDocument").at("text"));
        else if (method == "textDocument/didChange")
            change(params);
        else if (method == "textDocument/didClose")
            close(params.at("textDocument").at("uri"));
        return; // others ("initialized", "$/cancelRequest", ...) need nothing
    }
    if (method == "shutdown") {
        shutDown = true;
        respond(id, nullptr);
        return;
    }
    const json result = answer(method, params);
    if (result.is_discarded())
        fail(id, MethodNotFound, "no method " + method);
    else
        respond(id, result);
}

json LanguageServer::answer(const std::string& method, const json& params)
{
    static const std::set<std::string> known = {
        "textDocument/formatting",        "textDocument/documentSymbol",     "textDocument/hover",
        "textDocument/definition",        "textDocument/completion",         "textDocument/foldingRange",
        "textDocument/documentHighlight", "textDocument/semanticTokens/full"};
    if (!known.count(method))
        return json(json::value_t::discarded);
    const OpenDocument* document = find(params);
    if (!document)
        return nullptr;
    if (method == "textDocument/formatting")
        return formatting(*document);
    if (method == "textDocument/documentSymbol")
        return symbols(*document);
    if (method == "textDocument/hover")
        return hover(*document, params);
    if (method == "textDocument/definition")
        return definition(*document, params);
    if (method == "textDocument/semanticTokens/full")
        return semanticTokens(*document);
    if (method == "textDocument/foldingRange")
        return foldingRanges(*document);
    if (method == "textDocument/documentHighlight")
        return highlights(*document, params);
    return completion(*document, params);
}

json LanguageServer::initialize(const json& params)
{
    initialized = true;
    const json* offered = nullptr;
    if (params.is_object() && params.contains("capabilities")) {
        const json& capabilities = params["capabilities"];
        if (capabilities.is_object() && capabilities.contains("general") && capabilities["general"].is_object() &&
            capabilities["general"].contains("positionEncodings"))
            offered = &capabilities["general"]["positionEncodings"];
    }
    if (offered && offered->is_array())
        for (const json& name : *offered)
            if (name == "utf-8")
                encoding = Encoding::Utf8;
    return {{"capabilities",
             {{"positionEncoding", encoding == Encoding::Utf8 ? "utf-8" : "utf-16"},
              {"textDocumentSync", {{"openClose", true}, {"change", 1}}},
              {"documentFormattingProvider", true},
              {"documentSymbolProvider", true},
              {"hoverProvider", true},
              {"definitionProvider", true},
              {"foldingRangeProvider", true},
              {"documentHighlightProvider", true},
              {"semanticTokensProvider",
               {{"legend", {{"tokenTypes", tokenTypes}, {"tokenModifiers", tokenModifiers}}}, {"full", true}}},
              {"completionProvider", {{"triggerCharacters", {".", ">"}}}}}},
            {"serverInfo", {{"name", "tavric"}}}};
}

// ---------------------------------------------------------------------------------------------
// Documents

LanguageServer::OpenDocument* LanguageServer::find(const json& params)
{
    const std::string key = fileKey(pathOfUri(params.at("textDocument").at("uri").get<std::string>()));
    const auto found = documents.find(key);
    return found == documents.end() ? nullptr : &found->second;
}

bool LanguageServer::openText(const std::string& path, std::string& text) const
{
    const auto found = documents.find(fileKey(path));
    if (found == documents.end())
        return false;
    text = found->second.analysis->text();
    return true;
}

void LanguageServer::open(const std::string& uri, std::string text)
{
    const std::string key = fileKey(pathOfUri(uri));
    OpenDocument& document = documents[key];
    document.uri = uri;
    analyse(document, std::move(text));
    reanalyseIncluders(key);
}

void LanguageServer::change(const json& params)
{
    OpenDocument* document = find(params);
    if (!document)
        return;
    std::string text = document->analysis->text();
    for (const json& edit : params.at("contentChanges")) {
        if (!edit.contains("range")) {
            text = edit.at("text").get<std::string>();
            continue;
        }
        // Changes of a range are taken too, though the server asks for whole texts.
        const TextPositions positions(text, encoding);
        // at(), not [], throughout: [] on a member that is missing is undefined on a constant value.
        const json& start = edit.at("range").at("start");
        const json& end = edit.at("range").at("end");
        const std::size_t from =
            positions.offset(start.at("line").get<std::size_t>(), start.at("character").get<std::size_t>());
        const std::size_t to =
            positions.offset(end.at("line").get<std::size_t>(), end.at("character").get<std::size_t>());
        text.replace(from, to > from ? to - from : 0, edit.at("text").get<std::string>());
    }
    analyse(*document, std::move(text));
    reanalyseIncluders(fileKey(pathOfUri(document->uri)));
}

void LanguageServer::close(const std::string& uri)
{
    const auto found = documents.find(fileKey(pathOfUri(uri)));
    if (found == documents.end())
        return;
    const std::string key = found->first;
    std::set<std::string> cleared = found->second.published;
    cleared.insert(found->second.uri);
    documents.erase(found);
    for (const std::string& other : cleared)
        send({{"jsonrpc", "2.0"},
              {"method", "textDocument/publishDiagnostics"},
              {"params", {{"uri", other}, {"diagnostics", json::array()}}}});
    reanalyseIncluders(key);
}

void LanguageServer::analyse(OpenDocument& document, std::string text)
{
    const std::string path = pathOfUri(document.uri);
    const zul::IncludeSource includes = [this](const std::string& included, std::string& given) {
        return openText(included, given);
    };
    std::unique_ptr<DocumentAnalysis> next(new DocumentAnalysis(path, std::move(text), includes));
    if (next->accepted())
        document.lastGood.reset();
    else if (document.analysis && document.analysis->accepted())
        document.lastGood = std::move(document.analysis);
    document.analysis = std::move(next);
    publish(document);
}

void LanguageServer::reanalyseIncluders(const std::string& key)
{
    for (auto& entry : documents) {
        if (entry.first == key || !entry.second.analysis)
            continue;
        for (const std::string& included : entry.second.analysis->included())
            if (fileKey(included) == key) {
                analyse(entry.second, entry.second.analysis->text());
                break;
            }
    }
}

void LanguageServer::publish(OpenDocument& document)
{
    const DocumentAnalysis& analysis = *document.analysis;
    const std::string ownKey = fileKey(analysis.path());
    std::map<std::string, json> byUri;
    byUri[document.uri] = json::array();
    for (const Finding& finding : analysis.findings()) {
        const std::string key = fileKey(finding.range.entry);
        std::string uri = document.uri;
        json where;
        if (!finding.range.known()) {
            where = range(analysis.text(), 0, 0);
        } else if (key == ownKey) {
            where = rangeOf(finding.range);
        } else {
            // An open file has diagnostics of its own; those of a closed one are shown under its name.
            if (documents.count(key))
                continue;
            uri = uriOfPath(finding.range.entry);
            where = rangeOf(finding.range);
        }
        json diagnostic = {{"range", where},
                           {"severity", static_cast<int>(finding.level)},
                           {"source", "tavric"},
                           {"message", finding.message}};
        if (!finding.code.empty())
            diagnostic["code"] = finding.code;
        for (const zul::RelatedPlace& related : finding.related)
            diagnostic["relatedInformation"].push_back(
                {{"location", {{"uri", uriFor(related.range.entry)}, {"range", rangeOf(related.range)}}},
                 {"message", related.text}});
        json& list = byUri[uri];
        if (list.is_null())
            list = json::array();
        list.push_back(diagnostic);
    }
    // Files that had diagnostics from this document and have none now are cleared, but not one
    // opened since: its own analysis published its diagnostics, which an empty list would hide.
    for (const std::string& uri : document.published)
        if (!byUri.count(uri) && !documents.count(fileKey(pathOfUri(uri))))
            byUri[uri] = json::array();
    document.published.clear();
    for (auto& entry : byUri) {
        if (entry.first != document.uri && !entry.second.empty())
            document.published.insert(entry.first);
        send({{"jsonrpc", "2.0"},
              {"method", "textDocument/publishDiagnostics"},
              {"params", {{"uri", entry.first}, {"diagnostics", entry.second}}}});
    }
}

// ---------------------------------------------------------------------------------------------
// Answers

std::size_t LanguageServer::offsetOf(const OpenDocument& document, const json& at) const
{
    return TextPositions(document.analysis->text(), encoding)
        .offset(at.at("line").get<std::size_t>(), at.at("character").get<std::size_t>());
}

json LanguageServer::range(const std::string& text, std::size_t from, std::size_t to) const
{
    const TextPositions positions(text, encoding);
    return {{"start", position(positions.at(from))}, {"end", position(positions.at(to))}};
}

json LanguageServer::rangeOf(const zul::SourceRange& place) const
{
    std::string read;
    const std::string* text = nullptr;
    const auto open = documents.find(fileKey(place.entry));
    if (open != documents.end() && open->second.analysis)
        text = &open->second.analysis->text();
    else if (zul::readWholeFile(place.entry, read) == 0)
        text = &read;
    if (!text) {
        // A file gone since it was read: its lines and byte columns as they are.
        const auto at = [](const zul::SourcePosition& point) {
            return Position{static_cast<std::size_t>(std::max(point.line, 1) - 1),
                            static_cast<std::size_t>(std::max(point.column, 1) - 1)};
        };
        return {{"start", position(at(place.start))}, {"end", position(at(place.end))}};
    }
    const Span span = TextPositions(*text, encoding).span(place);
    return {{"start", position(span.start)}, {"end", position(span.end)}};
}

std::string LanguageServer::uriFor(const std::string& path) const
{
    const auto open = documents.find(fileKey(path));
    return open != documents.end() ? open->second.uri : uriOfPath(path);
}

json LanguageServer::formatting(const OpenDocument& document) const
{
    const std::string& text = document.analysis->text();
    std::string formatted;
    // A text that does not parse is left alone: its diagnostics say why.
    if (!document.analysis->accepted() || !zul::formatSource(text, formatted))
        return nullptr;
    if (formatted == text)
        return json::array();
    return json::array({{{"range", range(text, 0, text.size())}, {"newText", formatted}}});
}

json LanguageServer::symbols(const OpenDocument& document) const
{
    const std::string& text = document.analysis->text();
    const TextPositions positions(text, encoding);
    const auto convert = [&positions](const std::vector<Symbol>& list, const auto& self) -> json {
        json result = json::array();
        for (const Symbol& symbol : list) {
            const zul::Tavric& field = *symbol.field;
            json item = {
                {"name", field.getName().empty() ? std::string("(member)") : field.getName()},
                {"detail", field.declarationPrefix() + kindWord(field)},
                {"kind", symbolKind(field)},
                {"range",
                 {{"start", position(positions.at(symbol.start))}, {"end", position(positions.at(symbol.end))}}},
                {"selectionRange",
                 {{"start", position(positions.at(symbol.nameStart))},
                  {"end", position(positions.at(symbol.nameEnd))}}}};
            if (!symbol.children.empty())
                item["children"] = self(symbol.children, self);
            result.push_back(item);
        }
        return result;
    };
    return convert(document.analysis->symbols(), convert);
}

json LanguageServer::hover(const OpenDocument& document, const json& params) const
{
    const std::string text = document.analysis->hover(offsetOf(document, params.at("position")));
    if (text.empty())
        return nullptr;
    return {{"contents", {{"kind", "markdown"}, {"value", text}}}};
}

json LanguageServer::definition(const OpenDocument& document, const json& params) const
{
    Definition where;
    if (!document.analysis->definition(offsetOf(document, params.at("position")), where))
        return nullptr;
    const std::string uri = uriFor(where.range.entry);
    if (!where.range.known())
        return {{"uri", uri}, {"range", {{"start", position({0, 0})}, {"end", position({0, 0})}}}};
    const auto open = documents.find(fileKey(where.range.entry));
    if (open != documents.end()) {
        // The field's name, past its access words.
        const std::string& text = open->second.analysis->text();
        std::size_t from = std::min(where.range.start.offset, text.size());
        std::size_t to = zul::ParsingTools::wordEnd(text, from);
        open->second.analysis->nameAt(from, from, to);
        return {{"uri", uri}, {"range", range(text, from, to)}};
    }
    zul::SourceRange start = where.range;
    start.end = start.start;
    return {{"uri", uri}, {"range", rangeOf(start)}};
}

json LanguageServer::completion(const OpenDocument& document, const json& params) const
{
    json items = json::array();
    for (const Completion& item :
         document.analysis->completion(offsetOf(document, params.at("position")), document.lastGood.get()))
        items.push_back({{"label", item.label},
                         {"kind", static_cast<int>(item.kind)},
                         {"detail", item.detail},
                         {"sortText", item.sortText}});
    return {{"isIncomplete", false}, {"items", items}};
}

json LanguageServer::foldingRanges(const OpenDocument& document) const
{
    const TextPositions positions(document.analysis->text(), encoding);
    json result = json::array();
    for (const Fold& fold : document.analysis->folds()) {
        const std::size_t first = positions.at(fold.start).line;
        const std::size_t last = positions.at(fold.end).line;
        if (last <= first)
            continue; // on one line: nothing to fold
        json range = {{"startLine", first}, {"endLine", last}};
        if (fold.comment)
            range["kind"] = "comment";
        result.push_back(range);
    }
    return result;
}

json LanguageServer::highlights(const OpenDocument& document, const json& params) const
{
    // The protocol's kinds: 2 a reading, 3 a writing (here, the declaration).
    const TextPositions positions(document.analysis->text(), encoding);
    json result = json::array();
    for (const Occurrence& place : document.analysis->occurrences(offsetOf(document, params.at("position"))))
        result.push_back(
            {{"range", {{"start", position(positions.at(place.start))}, {"end", position(positions.at(place.end))}}},
             {"kind", place.declaration ? 3 : 2}});
    return result;
}

json LanguageServer::semanticTokens(const OpenDocument& document) const
{
    const std::string& text = document.analysis->text();
    const TextPositions positions(text, encoding);
    std::vector<std::size_t> data;
    Position last{0, 0};
    for (const zul::SourceToken& token : document.analysis->sourceTokens()) {
        const int type = tokenType(token, text);
        if (type == TypeNone)
            continue;
        // One piece per line: not every client takes a token over several lines.
        for (std::size_t from = token.offset, end = std::min(token.end(), text.size()); from < end;) {
            const std::size_t lineEnd = std::min(text.find('\n', from), end);
            std::size_t to = lineEnd;
            if (to > from && text[to - 1] == '\r')
                --to;
            const Position start = positions.at(from);
            const std::size_t length = positions.at(to).character - start.character;
            if (length > 0) {
                data.insert(data.end(),
                            {start.line - last.line,
                             start.line == last.line ? start.character - last.character : start.character, length,
                             static_cast<std::size_t>(type), std::size_t(token.role == zul::TokenRole::Name ? 1 : 0)});
                last = start;
            }
            from = lineEnd + 1;
        }
    }
    return {{"data", data}};
}

} // namespace tavriclsp
