#pragma once

// The tool called in-process, through the streams it is given.

#include <sstream>
#include <string>
#include <vector>

#include "tools/tavric/ToolCall.hpp"

namespace tooltest {

struct Call {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the tool on words, with input as its standard input.
inline Call call(const std::vector<std::string>& words, const std::string& input = "")
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    tavrictool::Streams streams{in, out, err};
    Call result;
    result.status = tavrictool::runTool(words, streams);
    result.out = out.str();
    result.err = err.str();
    return result;
}

// A verb, its options, and "-": the document given as standard input.
inline Call callOn(const char* verb, const std::vector<std::string>& options, const std::string& document)
{
    std::vector<std::string> words = {verb};
    words.insert(words.end(), options.begin(), options.end());
    words.push_back("-");
    return call(words, document);
}

} // namespace tooltest
