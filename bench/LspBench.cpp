// tavric lsp on the game's configuration (lev/config.tvr): the time from a change notification to
// the diagnostics published for it (the goal: under 50 ms), and the peak resident memory of the whole
// benchmark process, server, document and messages included (the goal: the server under 20 MB).

#include <benchmark/benchmark.h>
#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "tools/tavric/lsp/LanguageServer.hpp"

namespace {

const char* const uri = "file://" VELMORA_RUN_DIR "/lev/config.tvr";

std::string changeMessage(const std::string& text, int version)
{
    return nlohmann::json(
               {{"jsonrpc", "2.0"},
                {"method", "textDocument/didChange"},
                {"params",
                 {{"textDocument", {{"uri", uri}, {"version", version}}}, {"contentChanges", {{{"text", text}}}}}}})
        .dump();
}

// The peak resident memory of the process, from /proc (a difference would mislead: the benchmark
// runs this function more than once, and the heap keeps what an earlier run freed).
double peakResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, 6, "VmHWM:") == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0.0;
}

void ChangeToDiagnostics(benchmark::State& state)
{
    std::ifstream file(VELMORA_RUN_DIR "/lev/config.tvr", std::ios::binary);
    std::stringstream read;
    read << file.rdbuf();
    const std::string text = read.str();
    if (text.empty()) {
        state.SkipWithError("lev/config.tvr is missing: build the content first");
        return;
    }
    std::ostringstream out;
    std::ostringstream log;
    tavriclsp::LanguageServer server(out, log);
    server.handle(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
    server.handle(nlohmann::json({{"jsonrpc", "2.0"},
                                  {"method", "textDocument/didOpen"},
                                  {"params", {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", text}}}}}})
                      .dump());
    // Two texts in turn (one with a comment added), so that every change is a change.
    const std::string changes[2] = {changeMessage(text + "// edited\n", 2), changeMessage(text, 3)};
    int turn = 0;
    for (auto _ : state) {
        out.str("");
        server.handle(changes[turn ^= 1]);
        if (out.str().find("publishDiagnostics") == std::string::npos) {
            state.SkipWithError("no diagnostics were published");
            return;
        }
    }
    state.counters["document_KB"] = static_cast<double>(text.size()) / 1024.0;
    state.counters["process_peak_MB"] = peakResidentMegabytes();
}
BENCHMARK(ChangeToDiagnostics)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
