// Document parse: any bytes as a Tavric text, parsed the ways the application and the library
// do (plain, finalized, stopping on warnings, merged into an existing document), then read whole
// and written in every form. Nothing may crash, leak or hang; a refused text leaves messages.

#include "FuzzCommon.hpp"

namespace {

// A document the input is merged into: nodes, values and expressions of the same names as the
// seeds use, so that merges of repeated children are reached.
const char* const existing = "a = 1\nb = \"text\"\nc = 2.5\n[s x = 1 y = _.a + 1 p = &_.a r = _.b]\n"
                             "list = [Collection (4) 1 2 3 [m v = 1] 5]\nconst k = 7\nprivate h = 'h'\n";

void exercise(fuzz::Document& document, const std::string& text, bool finalize, bool read)
{
    // An Error directive (or a Warning that stops) refuses with its own text, said to the sink.
    bool stopped = false;
    zul::ParseOptions options;
    options.finalize = finalize;
    options.directives = [&stopped](const zul::DirectiveText& directive) {
        stopped = stopped || directive.kind != zul::DirectiveKind::Message;
    };
    const std::size_t before = document.root.diagnostics().size();
    const bool accepted = zul::parse(document.root, text, options).accepted;
    if (!accepted && document.root.messages().empty())
        fuzz::fail("a refused text left no message", text);
    bool placed = false;
    for (std::size_t i = before; i < document.root.diagnostics().size(); ++i)
        placed = placed || document.root.diagnostics()[i].range.known();
    if (!accepted && !stopped && !placed)
        fuzz::fail("a refused text left no diagnostic with a place", text, fuzz::joinedMessages(document.root));
    if (read) {
        fuzz::readTree(document.root);
        // Copies of fields (expressions cloned, collections copied element by element) read and
        // write as the originals do.
        int copies = 0;
        for (zul::Tavric* child : std::vector<zul::Tavric*>(document.root.childrenInOrder())) {
            if (++copies > 8)
                break;
            zul::Tavric copy(*child);
            (void)copy.getInt(zul::publicUser);
            (void)copy.getString(zul::publicUser);
            (void)copy.childAt(0);
            (void)fuzz::written(copy, true, false);
        }
    }
    (void)fuzz::written(document.root, true, false);
    (void)fuzz::written(document.root, false, true, true);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string text = fuzz::textOf(data, size);
    {
        fuzz::Document document;
        exercise(document, text, false, true);
    }
    {
        fuzz::Document document;
        document.root.setOptionWord(1); // stop on warnings
        exercise(document, text, true, false);
    }
    {
        fuzz::Document document;
        if (!fuzz::parse(document.root, existing, true))
            fuzz::fail("the base document does not parse", fuzz::joinedMessages(document.root));
        exercise(document, text, true, true);
    }
    return 0;
}
