#include "ToolAddress.hpp"

#include <cctype>
#include <vector>

#include "tavric/model/Collection.hpp"

namespace tavrictool {

using zul::Tavric;

namespace {

// Reads a bracketed index "[N]" at position; false when none stands there.
bool readIndex(const std::string& text, std::size_t& position, std::size_t& index)
{
    if (position >= text.size() || text[position] != '[')
        return false;
    std::size_t p = position + 1;
    const std::size_t digits = p;
    while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p])))
        ++p;
    if (p == digits || p >= text.size() || text[p] != ']' || p - digits > 9)
        return false;
    index = static_cast<std::size_t>(std::stoul(text.substr(digits, p - digits)));
    position = p + 1;
    return true;
}

} // namespace

const Tavric& findField(const Tavric& root, const std::string& address, Report& report, const std::string& name)
{
    const Tavric* field = &root;
    std::size_t position = 0;
    while (position <= address.size()) {
        const std::size_t bracket = address.find('[', position);
        // "[]" is the root mark of an address, not an index.
        const bool isIndex = bracket != std::string::npos && address.compare(bracket, 2, "[]") != 0;
        const std::size_t end = isIndex ? bracket : address.size();
        std::string piece = address.substr(position, end - position);
        if (!piece.empty() && piece[0] == '.')
            piece.erase(0, 1);
        if (!piece.empty() || field == &root) {
            field = &field->resolve(piece.empty() ? std::string("[]") : piece, zul::publicUser);
            if (field == &zul::nullField)
                return zul::nullField;
        }
        if (!isIndex)
            break;
        position = bracket;
        std::size_t index = 0;
        if (!readIndex(address, position, index)) {
            report.refused(name, "bad index in address '" + address + "': an index is written [N], from 0");
            return zul::nullField;
        }
        const Tavric* member = field->childAt(index);
        if (!member) {
            const zul::Collection* elements = field->getCollection();
            report.refused(name, elements ? "index " + std::to_string(index) + " is out of range: '" +
                                                address.substr(0, bracket) + "' has " +
                                                std::to_string(elements->size()) + " members"
                                          : "'" + address.substr(0, bracket) + "' is not a collection");
            return zul::nullField;
        }
        field = member;
    }
    return *field;
}

bool reportMissing(const Tavric& root, std::size_t first, Report& report, const std::string& name)
{
    const std::vector<zul::Diagnostic>& records = root.diagnostics();
    for (std::size_t i = first; i < records.size(); ++i)
        if (!records[i].missingName.empty()) {
            report.refused(name, "no field named '" + records[i].missingName + "' in " + records[i].searchedIn);
            return true;
        }
    return false;
}

} // namespace tavrictool
