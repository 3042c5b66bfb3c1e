#pragma once

// The tool's calling convention: what a verb is given (its arguments and the streams it reads and
// writes) and how it ends. runTool is the one place that turns an ending into an exit status and
// prints the usage of a bad call.

#include <iosfwd>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavrictool {

// How a verb ended.
enum class Outcome {
    Done,    // exit status 0
    Refused, // 1: a finding, or an input that was refused (the diagnostics say why)
    BadCall  // 2: the call itself was wrong (runTool prints the usage)
};

int exitStatus(Outcome outcome);

// Where a verb reads and writes. With --color=auto, an output takes colour when it is a terminal
// that wants it: the caller decides that once, for each output.
struct Streams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool outIsColourTerminal = false;
    bool errIsColourTerminal = false;
};

enum class ColourChoice { Auto, Always, Never };

// How an option is written after its verb.
enum class OptionForm {
    Flag,        // --name
    Value,       // --name VALUE or --name=VALUE, any number of times
    Colour,      // --color=auto|always|never
    ColourAlone, // the same, and --color alone for always
};

struct Option {
    const char* name;
    OptionForm form;
    const char* shortName = nullptr; // "-w" beside "--write"
};

// The words after the verb, as the verb's options read them: options by their long name, and the
// rest; "-" alone is standard input.
struct Arguments {
    std::vector<std::string> positional;
    std::set<std::string> flags;
    std::map<std::string, std::vector<std::string>> values;
    ColourChoice colour = ColourChoice::Auto;
    bool help = false;

    bool has(const char* flag) const { return flags.count(flag) != 0; }
    // The last value given to a valued option, or "".
    std::string value(const char* option) const
    {
        const auto found = values.find(option);
        return found == values.end() || found->second.empty() ? std::string() : found->second.back();
    }
    std::set<std::string> valueSet(const char* option) const
    {
        const auto found = values.find(option);
        return found == values.end() ? std::set<std::string>()
                                     : std::set<std::string>(found->second.begin(), found->second.end());
    }
    bool colourOut(const Streams& streams) const { return colourFor(streams.outIsColourTerminal); }
    bool colourErr(const Streams& streams) const { return colourFor(streams.errIsColourTerminal); }

private:
    bool colourFor(bool terminal) const
    {
        return colour == ColourChoice::Auto ? terminal : colour == ColourChoice::Always;
    }
};

// One verb of the tool: its help, the options it takes, and what runs it.
struct Verb {
    const char* name;
    const char* synopsis;
    const char* description;
    std::vector<Option> options;
    // Every word that starts with "-" (but "-" alone) is an option, refused when the verb does not
    // take it, and "--" ends the options; otherwise only words that start with "--" are, and other
    // words (a negative VALUE) are given as they are.
    bool dashWordsAreOptions;
    std::size_t minFiles;
    std::size_t maxFiles; // positional words at the most
    Outcome (*run)(const Arguments&, Streams&);
    // What a bad call prints before "Try 'tavric help VERB'", when not the problem and the synopsis.
    const char* usage = nullptr;
};

// Every verb, in the order help lists them.
const std::vector<Verb>& verbs();
const Verb* findVerb(const std::string& name);
// "usage:" and every verb's synopsis, one a line.
std::string usageText();
// What every verb takes, for help.
extern const char* const commonHelp;
// The verb's description for help.
void describe(const Verb& verb, std::ostream& out);

// Runs the tool on the words after its own name; returns the exit status.
int runTool(const std::vector<std::string>& words, Streams& streams);

} // namespace tavrictool
