#include "MessageReader.hpp"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>

namespace tavriclsp {

namespace {

constexpr std::size_t chunkBytes = 1u << 20;

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The length of a Content-Length value: decimal digits only; false for anything else or a number
// beyond what a size holds.
bool readLength(const std::string& value, std::size_t& length)
{
    if (value.empty() || value.size() > 18)
        return false;
    length = 0;
    for (char c : value) {
        if (c < '0' || c > '9')
            return false;
        length = length * 10 + static_cast<std::size_t>(c - '0');
    }
    return true;
}

} // namespace

bool MessageReader::headerLine(std::string& line, std::size_t& blockBytes)
{
    line.clear();
    std::streambuf& buffer = *in.rdbuf();
    for (;;) {
        const int c = buffer.sbumpc();
        if (c == std::char_traits<char>::eof())
            return false;
        ++blockBytes;
        if (c == '\n') {
            // The protocol ends lines with CR LF; a bare LF is taken as well.
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        // Past the limit the block is garbage: the rest of the line is read but not kept.
        if (blockBytes <= maxHeaderBytes)
            line += static_cast<char>(c);
    }
}

bool MessageReader::findHeader(std::string& line, std::size_t& blockBytes)
{
    static const char name[] = "content-length:";
    std::streambuf& buffer = *in.rdbuf();
    // No letter of the name after the first is a 'c', so a failed match restarts at this byte.
    for (std::size_t matched = 0; matched < sizeof name - 1;) {
        const int c = buffer.sbumpc();
        if (c == std::char_traits<char>::eof())
            return false;
        const char lower = static_cast<char>(std::tolower(c));
        matched = lower == name[matched] ? matched + 1 : lower == name[0] ? 1 : 0;
    }
    blockBytes = sizeof name - 1;
    if (!headerLine(line, blockBytes))
        return false;
    line = "Content-Length:" + line;
    return true;
}

bool MessageReader::skip(std::size_t bytes)
{
    char chunk[65536];
    while (bytes > 0) {
        const std::size_t want = std::min(bytes, sizeof chunk);
        in.read(chunk, static_cast<std::streamsize>(want));
        if (static_cast<std::size_t>(in.gcount()) != want)
            return false;
        bytes -= want;
    }
    return true;
}

ReadStatus MessageReader::next(std::string& body)
{
    body.clear();
    trouble.clear();
    std::string line;
    std::size_t blockBytes = 0;
    bool any = false;
    bool lengthSeen = false;
    bool lengthValid = true;
    std::size_t length = 0;
    const bool resynchronise = lost;
    lost = false;
    if (resynchronise) {
        if (!findHeader(line, blockBytes))
            return ReadStatus::End;
    }
    for (bool first = true;; first = false) {
        if (!(first && resynchronise) && !headerLine(line, blockBytes))
            return ReadStatus::End;
        if (line.empty()) {
            if (!any) {
                blockBytes = 0; // blank lines between messages are tolerated
                continue;
            }
            break;
        }
        any = true;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            trouble = "a header line without ':'";
            lengthValid = false;
        } else if (lowered(trimmed(line.substr(0, colon))) == "content-length") {
            std::size_t value = 0;
            if (lengthSeen || !readLength(trimmed(line.substr(colon + 1)), value)) {
                trouble = lengthSeen ? "Content-Length given twice" : "a Content-Length that is not a number";
                lengthValid = false;
            }
            lengthSeen = true;
            length = value;
        }
    }
    if (blockBytes > maxHeaderBytes) {
        trouble = "a header block longer than " + std::to_string(maxHeaderBytes) + " bytes";
        lost = true;
        return ReadStatus::BadHeader;
    }
    if (!lengthSeen || !lengthValid) {
        if (trouble.empty())
            trouble = "a header block without Content-Length";
        lost = true;
        return ReadStatus::BadHeader;
    }
    if (length > maxMessageBytes) {
        trouble =
            "a message of " + std::to_string(length) + " bytes, beyond the limit of " + std::to_string(maxMessageBytes);
        return skip(length) ? ReadStatus::TooLarge : ReadStatus::End;
    }
    // Read in chunks: a header that announces more than ever comes costs no more than what came.
    while (body.size() < length) {
        const std::size_t want = std::min(length - body.size(), chunkBytes);
        const std::size_t had = body.size();
        body.resize(had + want);
        in.read(&body[had], static_cast<std::streamsize>(want));
        if (static_cast<std::size_t>(in.gcount()) != want) {
            body.clear();
            return ReadStatus::End;
        }
    }
    return ReadStatus::Message;
}

bool writeMessage(std::ostream& out, const std::string& body)
{
    out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
    out.flush();
    return static_cast<bool>(out);
}

} // namespace tavriclsp
