#include "tavric/text/WholeFile.hpp"

#include <cerrno>
#include <cstring>
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

// ---------------------------------------------------------------- replacing a whole file

namespace {

// Linux gives up after as many links; a loop of links ends the same way.
constexpr int maxLinksFollowed = 40;
// Temporary names already taken (by a save that was killed, or one under way) are skipped; past
// this many tries something else is wrong.
constexpr int maxTemporaryTries = 100;

int createNew(const char* path, mode_t mode)
{
    int fd;
    do
        fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

int syncFolder(const char* folder)
{
    const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int result = ::fsync(fd);
    // Some file systems cannot flush a folder at all; their renames are as safe as they get.
    if (result != 0 && (errno == EINVAL || errno == EROFS))
        result = 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return result;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows the links from path to the file to replace. 0 with the target (which may not exist yet:
// mode stays 0 then), or an errno value.
int findTarget(const std::string& path, std::string& target, mode_t& mode)
{
    target = path;
    mode = 0;
    if (path.empty())
        return ENOENT;
    for (int links = 0; links <= maxLinksFollowed; ++links) {
        struct stat status;
        if (::lstat(target.c_str(), &status) != 0)
            return errno == ENOENT ? 0 : errno;
        if (S_ISREG(status.st_mode)) {
            mode = status.st_mode & 07777;
            return 0;
        }
        if (!S_ISLNK(status.st_mode))
            return EINVAL;
        std::string next(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(target.c_str(), &next[0], next.size());
        if (length < 0)
            return errno;
        if (static_cast<std::size_t>(length) >= next.size())
            return ENAMETOOLONG; // the link changed while it was read
        next.resize(static_cast<std::size_t>(length));
        // A relative link is read from the link's own folder.
        target = next[0] == '/' || target.find('/') == std::string::npos ? next : folderOf(target) + "/" + next;
    }
    return ELOOP;
}

const char* stepText(ReplaceStep step)
{
    switch (step) {
    case ReplaceStep::Target:
        return "cannot replace '%': ";
    case ReplaceStep::Create:
        return "cannot create a temporary file beside '%': ";
    case ReplaceStep::Mode:
        return "cannot give the new content of '%' its permissions: ";
    case ReplaceStep::Write:
        return "cannot write the new content of '%': ";
    case ReplaceStep::Sync:
        return "cannot flush the new content of '%' to the disk: ";
    case ReplaceStep::Close:
        return "cannot close the new content of '%': ";
    case ReplaceStep::Rename:
        return "cannot put the new content in place of '%': ";
    case ReplaceStep::Folder:
        return "'%' holds the new content, but its folder cannot be flushed to the disk: ";
    case ReplaceStep::None:
        break;
    }
    return "'%': ";
}

} // namespace

std::string ReplaceResult::text() const
{
    std::string line = stepText(step);
    line.replace(line.find('%'), 1, target);
    if (step == ReplaceStep::Target && error == EINVAL)
        return line + "it is not a regular file";
    return line + std::strerror(error);
}

const FileCalls& systemFileCalls()
{
    static const FileCalls calls = {
        createNew, ::fchmod, ::write, ::fsync, ::close, ::rename, syncFolder,
    };
    return calls;
}

ReplaceResult replaceWholeFile(const std::string& path, const std::string& bytes, const FileCalls& calls)
{
    ReplaceResult result;
    mode_t mode = 0;
    auto fail = [&result](ReplaceStep step, int error) {
        result.step = step;
        result.error = error != 0 ? error : EIO;
        return result;
    };
    if (const int error = findTarget(path, result.target, mode))
        return fail(ReplaceStep::Target, error);

    const std::string folder = folderOf(result.target);
    const std::size_t slash = result.target.rfind('/');
    const std::string base = slash == std::string::npos ? result.target : result.target.substr(slash + 1);
    // Hidden, and named after the file and the process, so that one left by a kill says whose it was.
    const std::string stem = (slash == std::string::npos ? "" : folder + "/") + "." + base + "." +
                             std::to_string(static_cast<long>(::getpid())) + ".";
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < maxTemporaryTries; ++attempt) {
        temporary = stem + std::to_string(attempt) + "~";
        fd = calls.create(temporary.c_str(), 0644);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return fail(ReplaceStep::Create, errno);

    auto abandon = [&](ReplaceStep step, int error, bool open) {
        if (open)
            calls.close(fd);
        ::unlink(temporary.c_str());
        return fail(step, error);
    };
    if (mode != 0 && calls.changeMode(fd, mode) != 0)
        return abandon(ReplaceStep::Mode, errno, true);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = calls.write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return abandon(ReplaceStep::Write, put < 0 ? errno : EIO, true);
        done += static_cast<std::size_t>(put);
    }
    if (calls.sync(fd) != 0)
        return abandon(ReplaceStep::Sync, errno, true);
    // A close can report a write the file system deferred; the descriptor is gone either way.
    if (calls.close(fd) != 0)
        return abandon(ReplaceStep::Close, errno, false);
    if (calls.rename(temporary.c_str(), result.target.c_str()) != 0)
        return abandon(ReplaceStep::Rename, errno, false);
    if (calls.syncFolder(folder.c_str()) != 0)
        return fail(ReplaceStep::Folder, errno);
    return result;
}

} // namespace zul
