#include "ToolCall.hpp"

#include <ostream>

#include "Verbs.hpp"

namespace tavrictool {

namespace {

// Reads the option the word at i names (with its value, from the word or the next one); false when
// the verb takes no such option.
bool readOption(const std::vector<std::string>& words, std::size_t& i, const Verb& verb, Arguments& result)
{
    const std::string& word = words[i];
    for (const Option& option : verb.options) {
        const std::string name = option.name;
        const bool named = word == name || (option.shortName != nullptr && word == option.shortName);
        const bool withValue = word.compare(0, name.size() + 1, name + "=") == 0;
        const std::string value = withValue ? word.substr(name.size() + 1) : "";
        switch (option.form) {
        case OptionForm::Flag:
            if (named) {
                result.flags.insert(name);
                return true;
            }
            break;
        case OptionForm::Value:
            if (named && i + 1 < words.size()) {
                result.values[name].push_back(words[++i]);
                return true;
            }
            if (withValue) {
                result.values[name].push_back(value);
                return true;
            }
            break;
        case OptionForm::Colour:
        case OptionForm::ColourAlone:
            if ((named && option.form == OptionForm::ColourAlone) || value == "always") {
                result.colour = ColourChoice::Always;
                return true;
            }
            if (value == "never" || value == "auto") {
                result.colour = value == "never" ? ColourChoice::Never : ColourChoice::Auto;
                return true;
            }
            break;
        }
    }
    return false;
}

// Splits the words by the verb's options; false (with the offending word) for an option the verb
// does not take.
bool split(const std::vector<std::string>& words, const Verb& verb, Arguments& result, std::string& bad)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help") {
            result.help = true;
            continue;
        }
        if (verb.dashWordsAreOptions && !optionsEnded && word == "--") {
            optionsEnded = true;
            continue;
        }
        const bool option =
            !optionsEnded && (verb.dashWordsAreOptions ? word.size() > 1 && word[0] == '-'
                                                       : word.size() > 2 && word.compare(0, 2, "--") == 0);
        if (!option) {
            result.positional.push_back(word);
        } else if (!readOption(words, i, verb, result)) {
            bad = word;
            return false;
        }
    }
    return true;
}

// The usage of a bad call: the problem, if any, the synopsis, and where to read more.
Outcome badCall(std::ostream& err, const Verb* verb, const std::string& problem)
{
    if (verb && verb->usage) {
        err << verb->usage << "Try 'tavric help " << verb->name << "'.\n";
        return Outcome::BadCall;
    }
    if (!problem.empty())
        err << "tavric: " << problem << '\n';
    if (verb)
        err << "usage: " << verb->synopsis << "\nTry 'tavric help " << verb->name << "'.\n";
    else
        err << usageText() << "Try 'tavric help'.\n";
    return Outcome::BadCall;
}

Outcome run(const std::vector<std::string>& words, Streams& streams)
{
    if (words.empty())
        return badCall(streams.err, nullptr, "");
    const std::string& first = words[0];
    if (first == "--help" || first == "-h") {
        streams.out << usageText();
        return Outcome::Done;
    }
    if (first == "--version") {
        streams.out << "tavric (Velmora) " VELMORA_VERSION "\n";
        return Outcome::Done;
    }
    const Verb* verb = findVerb(first);
    if (!verb)
        return badCall(streams.err, nullptr, "no verb '" + first + "'");
    Arguments args;
    std::string bad;
    if (!split(std::vector<std::string>(words.begin() + 1, words.end()), *verb, args, bad))
        return badCall(streams.err, verb, "'" + std::string(verb->name) + "' takes no option '" + bad + "'");
    if (args.help) {
        describe(*verb, streams.out);
        return Outcome::Done;
    }
    if (args.positional.size() < verb->minFiles || args.positional.size() > verb->maxFiles)
        return badCall(streams.err, verb, "");
    const Outcome outcome = verb->run(args, streams);
    return outcome == Outcome::BadCall ? badCall(streams.err, verb, "") : outcome;
}

} // namespace

int exitStatus(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done:
        return 0;
    case Outcome::Refused:
        return 1;
    case Outcome::BadCall:
        break;
    }
    return 2;
}

const char* const commonHelp =
    "FILE may be - for standard input (but for set, which changes the file).\n"
    "--color=auto|always|never: colour on a terminal by default, never when NO_COLOR is set or into a pipe.\n"
    "--help after a verb describes it.\n";

