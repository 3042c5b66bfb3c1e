// The language guide (docs/tavric.md) as a text: its table of contents leads to every section, and
// its message tables name every message of the library and every warning of check. The library's
// messages are read from their catalogues (ParseMessages.hpp, ModelMessages.hpp), so a message added
// there without a row in the guide fails here.

#include <cctype>
#include <cerrno>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tavric/text/WholeFile.hpp"
#include "tavric/format/Lint.hpp"

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string& guide()
{
    static const std::string text = slurp(VELMORA_SOURCE_DIR "/docs/tavric.md");
    return text;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The anchor a Markdown renderer gives a heading: lower case, punctuation dropped, blanks as "-".
std::string anchorOf(const std::string& heading)
{
    std::string anchor;
    for (const char c : heading) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '-' || c == '_' || u >= 0x80)
            anchor += static_cast<char>(std::tolower(u));
        else if (c == ' ')
            anchor += '-';
    }
    return anchor;
}

TEST(GuideText, TheContentsLeadToEverySection)
{
    std::set<std::string> anchors;
    std::set<std::string> sections; // "##" headings but the contents' own (a "###" may be left out)
    bool inCode = false;
    for (const std::string& line : linesOf(guide())) {
        if (line.compare(0, 3, "```") == 0)
            inCode = !inCode;
        if (inCode || (line.compare(0, 3, "## ") != 0 && line.compare(0, 4, "### ") != 0))
            continue;
        const std::string anchor = anchorOf(line.substr(line.find(' ') + 1));
        anchors.insert(anchor);
        if (anchor != "contents" && line[2] == ' ')
            sections.insert(anchor);
    }
    ASSERT_EQ(anchors.count("contents"), 1u) << "the guide opens with its contents";

    const std::string contents = guide().substr(guide().find("## Contents"));
    const std::string listed = contents.substr(0, contents.find("\n## ", 1));
    std::set<std::string> linked;
    const std::regex link(R"(\]\(#([^)]+)\))");
    for (std::sregex_iterator i(guide().begin(), guide().end(), link), end; i != end; ++i)
        EXPECT_EQ(anchors.count((*i)[1]), 1u) << "a link to a heading that is not there: #" << (*i)[1];
    for (std::sregex_iterator i(listed.begin(), listed.end(), link), end; i != end; ++i)
        linked.insert((*i)[1]);
    for (const std::string& section : sections)
        EXPECT_EQ(linked.count(section), 1u) << "not in the contents: #" << section;
}

// The sections whose heading speaks of messages.
std::string messageSections()
{
    std::string text;
    bool taken = false;
    for (const std::string& line : linesOf(guide())) {
        if (line.compare(0, 3, "## ") == 0)
            taken = line.find("essage") != std::string::npos;
        if (taken)
            text += line + "\n";
    }
    return text;
}

// The text of one C++ string literal's body.
std::string unescaped(const std::string& body)
{
    std::string text;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\\' && i + 1 < body.size()) {
            const char next = body[++i];
            text += next == 'n' ? '\n' : next;
        } else {
            text += body[i];
        }
    }
    return text;
}

struct Message {
    std::string name;                   // of its constant or function in the catalogue
    std::vector<std::string> fragments; // its fixed texts, between the parts filled in
};

// Every message of a catalogue: its constants (constexpr const char* NAME = "...";) and functions
// (inline std::string NAME(...) { ... }), with the texts of their string literals. Literals that
// stand side by side make one text.
std::vector<Message> catalogue(const std::string& path)
{
    const std::string source = slurp(path);
    std::vector<Message> messages;
    const std::regex start(R"((?:constexpr const char\* |inline std::string )(\w+))");
    const std::regex literal(R"re("((?:[^"\\]|\\.)*)")re");
    for (std::sregex_iterator i(source.begin(), source.end(), start), end; i != end; ++i) {
        const std::size_t from = static_cast<std::size_t>(i->position() + i->length());
        const bool function = (*i)[0].str().compare(0, 6, "inline") == 0;
        const std::size_t to = source.find(function ? "\n}" : ";", from);
        const std::string body = source.substr(from, to - from);
        Message message{(*i)[1], {}};
        std::size_t previousEnd = std::string::npos;
        for (std::sregex_iterator l(body.begin(), body.end(), literal); l != end; ++l) {
            const std::size_t at = static_cast<std::size_t>(l->position());
            const bool joined = previousEnd != std::string::npos &&
                                body.find_first_not_of(" \t\n", previousEnd) == at && !message.fragments.empty();
            if (joined)
                message.fragments.back() += unescaped((*l)[1]);
            else
                message.fragments.push_back(unescaped((*l)[1]));
            previousEnd = at + static_cast<std::size_t>(l->length());
        }
        messages.push_back(message);
    }
    return messages;
}

// A fragment as the guide shows it: without the ": " that ties it to the field or place before it
// and without the blanks at its ends. Pieces of a few characters ("'.", " and ") say nothing.
std::string shown(std::string fragment)
{
    if (fragment.compare(0, 2, ": ") == 0)
        fragment.erase(0, 2);
    const std::size_t first = fragment.find_first_not_of(' ');
    const std::size_t last = fragment.find_last_not_of(' ');
    return first == std::string::npos ? "" : fragment.substr(first, last - first + 1);
}

TEST(GuideText, EveryMessageOfTheLibraryHasItsRow)
{
    const std::string tables = messageSections();
    ASSERT_NE(tables.find("## 11. Every message"), std::string::npos);
    int checked = 0;
    for (const char* path :
         {VELMORA_SOURCE_DIR "/tavric/text/ParseMessages.hpp", VELMORA_SOURCE_DIR "/tavric/model/ModelMessages.hpp"}) {
        const std::vector<Message> messages = catalogue(path);
        EXPECT_GE(messages.size(), 15u) << path << ": the catalogue was not read";
        for (const Message& message : messages)
            for (const std::string& fragment : message.fragments) {
                const std::string text = shown(fragment);
                if (text.size() < 4)
                    continue;
                ++checked;
                EXPECT_NE(tables.find(text), std::string::npos)
                    << message.name << " (" << path << "): the guide's message tables lack \"" << text << "\"";
            }
    }
    EXPECT_GE(checked, 60);

    // Saving a whole file (fmt -w, the game's own save): each step's line, with FILE for the path.
    for (zul::ReplaceStep step : {zul::ReplaceStep::Target, zul::ReplaceStep::Create, zul::ReplaceStep::Mode,
                                  zul::ReplaceStep::Write, zul::ReplaceStep::Sync, zul::ReplaceStep::Close,
                                  zul::ReplaceStep::Rename, zul::ReplaceStep::Folder}) {
        zul::ReplaceResult result;
        result.step = step;
        result.error = EIO;
        result.target = "FILE";
        const std::string line = result.text();
        const std::string fixed = line.substr(0, line.rfind(": ") + 2);
        EXPECT_NE(tables.find(fixed + "REASON"), std::string::npos) << "the guide lacks \"" << fixed << "REASON\"";
    }
}

TEST(GuideText, EveryWarningOfCheckHasItsRow)
{
    const std::string tables = messageSections();
    for (const std::string& name : zul::lintNames())
        EXPECT_NE(tables.find("| `" + name + "` |"), std::string::npos) << "no row for the warning " << name;
}

} // namespace
