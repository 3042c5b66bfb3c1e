// The language server through its standard streams: a whole conversation with the answers checked,
// and malformed messages, each answered or ignored without ending the server.

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <unistd.h>
#include <vector>

#include "InProcessCall.hpp"
#include "tools/tavric/lsp/MessageReader.hpp"
#include "tools/tavric/lsp/TextPositions.hpp"

namespace {

using nlohmann::json;

std::string framed(const json& message)
{
    const std::string body = message.dump();
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

json request(int id, const std::string& method, const json& params = json::object())
{
    return {{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}};
}

json notification(const std::string& method, const json& params = json::object())
{
    return {{"jsonrpc", "2.0"}, {"method", method}, {"params", params}};
}

const char* const uri = "file:///nonexistent/velmora-lsp/doc.tvr";

json at(const char* document, int line, int character)
{
    return {{"textDocument", {{"uri", document}}}, {"position", {{"line", line}, {"character", character}}}};
}

json opened(const char* document, const std::string& text)
{
    return notification(
        "textDocument/didOpen",
        {{"textDocument", {{"uri", document}, {"languageId", "tavric"}, {"version", 1}, {"text", text}}}});
}

json changed(const char* document, const std::string& text)
{
    return notification("textDocument/didChange", {{"textDocument", {{"uri", document}, {"version", 2}}},
                                                   {"contentChanges", {{{"text", text}}}}});
}

// The server run on the bytes given; what it wrote, message by message, and its exit status.
struct Session {
    int status = -1;
    std::vector<json> messages;
    std::string log;

    explicit Session(const std::string& input)
    {
        const tooltest::Call call = tooltest::call({"lsp"}, input);
        status = call.status;
        log = call.err;
        std::istringstream out(call.out);
        tavriclsp::MessageReader reader(out);
        std::string body;
        while (reader.next(body) == tavriclsp::ReadStatus::Message)
            messages.push_back(json::parse(body));
    }

    const json& response(int id) const
    {
        for (const json& message : messages)
            if (message.contains("id") && message["id"] == id)
                return message;
        static const json none;
        ADD_FAILURE() << "no response " << id;
        return none;
    }

    std::vector<json> diagnostics(const std::string& of) const
    {
        std::vector<json> published;
        for (const json& message : messages)
            if (message.value("method", "") == "textDocument/publishDiagnostics" && message["params"]["uri"] == of)
                published.push_back(message["params"]["diagnostics"]);
        return published;
    }
};

std::string conversation(const std::vector<json>& messages)
{
    std::string input;
    for (const json& message : messages)
        input += framed(message);
    return input;
}

json range(int line, int from, int to)
{
    return {{"start", {{"line", line}, {"character", from}}}, {"end", {{"line", line}, {"character", to}}}};
}

std::vector<std::string> labels(const json& completion)
{
    std::vector<std::string> names;
    for (const json& item : completion["result"]["items"])
        names.push_back(item["label"]);
    return names;
}

const json initialize = request(1, "initialize", {{"processId", nullptr}, {"capabilities", json::object()}});

// The editor's unsaved text: "Clé" holds an accented letter, so a column in UTF-16 units is not
// the parser's byte column; the reference after it must still be found where the editor shows it.
const std::string document = "[player\n"
                             "  name = \"Clé\" speed = 4\n"
                             "]\n"
                             "[hud\n"
                             "  private shown = _.player.name\n"
                             "  twice = _.player.speed * 2\n"
                             "]\n"
                             "lives =   3 +\n";

TEST(LanguageServer, answersAWholeConversation)
{
    std::string fixed = document;
    fixed.replace(fixed.find("3 +"), 3, "3");
    const Session session(conversation({
        initialize,
        notification("initialized"),
        opened(uri, document),
        changed(uri, fixed),
        request(2, "textDocument/hover", at(uri, 5, 3)),
        request(3, "textDocument/definition", at(uri, 4, 28)),
        request(4, "textDocument/definition", at(uri, 4, 21)),
        request(5, "textDocument/completion", at(uri, 4, 27)),
        request(6, "textDocument/formatting", {{"textDocument", {{"uri", uri}}}, {"options", json::object()}}),
        request(7, "textDocument/documentSymbol", {{"textDocument", {{"uri", uri}}}}),
        request(8, "textDocument/hover", at(uri, 1, 17)),
        request(10, "textDocument/definition", at(uri, 5, 21)),
        request(9, "shutdown"),
        notification("exit"),
    }));
    EXPECT_EQ(session.status, 0);
    EXPECT_EQ(session.response(1)["result"]["capabilities"]["positionEncoding"], "utf-16");
    EXPECT_EQ(session.response(1)["result"]["capabilities"]["textDocumentSync"]["change"], 1);

    // The error as check gives it ("Expected value." at 8:14), then nothing once it is fixed.
    const std::vector<json> published = session.diagnostics(uri);
    ASSERT_EQ(published.size(), 2u);
    ASSERT_FALSE(published[0].empty());
    EXPECT_EQ(published[0][0]["message"], "Expected value.");
    EXPECT_EQ(published[0][0]["severity"], 1);
    EXPECT_EQ(published[0][0]["range"], range(7, 13, 13));
    EXPECT_EQ(published[1], json::array());

    const std::string computed = session.response(2)["result"]["contents"]["value"];
    EXPECT_NE(computed.find("`[].hud.twice`: computed, int"), std::string::npos) << computed;
    EXPECT_NE(computed.find("expression: `_.player.speed * 2`"), std::string::npos) << computed;
    EXPECT_NE(computed.find("value: `8`"), std::string::npos) << computed;

    // "name" in _.player.name goes to the field; "player" in it to the node.
    EXPECT_EQ(session.response(3)["result"], json({{"uri", uri}, {"range", range(1, 2, 6)}}));
    EXPECT_EQ(session.response(4)["result"], json({{"uri", uri}, {"range", range(0, 1, 7)}}));
    // An address in an expression: "speed" after "Clé", 15 units into its line (16 bytes).
    EXPECT_EQ(session.response(10)["result"], json({{"uri", uri}, {"range", range(1, 15, 20)}}));

    EXPECT_EQ(labels(session.response(5)), std::vector<std::string>({"name", "speed"}));

    const json edits = session.response(6)["result"];
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0]["newText"], tooltest::callOn("fmt", {}, fixed).out);
    EXPECT_EQ(edits[0]["range"]["end"], json({{"line", 8}, {"character", 0}}));

