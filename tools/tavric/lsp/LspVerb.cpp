// tavric lsp: the language server, over standard input and output until the client says exit.

#include <ostream>

#include "LanguageServer.hpp"
#include "MessageReader.hpp"
#include "tools/tavric/Verbs.hpp"

namespace tavrictool {

Outcome lspVerb(const Arguments&, Streams& streams)
{
    tavriclsp::MessageReader reader(streams.in);
    tavriclsp::LanguageServer server(streams.out, streams.err);
    std::string body;
    for (;;) {
        const tavriclsp::ReadStatus status = reader.next(body);
        if (status == tavriclsp::ReadStatus::End)
            break;
        if (status != tavriclsp::ReadStatus::Message)
            server.refuseFraming(reader.problem());
        else if (!server.handle(body))
            break;
        if (!streams.out)
            break; // the client is gone
    }
    // The protocol's exit status: 0 only when shutdown came before the end.
    return server.wasShutDown() ? Outcome::Done : Outcome::Refused;
}

} // namespace tavrictool
