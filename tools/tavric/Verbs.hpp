#pragma once

// The verbs of the tool, one file each. Each reads its inputs and writes its results through the
// streams it is given, diagnostics on the error stream, and says how it ended.

#include "ToolCall.hpp"

namespace tavrictool {

Outcome checkVerb(const Arguments& args, Streams& streams);
Outcome fmtVerb(const Arguments& args, Streams& streams);
Outcome dumpVerb(const Arguments& args, Streams& streams);
Outcome getVerb(const Arguments& args, Streams& streams);
Outcome jsonVerb(const Arguments& args, Streams& streams);
Outcome setVerb(const Arguments& args, Streams& streams);
Outcome importVerb(const Arguments& args, Streams& streams);
Outcome scrambleVerb(const Arguments& args, Streams& streams);
Outcome unscrambleVerb(const Arguments& args, Streams& streams);
Outcome helpVerb(const Arguments& args, Streams& streams);
Outcome lspVerb(const Arguments& args, Streams& streams);

} // namespace tavrictool
