// The tavric tool on inputs that are not documents: every verb, each bad input, one clear line and
// status 1, nothing on standard output, and no wait (a FIFO nobody writes to is refused, not read).
// An empty file is no bad input: it is an empty document.

#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "ToolRunner.hpp"

namespace {

using tooltest::ToolRun;

// The inputs are made once for the whole group: the large one takes a moment to write.
class TavricBadInput : public tooltest::TavricTool {
protected:
    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/tavric-bad-input-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        inputs = made;
        ::mkdir((inputs + "/folder").c_str(), 0700);
        ASSERT_EQ(::mkfifo((inputs + "/fifo").c_str(), 0600), 0);
        {
            std::ofstream garbage(inputs + "/garbage", std::ios::binary);
            // Bytes of every value, NUL included, as any binary file has.
            for (int round = 0; round < 64; ++round)
                for (int byte = 0; byte < 256; ++byte)
                    garbage.put(static_cast<char>((byte * 37 + round) & 0xFF));
        }
        std::ofstream(inputs + "/empty", std::ios::binary).flush();
        {
            // 50 MB of plain text: a valid start, then far more than any document is allowed to be.
            std::ofstream large(inputs + "/large", std::ios::binary);
            const std::string line = "value = \"a line of text that repeats until the file is fifty megabytes\"\n";
            std::string block;
            while (block.size() < (1u << 20))
                block += line;
            for (int i = 0; i < 50; ++i)
                large << block;
        }
    }
    static void TearDownTestSuite()
    {
        const std::string command = "rm -rf '" + inputs + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }

    static std::string inputs;
};

std::string TavricBadInput::inputs;

struct BadInput {
    const char* name;
    const char* problem; // the line's end
};

TEST_F(TavricBadInput, EveryVerbRefusesEachWithOneLine)
{
    const BadInput cases[] = {
        {"folder", "is a directory, not a file"},
        {"missing", "No such file or directory"},
        {"fifo", "is not a regular file (a FIFO, a device or a socket)"},
        {"garbage", "holds NUL bytes: it is binary data, not a Tavric text"},
        {"large", "is larger than 32 MB; inputs that large are refused"},
    };
    const char* verbs[] = {"check", "fmt", "dump", "get %s x", "json", "set %s x 1", "import", "scramble", "unscramble"};
    for (const BadInput& input : cases) {
        const std::string path = inputs + "/" + input.name;
        for (const char* verb : verbs) {
            std::string arguments = verb;
            const std::size_t slot = arguments.find("%s");
            if (slot != std::string::npos)
                arguments.replace(slot, 2, "'" + path + "'");
            else
                arguments += " '" + path + "'";
            const ToolRun result = run(arguments);
            const std::string what = arguments + ": " + result.err;
            EXPECT_EQ(result.status, 1) << what;
            EXPECT_EQ(result.out, "") << what;
            std::string problem = input.problem;
            // Scrambled user data is binary and need not be a text; it must unscramble to one.
            if (std::string(verb) == "unscramble" && std::string(input.name) == "garbage")
                problem = "does not unscramble to a text: it is not scrambled user data";
            const std::string line = path + ": error: " + problem + "\n";
            // check adds its summary; every other verb says the one line.
            const std::string expected = std::string(verb) == "check" ? line + "1 error, 0 warnings in 1 file\n" : line;
            EXPECT_EQ(result.err, expected) << what;
        }
    }
}

TEST_F(TavricBadInput, StandardInputIsHeldToTheSameRules)
{
    for (const char* name : {"garbage", "large"}) {
        const ToolRun result = run("json - <'" + inputs + "/" + name + "'");
        EXPECT_EQ(result.status, 1) << name;
        EXPECT_EQ(result.out, "") << name;
        EXPECT_EQ(result.err.rfind("<stdin>: error: ", 0), 0u) << name << ": " << result.err;
    }
}

TEST_F(TavricBadInput, AnEmptyFileIsAnEmptyDocument)
{
    const struct {
        const char* verb;
        int status;
        const char* out;
        const char* err;
    } cases[] = {
        {"check", 0, "", "0 errors, 0 warnings in 1 file\n"},
        {"fmt", 0, "", ""},
        {"dump", 0, "", ""},
        {"json", 0, "{}\n", ""},
        {"scramble", 0, "", ""},
        {"unscramble", 0, "", ""},
    };
    for (const auto& row : cases)
        for (const std::string& input : {"'" + inputs + "/empty'", std::string("- <'" + inputs + "/empty'")}) {
            const ToolRun result = run(std::string(row.verb) + " " + input);
            EXPECT_EQ(result.status, row.status) << row.verb << " " << input;
            EXPECT_EQ(result.out, row.out) << row.verb << " " << input;
            EXPECT_EQ(result.err, row.err) << row.verb << " " << input;
        }
}

} // namespace
