#pragma once

#include <cstddef>
#include <string>

namespace zul {

// Which files readWholeFile takes.
enum class FileKinds {
    Readable,   // whatever opens for reading; a directory is refused (EISDIR)
    RegularOnly // a plain file only: anything else is refused before a byte is read, without waiting
};

// Reads a whole file into bytes, to its end (a size found beforehand is only a hint). Returns 0, or
// an errno value: what open, fstat or read reported, EISDIR for a directory, EINVAL for a file that
// is not regular when only regular files are taken, ENOMEM when memory runs out. announcedSize, when
// given, receives the size the file system gave (0 when unknown).
int readWholeFile(const std::string& path, std::string& bytes, FileKinds accepted = FileKinds::Readable,
                  std::size_t* announcedSize = nullptr);

} // namespace zul
