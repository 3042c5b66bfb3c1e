#pragma once

// A scratch directory per test, and the tavric tool as built in the run directory, run inside it.

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tooltest {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Each test gets an empty directory of its own, removed after it.
class ScratchDirectory : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tavric-tool-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        directory = made;
    }
    void TearDown() override
    {
        const std::string command = "rm -rf '" + directory + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }

    std::string file(const std::string& name, const std::string& contents) const
    {
        const std::string path = directory + "/" + name;
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }

    static std::string slurp(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string directory;
};

// Runs one of the built programs of the run directory with arguments (already quoted where needed;
// a redirection of standard input may follow them), its output kept in the scratch directory.
inline ToolRun runBuilt(const std::string& directory, const std::string& program, const std::string& arguments,
                        const std::string& environment)
{
    const std::string out = directory + "/stdout~";
    const std::string err = directory + "/stderr~";
    const std::string command = "env " + environment + " '" VELMORA_RUN_DIR "/" + program + "' " + arguments + " >'" +
                                out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    ToolRun result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream outFile(out, std::ios::binary), errFile(err, std::ios::binary);
    std::stringstream outText, errText;
    outText << outFile.rdbuf();
    errText << errFile.rdbuf();
    result.out = outText.str();
    result.err = errText.str();
    return result;
}

class TavricTool : public ScratchDirectory {
protected:
    // The tavric tool, without colour unless asked, whatever the environment.
    ToolRun run(const std::string& arguments, const std::string& environment = "NO_COLOR=1") const
    {
        return runBuilt(directory, "tavric", arguments, environment);
    }
};

} // namespace tooltest
