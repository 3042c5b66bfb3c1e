// tavric fmt: the layout of the library's formatter, printed, checked, shown as a diff or written.

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <sstream>

#include "ToolReport.hpp"
#include "UnifiedDiff.hpp"
#include "Verbs.hpp"
#include "tavric/format/Formatter.hpp"
#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/WholeFile.hpp"

namespace tavrictool {

namespace {

const char* const stdinName = "<stdin>";

// One input, already read: parsed once, recording its tokens, and laid out from them; the layout
// is then checked to read the same. Prints what is wrong itself; false when the input is to be
// left alone. The tree is only for the verdict and the check, so the values of collections (most
// of a large document) are not kept: what the parser read of them is in the tokens' digest. Each
// reading is dropped before the next, so a large text costs its record once.
bool formatOne(const Source& source, bool fromFile, std::string& formatted, std::ostream& err)
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
        Report report(shown, false);
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
        formatted = zul::formatTokens(text, tokens);
        digest = zul::readingDigest(text, tokens);
        fingerprint = zul::treeFingerprint(original);
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
    if (!zul::parse(again, formatted, reread) || zul::readingDigest(formatted, againTokens) != digest ||
        zul::treeFingerprint(again) != fingerprint) {
        err << "tavric fmt: " << name << ": the laid-out text would read differently; the file is left as it is\n";
        return false;
    }
    return true;
}

} // namespace

// Files that do not parse get the parser's messages and stay as they are.
Outcome fmtVerb(const Arguments& args, Streams& streams)
{
    const bool check = args.has("--check");
    const bool diff = args.has("--diff");
    const bool write = args.has("--write");
    const auto stdinCount = std::count(args.positional.begin(), args.positional.end(), "-");
    // Standard input cannot be rewritten, nor read twice; a check does not write.
    if (stdinCount > 1 || (write && (stdinCount > 0 || check)))
        return Outcome::BadCall;
    std::ostream& out = streams.out;
    std::ostream& err = streams.err;
    Outcome outcome = Outcome::Done;
    for (const std::string& file : args.positional) {
        const bool fromFile = file != "-";
        Source source;
        std::string problem;
        if (fromFile) {
            // The same refusals as every verb: directories, FIFOs, binary data, empty or huge inputs.
            if (!readInput(file, InputKind::Document, source, problem)) {
                err << source.name << ": error: " << problem << '\n';
                outcome = Outcome::Refused;
                continue;
            }
        } else {
            source.name = stdinName;
            source.text.assign(std::istreambuf_iterator<char>(streams.in), std::istreambuf_iterator<char>());
        }
        const std::string& name = source.name;
        const std::string& text = source.text;
        std::string formatted;
        if (!formatOne(source, fromFile, formatted, err)) {
            outcome = Outcome::Refused;
            continue;
        }
        const bool changes = formatted != text;
        if (check && changes) {
            outcome = Outcome::Refused;
            if (!diff)
                out << name << '\n';
        }
        if (diff)
            out << unifiedDiff(text, formatted, name + ".orig", name);
        if (write && changes) {
            const zul::ReplaceResult written = zul::replaceWholeFile(file, formatted);
            if (!written) {
                err << name << ": error: " << written.text() << '\n';
                outcome = Outcome::Refused;
            }
        }
        if (!check && !diff && !write)
            out << formatted;
    }
    out.flush();
    return out ? outcome : Outcome::Refused;
}

} // namespace tavrictool
