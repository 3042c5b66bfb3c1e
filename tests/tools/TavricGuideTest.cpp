// Every example of the language guide (docs/tavric.md) runs through the tavric tool and prints what
// the guide shows: a ```tavric block is a file (named by its first line, "// NAME"), and in a
// ```console block each "$ COMMAND" line is run in the directory of those files, its standard output
// and error compared with the lines after it.

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "ToolRunner.hpp"

namespace {

struct Command {
    int line; // in the guide, for messages
    std::string text;
    std::string expected;
};

class TavricGuide : public tooltest::TavricTool {
protected:
    std::string runCommand(const std::string& command) const
    {
        const std::string script = directory + "/command~";
        std::ofstream(script) << command << "\n";
        const std::string out = directory + "/output~";
        const std::string line = "cd '" + directory + "' && env NO_COLOR=1 PATH='" VELMORA_RUN_DIR "':\"$PATH\" sh '" +
                                 script + "' >'" + out + "' 2>&1";
        EXPECT_NE(std::system(line.c_str()), -1);
        return slurp(out);
    }
};

TEST_F(TavricGuide, EveryExamplePrintsWhatTheGuideShows)
{
    std::ifstream guide(VELMORA_SOURCE_DIR "/docs/tavric.md");
    ASSERT_TRUE(guide) << "docs/tavric.md";
    std::vector<std::string> lines;
    for (std::string line; std::getline(guide, line);)
        lines.push_back(line);

    int files = 0;
    int commands = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "```tavric") {
            std::string text;
            std::size_t j = i + 1;
            for (; j < lines.size() && lines[j] != "```"; ++j)
                text += lines[j] + "\n";
            ASSERT_EQ(text.compare(0, 3, "// "), 0) << "guide line " << i + 2 << ": a file block names its file";
            const std::string name = text.substr(3, text.find('\n') - 3);
            std::ofstream(directory + "/" + name, std::ios::binary) << text;
            ++files;
            i = j;
        } else if (lines[i] == "```console") {
            std::vector<Command> block;
            std::size_t j = i + 1;
            for (; j < lines.size() && lines[j] != "```"; ++j) {
                if (lines[j].compare(0, 2, "$ ") == 0)
                    block.push_back({static_cast<int>(j + 1), lines[j].substr(2), ""});
                else if (!block.empty())
                    block.back().expected += lines[j] + "\n";
            }
            for (const Command& command : block) {
                EXPECT_EQ(runCommand(command.text), command.expected)
                    << "guide line " << command.line << ": $ " << command.text;
                ++commands;
            }
            i = j;
        }
    }
    // The guide teaches every part of the language; losing its examples would go unnoticed.
    EXPECT_GE(files, 12);
    EXPECT_GE(commands, 20);
}

} // namespace
