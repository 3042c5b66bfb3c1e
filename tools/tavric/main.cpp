// tavric: the content authors' tool. Checks, formats, queries and converts Tavric documents, and
// scrambles or unscrambles the player's data file. Each verb is one row of the verb table below.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "ToolInput.hpp"
#include "ToolJson.hpp"
#include "ToolReport.hpp"
#include "shell/UserDataKey.hpp"
#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/ParsingTools.hpp"
#include "tools/tavric/fmt/FmtCommand.hpp"

#ifndef VELMORA_VERSION
#define VELMORA_VERSION "unknown"
#endif

namespace {

using tavrictool::InputKind;
using tavrictool::Report;
using tavrictool::Source;
using zul::Tavric;

constexpr int exitAccepted = 0;
constexpr int exitRefused = 1;
constexpr int exitUsage = 2;

// ---------------------------------------------------------------- arguments and colour

enum class ColourChoice { Auto, Always, Never };

// The words after the verb: options ("--x", "--x=value", or a valued option followed by its value)
// and the rest; "-" alone is standard input.
struct Arguments {
    std::vector<std::string> positional;
    std::set<std::string> flags;
    std::string as;
    ColourChoice colour = ColourChoice::Auto;
    bool help = false;
};

struct Verb;

// Splits the words; false (with the offending word) for an option the verb does not take.
bool split(const std::vector<std::string>& words, const Verb& verb, Arguments& result, std::string& bad);

// Colour for a stream: asked for, or a terminal without NO_COLOR.
bool colourFor(ColourChoice choice, int fd)
{
    if (choice != ColourChoice::Auto)
        return choice == ColourChoice::Always;
    const char* noColour = std::getenv("NO_COLOR");
    return (noColour == nullptr || *noColour == '\0') && ::isatty(fd) == 1;
}

// ---------------------------------------------------------------- loading a document

// Reads and parses one input into root; diagnostics go to the report. False when the input was
// refused or the parse (and the resolution, when asked) failed.
bool loadDocument(const std::string& path, Tavric& root, bool finalize, Report& report, Source& source,
                  bool warnAboutReferences = false);

// Address steps as Tavric::parseAddress gives them.
constexpr int stepRoot = 1;
constexpr int stepParent = 2;

// Whether a reference's address names a field that exists now (without creating or reporting
// anything). A step that follows a pointer cannot be judged before the resolution: taken as found.
bool referenceTargetExists(const Tavric& reference, zul::NameDictionary& names)
{
    Tavric scratch(&names);
    std::vector<int> steps;
    if (!scratch.parseAddress(reference.getAddressText(), steps))
        return true; // the resolution reports the address itself
    const Tavric* field = reference.getParent() ? reference.getParent() : &reference;
    for (int step : steps) {
        if (step < 0)
            return true;
        if (step == stepRoot) {
            field = &field->getRoot();
        } else if (step == stepParent) {
            field = field->getParent();
            if (!field)
                return false;
        } else {
            const auto& children = field->childrenById();
            const auto found = children.find(step);
            if (found == children.end())
                return false;
            field = found->second;
        }
    }
    return true;
}

// Where "name = address" stands in the text: the place of the name, or the start of the text.
void placeOfReference(const std::string& text, const std::string& name, const std::string& address, int& line,
                      int& column)
{
    std::size_t at = 0;
    std::size_t found = std::string::npos;
    while ((at = text.find(name, at)) != std::string::npos) {
        const bool startsWord =
            at == 0 || !(std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '_');
        std::size_t p = at + name.size();
        while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
            ++p;
        const bool assigns =
            p < text.size() && (text[p] == '=' || text.compare(p, 2, ":=") == 0 || text.compare(p, 2, "<-") == 0);
        if (startsWord && assigns) {
            p += text[p] == '=' ? 1 : 2;
            while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
                ++p;
            if (text.compare(p, address.size(), address) == 0) {
                found = at;
                break;
            }
        }
        at += name.size();
    }
    if (found == std::string::npos) {
        line = column = 0;
        return;
    }
    zul::ParsingTools::lineAndColumn(text, found, line, column);
}

// Adds a warning for every reference (in the main text) whose target does not exist: the resolution
// would create it, and the reference would read as that new, empty field.
void warnAboutMissingTargets(const Tavric& field, zul::NameDictionary& names, const Source& source)
{
    for (const Tavric* child : field.childrenInOrder()) {
        if (child->getKind() == zul::KindReference && !referenceTargetExists(*child, names)) {
            zul::Diagnostic warning;
            warning.severity = zul::Severity::Warning;
            warning.entry = source.name;
            placeOfReference(source.text, child->getName(), child->getAddressText(), warning.line, warning.column);
            if (warning.line == 0)
                warning.subject = child->getAddress();
            warning.text = "'" + child->getName() + "' refers to '" + child->getAddressText() +
                           "', which does not exist; it would read as a new, empty field (a word meant as text "
                           "needs quotes)";
            field.addDiagnostic(warning);
        }
        warnAboutMissingTargets(*child, names, source);
    }
}

bool loadDocument(const std::string& path, Tavric& root, bool finalize, Report& report, Source& source,
                  bool warnAboutReferences)
{
    std::string problem;
    if (!tavrictool::readInput(path, InputKind::Document, source, problem)) {
        report.refused(source.name, problem);
        return false;
    }
    report.addSource(source);
    zul::ParseOptions options;
    options.finalize = false;
    options.path = source.name;
    options.directives = [](const zul::DirectiveText& directive) {
        (directive.kind == zul::DirectiveKind::Message ? std::cout : std::cerr) << directive.text << std::endl;
    };
    bool accepted = zul::parse(root, source.text, options);
    if (accepted && warnAboutReferences)
        warnAboutMissingTargets(root, *root.getDictionary(), source);
    if (finalize) {
        try {
            if (accepted)
                accepted = root.finalize();
        } catch (const std::bad_alloc&) {
            report.refused(source.name, "memory ran out while resolving the document");
            accepted = false;
        }
        root.setSystemAccess(false);
    }
    report.print(root);
    return accepted;
}

// ---------------------------------------------------------------- verbs

// One document loaded for a verb, with its report (diagnostics on standard error).
struct Document {
    explicit Document(ColourChoice colour) : report(std::cerr, colourFor(colour, 2)) {}
    bool load(const std::string& path, bool finalize) { return loadDocument(path, root, finalize, report, source); }

