#pragma once

// Shared by the fuzz targets: documents with their own dictionary, the writer's text, reading a
// whole tree the way the game and the writer do, and a check that stops the run with both texts.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <sstream>
#include <string>
#include <vector>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/ExpressionNode.hpp"

namespace fuzz {

struct Document {
    zul::NameDictionary dictionary;
    zul::Tavric root{&dictionary};
};

// Parses text into root; true when it was accepted (and resolved, with finalize).
inline bool parse(zul::Tavric& root, const std::string& text, bool finalize)
{
    zul::ParseOptions options;
    options.finalize = finalize;
    return zul::parse(root, text, options).accepted;
}

inline std::string written(const zul::Tavric& node, bool plain, bool raw, bool colour = false)
{
    std::ostringstream out;
    zul::WriteOptions options;
    options.raw = raw;
    options.colour = colour;
    options.plain = plain;
    zul::write(node, out, options);
    return out.str();
}

inline std::string joinedMessages(const zul::Tavric& root)
{
    std::string all;
    for (const std::string& line : root.messages())
        all += line;
    return all;
}

// Where findings are described: standard error as it was at start-up, kept open even when the
// run closes the target's own output (-close_fd_mask), as libFuzzer keeps its own.
inline FILE*& reportFile()
{
    static FILE* file = stderr;
    return file;
}

// A finding: both texts are described (escaped, so that the bytes are visible) and the run
// stops, which libFuzzer records as a crash with its input.
[[noreturn]] inline void fail(const char* what, const std::string& first = std::string(),
                              const std::string& second = std::string())
{
    FILE* out = reportFile();
    auto show = [out](const char* label, const std::string& text) {
        std::fprintf(out, "---- %s (%zu bytes)\n", label, text.size());
        for (unsigned char c : text) {
            if (c == '\n')
                std::fputs("\\n\n", out);
            else if (c < 32 || c >= 127 || c == '\\')
                std::fprintf(out, "\\x%02x", c);
            else
                std::fputc(c, out);
        }
        std::fputc('\n', out);
    };
    std::fprintf(out, "==== FUZZ FINDING: %s\n", what);
    if (!first.empty() || !second.empty()) {
        show("first", first);
        show("second", second);
    }
    std::fflush(out);
    std::abort();
}

// Every typed read of every field, as the game, the diagnostics and the writer's descriptions do.
// A computed field or a reference is read once: each read evaluates again, through chains up to
// the library's depth limit, so reading such a chain in every type would only make it slow. The
// budget keeps huge collections quick.
inline void readTree(zul::Tavric& node, int& budget)
{
    if (budget <= 0)
        return;
    --budget;
    const int user = zul::publicUser;
    const zul::Tavric& constant = node;
    if (node.getKind() == zul::KindComputed || node.getKind() == zul::KindReference) {
        (void)node.getString(user);
    } else {
        (void)node.getBool(user);
        (void)node.getInt(user);
        (void)node.getReal(user);
        (void)node.getChar(user);
        (void)node.getString(user);
        (void)node.getPointer(user);
        (void)constant.getInt(user);
        (void)constant.getString(user);
        (void)constant.dereference(user);
    }
    (void)node.getAddress();
    (void)node.declarationPrefix(true);
    // Reading may create fields (assignments in expressions): walk a snapshot.
    const std::vector<zul::Tavric*> children = node.childrenInOrder();
    for (zul::Tavric* child : children)
        readTree(*child, budget);
    for (std::size_t i = 0; budget > 0; ++i) {
        zul::Tavric* element = node.childAt(i);
        if (element == nullptr)
            break;
        readTree(*element, budget);
    }
}

inline void readTree(zul::Tavric& root)
{
    int budget = 300;
    readTree(root, budget);
}

// True when the tree holds an assignment that is evaluated on reading (not folded): each load
// then changes fields again, so its written text need not be a fixed point.
inline bool assigns(const zul::ExpressionNode& node)
{
    if (node.getLevel() == 1 && !node.isFolded())
        return true;
    for (std::size_t i = 0; i < node.operandCount(); ++i)
        if (assigns(node.child(i)))
            return true;
    return false;
}

inline bool assigns(const zul::Tavric& field)
{
    if (const auto* node = dynamic_cast<const zul::ExpressionNode*>(field.getExpression()))
        if (assigns(*node))
            return true;
    for (const auto& child : field.childrenById())
        if (assigns(*child.second))
            return true;
    for (std::size_t i = 0; const zul::Tavric* element = field.childAt(i); ++i)
        if (assigns(*element))
            return true;
    return false;
}

inline std::string textOf(const uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

} // namespace fuzz

// Runs before libFuzzer closes the target's output: findings keep a stream of their own.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const int copy = ::dup(2);
    if (copy >= 0)
        if (FILE* file = ::fdopen(copy, "w"))
            fuzz::reportFile() = file;
    return 0;
}