    const json outline = session.response(7)["result"];
    ASSERT_EQ(outline.size(), 3u);
    EXPECT_EQ(outline[0]["name"], "player");
    EXPECT_EQ(outline[0]["range"],
              json({{"start", {{"line", 0}, {"character", 0}}}, {"end", {{"line", 2}, {"character", 1}}}}));
    EXPECT_EQ(outline[0]["children"][1]["name"], "speed");
    EXPECT_EQ(outline[0]["children"][1]["selectionRange"], range(1, 15, 20)); // in bytes: 16
    EXPECT_EQ(outline[1]["children"][0]["name"], "shown");
    EXPECT_EQ(outline[1]["children"][0]["detail"], "private reference");
    EXPECT_EQ(outline[2]["name"], "lives");

    const std::string speed = session.response(8)["result"]["contents"]["value"];
    EXPECT_NE(speed.find("`[].player.speed`: value, int"), std::string::npos) << speed;
    EXPECT_NE(speed.find("rights: public (15"), std::string::npos) << speed;
}

TEST(LanguageServer, publishesWhatEachDiagnosticCoversAndWhereItsScopeOpened)
{
    struct Case {
        const char* text;
        json range;   // in UTF-16 units: "é" is one, though two bytes
        json opened;  // the related place, null: none
    };
    const Case cases[] = {
        {"count = 08\n", range(0, 9, 10), nullptr},              // the digit no octal number has
        {"x = \xC3\xA9t\xC3\xA9\n", range(0, 4, 7), nullptr},     // the word read as no value
        {"s = \"\xC3\xA9\"\nint w = \"\xC3\xA9\"\n", range(1, 0, 11), nullptr}, // the field's declaration
        {"[menu\n  title = \"Start\"\n", range(2, 0, 0), range(0, 0, 1)},
        {"x = 1\ns = \"\xC3\xA9 and on\n", range(2, 0, 0), range(1, 4, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Session session(conversation({initialize, opened(uri, c.text), request(2, "shutdown")}));
        const std::vector<json> published = session.diagnostics(uri);
        ASSERT_EQ(published.size(), 1u);
        ASSERT_EQ(published[0].size(), 1u);
        EXPECT_EQ(published[0][0]["range"], c.range);
        if (c.opened.is_null()) {
            EXPECT_FALSE(published[0][0].contains("relatedInformation"));
            continue;
        }
        const json related = published[0][0]["relatedInformation"];
        ASSERT_EQ(related.size(), 1u);
        EXPECT_EQ(related[0]["message"], "opened here");
        EXPECT_EQ(related[0]["location"], json({{"uri", uri}, {"range", c.opened}}));
    }
}

TEST(LanguageServer, warnsAsCheckDoesAndReadsIncludesFromTheEditor)
{
    // The included file exists only in the editor: its unsaved text is what the include reads.
    const char* part = "file:///nonexistent/velmora-lsp/part.tvr";
    const char* main = "file:///nonexistent/velmora-lsp/main.tvr";
    const Session session(conversation({
        initialize,
        opened(part, "[shared\n  protected colour = \"red\"\n]\n"),
        opened(main, "Include \"/nonexistent/velmora-lsp/part.tvr\"\npaint = shared.colour\nflag = truex\n"),
        request(2, "textDocument/hover", at(main, 1, 2)),
        request(3, "textDocument/definition", at(main, 1, 17)),
        request(4, "textDocument/definition", at(main, 0, 12)),
        changed(part, "[shared\n  colour = \"blue\"\n]\n"),
        request(5, "textDocument/hover", at(main, 1, 2)),
        request(6, "shutdown"),
        notification("exit"),
    }));
    const std::vector<json> published = session.diagnostics(main);
    ASSERT_EQ(published.size(), 2u); // on open, and again when the included text changed
    ASSERT_EQ(published[0].size(), 1u);
    EXPECT_EQ(published[0][0]["code"], "keyword-prefix");
    EXPECT_EQ(published[0][0]["severity"], 2);
    EXPECT_EQ(published[0][0]["range"], range(2, 7, 12));
    EXPECT_EQ(published[0][0]["message"],
              "'truex' reads as the keyword 'true' followed by a new field 'x' (write \"truex\" in quotes for text, or "
              "put a blank after 'true')");
    EXPECT_NE(session.response(2).dump().find("value: `\\\"red\\\"`"), std::string::npos) << session.response(2);
    EXPECT_NE(session.response(5).dump().find("value: `\\\"blue\\\"`"), std::string::npos) << session.response(5);
    EXPECT_EQ(session.response(3)["result"], json({{"uri", part}, {"range", range(1, 12, 18)}})); // the name
    EXPECT_EQ(session.response(4)["result"]["uri"], part);
}

TEST(LanguageServer, showsAClosedIncludedFilesErrorsUnderItsNameUntilTheIncludeGoes)
{
    char pattern[] = "/tmp/velmora-lsp-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    const std::string part = folder + "/part é.tvr"; // a URI escapes the blank and the accent
    std::ofstream(part) << "a = 1\nb = (\n";
    const std::string main = "file://" + folder + "/main.tvr";
    const std::string partUri = "file://" + folder + "/part%20%C3%A9.tvr";
    const Session session(conversation({
        initialize,
        opened(main.c_str(), "Include \"" + part + "\"\nx = 1\n"),
        // Edits of ranges, as some clients send them though the server asks for whole texts.
        notification("textDocument/didChange",
                     {{"textDocument", {{"uri", main}, {"version", 2}}},
                      {"contentChanges",
                       {{{"range", range(0, 0, static_cast<int>(part.size()) + 9)}, {"text", "y = \"é\""}},
                        {{"range", range(0, 7, 7)}, {"text", " z = 2"}}}}}),
        request(2, "textDocument/documentSymbol", {{"textDocument", {{"uri", main}}}}),
        notification("textDocument/didClose", {{"textDocument", {{"uri", main}}}}),
        request(3, "textDocument/documentSymbol", {{"textDocument", {{"uri", main}}}}),
    }));
    ::unlink(part.c_str());
    ::rmdir(folder.c_str());
    const std::vector<json> inPart = session.diagnostics(partUri);
    ASSERT_EQ(inPart.size(), 2u);
    ASSERT_FALSE(inPart[0].empty());
    EXPECT_EQ(inPart[0][0]["range"]["start"], json({{"line", 1}, {"character", 4}})); // check: 2:5
    EXPECT_EQ(inPart[1], json::array()); // cleared once main no longer includes it
    const std::vector<json> inMain = session.diagnostics(main);
    ASSERT_EQ(inMain.size(), 3u);    // open, change, and cleared at close
    EXPECT_FALSE(inMain[0].empty()); // the include failed
    EXPECT_EQ(inMain[1], json::array());
    EXPECT_EQ(inMain[2], json::array());
    std::vector<std::string> names;
    for (const json& symbol : session.response(2)["result"])
        names.push_back(symbol["name"]);
    EXPECT_EQ(names, std::vector<std::string>({"y", "z", "x"}));
    EXPECT_EQ(session.response(2)["result"][1]["range"]["start"], json({{"line", 0}, {"character", 8}}));
    EXPECT_EQ(session.response(3)["result"], nullptr); // closed: nothing is known of it
}

TEST(LanguageServer, completesKeywordsInTheDocumentsLanguageFirst)
{
    // Positions in bytes, when the client offers them: "v" stands at byte 21 of its line (the 21st
    // character). Completion after "->" goes through the pointer.
    const json initializeUtf8 =
        request(1, "initialize", {{"capabilities", {{"general", {{"positionEncodings", {"utf-16", "utf-8"}}}}}}});
    const Session session(conversation({
        initializeUtf8,
        opened(uri, "[joueur\n  privé nom = \"Ana\" v = Vrai\n]\n\nmoi = &joueur\nnom = moi->\n"),
        request(2, "textDocument/completion", at(uri, 3, 0)),
        request(3, "textDocument/completion", at(uri, 1, 2)),
        request(4, "textDocument/documentSymbol", {{"textDocument", {{"uri", uri}}}}),
        request(5, "textDocument/completion", at(uri, 5, 11)),
        request(6, "textDocument/definition", at(uri, 4, 9)),
    }));
    EXPECT_EQ(session.response(1)["result"]["capabilities"]["positionEncoding"], "utf-8");
    EXPECT_EQ(session.response(4)["result"][0]["children"][1]["selectionRange"], range(1, 21, 22));
    EXPECT_EQ(labels(session.response(5)), std::vector<std::string>({"nom", "v"}));
    EXPECT_EQ(session.response(6)["result"], json({{"uri", uri}, {"range", range(0, 1, 7)}}));
    const json items = session.response(2)["result"]["items"];
    const auto sortOf = [&items](const std::string& label) {
        for (const json& item : items)
            if (item["label"] == label)
                return item["sortText"].get<std::string>();
        return std::string("missing");
    };
    EXPECT_LT(sortOf("privé"), sortOf("private"));
    EXPECT_LT(sortOf("Vrai"), sortOf("True"));
    EXPECT_EQ(sortOf("private"), "2private");
    EXPECT_LT(sortOf("joueur"), sortOf("Vrai")); // names that resolve come before keywords
    const std::vector<std::string> inside = labels(session.response(3));
    EXPECT_NE(std::find(inside.begin(), inside.end(), "nom"), inside.end());
    EXPECT_EQ(session.status, 1); // no shutdown before the end of the input
}

// Hovers and definitions over the language's forms: a node with a value of its own, a collection,
// a root address, a pointer followed by "->", access words, a French include.
TEST(LanguageServer, hoversAndGoesToDefinitionsOverEveryForm)
{
    const std::string rich = "[maps = 2\n"
                             "  [first\n"
                             "    size = 12\n"
                             "  ]\n"
                             "  names = [Collection \"a\" \"b\"]\n"
                             "]\n"
                             "Inclure \"/nonexistent/velmora-lsp/part.tvr\"\n"
                             "pick = [].maps.first.size\n"
                             "p = &maps.first\n"
                             "via = p->size\n"
                             "limited[f4] note = \"x\"\n";
    struct Row {
        int line;
        int character;
        const char* hover; // a piece of the hover's text, or nullptr: none
        json definition;   // the range in the document, null: none
    };
    const std::vector<Row> rows = {
        {0, 2,
         "`[].maps`: value, int  \nrights: public (15: read, write, execute, create)  \nvalue: `2`, and a node of 2 "
         "fields",
         nullptr},
        {3, 2, "`[].maps.first`: node  ", nullptr},
        {4, 20,
         "`[].maps.names`: collection  \nrights: public (15: read, write, execute, create)  \nvalue: a collection of 2 "
         "members",
         nullptr},
        {7, 12, "refers to: `[].maps.first.size`  \nvalue: `12`", range(0, 1, 5)},
        {7, 20, nullptr, range(1, 3, 8)},
        {9, 7, "`[].via`: reference, int", range(8, 0, 1)},
        {9, 10, nullptr, range(2, 4, 8)},
        {10, 13, "limited[F4] note\n```\n`[].note`: value, string  \nrights: limited (4: read)", nullptr},
        {5, 1, "`[].maps`", nullptr}, // on the "]" that closes it
        {11, 0, nullptr, nullptr},
    };
    std::vector<json> messages = {initialize, opened("file:///nonexistent/velmora-lsp/part.tvr", "extra = 1\n"),
                                  opened(uri, rich)};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        messages.push_back(
            request(static_cast<int>(100 + i), "textDocument/hover", at(uri, rows[i].line, rows[i].character)));
        messages.push_back(
            request(static_cast<int>(200 + i), "textDocument/definition", at(uri, rows[i].line, rows[i].character)));
    }
    messages.push_back(request(3, "textDocument/definition", at(uri, 6, 3)));
    const Session session(conversation(messages));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(rows[i].line) + ":" + std::to_string(rows[i].character));
        const json& hover = session.response(static_cast<int>(100 + i))["result"];
        if (rows[i].hover) {
            ASSERT_FALSE(hover.is_null());
            const std::string text = hover["contents"]["value"];
            EXPECT_NE(text.find(rows[i].hover), std::string::npos) << text;
        } else if (rows[i].definition.is_null()) {
            EXPECT_EQ(hover, nullptr);
        }
        const json& definition = session.response(static_cast<int>(200 + i))["result"];
        if (rows[i].definition.is_null())
            EXPECT_EQ(definition, nullptr);
        else
            EXPECT_EQ(definition, json({{"uri", uri}, {"range", rows[i].definition}}));
    }
    // "Inclure" is French for Include: its file, opened in the editor, at its start.
    EXPECT_EQ(session.response(3)["result"]["uri"], "file:///nonexistent/velmora-lsp/part.tvr");
}

