#pragma once

// The framing of the language server's messages: a header block of "Name: value" lines, among them
// Content-Length, a blank line, then that many bytes of JSON. Kept apart from the server so that
// malformed streams can be thrown at it alone.

#include <cstddef>
#include <iosfwd>
#include <string>

#include "tools/tavric/ToolInput.hpp"

namespace tavriclsp {

// A document of the tool's largest size, escaped into JSON, with room for the message around it.
// A longer body is skipped unread rather than held.
constexpr std::size_t maxMessageBytes = 2 * tavrictool::maxInputBytes + (1u << 20);
// Clients send two short header lines; a header block longer than this is garbage.
constexpr std::size_t maxHeaderBytes = 8192;

enum class ReadStatus {
    Message,   // body holds one message's bytes
    End,       // the input ended (a message cut off by the end included)
    BadHeader, // a header block without a usable Content-Length: skipped up to its blank line, and
               // the next read skips whatever comes before the next "Content-Length:" (the body
               // of the bad block, whose length is not known)
    TooLarge   // a body longer than maxMessageBytes: skipped
};

class MessageReader {
public:
    explicit MessageReader(std::istream& in) : in(in) {}
    ReadStatus next(std::string& body);
    // What was wrong with the last header block or body, for the log.
    const std::string& problem() const { return trouble; }

private:
    // One header line without its line end; false at the end of the input.
    bool headerLine(std::string& line, std::size_t& blockBytes);
    bool skip(std::size_t bytes);
    // Skips to the next "Content-Length:" and reads the rest of its line into line, as a header
    // line; false at the end of the input.
    bool findHeader(std::string& line, std::size_t& blockBytes);

    std::istream& in;
    std::string trouble;
    bool lost = false; // the last header block was bad: its body, if any, is still to come
};

// Writes one message with its header and flushes; false when the output failed.
bool writeMessage(std::ostream& out, const std::string& body);

} // namespace tavriclsp