    Report report;
    zul::NameDictionary names;
    Tavric root{&names};
    Source source;
};

int check(const Arguments& args)
{
    Report report(std::cerr, colourFor(args.colour, 2));
    bool accepted = true;
    for (const std::string& path : args.positional) {
        zul::NameDictionary names;
        Tavric root(&names);
        Source source;
        accepted = loadDocument(path, root, true, report, source, true) && accepted;
        report.dropSource(source);
    }
    const bool warningsFail = args.flags.count("--warnings-as-errors") != 0 && report.warnings() > 0;
    std::cerr << report.summary(static_cast<int>(args.positional.size())) << std::endl;
    return accepted && report.errors() == 0 && !warningsFail ? exitAccepted : exitRefused;
}

int format(const Arguments& args)
{
    Document document(args.colour);
    if (!document.load(args.positional[0], false))
        return exitRefused;
    // The whole text first: a failed write leaves nothing half-written on the output.
    std::ostringstream text;
    if (!document.root.write(text, zul::publicUser, args.flags.count("--raw") != 0, colourFor(args.colour, 1),
                             args.flags.count("--plain") != 0, 0))
        return exitRefused;
    std::cout << text.str();
    return std::cout.flush() ? exitAccepted : exitRefused;
}

// Reads a bracketed index "[N]" at position; false when none stands there.
bool readIndex(const std::string& text, std::size_t& position, std::size_t& index)
{
    if (position >= text.size() || text[position] != '[')
        return false;
    std::size_t p = position + 1;
    const std::size_t digits = p;
    while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p])))
        ++p;
    if (p == digits || p >= text.size() || text[p] != ']' || p - digits > 9)
        return false;
    index = static_cast<std::size_t>(std::stoul(text.substr(digits, p - digits)));
    position = p + 1;
    return true;
}

