#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "ToolCall.hpp"
#include "ToolInput.hpp"
#include "ToolReport.hpp"
#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"

namespace tavrictool {

// What loading a document asks for beyond the parse.
struct LoadSteps {
    bool finalize = true;                         // resolve references and pointers, as the game does
    bool warnAboutReferences = false;             // warn about references whose target does not exist
    zul::SourceTokens* tokens = nullptr;          // receives the main text's tokens, when given
    std::vector<std::string>* included = nullptr; // receives the path of every include met, when given
    bool* whole = nullptr; // set to whether the text parsed whole, when given (its resolution may still fail)
    // An editor's text of the document, read in place of the file at the path, and of files it
    // includes; directive texts to the sink when one is given rather than to the report.
    const std::string* text = nullptr;
    zul::IncludeSource includes;
    zul::DirectiveSink directives;
};

// Reads and parses one input ("-": the stream in) into root; every diagnostic goes to the report,
// and a refusal always leaves at least one line there naming the input. False when the input was
// refused or the parse (or the resolution) failed.
bool loadDocument(const std::string& path, std::istream& in, zul::Tavric& root, const LoadSteps& steps, Report& report,
                  Source& source);

// One document for a verb, with its report on the verb's error stream.
struct Document {
    Document(const Arguments& args, Streams& streams) : report(streams.err, args.colourErr(streams)), in(streams.in) {}

    Report report;
    zul::NameDictionary names;
    zul::Tavric root{&names};
    Source source;
    std::size_t reported = 0; // the root's diagnostics printed so far
    std::istream& in;         // read for the path "-"

    // A verb's status once it has shown what it could: refused as check would refuse the document.
    Outcome verdict(bool shown) const { return shown && report.errors() == 0 ? Outcome::Done : Outcome::Refused; }
};

// Loads the document at path for a verb (loadDocument above, the diagnostics printed). True when
// its tree is whole: a document that parsed is shown even when a value is at fault (the fault
// reported, the verdict refused); one that did not parse is not shown at all.
inline bool loadDocument(Document& document, const std::string& path, bool finalize)
{
    LoadSteps steps;
    steps.finalize = finalize;
    bool whole = false;
    steps.whole = &whole;
    (void)loadDocument(path, document.in, document.root, steps, document.report, document.source);
    document.reported = document.root.diagnostics().size();
    return whole;
}

} // namespace tavrictool
