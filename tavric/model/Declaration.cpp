#include "tavric/model/Declaration.hpp"

#include "tavric/model/Tavric.hpp"
#include "tavric/text/ParsingTools.hpp"

namespace zul {

std::string hexText(uint32_t value, bool capitals)
{
    const char* digits = capitals ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), digits[value & 15]);
        value >>= 4;
    } while (value != 0);
    return text;
}

std::string accessWord(int parentEntry, int defaultRights, HexStyle style)
{
    if (parentEntry == RightsAll) {
        switch (defaultRights) {
        case rightsPrivate:
            return "private ";
        case rightsLocked:
            return "locked ";
        case rightsProtected:
            return "protected ";
        case rightsPublic:
            return std::string();
        default:
            break;
        }
    }
    auto digits = [style](int value) {
        return style == HexStyle::Document ? hexText(static_cast<uint32_t>(value) & 15, false)
                                           : hexText(static_cast<uint32_t>(value), true);
    };
    return "limited[" + digits(parentEntry) + digits(defaultRights) + "] ";
}

std::string declarationText(const Declaration& words, bool colour)
{
    using PT = ParsingTools;
    std::string text;
    auto piece = [&](const std::string& word, int colourIndex) {
        if (word.empty())
            return;
        if (colour)
            text += PT::colours[colourIndex];
        text += word;
        if (colour)
            text += PT::colours[PT::ColourReset];
    };
    piece(words.access, PT::ColourBoldRed);
    if (words.restricted)
        piece("restricted ", PT::ColourBoldRed);
    if (words.external)
        piece("extern ", PT::ColourBoldCyan);
    if (words.local)
        piece("local ", PT::ColourBoldCyan);
    if (words.strict && words.strictFirst)
        piece("strict ", PT::ColourBoldBlue);
    piece(words.kind, PT::ColourGrey);
    if (words.strict && !words.strictFirst)
        piece("strict ", PT::ColourBoldBlue);
    piece(words.type, PT::ColourBoldGreen);
    for (int level : words.levels) {
        if (level)
            piece("const ", PT::ColourBoldCyan);
        text += ": ";
    }
    if (words.constant)
        piece("const ", PT::ColourBoldCyan);
    return text;
}

} // namespace zul
