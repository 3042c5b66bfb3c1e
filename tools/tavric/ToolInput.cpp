#include "ToolInput.hpp"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "tavric/text/WholeFile.hpp"

namespace tavrictool {

namespace {

std::string megabytes(std::size_t bytes)
{
    return std::to_string(bytes >> 20) + " MB";
}

bool readStream(std::istream& in, std::string& text)
{
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        // One byte beyond the limit is enough to refuse; the rest is not kept.
        if (text.size() > maxInputBytes)
            return true;
    }
    return !in.bad();
}

} // namespace

bool readInput(const std::string& path, InputKind kind, Source& source, std::string& problem,
               std::istream& standardInput)
{
    source.text.clear();
    if (path == "-") {
        source.name = "<stdin>";
        if (!readStream(standardInput, source.text)) {
            problem = "cannot read standard input";
            return false;
        }
    } else {
        source.name = path;
        struct stat status;
        if (::stat(path.c_str(), &status) != 0) {
            problem = std::strerror(errno);
            return false;
        }
        if (S_ISDIR(status.st_mode)) {
            problem = "is a directory, not a file";
            return false;
        }
        if (!S_ISREG(status.st_mode)) {
            problem = "is not a regular file (a FIFO, a device or a socket)";
            return false;
        }
        if (static_cast<unsigned long long>(status.st_size) > maxInputBytes) {
            problem = "is larger than " + megabytes(maxInputBytes) + "; inputs that large are refused";
            return false;
        }
        const int error = zul::readWholeFile(path, source.text, zul::FileKinds::RegularOnly);
        if (error != 0) {
            problem = error == EINVAL ? "is not a regular file" : std::strerror(error);
            return false;
        }
    }
    return acceptedText(source.text, kind, problem);
}

bool acceptedText(const std::string& text, InputKind kind, std::string& problem)
{
    if (text.size() > maxInputBytes) {
        problem = "is larger than " + megabytes(maxInputBytes) + "; inputs that large are refused";
        return false;
    }
    // Scrambled user data is binary; a document, or plain user data to scramble, never holds NUL.
    if (kind == InputKind::Document && text.find('\0') != std::string::npos) {
        problem = "holds NUL bytes: it is binary data, not a Tavric text";
        return false;
    }
    return true;
}

} // namespace tavrictool
