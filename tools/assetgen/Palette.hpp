#pragma once

#include "Canvas.hpp"

#include <map>
#include <string>

namespace art {

// Named colours read from content/art/palette.txt, so the look can be tuned without code.
// Each line: a name and a colour as #rrggbb or #rrggbbaa; "#" starts a comment at line start.
class Palette {
public:
    // Reads the file; on failure returns false with a message naming file, line and column.
    bool load(const std::string& path, std::string& error);
    // The colour of a name. A name missing from the file is a fault of the art code: it is
    // recorded and reported by the caller after drawing (see missing()).
    Colour operator()(const std::string& name) const;
    const std::string& missing() const { return missingNames; }

private:
    std::map<std::string, Colour> colours;
    mutable std::string missingNames;
};

} // namespace art
