#include "tavric/text/WholeFile.hpp"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace zul {

int readWholeFile(const std::string& path, std::string& bytes, FileKinds accepted, std::size_t* announcedSize)
{
    if (announcedSize)
        *announcedSize = 0;
    // Opened without waiting when only regular files will do: a FIFO would otherwise block the open
    // until some writer comes.
    const bool regularOnly = accepted == FileKinds::RegularOnly;
    const int fd = ::open(path.c_str(), O_RDONLY | (regularOnly ? O_NONBLOCK : 0));
    if (fd < 0)
        return errno;
    struct stat status;
    int error = 0;
    if (::fstat(fd, &status) != 0)
        error = errno;
    else if (S_ISDIR(status.st_mode))
        error = EISDIR;
    else if (regularOnly && !S_ISREG(status.st_mode))
        error = EINVAL;
    if (error == 0 && announcedSize && status.st_size > 0)
        *announcedSize = static_cast<std::size_t>(status.st_size);
    try {
        bytes.clear();
        if (error == 0 && status.st_size > 0)
            bytes.reserve(static_cast<std::size_t>(status.st_size));
        char chunk[65536];
        while (error == 0) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                error = errno;
            else if (n == 0)
                break;
            else
                bytes.append(chunk, static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    ::close(fd);
    return error;
}

} // namespace zul