// The field an address with collection indexes names ("c[0]" is the first member, "m[2].x" a member's
// child); nullField when there is none, with a line already printed for an index out of range.
const Tavric& findField(const Tavric& root, const std::string& address, Report& report, const std::string& name)
{
    const Tavric* field = &root;
    std::size_t position = 0;
    std::string part;
    while (position <= address.size()) {
        const std::size_t bracket = address.find('[', position);
        // "[]" is the root mark of an address, not an index.
        const bool isIndex = bracket != std::string::npos && address.compare(bracket, 2, "[]") != 0;
        const std::size_t end = isIndex ? bracket : address.size();
        std::string piece = address.substr(position, end - position);
        if (!piece.empty() && piece[0] == '.')
            piece.erase(0, 1);
        if (!piece.empty() || field == &root) {
            field = &field->resolve(piece.empty() ? std::string("[]") : piece, zul::publicUser);
            if (field == &zul::nullField)
                return zul::nullField;
        }
        if (!isIndex)
            break;
        position = bracket;
        std::size_t index = 0;
        if (!readIndex(address, position, index)) {
            report.refused(name, "bad index in address '" + address + "': an index is written [N], from 0");
            return zul::nullField;
        }
        const Tavric* member = field->childAt(index);
        if (!member) {
            const zul::Collection* elements = field->getCollection();
            report.refused(name, elements ? "index " + std::to_string(index) + " is out of range: '" +
                                                address.substr(0, bracket) + "' has " +
                                                std::to_string(elements->size()) + " members"
                                          : "'" + address.substr(0, bracket) + "' is not a collection");
            return zul::nullField;
        }
        field = member;
    }
    return *field;
}

// The character's bytes, first byte in the low half, as the parser stores them.
std::string characterText(uint16_t value)
{
    std::string text(1, static_cast<char>(value & 0xFF));
    if (value >> 8)
        text += static_cast<char>(value >> 8);
    return text;
}

int get(const Arguments& args)
{
    const std::string type = args.as.empty() ? "string" : args.as;
    if (type != "bool" && type != "int" && type != "real" && type != "char" && type != "string")
        return -1;
    Document document(args.colour);
    if (!document.load(args.positional[0], true))
        return exitRefused;
    Tavric& root = document.root;
    Report& report = document.report;
    const std::size_t before = root.diagnostics().size();
    // The read-only walk creates nothing; the modifiable read evaluates computed fields.
    const Tavric& found = findField(root, args.positional[1], report, document.source.name);
    if (&found == &zul::nullField) {
        report.print(root, before);
        return exitRefused;
    }
    Tavric& field = const_cast<Tavric&>(found);
    std::string text;
    if (type == "bool") {
        text = field.getBool(zul::publicUser) ? "true" : "false";
    } else if (type == "int") {
        text = std::to_string(field.getInt(zul::publicUser));
    } else if (type == "real") {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.17g", field.getReal(zul::publicUser));
        text = buffer;
    } else if (type == "char") {
        text = characterText(field.getChar(zul::publicUser));
    } else {
        text = field.getString(zul::publicUser);
    }
    if (root.diagnostics().size() != before) {
        report.print(root, before);
        return exitRefused;
    }
    std::cout << text << '\n';
    return std::cout.flush() ? exitAccepted : exitRefused;
}

int json(const Arguments& args)
{
    Document document(args.colour);
    if (!document.load(args.positional[0], true))
        return exitRefused;
    const Tavric& root = document.root;
    nlohmann::ordered_json json = tavrictool::toJson(root, args.flags.count("--all") != 0);
    if (!json.is_object() && root.childCount() == 0 && root.isEmpty())
        json = nlohmann::ordered_json::object();
    std::cout << json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    return std::cout.flush() ? exitAccepted : exitRefused;
}

