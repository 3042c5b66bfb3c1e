#include "tavric/text/WholeFile.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using zul::FileCalls;
using zul::FileKinds;
using zul::readWholeFile;
using zul::ReplaceResult;
using zul::ReplaceStep;
using zul::replaceWholeFile;

namespace {

TEST(WholeFile, BytesSizeAndRefusals)
{
    const std::string path = "whole_file_test_file~";
    {
        std::ofstream out(path, std::ios::binary);
        out << std::string("abc\0def", 7);
    }
    std::string bytes = "old";
    std::size_t size = 99;
    EXPECT_EQ(0, readWholeFile(path, bytes, FileKinds::Readable, &size));
    EXPECT_EQ(std::string("abc\0def", 7), bytes);
    EXPECT_EQ(7u, size);
    EXPECT_EQ(0, readWholeFile(path, bytes, FileKinds::RegularOnly));
    EXPECT_EQ(7u, bytes.size());
    std::remove(path.c_str());

    EXPECT_EQ(ENOENT, readWholeFile("no/such/file~", bytes, FileKinds::Readable, &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(EISDIR, readWholeFile(".", bytes));
    EXPECT_EQ(EISDIR, readWholeFile(".", bytes, FileKinds::RegularOnly));
}

TEST(WholeFile, FifoIsRefusedWithoutWaitingWhenOnlyRegularFilesDo)
{
    const std::string path = "whole_file_test_fifo~";
    std::remove(path.c_str());
    ASSERT_EQ(0, ::mkfifo(path.c_str(), 0600));
    std::string bytes;
    // Nobody writes into the FIFO: a blocking open would never return.
    EXPECT_EQ(EINVAL, readWholeFile(path, bytes, FileKinds::RegularOnly));
    std::remove(path.c_str());
}

// ---------------------------------------------------------------- replacing

// A folder of its own for each test of replacement, removed after it.
class ReplaceWholeFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/whole-file-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { EXPECT_EQ(std::system(("rm -rf '" + folder + "'").c_str()), 0); }

    std::string put(const std::string& name, const std::string& bytes, mode_t mode = 0640) const
    {
        const std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        ::chmod(path.c_str(), mode);
        return path;
    }
    static std::string read(const std::string& path)
    {
        std::string bytes;
        return readWholeFile(path, bytes) == 0 ? bytes : "(unreadable)";
    }
    static mode_t modeOf(const std::string& path)
    {
        struct stat status;
        return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
    }
    // The names in the folder: a replacement that failed leaves no temporary file behind.
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        if (DIR* dir = ::opendir(folder.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..")
                    found.push_back(name);
            }
            ::closedir(dir);
        }
        return found;
    }

    std::string folder;
};

// The step the calls below fail, with the error they give.
ReplaceStep failing = ReplaceStep::None;
constexpr int injected = ENOSPC;

int failsAt(ReplaceStep step)
{
    if (failing != step)
        return 0;
    errno = injected;
    return -1;
}

FileCalls failingCalls()
{
    static const FileCalls& real = zul::systemFileCalls();
    FileCalls calls;
    calls.create = [](const char* p, mode_t m) { return failsAt(ReplaceStep::Create) ? -1 : real.create(p, m); };
    calls.changeMode = [](int fd, mode_t m) { return failsAt(ReplaceStep::Mode) ? -1 : real.changeMode(fd, m); };
    // Three bytes at a time: the rest of a short write must follow.
    calls.write = [](int fd, const void* b, std::size_t n) -> ssize_t {
        return failsAt(ReplaceStep::Write) ? -1 : real.write(fd, b, n < 3 ? n : 3);
    };
    calls.sync = [](int fd) { return failsAt(ReplaceStep::Sync) ? -1 : real.sync(fd); };
    // A close that fails has still closed the descriptor.
    calls.close = [](int fd) { return real.close(fd) != 0 || failsAt(ReplaceStep::Close) ? -1 : 0; };
    calls.rename = [](const char* a, const char* b) { return failsAt(ReplaceStep::Rename) ? -1 : real.rename(a, b); };
    calls.syncFolder = [](const char* f) { return failsAt(ReplaceStep::Folder) ? -1 : real.syncFolder(f); };
    return calls;
}

TEST_F(ReplaceWholeFile, EachStepThatFailsLeavesTheOldFile)
{
    const struct {
        ReplaceStep step;
        const char* text;
    } cases[] = {
        {ReplaceStep::None, ""},
        {ReplaceStep::Create, "cannot create a temporary file beside '%': No space left on device"},
        {ReplaceStep::Mode, "cannot give the new content of '%' its permissions: No space left on device"},
        {ReplaceStep::Write, "cannot write the new content of '%': No space left on device"},
        {ReplaceStep::Sync, "cannot flush the new content of '%' to the disk: No space left on device"},
        {ReplaceStep::Close, "cannot close the new content of '%': No space left on device"},
        {ReplaceStep::Rename, "cannot put the new content in place of '%': No space left on device"},
        {ReplaceStep::Folder,
         "'%' holds the new content, but its folder cannot be flushed to the disk: No space left on device"},
    };
    const FileCalls calls = failingCalls();
    for (const auto& row : cases) {
        const std::string path = put("doc.tvr", "old bytes\n");
        failing = row.step;
        const ReplaceResult result = replaceWholeFile(path, "the new bytes\n", calls);
        failing = ReplaceStep::None;
        const int step = static_cast<int>(row.step);
        EXPECT_EQ(result.step, row.step) << step;
        EXPECT_EQ(result.target, path) << step;
        // Only a failure to flush the folder comes after the new bytes are in place.
        const bool replaced = row.step == ReplaceStep::None || row.step == ReplaceStep::Folder;
        EXPECT_EQ(read(path), replaced ? "the new bytes\n" : "old bytes\n") << step;
        EXPECT_EQ(static_cast<bool>(result), row.step == ReplaceStep::None) << step;
        EXPECT_EQ(result.error, row.step == ReplaceStep::None ? 0 : injected) << step;
        std::string text = row.text;
        if (!text.empty()) {
            EXPECT_EQ(result.text(), text.replace(text.find('%'), 1, path)) << step;
        }
        EXPECT_EQ(modeOf(path), 0640u) << step;
        EXPECT_EQ(names(), std::vector<std::string>{"doc.tvr"}) << step;
    }
}

TEST_F(ReplaceWholeFile, LinksAreFollowedAndOtherFilesRefused)
{
    ASSERT_EQ(::mkdir((folder + "/sub").c_str(), 0700), 0);
    const std::string target = put("sub/target.tvr", "old", 0600);
    // A relative link is read from its own folder; a link to a link is followed to the end.
    ASSERT_EQ(::symlink("sub/target.tvr", (folder + "/link").c_str()), 0);
    ASSERT_EQ(::symlink("link", (folder + "/link2").c_str()), 0);
    const ReplaceResult followed = replaceWholeFile(folder + "/link2", "new");
    ASSERT_TRUE(followed) << followed.text();
    EXPECT_EQ(followed.target, folder + "/sub/target.tvr");
    EXPECT_EQ(read(target), "new");
    EXPECT_EQ(modeOf(target), 0600u);
    struct stat status;
    ASSERT_EQ(::lstat((folder + "/link2").c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));

    // A link to nothing creates its target, with the permissions a new file gets.
    ASSERT_EQ(::symlink("made.tvr", (folder + "/dangling").c_str()), 0);
    ASSERT_TRUE(replaceWholeFile(folder + "/dangling", "made"));
    EXPECT_EQ(read(folder + "/made.tvr"), "made");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(modeOf(folder + "/made.tvr"), 0644u & ~mask);

    ASSERT_EQ(::symlink("loop", (folder + "/loop").c_str()), 0);
    ASSERT_EQ(::mkfifo((folder + "/fifo").c_str(), 0600), 0);
    const struct {
        std::string path;
        ReplaceStep step;
        int error;
    } refused[] = {
        {folder + "/loop", ReplaceStep::Target, ELOOP},           {folder + "/sub", ReplaceStep::Target, EINVAL},
        {folder + "/fifo", ReplaceStep::Target, EINVAL},          {"", ReplaceStep::Target, ENOENT},
        {folder + "/missing/x.tvr", ReplaceStep::Create, ENOENT},
    };
    for (const auto& row : refused) {
        const ReplaceResult result = replaceWholeFile(row.path, "x");
        EXPECT_EQ(result.step, row.step) << row.path;
        EXPECT_EQ(result.error, row.error) << row.path;
    }
    EXPECT_EQ(replaceWholeFile(folder + "/fifo", "x").text(),
              "cannot replace '" + folder + "/fifo': it is not a regular file");
}

// ---------------------------------------------------------------- killed while saving

// Each save of the child reports every call it makes with one byte on this pipe, and writes in
// small pieces so that a kill can land between any two of them.
int progress = -1;
constexpr std::size_t piece = 4096;

void tell()
{
    const char mark = '.';
    if (::write(progress, &mark, 1) != 1)
        ::_exit(3);
}

FileCalls watchedCalls()
{
    static const FileCalls& real = zul::systemFileCalls();
    FileCalls calls = real;
    calls.create = [](const char* p, mode_t m) {
        tell();
        return real.create(p, m);
    };
    calls.changeMode = [](int fd, mode_t m) {
        tell();
        return real.changeMode(fd, m);
    };
    calls.write = [](int fd, const void* b, std::size_t n) {
        tell();
        return real.write(fd, b, n < piece ? n : piece);
    };
    calls.sync = [](int fd) {
        tell();
        return real.sync(fd);
    };
    calls.close = [](int fd) {
        tell();
        return real.close(fd);
    };
    calls.rename = [](const char* a, const char* b) {
        tell();
        return real.rename(a, b);
    };
    calls.syncFolder = [](const char* f) {
        tell();
        return real.syncFolder(f);
    };
    return calls;
}

// The content of save number n: its number first, then a length and bytes of its own.
std::string generation(long n)
{
    std::string bytes = "generation " + std::to_string(n) + "\n";
    const std::size_t length = 8000 + static_cast<std::size_t>(n * 7919 % 40000);
    for (std::size_t i = 0; i < length; ++i)
        bytes += static_cast<char>('a' + (n + static_cast<long>(i)) % 26);
    return bytes;
}

TEST_F(ReplaceWholeFile, AKilledSaveLeavesTheOldOrTheNewContent)
{
    const std::string path = put("data.vrk", generation(0));
    std::mt19937 random(20261207);
    constexpr int rounds = 24;
    constexpr int mostCalls = 60; // a save makes about twenty
    long last = 0;
    for (int round = 1; round <= rounds; ++round) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const long first = round * 1000L;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            progress = pipeEnds[1];
            const FileCalls calls = watchedCalls();
            for (long n = first;; ++n)
                if (!replaceWholeFile(path, generation(n), calls))
                    ::_exit(2);
        }
        ::close(pipeEnds[1]);
        const int calls = std::uniform_int_distribution<int>(1, mostCalls)(random);
        char mark;
        int seen = 0;
        while (seen < calls && ::read(pipeEnds[0], &mark, 1) == 1)
            ++seen;
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(pipeEnds[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the child ended by itself, status " << status;

        const std::string bytes = read(path);
        const long n = std::atol(bytes.c_str() + std::string("generation ").size());
        EXPECT_EQ(bytes, generation(n)) << "round " << round << " after " << calls << " calls";
        EXPECT_TRUE(n == last || n >= first) << n;
        last = n;
    }
    // What the kills left behind does not stand in the way of the next save.
    ASSERT_TRUE(replaceWholeFile(path, "done"));
    EXPECT_EQ(read(path), "done");
}

} // namespace
