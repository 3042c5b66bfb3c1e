#pragma once

#include <iosfwd>
#include <string>

namespace vrk {

// "velmora (Velmora) X.Y", the version the build was configured with; tavric says the same.
std::string versionText();

// --version and --help answer on `out` before anything is loaded or opened; true when one of
// them was given, and the run ends there.
bool answerInfoOption(int argc, const char* const* argv, std::ostream& out);

} // namespace vrk