int scramble(const Arguments& args, bool forward)
{
    Report report(std::cerr, colourFor(args.colour, 2));
    Source source;
    std::string problem;
    // Plain user data is a text; scrambled user data is binary until it is unscrambled.
    if (!tavrictool::readInput(args.positional[0], forward ? InputKind::Document : InputKind::UserData, source,
                               problem)) {
        report.refused(source.name, problem);
        return exitRefused;
    }
    // The transform is its own inverse: scramble and unscramble are the same call.
    vrk::scrambleUserData(source.text);
    if (!forward && source.text.find('\0') != std::string::npos) {
        report.refused(source.name, "does not unscramble to a text: it is not scrambled user data");
        return exitRefused;
    }
    std::cout.write(source.text.data(), static_cast<std::streamsize>(source.text.size()));
    return std::cout.flush() ? exitAccepted : exitRefused;
}

int scrambleVerb(const Arguments& args)
{
    return scramble(args, true);
}

int unscrambleVerb(const Arguments& args)
{
    return scramble(args, false);
}

int help(const Arguments& args);

// ---------------------------------------------------------------- the verb table

struct Verb {
    const char* name;
    const char* synopsis;
    const char* description;
    // Options without a value, and whether --as is taken.
    std::vector<std::string> flags;
    bool takesAs;
    std::size_t minFiles;
    std::size_t maxFiles; // positional words at the most
    int (*run)(const Arguments&);
};

const std::vector<Verb>& verbs()
{
    static const std::vector<Verb> table = {
        {"check",
         "tavric check [--warnings-as-errors] [--color=WHEN] FILE...",
         "Loads each file as the game does (directives, includes, post-parse resolution) and prints every\n"
         "diagnostic as FILE:LINE:COL: error|warning: TEXT with the line and a caret, then a summary such as\n"
         "\"2 errors, 1 warning in 1 file\". Warns about a reference whose target does not exist.\n"
         "Exit status 1 when any error was found (or any warning, with --warnings-as-errors).\n",
         {"--warnings-as-errors"},
         false,
         1,
         1000000,
         check},
        {"fmt",
         "tavric fmt [--check] [--diff] [-w] FILE...",
         "Lays the text out again as written: indentation and blanks only. Comments, blank lines between\n"
         "groups, directives, the keywords' language, UTF-8 text and number forms stay as they are.\n"
         "Prints the result, or: --check lists the files that would change (status 1 if any), --diff\n"
         "shows the change as a unified diff, -w rewrites each file in place. A file that does not load\n"
         "is left alone, with the parser's message and status 1.\n",
         {"--check", "--diff", "-w"},
         false,
         1,
         1000000,
         nullptr},
        {"dump",
         "tavric dump [--plain] [--raw] [--color[=WHEN]] FILE",
         "Writes the document back out with the game's writer, as the game would save it: includes\n"
         "expanded, comments dropped, keywords in English. --plain without spaces or indentation,\n"
         "--raw with expressions as written rather than their values.\n",
         {"--plain", "--raw"},
         false,
         1,
         1,
         format},
        {"get",
         "tavric get [--as bool|int|real|char|string] FILE ADDRESS",
         "Prints one value, read in the type asked (string by default), for example\n"
         "tavric get lev/config.tvr Language.En.TooFar. A collection member is picked by its index,\n"
         "counted from 0: list[0] is the first member, maps[2].name a member's child.\n",
         {},
         true,
         2,
         2,
         get},
        {"json",
         "tavric json [--all] FILE",
         "Prints the document as JSON, keys in document order. Fields the public may not read (private,\n"
         "locked, limited) are left out unless --all is given.\n",
         {"--all"},
         false,
         1,
         1,
         json},
        {"scramble",
         "tavric scramble FILE",
         "Scrambles a plain user data text into the form the game stores in data.vrk (to standard output).\n",
         {},
         false,
         1,
         1,
         scrambleVerb},
        {"unscramble",
         "tavric unscramble FILE",
         "Turns data.vrk back into text (to standard output), to inspect or repair it.\n",
         {},
         false,
         1,
         1,
         unscrambleVerb},
        {"help", "tavric help [VERB]", "Describes the tool, or one verb.\n", {}, false, 0, 1, help},
    };
    return table;
}

