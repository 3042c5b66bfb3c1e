// The language server's message reader and the server behind it: any bytes on its input are read
// as framed messages and answered, after an initialize of the harness's own. The reader must never
// give a body longer than what came in, and nothing may crash, leak or hang.

#include "FuzzCommon.hpp"

#include <sstream>

#include "tools/tavric/lsp/LanguageServer.hpp"
#include "tools/tavric/lsp/MessageReader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string input = fuzz::textOf(data, size);
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream log;
    tavriclsp::MessageReader reader(in);
    tavriclsp::LanguageServer server(out, log);
    server.handle(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":{}}})");
    std::string body;
    for (;;) {
        const tavriclsp::ReadStatus status = reader.next(body);
        if (status == tavriclsp::ReadStatus::End)
            break;
        if (body.size() > input.size())
            fuzz::fail("the reader gave a body longer than its input", input, body);
        if (status != tavriclsp::ReadStatus::Message)
            server.refuseFraming(reader.problem());
        else if (!server.handle(body))
            break;
    }
    return 0;
}
