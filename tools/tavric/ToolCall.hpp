#pragma once

// The tool's calling convention: what a verb is given (its arguments and the streams it reads and
// writes) and how it ends. runTool is the one place that turns an ending into an exit status and
// prints the usage of a bad call.

#include <iosfwd>
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

// The words after the verb: options ("--x", "--x=value", or a valued option followed by its value)
// and the rest; "-" alone is standard input. A verb that reads its own options gets every word.
struct Arguments {
    std::vector<std::string> positional;
    std::set<std::string> flags;
    std::string as;
    std::set<std::string> allowed; // --allow NAME: kinds of warning not to report
    ColourChoice colour = ColourChoice::Auto;
    bool help = false;

    bool has(const char* flag) const { return flags.count(flag) != 0; }
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
    std::vector<std::string> flags; // options without a value
    bool takesAs;                   // --as TYPE
    bool ownOptions;                // reads its own options: gets every word as it was given
    std::size_t minFiles;
    std::size_t maxFiles; // positional words at the most
    Outcome (*run)(const Arguments&, Streams&);
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
