#pragma once

// The language server's state and its answers: one message in, the responses and notifications it
// causes out, each written at once. The reading loop (LspVerb.cpp) feeds it.

#include <iosfwd>
#include <map>
#include <memory>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "DocumentAnalysis.hpp"
#include "TextPositions.hpp"

namespace tavriclsp {

// The protocol's error codes used here.
enum ErrorCode {
    ParseError = -32700,
    InvalidRequest = -32600,
    MethodNotFound = -32601,
    InvalidParams = -32602,
    InternalError = -32603,
    ServerNotInitialized = -32002
};

class LanguageServer {
public:
    LanguageServer(std::ostream& out, std::ostream& log) : out(out), log(log) {}
    // Handles one message's body; false once the client said exit.
    bool handle(const std::string& body);
    // A message whose framing was wrong: answered as one that cannot be parsed.
    void refuseFraming(const std::string& problem);
    // Whether shutdown came before exit (the exit status is 0 then, 1 otherwise).
    bool wasShutDown() const { return shutDown; }

private:
    struct OpenDocument {
        std::string uri;
        std::unique_ptr<DocumentAnalysis> analysis;
        std::unique_ptr<DocumentAnalysis> lastGood; // the last text that loaded, when this one did not
        std::set<std::string> published;            // the other files' URIs given diagnostics
    };

    void dispatch(const std::string& method, const nlohmann::json& id, const nlohmann::json& params, bool request);
    nlohmann::json answer(const std::string& method, const nlohmann::json& params);
    nlohmann::json initialize(const nlohmann::json& params);
    void open(const std::string& uri, std::string text);
    void change(const nlohmann::json& params);
    void close(const std::string& uri);
    void analyse(OpenDocument& document, std::string text);
    void publish(OpenDocument& document);
    void reanalyseIncluders(const std::string& key);

    nlohmann::json formatting(const OpenDocument& document) const;
    nlohmann::json symbols(const OpenDocument& document) const;
    nlohmann::json hover(const OpenDocument& document, const nlohmann::json& params) const;
    nlohmann::json definition(const OpenDocument& document, const nlohmann::json& params) const;
    nlohmann::json completion(const OpenDocument& document, const nlohmann::json& params) const;
    nlohmann::json foldingRanges(const OpenDocument& document) const;
    nlohmann::json semanticTokens(const OpenDocument& document) const;
    nlohmann::json highlights(const OpenDocument& document, const nlohmann::json& params) const;

    OpenDocument* find(const nlohmann::json& params);
    std::size_t offsetOf(const OpenDocument& document, const nlohmann::json& position) const;
    nlohmann::json range(const std::string& text, std::size_t from, std::size_t to) const;
    // The protocol's range of a place of the library's, in the text of the file it names.
    nlohmann::json rangeOf(const zul::SourceRange& place) const;
    // An open document's URI, else the file's.
    std::string uriFor(const std::string& path) const;
    // The text of an open document by its file's key, for includes; false when none is open.
    bool openText(const std::string& path, std::string& text) const;

    void respond(const nlohmann::json& id, const nlohmann::json& result);
    void fail(const nlohmann::json& id, int code, const std::string& message);
    void send(const nlohmann::json& message);

    std::ostream& out;
    std::ostream& log;
    bool initialized = false;
    bool shutDown = false;
    Encoding encoding = Encoding::Utf16;
    std::map<std::string, OpenDocument> documents; // by the file's key (see fileKey)
};

// A file's path for a file: URI (percent escapes undone), or the URI itself for another scheme.
std::string pathOfUri(const std::string& uri);
std::string uriOfPath(const std::string& path);
// One name for one file: the real path when the file exists, else the path made absolute against
// the working directory, with "." and ".." steps taken.
std::string fileKey(const std::string& path);

} // namespace tavriclsp