// Bytes the server must answer (with these error codes, in order) or ignore, and go on.
struct Malformed {
    const char* what;
    std::string bytes;
    std::vector<int> codes; // of the error responses, in order
};

TEST(LanguageServer, answersOrIgnoresMalformedMessages)
{
    const std::string hover = framed(request(7, "textDocument/hover", at(uri, 0, 0)));
    // Nested deep enough that a recursive copy of it would overflow the stack.
    const std::string deep = std::string(200000, '[') + std::string(200000, ']');
    const auto raw = [](const std::string& body) {
        return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    };
    const std::vector<Malformed> cases = {
        {"deeply nested parameters",
         raw(R"({"jsonrpc":"2.0","id":8,"method":"textDocument/hover","params":)" + deep + "}"),
         {-32602}},
        {"a deeply nested id", raw(R"({"jsonrpc":"2.0","method":"x","id":)" + deep + "}"), {-32600}},
        {"not JSON", "Content-Length: 5\r\n\r\n{bad}", {-32700}},
        {"no Content-Length", "Content-Type: x\r\n\r\n", {-32700}},
        {"a length that is no number", "Content-Length: 12a\r\n\r\n", {-32700}},
        {"a header line without colon", "Content-Length 3\r\n\r\n", {-32700}},
        {"a header block beyond its limit", std::string(9000, 'x') + "\r\n\r\n", {-32700}},
        {"bare line feeds", "Content-Length: 2\n\n{}", {-32600}},
        {"an array", framed(json::array({1})), {-32600}},
        {"an id that is an object", framed({{"jsonrpc", "2.0"}, {"id", json::object()}, {"method", "x"}}), {-32600}},
        {"a method that is a number", framed({{"jsonrpc", "2.0"}, {"id", 4}, {"method", 4}}), {-32600}},
        {"invalid UTF-8 in a string", "Content-Length: 14\r\n\r\n{\"method\":\"\xff\"}", {-32700}},
        {"a client's response", framed({{"jsonrpc", "2.0"}, {"id", 9}, {"result", nullptr}}), {}},
        {"an unknown method", framed(request(5, "textDocument/rename")), {-32601}},
        {"an unknown notification", framed(notification("$/whatever")), {}},
        {"parameters of the wrong shape", framed(request(6, "textDocument/hover", {{"textDocument", 3}})), {-32602}},
        {"initialize again", framed(initialize), {-32600}},
        {"a hover on a document not open", hover, {}},
        {"a binary document", framed(opened(uri, std::string("a = 1\0\x01\x02", 8))) + hover, {}},
        {"a changed range without its ends",
         framed(opened(uri, "a = 1")) +
             framed(notification("textDocument/didChange",
                                 {{"textDocument", {{"uri", uri}}},
                                  {"contentChanges", {{{"range", json::object()}, {"text", "x"}}}}})) +
             hover,
         {}},
        {"a cut body", "Content-Length: 100\r\n\r\n{\"jsonrpc\"", {}},
        {"a length beyond the limit", "Content-Length: 99999999999\r\n\r\n{}", {}},
    };
    for (const Malformed& c : cases) {
        SCOPED_TRACE(c.what);
        // Before initialize a request is refused as such; the malformed bytes come after it. A
        // message cut off by the end of the input can only come last.
        const bool cut = c.bytes.find("Content-Length: 100\r") == 0 || c.bytes.find("99999999999") != std::string::npos;
        const Session session(framed(request(2, "textDocument/hover", at(uri, 0, 0))) + framed(initialize) + c.bytes +
                              (cut ? "" : framed(request(3, "shutdown")) + framed(notification("exit"))));
        std::vector<int> codes;
        for (const json& message : session.messages)
            if (message.contains("error") && message["id"] != 2)
                codes.push_back(message["error"]["code"]);
        EXPECT_EQ(codes, c.codes);
        EXPECT_EQ(session.response(2)["error"]["code"], -32002);
        if (cut) {
            EXPECT_EQ(session.status, 1); // the input ended inside the message: no shutdown seen
            continue;
        }
        EXPECT_EQ(session.response(3)["result"], nullptr);
        EXPECT_EQ(session.status, 0);
    }
}