const std::vector<Verb>& verbs()
{
    const Option colour{"--color", OptionForm::Colour};
    static const std::vector<Verb> table = {
        {"check",
         "tavric check [--warnings-as-errors] [--allow NAME]... [--color=WHEN] FILE...",
         "Loads each file as the game does (directives, includes, post-parse resolution) and prints every\n"
         "diagnostic as FILE:LINE:COL: error|warning: TEXT with the line and a caret, then a summary such as\n"
         "\"2 errors, 1 warning in 1 file\". Warns about a reference whose target does not exist and about\n"
         "readings an author rarely means, each named in brackets: missing-target, keyword-prefix,\n"
         "stray-word, duplicate-field, integer-overflow, invalid-utf8, truncated-real. --allow NAME\n"
         "silences one kind.\n"
         "Exit status 1 when any error was found (or any warning, with --warnings-as-errors).\n",
         {{"--warnings-as-errors", OptionForm::Flag}, {"--allow", OptionForm::Value}, colour},
         false,
         1,
         1000000,
         checkVerb},
        {"fmt",
         "tavric fmt [--check] [--diff] [-w] FILE...",
         "Lays the text out again as written: indentation and blanks only. Comments, blank lines between\n"
         "groups, directives, the keywords' language, UTF-8 text and number forms stay as they are.\n"
         "Prints the result, or: --check lists the files that would change (status 1 if any), --diff\n"
         "shows the change as a unified diff, -w rewrites each file in place. A file that does not load\n"
         "is left alone, with the parser's message and status 1.\n",
         {{"--check", OptionForm::Flag}, {"--diff", OptionForm::Flag}, {"--write", OptionForm::Flag, "-w"}},
         true,
         1,
         1000000,
         fmtVerb,
         "usage: tavric fmt [--check] [--diff] [-w] FILE... (- reads standard input)\n"},
        {"dump",
         "tavric dump [--plain] [--raw] [--color[=WHEN]] FILE",
         "Writes the document back out with the game's writer, as the game would save it: includes\n"
         "expanded, comments dropped, keywords in English. --plain without spaces or indentation,\n"
         "--raw with expressions as written rather than their values.\n",
         {{"--plain", OptionForm::Flag}, {"--raw", OptionForm::Flag}, {"--color", OptionForm::ColourAlone}},
         false,
         1,
         1,
         dumpVerb},
        {"get",
         "tavric get [--as bool|int|real|char|string] [--lossy] [--json] FILE ADDRESS",
         "Prints one value, read in the type asked (string by default), for example\n"
         "tavric get lev/config.tvr Language.En.TooFar; a node (or a collection) as Tavric text, or any\n"
         "field as JSON with --json. A collection member is picked by its index, counted from 0: list[0]\n"
         "is the first member, maps[2].name a member's child. A value that the type asked cannot hold\n"
         "(\"hello\" or 2.5 as int) is refused with status 1, unless --lossy is given.\n",
         {{"--lossy", OptionForm::Flag}, {"--json", OptionForm::Flag}, {"--as", OptionForm::Value}, colour},
         false,
         2,
         2,
         getVerb},
        {"json",
         "tavric json [--all] [--raw] FILE",
         "Prints the document as JSON, keys in document order. Fields the public may not read (private,\n"
         "locked, limited) are left out unless --all is given. References, pointers and computed fields\n"
         "show the value the game reads (a pointer to nothing: null); --raw shows their address or\n"
         "expression as written.\n",
         {{"--all", OptionForm::Flag}, {"--raw", OptionForm::Flag}, colour},
         false,
         1,
         1,
         jsonVerb},
        {"set",
         "tavric set FILE ADDRESS VALUE",
         "Changes one value in the file, in place: only the bytes of the old value change, so comments\n"
         "and layout stay. VALUE is written as in a document: 12, -2.5, \"text\" (quoted for the shell:\n"
         "'\"text\"'), 'c', yes or no (or Vrai, Faux...), Nothing. ADDRESS is as for get (list[0] is a\n"
         "member). Refused, with status 1 and the file unchanged: a value of another type than the\n"
         "field's, a field the public may not write (private, locked, protected, const, extern), a missing\n"
         "field, a node, a collection, a reference, a pointer or a computed field, and a value written in\n"
         "an included file (set it in that file). The file is replaced whole, only once the new text\n"
         "reads back with the new value.\n",
         {colour},
         false,
         3,
         3,
         setVerb},
        {"import",
         "tavric import FILE.json",
         "Prints the Tavric text of a JSON document, so that tavric json gives the same JSON back: an\n"
         "object is a node, an array a collection, null Nothing; a key \"=\" first in an object is the\n"
         "node's own value; keys that are words of the language are quoted. What Tavric cannot hold is\n"
         "refused with its JSON pointer and status 1: a key that is not a Tavric name (ASCII letters,\n"
         "digits and _, not starting with a digit), a key given twice, an empty object below the top, an\n"
         "integer beyond 64 bits, nesting deeper than 200 levels.\n",
         {colour},
         false,
         1,
         1,
         importVerb},
        {"scramble",
         "tavric scramble FILE",
         "Scrambles a plain user data text into the form the game stores in data.vrk (to standard output).\n"
         "A text that does not load as a document is refused, with its diagnostics.\n",
         {colour},
         false,
         1,
         1,
         scrambleVerb},
        {"unscramble",
         "tavric unscramble [--raw] FILE",
         "Turns data.vrk back into text (to standard output), to inspect or repair it. Bytes that do not\n"
         "unscramble to a document that loads are refused, with its diagnostics; --raw writes them anyway.\n",
         {{"--raw", OptionForm::Flag}, colour},
         false,
         1,
         1,
         unscrambleVerb},
        {"lsp",
         "tavric lsp",
         "A language server for editors, over standard input and output (README: In your editor).\n",
         {colour},
         false,
         0,
         0,
         lspVerb},
        {"help", "tavric help [VERB]", "Describes the tool, or one verb.\n", {colour}, false, 0, 1, helpVerb},
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

std::string usageText()
{
    std::string text = "usage:\n";
    for (const Verb& verb : verbs())
        text += std::string("  ") + verb.synopsis + "\n";
    text += "  tavric --version\n";
    return text;
}

void describe(const Verb& verb, std::ostream& out)
{
    out << "usage: " << verb.synopsis << "\n\n" << verb.description << commonHelp;
}

int runTool(const std::vector<std::string>& words, Streams& streams)
{
    const Outcome outcome = run(words, streams);
    streams.out.flush();
    streams.err.flush();
    return exitStatus(outcome);
}

} // namespace tavrictool
