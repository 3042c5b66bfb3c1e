#pragma once

#include <cstddef>
#include <iostream>
#include <string>

namespace tavrictool {

// Documents and user data files are small; the largest content documents are a few MB. Loading
// costs about twenty times the text in memory (a 20 MB text peaks near 420 MB), so a text beyond this
// size is refused rather than allowed to push the machine into swapping.
constexpr std::size_t maxInputBytes = 32u << 20;

// What a verb reads: a document or a user data file.
enum class InputKind { Document, UserData };

// The text of one input, and the name diagnostics use for it.
struct Source {
    std::string name; // the path, or "<stdin>" for "-"
    std::string text;
};

// Reads path ("-": the stream standardInput). On refusal, problem holds one line for the user
// (without the "NAME: " in front) and the result is false: a directory, a missing or unreadable
// file, a FIFO or device, an input larger than maxInputBytes, and a document (or user data to
// scramble) that holds NUL bytes, which no Tavric text does. An empty input is an empty document.
bool readInput(const std::string& path, InputKind kind, Source& source, std::string& problem,
               std::istream& standardInput = std::cin);
// The checks of readInput on a text already in memory (an editor's): its size and, for a document,
// NUL bytes.
bool acceptedText(const std::string& text, InputKind kind, std::string& problem);

} // namespace tavrictool
