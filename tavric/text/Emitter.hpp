#pragma once

// Tavric text written element by element, as a program produces it (a generated configuration, a
// converted document), without building a tree first. Values are given as literals (Literals.hpp,
// or a whole number's digits); the emitter writes the declarations, brackets, indentation and
// line ends around them, laid out as the formatter lays text out.

#include <cstddef>
#include <string>
#include <vector>

namespace zul {

struct EmitterOptions {
    std::size_t indentWidth = 2;
    // Members of a collection on one line, when the collection gives no format of its own.
    std::size_t membersPerLine = 16;
};

class Emitter {
public:
    // Appends to out. The document itself is the outermost node: it has no brackets.
    explicit Emitter(std::string& out, const EmitterOptions& options = {});

    // A value: "name = literal" in a node. An empty name gives the node's own value ("[node = 1",
    // "= 1" for the document), which comes before its fields. In a collection the name is not
    // written: members fill rows.
    void value(const std::string& name, const std::string& literal);
    // "[name", its fields to follow. A collection's member needs a name too.
    void beginNode(const std::string& name);
    // "name = [Collection", with " (format)" when format is not 0: then that many members a row.
    // An empty name gives the node's own value; in a collection, a member "[name = [Collection".
    void beginCollection(const std::string& name, std::size_t format = 0);
    // Closes the innermost node or collection.
    void end();

    // "// text" on a line of its own, at the current depth.
    void comment(const std::string& text);
    void blankLine();
    // Lines of Tavric text as they are, each indented to the current depth (empty lines stay empty).
    void verbatim(const std::string& text);

    // Nodes and collections open around what comes next.
    std::size_t depth() const { return frames.size() - 1; }

private:
    struct Frame {
        bool collection = false;
        std::string indent;    // of the lines inside
        std::string closing;   // what closes it
        bool lineOpen = false; // the line of its "[" is not ended yet
        std::size_t perLine = 0;
        std::size_t count = 0; // members so far
        long row = 0;          // members on the line being filled; negative: the row is full
        bool ownValue = false; // the last element written was its own value
    };
    enum class Form { Value, Node, Collection };

    void endLine(Frame& frame);
    void place(const std::string& name, Form form);
    void placed(bool bracketed);
    void open(bool collection, std::size_t format);

    std::string& out;
    EmitterOptions options;
    std::vector<Frame> frames;
};

} // namespace zul
