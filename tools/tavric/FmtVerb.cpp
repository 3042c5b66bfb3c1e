#include "tools/tavric/fmt/FmtCommand.hpp"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/WholeFile.hpp"
#include "tools/tavric/ToolInput.hpp"
#include "tools/tavric/ToolReport.hpp"
#include "tools/tavric/fmt/Formatter.hpp"
#include "tools/tavric/fmt/UnifiedDiff.hpp"

namespace tavricfmt {

const char* const fmtUsage = "usage: tavric fmt [--check] [--diff] [-w] FILE... (- reads standard input)\n";

namespace {

constexpr int statusDone = 0;
constexpr int statusRefused = 1;
constexpr int statusUsage = 2;

const char* const stdinName = "<stdin>";

struct Options {
    bool check = false;
    bool diff = false;
    bool write = false;
    std::vector<std::string> files;
};

bool readOptions(const std::vector<std::string>& arguments, Options& options)
{
    bool onlyFiles = false;
    int stdinCount = 0;
    for (const std::string& argument : arguments) {
        if (!onlyFiles && argument == "--")
            onlyFiles = true;
        else if (!onlyFiles && argument == "--check")
            options.check = true;
        else if (!onlyFiles && argument == "--diff")
            options.diff = true;
        else if (!onlyFiles && (argument == "-w" || argument == "--write"))
            options.write = true;
        else if (!onlyFiles && argument.size() > 1 && argument[0] == '-')
            return false;
        else {
            stdinCount += argument == "-" ? 1 : 0;
            options.files.push_back(argument);
        }
    }
    // Standard input cannot be rewritten, nor read twice; a check does not write.
    return !options.files.empty() && stdinCount <= 1 && !(options.write && (stdinCount > 0 || options.check));
}

// One input, already read: parsed once, recording its tokens, and laid out from them; the layout
// is then checked to read the same. Prints what is wrong itself; false when the input is to be
// left alone. The tree is only for the verdict and the check, so the values of collections (most
// of a large document) are not kept: what the parser read of them is in the tokens' digest. Each
// reading is dropped before the next, so a large text costs its record once.
bool formatOne(const tavrictool::Source& source, bool fromFile, std::string& formatted, std::ostream& err)
{
    const std::string& name = source.name;
    const std::string& text = source.text;
    std::string fingerprint;
    std::uint64_t digest = 0;
    {
        zul::NameDictionary names;
        zul::Tavric original(&names);
        zul::SourceTokens tokens;
        // The parser's diagnostics and what the directives say, laid out as the other verbs lay them
        // out; shown only when the document is refused.
        std::ostringstream shown;
        tavrictool::Report report(shown, false);
        report.addSource(source);
        zul::ParseOptions options;
        options.finalize = false;
        options.directives = [&report](const zul::DirectiveText& directive) { report.directive(directive); };
        options.tokens = &tokens;
        options.keepCollectionValues = false;
        // Messages name the file, and includes are refused as cycles as a load would.
        if (fromFile)
            options.path = name;
        if (!zul::parse(original, text, options)) {
            report.print(original);
            report.refusedSilently(name, 0);
            err << shown.str();
            err.flush();
            return false;
        }
        formatted = formatTokens(text, tokens);
        digest = readingDigest(text, tokens);
        fingerprint = treeFingerprint(original);
    }
    // The layout must read back the same: a formatter that changed meaning would be worse than none.
    zul::NameDictionary againNames;
    zul::Tavric again(&againNames);
    if (fromFile)
        again.setEntryName(name);
    zul::SourceTokens againTokens;
    zul::ParseOptions reread;
    reread.finalize = false;
    reread.tokens = &againTokens;
    reread.keepCollectionValues = false;
    if (!zul::parse(again, formatted, reread) || readingDigest(formatted, againTokens) != digest ||
        treeFingerprint(again) != fingerprint) {
        err << "tavric fmt: " << name << ": the laid-out text would read differently; the file is left as it is\n";
        return false;
    }
    return true;
}

} // namespace

std::string treeFingerprint(const zul::Tavric& root)
{
    std::ostringstream text;
    root.write(text, zul::publicUser, true, false, false, 0);
    text << "\n----\n";
    root.write(text, zul::publicUser, false, false, true, 0);
    return text.str();
}

int runFmt(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err)
{
    Options options;
    if (!readOptions(arguments, options)) {
        err << fmtUsage;
        return statusUsage;
    }
    int status = statusDone;
    for (const std::string& file : options.files) {
        const bool fromFile = file != "-";
        tavrictool::Source source;
        std::string problem;
        if (fromFile) {
            // The same refusals as every verb: directories, FIFOs, binary data, empty or huge inputs.
            if (!tavrictool::readInput(file, tavrictool::InputKind::Document, source, problem)) {
                err << source.name << ": error: " << problem << '\n';
                status = statusRefused;
                continue;
            }
        } else {
            source.name = stdinName;
            source.text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        const std::string& name = source.name;
        const std::string& text = source.text;
        std::string formatted;
        if (!formatOne(source, fromFile, formatted, err)) {
            status = statusRefused;
            continue;
        }
        const bool changes = formatted != text;
        if (options.check && changes) {
            status = statusRefused;
            if (!options.diff)
                out << name << '\n';
        }
        if (options.diff)
            out << unifiedDiff(text, formatted, name + ".orig", name);
        if (options.write && changes) {
            const zul::ReplaceResult written = zul::replaceWholeFile(file, formatted);
            if (!written) {
                err << name << ": error: " << written.text() << '\n';
                status = statusRefused;
            }
        }
        if (!options.check && !options.diff && !options.write)
            out << formatted;
    }
    out.flush();
    if (!out)
        status = statusRefused;
    return status;
}

} // namespace tavricfmt
