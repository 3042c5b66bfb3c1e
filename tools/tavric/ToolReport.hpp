#pragma once

#include <cstddef>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "ToolInput.hpp"
#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"

namespace tavrictool {

// Lays the library's diagnostics out as editors read them:
//   FILE:LINE:COL: error: TEXT      (or warning:, note:), the source line, and a caret under the column;
//   FILE: error: SUBJECT: TEXT      for a diagnostic about a field, which has no place in the text.
class Report {
public:
    Report(std::ostream& stream, bool colour) : stream(stream), colour(colour) {}

    // From hold on, what the report says waits, and release writes it sorted by file and place
    // (what has no place first in its file): the parser, the resolution and the linter each find
    // their own faults, in their own order.
    void hold() { holding = true; }
    void release();

    // The text of the document read, which must outlive the report (included files are read again
    // when a diagnostic names them).
    void addSource(const Source& source) { given[source.name] = &source.text; }
    void dropSource(const Source& source) { given.erase(source.name); }
    // Prints the diagnostics of root from the index first on, and counts them.
    void print(const zul::Tavric& root, std::size_t first = 0);
    // A directive's text: a Message as it is, a Warning or an Error laid out and counted as a
    // diagnostic of that severity.
    void directive(const zul::DirectiveText& directive);
    // A warning of the tool's own at a place of a text: "FILE:LINE:COL: warning: TEXT [name]", the
    // line and its caret, then the hint as a note when there is one.
    void finding(const std::string& entry, const std::string& text, std::size_t offset, const std::string& message,
                 const std::string& name, const std::string& hint);
    // A line of the tool's own about an input: "NAME: error: PROBLEM"; counted as an error.
    void refused(const std::string& name, const std::string& problem);
    // For an input that was refused: a line naming it when no error was printed since the count
    // errorsBefore, so that no refusal goes without a word even when the library gave none.
    void refusedSilently(const std::string& name, int errorsBefore);

    int errors() const { return errorCount; }
    int warnings() const { return warningCount; }
    // "2 errors, 1 warning in 1 file".
    std::string summary(int files) const;

private:
    void show(const zul::Diagnostic& record, const std::string& hint = "");
    // What was written since the last call, kept for release when the report is held.
    void kept(const zul::SourceRange& range, bool error = false);
    // "PLACE: note: TEXT" after a diagnostic.
    void note(const zul::SourceRange& range, const std::string& text);
    void excerpt(const std::string& entry, int line, int column);
    const std::string* sourceOf(const std::string& entry);
    std::string paint(const std::string& text, const char* code) const;

    // Where the report is written: the stream, or the buffer while the report is held.
    std::ostream& stream;
    std::ostringstream buffer;
    std::ostream& out() { return holding ? buffer : stream; }
    bool colour;
    bool holding = false;
    struct Held {
        zul::SourceRange range;
        std::string text;
    };
    std::vector<Held> held;
    // While print runs, the last error it held: an error the library gives after another at an earlier
    // place (an enclosing rule's, the include that failed) follows from it and is kept with it.
    std::size_t chain = npos;
    bool printing = false;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::map<std::string, const std::string*> given;
    std::map<std::string, std::string> included;
    int errorCount = 0;
    int warningCount = 0;
};

} // namespace tavrictool
