#pragma once

// One open document as the language server sees it: loaded as check loads it (directives,
// includes, resolution, the missing-target and lint warnings), with the parser's token record and
// the places of its fields, and the answers to an editor's questions about a byte offset.

#include <cstddef>
#include <string>
#include <vector>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/SourceToken.hpp"
#include "TextPositions.hpp"

namespace tavriclsp {

enum class Level { Error = 1, Warning = 2, Information = 3 };

// A diagnostic, placed in the file its range names (the document's own path for its own text; not
// known: none).
struct Finding {
    zul::SourceRange range;
    Level level = Level::Error;
    std::string message;
    std::string code; // the warning's name, for the tool's own warnings
    std::vector<zul::RelatedPlace> related;
};

// A field of the document's own text with the extent of its declaration, by byte offsets.
struct Symbol {
    const zul::Tavric* field = nullptr;
    std::size_t start = 0;       // the "[" of a node, else where the declaration starts
    std::size_t declaration = 0; // where the declaration starts (its first word)
    std::size_t nameStart = 0;
    std::size_t nameEnd = 0;
    std::size_t end = 0;
    std::vector<Symbol> children;
};

// Where a definition is: a field's declaration in a file, or a whole file (range not known).
struct Definition {
    zul::SourceRange range;
};

// A stretch of text an editor can fold: a node from its "[" to its "]", or a block comment.
struct Fold {
    std::size_t start = 0;
    std::size_t end = 0; // the offset of the "]", or of the comment's last byte
    bool comment = false;
};

// One place a name is written: where it is declared, or in an address.
struct Occurrence {
    std::size_t start = 0;
    std::size_t end = 0;
    bool declaration = false;
};

// Completion kinds, numbered as the protocol numbers them.
enum class ItemKind { Field = 5, Keyword = 14 };

struct Completion {
    std::string label;
    ItemKind kind = ItemKind::Keyword;
    std::string detail;
    std::string sortText;
};

// "value", "reference", "computed"... for a field's kind; "node" for one with children and no value.
const char* kindWord(const zul::Tavric& field);

class DocumentAnalysis {
public:
    // Loads text as the document at path; includes asks for the texts of included files.
    DocumentAnalysis(const std::string& path, std::string text, const zul::IncludeSource& includes);
    DocumentAnalysis(const DocumentAnalysis&) = delete;
    DocumentAnalysis& operator=(const DocumentAnalysis&) = delete;

    const std::string& path() const { return documentPath; }
    const std::string& text() const { return documentText; }
    bool accepted() const { return loaded; }
    const std::vector<Finding>& findings() const { return found; }
    // The paths the document's includes named, as written.
    const std::vector<std::string>& included() const { return includedPaths; }
    // The language most of the document's keywords are written in (English when none).
    zul::Language language() const;

    const std::vector<Symbol>& symbols() const { return outline; }
    // The parser's record of the text's pieces, by offset (up to where a parse that failed stopped).
    const zul::SourceTokens& sourceTokens() const { return tokens; }
    // Markdown about the field declared at offset; empty when there is none.
    std::string hover(std::size_t offset) const;
    bool definition(std::size_t offset, Definition& where) const;
    // Keywords, or the names an address can go on with at offset. The open nodes around the offset
    // are found in this text; their fields in the tree of the last text that loaded (lastGood, when
    // this one did not), since a parse that fails drops the node it failed in.
    std::vector<Completion> completion(std::size_t offset, const DocumentAnalysis* lastGood) const;

    // The nodes and block comments of the text, in the order they start.
    std::vector<Fold> folds() const;
    // Every place the name under offset (a field's name or a step of an address) is written in
    // this text, by its spelling; none when offset is on no name.
    std::vector<Occurrence> occurrences(std::size_t offset) const;

    // The name of the field whose declaration starts at that offset, past its access words; false
    // when no field of this text starts there.
    bool nameAt(std::size_t declaration, std::size_t& from, std::size_t& to) const;

private:
    void outlineFields();
    const zul::SourceToken* tokenAt(std::size_t offset) const;
    const Symbol* symbolAt(std::size_t offset) const;
    // The node the text at offset stands in, by the brackets before it (the tree of the last parse
    // may end before the offset, while the author types).
    std::vector<std::string> nodesAround(std::size_t offset) const;

    std::string documentPath;
    std::string documentText;
    zul::NameDictionary names;
    zul::Tavric root{&names};
    zul::SourceTokens tokens;
    bool loaded = false;
    std::vector<Finding> found;
    std::vector<std::string> includedPaths;
    std::vector<Symbol> outline;
    std::vector<const Symbol*> flat; // every symbol, by start
};

} // namespace tavriclsp