TEST(LanguageServer, refusesBinaryAndRequestsAfterShutdown)
{
    const Session session(conversation({
        initialize,
        opened(uri, std::string("a = 1\0", 6)),
        request(2, "shutdown"),
        request(3, "textDocument/documentSymbol", {{"textDocument", {{"uri", uri}}}}),
        notification("exit"),
    }));
    const std::vector<json> published = session.diagnostics(uri);
    ASSERT_EQ(published.size(), 1u);
    EXPECT_EQ(published[0][0]["message"], "this document holds NUL bytes: it is binary data, not a Tavric text");
    EXPECT_EQ(session.response(3)["error"]["code"], -32600);
    EXPECT_EQ(session.status, 0);
}

TEST(TextPositions, countsUtf16UnitsOrBytes)
{
    // "é" is two bytes and one unit, "𝄞" four bytes and two units; the mark at the start takes none.
    const std::string text = "\xEF\xBB\xBFx = \"é𝄞\" y\r\nz";
    const tavriclsp::TextPositions units(text, tavriclsp::Encoding::Utf16);
    const tavriclsp::TextPositions bytes(text, tavriclsp::Encoding::Utf8);
    const std::size_t y = text.find('y');
    EXPECT_EQ(units.at(y).character, 10u);
    EXPECT_EQ(bytes.at(y).character, 13u);
    EXPECT_EQ(units.offset(0, 10), y);
    EXPECT_EQ(bytes.offset(0, 13), y);
    EXPECT_EQ(units.offset(0, 7), text.find("𝄞"));   // inside the pair: the character's start
    EXPECT_EQ(units.offset(0, 99), text.find('\r')); // past the end: the line's end, before CR
    EXPECT_EQ(units.offset(1, 0), text.find('z'));
    EXPECT_EQ(units.offset(7, 0), text.size());
    zul::SourceRange word; // "y", as the parser places it: line 1, byte column 14 (the mark not counted)
    word.start = {1, 14, y};
    word.end = {1, 15, y + 1};
    EXPECT_EQ(units.span(word).start.character, 10u);
    EXPECT_EQ(units.span(word).end.character, 11u);
    EXPECT_EQ(bytes.span(word).end.character, 14u);
    EXPECT_EQ(units.at(text.size()).line, 1u);
}

} // namespace
