#pragma once

// Reading and writing documents: the library's entry points for text. The node given keeps the
// tree; options are named fields, so a call reads as what it asks for.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/SourceToken.hpp"

namespace zul {

enum class DirectiveKind { Message, Warning, Error };

// The text of a Message, Warning or Error directive, with where the directive stands.
struct DirectiveText {
    DirectiveKind kind = DirectiveKind::Message;
    std::string text;
    SourceRange range; // the directive, from its word to the end of its text
};

// Receives directive texts as the parser meets them. The library prints nothing itself: without a
// sink the texts are not shown (the tree and its diagnostics are the same either way).
using DirectiveSink = std::function<void(const DirectiveText&)>;

// Gives the text of a file an include names, in place of what the file holds, when it returns true
// (an editor's unsaved text); false: the file is read as usual. It is asked for every include.
using IncludeSource = std::function<bool(const std::string& path, std::string& text)>;

struct LoadOptions {
    // Bind references and pointers and evaluate computed fields once the text is read.
    bool finalize = true;
    DirectiveSink directives;
};

struct ParseOptions {
    bool finalize = true;
    // The file the text was read from (by the caller): messages name it, and an include of that
    // file itself is refused as a cycle. Empty: the node's own entry name ("stdin" by default).
    std::string path;
    DirectiveSink directives;
    // When given, receives the tokens of the text as the parser accepted them, in text order
    // (SourceToken.hpp); an editor or a formatter lays them out. Nothing is recorded otherwise.
    SourceTokens* tokens = nullptr;
    // False: the plain values of collections (not their bracketed nodes) are read and checked as
    // usual, diagnostics included, but not kept in the tree. For a caller that wants the tokens
    // and the verdict, not the values: a map layer's numbers then cost a token each, not a node.
    bool keepCollectionValues = true;
    IncludeSource includes;
};

struct WriteOptions {
    int user = publicUser;
    // Everything as stored: no expression folded into its value, no field left out for its rights.
    bool raw = false;
    // Terminal colours around the declaration words.
    bool colour = false;
    // No declaration words that the parser would give back anyway.
    bool plain = false;
    // Indentation of the first level, in steps.
    int indent = 0;
};

// What a load or a parse gives back: whether the text was accepted (and resolved, when asked), and
// the diagnostics it added to the root's (the root keeps them as well, with their message lines).
struct [[nodiscard]] ReadResult {
    bool accepted = false;
    std::vector<Diagnostic> diagnostics;

    explicit operator bool() const { return accepted; }
};

// Reads the file at path into root. Not accepted after a diagnostic in root's messages.
ReadResult load(Tavric& root, const std::string& path, const LoadOptions& options = LoadOptions());
// Reads text into root.
ReadResult parse(Tavric& root, const std::string& text, const ParseOptions& options = ParseOptions());
// The node's value and children as text that parse reads back into the same tree.
bool write(const Tavric& node, std::ostream& out, const WriteOptions& options = WriteOptions());
// Writes the text to path, replacing the file only once it is whole (colour and indent aside).
bool save(const Tavric& node, const std::string& path, const WriteOptions& options = WriteOptions());

} // namespace zul
