#pragma once
// Tests of what the game keeps in data.vrk run in a directory of their own, holding a
// configuration; they write and read the user data there as the game does.
#include "shell/UserDataKey.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vrk {
namespace testing {

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

// Scrambled independently of the game's own helper, from the key table alone.
inline std::string scrambled(const std::string& text)
{
    std::string bytes = text;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ static_cast<char>(userDataKey[i % 32]));
    return bytes;
}

// While it lives, this process writes no file beyond a few bytes, as on a full disk; the bytes
// are room for what a test captures from standard error.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes = 128) : oldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &oldLimit);
        rlimit small = oldLimit;
        small.rlim_cur = bytes;
        limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
    bool limited = false;

private:
    void (*oldHandler)(int);
    rlimit oldLimit{};
};

class UserDataDirTest : public ::testing::Test {
protected:
    explicit UserDataDirTest(const char* configuration) : configuration(configuration) {}

    void SetUp() override
    {
        char pattern[] = "/tmp/velmora_userdata_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_EQ(mkdir((dir + "/lev").c_str(), 0755), 0);
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        writeFile("lev/config.tvr", configuration);
    }

    void TearDown() override
    {
        if (previous[0] != '\0') {
            EXPECT_EQ(chdir(previous), 0);
        }
        if (!dir.empty())
            std::system(("rm -rf '" + dir + "'").c_str());
    }

    // Stored as the game stores it: the final byte of the file is never read.
    void storeUserText(const std::string& text) { writeFile("data.vrk", scrambled(text + "\n")); }
    std::string savedText() { return scrambled(readFile("data.vrk")); }

    const char* configuration;
    std::string dir;
    char previous[4096] = {};
};

} // namespace testing
} // namespace vrk
