#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

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

// The step of a replacement that failed.
enum class ReplaceStep {
    None,   // nothing failed
    Target, // finding the file to replace: a link that cannot be read or loops, or no regular file there
    Create, // creating the temporary file beside the target
    Mode,   // giving the temporary file the target's permissions
    Write,  // writing the bytes
    Sync,   // flushing them to the disk
    Close,  // closing the temporary file
    Rename, // putting it in the target's place
    Folder  // flushing the folder: the file holds the new bytes, but a power cut might still lose them
};

// What a replacement achieved: error 0, or the errno value of the step that failed.
struct ReplaceResult {
    int error = 0;
    ReplaceStep step = ReplaceStep::None;
    std::string target; // the file actually replaced: the path, or the file its links lead to

    explicit operator bool() const { return error == 0; }
    // One line for the user, without the path in front: "cannot create a temporary file beside
    // 'x.tvr': Permission denied".
    std::string text() const;
};

// The system calls a replacement makes. Tests give their own to make a step fail, or to watch a
// replacement go.
struct FileCalls {
    int (*create)(const char* path, mode_t mode); // creates a new file for writing, or fails
    int (*changeMode)(int fd, mode_t mode);
    ssize_t (*write)(int fd, const void* bytes, std::size_t count);
    int (*sync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*syncFolder)(const char* folder);
};

// The real calls.
const FileCalls& systemFileCalls();

// Replaces the file at path with bytes, so that the file holds either its old bytes or all the new
// ones, whatever happens (a full disk, a crash, a kill): the bytes go to a temporary file in the
// same folder, are flushed to the disk and renamed over the old file, and the folder is flushed.
// The old file's permission bits are kept; a new file gets 0644 less the umask. A symbolic link is
// followed: its target gets the new bytes and the link stays as it was (a link to nothing creates
// its target). Anything there other than a regular file (a folder, a FIFO, a device) is refused
// with EINVAL. On failure the temporary file is removed and the file is as it was (except after
// the Folder step).
ReplaceResult replaceWholeFile(const std::string& path, const std::string& bytes,
                               const FileCalls& calls = systemFileCalls());

} // namespace zul