const Verb* findVerb(const std::string& name)
{
    for (const Verb& verb : verbs())
        if (name == verb.name)
            return &verb;
    return nullptr;
}

const char* const commonHelp =
    "FILE may be - for standard input.\n"
    "--color=auto|always|never: colour on a terminal by default, never when NO_COLOR is set or into a pipe.\n"
    "--help after a verb describes it.\n";

std::string usageText()
{
    std::string text = "usage:\n";
    for (const Verb& verb : verbs())
        text += std::string("  ") + verb.synopsis + "\n";
    text += "  tavric --version\n";
    return text;
}

int usage(const Verb* verb, const std::string& problem)
{
    if (!problem.empty())
        std::cerr << "tavric: " << problem << '\n';
    if (verb)
        std::cerr << "usage: " << verb->synopsis << "\nTry 'tavric help " << verb->name << "'.\n";
    else
        std::cerr << usageText() << "Try 'tavric help'.\n";
    return exitUsage;
}

void describe(const Verb& verb)
{
    std::cout << "usage: " << verb.synopsis << "\n\n" << verb.description << commonHelp;
}

int help(const Arguments& args)
{
    if (args.positional.empty()) {
        std::cout << "tavric: checks, formats, queries and converts Tavric documents.\n\n"
                  << usageText() << '\n'
                  << commonHelp << "Exit status: 0 done, 1 refused (diagnostics on standard error), 2 bad call.\n";
        return exitAccepted;
    }
    const Verb* verb = findVerb(args.positional[0]);
    if (!verb)
        return usage(nullptr, "no verb '" + args.positional[0] + "'");
    describe(*verb);
    return exitAccepted;
}

bool split(const std::vector<std::string>& words, const Verb& verb, Arguments& result, std::string& bad)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 2 || word.compare(0, 2, "--") != 0 || word == "--") {
            result.positional.push_back(word);
        } else if (word == "--help") {
            result.help = true;
        } else if (word == "--color=always" || (word == "--color" && std::string(verb.name) == "dump")) {
            result.colour = ColourChoice::Always;
        } else if (word == "--color=never") {
            result.colour = ColourChoice::Never;
        } else if (word == "--color=auto") {
            result.colour = ColourChoice::Auto;
        } else if (verb.takesAs && word == "--as" && i + 1 < words.size()) {
            result.as = words[++i];
        } else if (verb.takesAs && word.compare(0, 5, "--as=") == 0) {
            result.as = word.substr(5);
        } else {
            bool known = false;
            for (const std::string& flag : verb.flags)
                known = known || flag == word;
            if (!known) {
                bad = word;
                return false;
            }
            result.flags.insert(word);
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage(nullptr, "");
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        std::cout << usageText();
        return exitAccepted;
    }
    if (first == "--version") {
        std::cout << "tavric (Velmora) " VELMORA_VERSION "\n";
        return exitAccepted;
    }
    const Verb* verb = findVerb(first);
    if (!verb)
        return usage(nullptr, "no verb '" + first + "'");
    const std::vector<std::string> words(argv + 2, argv + argc);
    // The formatter reads its own options ("-w", "--", several files and at most one "-").
    if (!verb->run && std::find(words.begin(), words.end(), "--help") == words.end()) {
        const int status = tavricfmt::runFmt(words, std::cin, std::cout, std::cerr);
        if (status == exitUsage)
            std::cerr << "Try 'tavric help fmt'.\n";
        return status;
    }
    Arguments args;
    std::string bad;
    if (!split(words, *verb, args, bad))
        return usage(verb, "'" + std::string(verb->name) + "' takes no option '" + bad + "'");
    if (args.help) {
        describe(*verb);
        return exitAccepted;
    }
    if (args.positional.size() < verb->minFiles || args.positional.size() > verb->maxFiles)
        return usage(verb, "");
    const int status = verb->run(args);
    return status < 0 ? usage(verb, "") : status;
}
