#include "ToolReport.hpp"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/SourceLines.hpp"

namespace tavrictool {

namespace {

std::string plural(int count, const char* word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// The word and colour of each severity, in the order of zul::Severity.
struct SeverityLook {
    const char* word;
    const char* colour;
};
constexpr SeverityLook severityLooks[] = {{"error", "\x1b[1;31m"}, {"warning", "\x1b[1;35m"}, {"note", "\x1b[1;36m"}};

const SeverityLook& lookOf(zul::Severity severity)
{
    return severityLooks[static_cast<int>(severity)];
}

} // namespace

std::string Report::paint(const std::string& text, const char* code) const
{
    return colour ? std::string(code) + text + "\x1b[0m" : text;
}

const std::string* Report::sourceOf(const std::string& entry)
{
    const auto known = given.find(entry);
    if (known != given.end())
        return known->second;
    auto found = included.find(entry);
    if (found == included.end()) {
        // An included file: read once, as the parser saw it (or nothing, when it is gone).
        std::ifstream in(entry, std::ios::binary);
        std::ostringstream text;
        if (in)
            text << in.rdbuf();
        found = included.emplace(entry, text.str()).first;
    }
    return &found->second;
}

void Report::excerpt(const std::string& entry, int line, int column)
{
    const std::string* text = sourceOf(entry);
    if (!text || text->empty())
        return;
    std::size_t start = 0;
    for (int l = 1; l < line; ++l) {
        start = text->find('\n', start);
        if (start == std::string::npos)
            return;
        ++start;
    }
    std::size_t end = text->find('\n', start);
    if (end == std::string::npos)
        end = text->size();
    std::string shown = text->substr(start, end - start);
    if (!shown.empty() && shown.back() == '\r')
        shown.pop_back();
    // The caret stands under the column's byte; tabs are kept so that it lines up, and the bytes that
    // continue a UTF-8 character take no place of their own.
    std::string caret;
    for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(column) && i < shown.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(shown[i]);
        if (c == '\t')
            caret += '\t';
        else if ((c & 0xC0) != 0x80)
            caret += ' ';
    }
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 32 && c != '\t')
            c = ' ';
    out() << ' ' << shown << '\n' << ' ' << caret << paint("^", "\x1b[1;32m") << '\n';
}

namespace {

// "entry:line:column", or the entry alone for no place in a text.
std::string placeText(const zul::SourceRange& range)
{
    if (!range.known())
        return range.entry;
    return range.entry + ":" + std::to_string(range.start.line) + ":" + std::to_string(range.start.column);
}

} // namespace

void Report::note(const zul::SourceRange& range, const std::string& text)
{
    out() << paint(placeText(range) + ":", "\x1b[1m") << ' ' << paint("note:", lookOf(zul::Severity::Note).colour)
          << ' ' << text << '\n';
}

void Report::show(const zul::Diagnostic& record, const std::string& hint)
{
    const std::string place = placeText(record.range);
    out() << paint(place + ":", "\x1b[1m") << ' '
          << paint(std::string(lookOf(record.severity).word) + ":", lookOf(record.severity).colour) << ' ';
    if (!record.subject.empty())
        out() << record.subject << ": ";
    out() << record.text << '\n';
    if (record.range.known())
        excerpt(record.range.entry, record.range.start.line, record.range.start.column);
    if (!record.missingName.empty())
        note(record.range, "'" + record.missingName + "' is not a field of " + record.searchedIn);
    for (const zul::RelatedPlace& related : record.related) {
        note(related.range, related.text);
        if (related.range.known())
            excerpt(related.range.entry, related.range.start.line, related.range.start.column);
    }
    if (!hint.empty())
        note(record.range, hint);
    kept(record.range, record.severity == zul::Severity::Error);
    if (record.severity == zul::Severity::Error)
        ++errorCount;
    else if (record.severity == zul::Severity::Warning)
        ++warningCount;
}

void Report::print(const zul::Tavric& root, std::size_t first)
{
    const std::vector<zul::Diagnostic>& records = root.diagnostics();
    printing = true;
    for (std::size_t i = first; i < records.size(); ++i)
        show(records[i]);
    printing = false;
    chain = npos;
    out().flush();
}

void Report::directive(const zul::DirectiveText& directive)
{
    if (directive.kind == zul::DirectiveKind::Message) {
        out() << directive.text << '\n';
        kept(directive.range);
        return;
    }
    zul::Diagnostic record;
    record.severity = directive.kind == zul::DirectiveKind::Error ? zul::Severity::Error : zul::Severity::Warning;
    record.range = directive.range;
    record.text = directive.text;
    show(record);
}

void Report::finding(const std::string& entry, const std::string& text, std::size_t offset, const std::string& message,
                     const std::string& name, const std::string& hint)
{
    zul::Diagnostic record;
    record.severity = zul::Severity::Warning;
    record.range = zul::SourceLines(text, entry).range(offset, offset);
    record.text = message + " [" + name + "]";
    show(record, hint);
}

void Report::refused(const std::string& name, const std::string& problem)
{
    out() << paint(name + ":", "\x1b[1m") << ' ' << paint("error:", lookOf(zul::Severity::Error).colour) << ' '
          << problem << '\n';
    zul::SourceRange range;
    range.entry = name;
    kept(range);
    out().flush();
    ++errorCount;
}

void Report::refusedSilently(const std::string& name, int errorsBefore)
{
    if (errorCount == errorsBefore)
        refused(name, "cannot be read as a document, and the library gave no reason");
}

namespace {

bool placedBefore(const zul::SourceRange& a, const zul::SourceRange& b)
{
    if (a.entry != b.entry)
        return a.entry < b.entry;
    if (a.start.line != b.start.line)
        return a.start.line < b.start.line;
    return a.start.column < b.start.column;
}

} // namespace

void Report::kept(const zul::SourceRange& range, bool error)
{
    if (!holding)
        return;
    if (error && chain != npos && placedBefore(range, held[chain].range)) {
        held[chain].text += buffer.str();
    } else {
        held.push_back(Held{range, buffer.str()});
        chain = error && printing ? held.size() - 1 : npos;
    }
    buffer.str("");
}

void Report::release()
{
    std::stable_sort(held.begin(), held.end(),
                     [](const Held& a, const Held& b) { return placedBefore(a.range, b.range); });
    for (const Held& text : held)
        stream << text.text;
    stream << buffer.str();
    held.clear();
    buffer.str("");
    holding = false;
    stream.flush();
}

std::string Report::summary(int files) const
{
    return plural(errorCount, "error") + ", " + plural(warningCount, "warning") + " in " + plural(files, "file");
}

} // namespace tavrictool
