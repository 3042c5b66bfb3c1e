// tavric json: the document as JSON.

#include <ostream>

#include "ToolDocument.hpp"
#include "ToolJson.hpp"
#include "Verbs.hpp"

namespace tavrictool {

Outcome jsonVerb(const Arguments& args, Streams& streams)
{
    Document document(args, streams);
    if (!loadDocument(document, args.positional[0], true))
        return Outcome::Refused;
    const zul::Tavric& root = document.root;
    nlohmann::ordered_json json = toJson(root, args.has("--all"), args.has("--raw"));
    // A document is an object, an empty one too (a document whose own value is a collection is an array).
    if (!json.is_object() && root.childCount() == 0 && root.isEmpty() && root.getKind() != zul::KindCollection)
        json = nlohmann::ordered_json::object();
    document.report.print(root, document.reported);
    streams.out << json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    // The JSON is shown even when a value is at fault, but the status says so.
    return document.verdict(static_cast<bool>(streams.out.flush()));
}

} // namespace tavrictool
