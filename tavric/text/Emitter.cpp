#include "tavric/text/Emitter.hpp"

namespace zul {

Emitter::Emitter(std::string& out, const EmitterOptions& options) : out(out), options(options)
{
    frames.emplace_back();
}

void Emitter::endLine(Frame& frame)
{
    if (frame.lineOpen || frame.row > 0)
        out += '\n';
    frame.lineOpen = false;
    frame.row = 0;
}

// What goes before an element: "name = " in a node, a place in a row of a collection, " = " after
// a node's "[name" for its own value.
void Emitter::place(const std::string& name, Form form)
{
    Frame& frame = frames.back();
    frame.ownValue = false;
    if (!frame.collection && name.empty()) {
        out += frames.size() == 1 ? "= " : " = ";
        frame.ownValue = true;
        return;
    }
    if (frame.collection) {
        ++frame.count;
        if (form == Form::Value) {
            if (frame.lineOpen)
                endLine(frame);
            out += frame.row == 0 ? frame.indent : std::string(" ");
            if (static_cast<std::size_t>(++frame.row) == frame.perLine)
                frame.row = -frame.row; // ended after the value
            return;
        }
        endLine(frame);
        out += frame.indent;
        out += form == Form::Node ? "[" + name : "[" + name + " = ";
        return;
    }
    endLine(frame);
    out += frame.indent;
    out += form == Form::Node ? "[" + name : name + " = ";
}

// After an element: the end of its line. A collection's members fill rows, a bracketed one has a
// line of its own; a node's own value leaves the node's first line open.
void Emitter::placed(bool bracketed)
{
    Frame& frame = frames.back();
    if (frame.collection) {
        if (frame.row < 0 || bracketed) {
            out += '\n';
            frame.row = 0;
        }
        return;
    }
    if (frame.ownValue && frames.size() > 1) {
        frame.lineOpen = true;
        return;
    }
    out += '\n';
}

void Emitter::open(bool collection, std::size_t format)
{
    const bool member = frames.back().collection;
    Frame frame;
    frame.collection = collection;
    // A member collection opens two levels on its line ("[item = [Collection"), as the formatter counts.
    const std::size_t levels = collection && member ? 2 : 1;
    frame.indent = frames.back().indent + std::string(levels * options.indentWidth, ' ');
    frame.closing = collection && member ? "]]" : "]";
    frame.lineOpen = true;
    frame.perLine = format != 0 ? format : options.membersPerLine;
    if (collection) {
        out += "[Collection";
        if (format != 0)
            out += " (" + std::to_string(format) + ")";
    }
    frames.push_back(std::move(frame));
}

void Emitter::value(const std::string& name, const std::string& literal)
{
    place(name, Form::Value);
    out += literal;
    placed(false);
}

void Emitter::beginNode(const std::string& name)
{
    place(name, Form::Node);
    open(false, 0);
}

void Emitter::beginCollection(const std::string& name, std::size_t format)
{
    place(name, Form::Collection);
    open(true, format);
}

void Emitter::end()
{
    if (frames.size() < 2)
        return;
    Frame frame = std::move(frames.back());
    frames.pop_back();
    const std::string& outer = frames.back().indent;
    if (frame.collection && frame.count == 0) {
        out += frame.closing;
    } else {
        endLine(frame);
        out += outer + frame.closing;
    }
    placed(true);
}

void Emitter::comment(const std::string& text)
{
    Frame& frame = frames.back();
    endLine(frame);
    out += frame.indent + "// " + text + "\n";
}

void Emitter::blankLine()
{
    endLine(frames.back());
    out += '\n';
}

void Emitter::verbatim(const std::string& text)
{
    Frame& frame = frames.back();
    endLine(frame);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            out += frame.indent + text.substr(start, end - start);
        out += '\n';
        start = end + 1;
    }
}

} // namespace zul
