// The value forms of the text, tried in their fixed order: real, keywords, hexadecimal, binary,
// octal, character, string, raw pointer, descriptor, address, decimal.

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <limits>

#include "tavric/model/Tavric.hpp"
#include "tavric/model/ModelMessages.hpp"
#include "tavric/text/ParseMessages.hpp"
#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/Parser.hpp"

namespace zul {

namespace {

using PT = ParsingTools;

void skipSigns(const std::string& text, std::size_t& p)
{
    while (p < text.size() && (text[p] == '+' || text[p] == '-'))
        ++p;
}

// The C conversion of the text from the first sign to the last digit: one sign gives a signed number,
// a run of several signs gives 0, an out-of-range number saturates (and says so).
int64_t convertInteger(const std::string& text, std::size_t start, int base, bool& clamped)
{
    errno = 0;
    const int64_t value = std::strtoll(text.c_str() + start, nullptr, base);
    clamped = errno == ERANGE;
    return value;
}

} // namespace

int Parser::scanValue(std::size_t& position, Literal& out)
{
    const std::size_t start = position;
    const int result = scanValueForm(position, out);
    if (result == RuleAccepted) {
        const bool address = out.kind == KindReference || (start < stripped.size() && stripped[start] == '&');
        token(start, position, address ? TokenRole::Address : TokenRole::Value);
        if (out.clamped && tokens != nullptr)
            tokens->back().clamped = true;
    }
    return result;
}

int Parser::scanValueForm(std::size_t& position, Literal& out)
{
    out.kind = KindValue;
    out.type = TypeVoid;
    out.nothing = false;
    out.clamped = false;
    out.text.clear();
    const char c = position < stripped.size() ? stripped[position] : '\0';
    int result = RuleNoMatch;
    if (c >= '1' && c <= '9') {
        // The common case (map layers hold hundreds of thousands of these): digits not led by "0"
        // or a sign can only be a real (when a "." follows) or a decimal.
        std::size_t p = position;
        uint64_t value = 0;
        bool overflow = false;
        while (p < stripped.size() && PT::isDigit(stripped[p])) {
            const uint64_t digit = static_cast<uint64_t>(stripped[p] - '0');
            overflow = overflow || value > (uint64_t(std::numeric_limits<int64_t>::max()) - digit) / 10;
            value = value * 10 + digit;
            ++p;
        }
        if (p >= stripped.size() || stripped[p] != '.') {
            if (!numberEnds(position, p, 10))
                return RuleError;
            out.type = TypeInt;
            // Saturated like the C conversion.
            out.intValue = overflow ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(value);
            out.clamped = overflow;
            position = p;
            return RuleAccepted;
        }
        return scanReal(position, out);
    }
    if (c == '0') {
        // A lone zero (the empty cell of a map layer) is the octal form's; what runs on from it takes
        // the full search below.
        const std::size_t p = position + 1;
        const char next = p < stripped.size() ? stripped[p] : ' ';
        const bool runsOn = PT::isDigit(next) || ((next | 0x20) >= 'a' && (next | 0x20) <= 'z') || next == '_' ||
                            next == '.';
        if (!runsOn) {
            out.type = TypeInt;
            out.intValue = 0;
            position = p;
            return RuleAccepted;
        }
    }
    // Only the forms that can start with this byte are tried, in the order of the language.
    if (PT::isDigit(c) || c == '+' || c == '-') {
        result = scanReal(position, out);
        if (result == RuleNoMatch)
            result = scanInteger(position, out, "0x", "0123456789abcdef", 16, true, parsemsg::ExpectedHex,
                                 parsemsg::expectedHex);
        if (result == RuleNoMatch)
            result =
                scanInteger(position, out, "0b", "01", 2, false, parsemsg::ExpectedBinary, parsemsg::expectedBinary);
        if (result == RuleNoMatch)
            result = scanOctal(position, out);
    } else if (PT::isIdentifierStart(c)) {
        result = scanKeyword(position, out);
    } else if (c == '\'') {
        result = scanChar(position, out);
    } else if (c == '"') {
        result = scanString(position, out.text);
        if (result == RuleAccepted)
            out.type = TypeString;
    } else if (c == '#') {
        result = scanRawPointer(position, out);
    } else if (c == '$') {
        result = scanDescriptor(position, out);
    }
    if (result == RuleNoMatch && (PT::isIdentifierStart(c) || c == '&' || c == '[' || c == '{'))
        result = scanAddress(position, out);
    if (result == RuleNoMatch)
        result = scanDecimal(position, out);
    return result;
}

bool Parser::reportMalformedNumber(std::size_t start, std::size_t end, int base)
{
    std::size_t last = end;
    while (last < stripped.size() && (PT::isIdentifierByte(stripped[last]) || stripped[last] == '.'))
        ++last;
    const char next = stripped[end];
    const char* why = parsemsg::digitsOnly;
    if (base == 8 && PT::isDigit(next))
        why = parsemsg::octalDigits;
    else if (base == 2 && PT::isDigit(next))
        why = parsemsg::binaryDigits;
    else if (next == '.')
        why = base == 0 ? parsemsg::twoPoints : parsemsg::wholeOnly;
    error(parsemsg::MalformedNumber, end, parsemsg::malformedNumber(stripped.substr(start, last - start), why));
    return false;
}

int Parser::scanReal(std::size_t& position, Literal& out)
{
    // Signs are read as for the integers, so that every real the writer produces reads back.
    std::size_t p = position;
    skipSigns(stripped, p);
    const std::size_t signs = p - position;
    const std::size_t digits = p;
    while (p < stripped.size() && PT::isDigit(stripped[p]))
        ++p;
    if (p == digits || p >= stripped.size() || stripped[p] != '.')
        return RuleNoMatch;
    ++p;
    while (p < stripped.size() && PT::isDigit(stripped[p]))
        ++p;
    double value = 0.0;
    if (signs <= 1) {
        // Locale-independent: the decimal point is always ".".
        const char* first = stripped.data() + digits;
        const char* last = stripped.data() + p;
        if (last[-1] == '.')
            --last;
        const auto converted = std::from_chars(first, last, value, std::chars_format::fixed);
        if (converted.ec == std::errc::result_out_of_range) {
            // Too large gives infinity; too small (only zeros before the point) gives zero.
            bool large = false;
            for (const char* d = first; d < last && *d != '.'; ++d)
                large = large || *d != '0';
            value = large ? std::numeric_limits<double>::infinity() : 0.0;
        }
        if (signs == 1 && stripped[position] == '-')
            value = -value;
    }
    if (!numberEnds(position, p, 0)) {
        position = p;
        return RuleError;
    }
    out.type = TypeReal;
    out.realValue = value;
    position = p;
    return RuleAccepted;
}

int Parser::scanKeyword(std::size_t& position, Literal& out)
{
    // Matched as prefixes, without looking at what follows ("Yesterday" starts with "Yes").
    std::size_t p = position;
    if (PT::matchAnyNoCase(stripped, p, lexicon::nothingWords) >= 0) {
        out.nothing = true;
    } else if (PT::matchAnyNoCase(stripped, p, lexicon::nullAddressWords) >= 0) {
        out.kind = KindPointer;
        out.text = "nowhere";
    } else if (PT::matchAnyNoCase(stripped, p, lexicon::trueWords) >= 0) {
        out.type = TypeBool;
        out.boolValue = true;
    } else if (PT::matchAnyNoCase(stripped, p, lexicon::falseWords) >= 0) {
        out.type = TypeBool;
        out.boolValue = false;
    } else if (PT::matchNoCase(stripped, p, PT::nullPointerWord)) {
        out.type = TypePointer;
        out.intValue = 0;
    } else {
        return RuleNoMatch;
    }
    position = p;
    return RuleAccepted;
}

int Parser::scanInteger(std::size_t& position, Literal& out, const char* prefix, const char* digits, int base,
                        bool signs, int emptyCode, const char* emptyMessage)
{
    std::size_t p = position;
    if (signs)
        skipSigns(stripped, p);
    if (!PT::matchNoCase(stripped, p, prefix))
        return RuleNoMatch;
    const std::size_t digitsAt = p;
    if (!PT::skipSetNoCase(stripped, p, digits)) {
        error(emptyCode, p, emptyMessage);
        position = p;
        return RuleError;
    }
    if (!numberEnds(position, p, base)) {
        position = p;
        return RuleError;
    }
    out.type = TypeInt;
    if (base == 2) {
        // The digits alone: the C conversion would stop at the "b" of the prefix.
        out.intValue = convertInteger(stripped, digitsAt, 2, out.clamped);
    } else {
        out.intValue = convertInteger(stripped, position, base, out.clamped);
    }
    position = p;
    return RuleAccepted;
}

int Parser::scanOctal(std::size_t& position, Literal& out)
{
    std::size_t p = position;
    skipSigns(stripped, p);
    if (p >= stripped.size() || stripped[p] != '0')
        return RuleNoMatch;
    ++p;
    while (p < stripped.size() && stripped[p] >= '0' && stripped[p] <= '7')
        ++p;
    if (!numberEnds(position, p, 8)) {
        position = p;
        return RuleError;
    }
    out.type = TypeInt;
    out.intValue = convertInteger(stripped, position, 8, out.clamped);
    position = p;
    return RuleAccepted;
}

int Parser::scanEscape(std::size_t& position, uint32_t& value)
{
    // At the byte after the backslash.
    std::size_t p = position;
    const char c = p < stripped.size() ? stripped[p] : '\0';
    switch (c) {
    case '"':
        value = 34;
        break;
    case '\'':
        value = 39;
        break;
    case '\\':
        value = 92;
        break;
    case 'a':
        value = 7;
        break;
    case 'b':
        value = 8;
        break;
    case 'f':
        value = 12;
        break;
    case 'n':
        value = 10;
        break;
    case 'r':
        value = 13;
        break;
    case 't':
        value = 9;
        break;
    case 'v':
        value = 11;
        break;
    case '0':
        value = 0;
        while (p < stripped.size() && stripped[p] >= '0' && stripped[p] <= '7') {
            value = ((value << 3) | static_cast<uint32_t>(stripped[p] - '0')) & 0xFFFFFFu;
            ++p;
        }
        position = p;
        return RuleAccepted;
    default:
        error(parsemsg::BadEscape, p, parsemsg::badEscape);
        return RuleError;
    }
    position = p + 1;
    return RuleAccepted;
}

int Parser::scanChar(std::size_t& position, Literal& out)
{
    std::size_t p = position + 1;
    uint32_t value = 0;
    if (p < stripped.size() && stripped[p] == '\\') {
        ++p;
        if (scanEscape(p, value) == RuleError) {
            position = p;
            return RuleError;
        }
    } else if (p < stripped.size()) {
        value = static_cast<unsigned char>(stripped[p++]);
        // A byte from 128 up starts a character of two bytes, the first in the low half.
        if (value >= 128 && p < stripped.size())
            value |= static_cast<uint32_t>(static_cast<unsigned char>(stripped[p++])) << 8;
    }
    if (p >= stripped.size() || stripped[p] != '\'') {
        error(parsemsg::UnclosedChar, p, parsemsg::unclosedChar);
        position = p;
        return RuleError;
    }
    out.type = TypeChar;
    out.intValue = value & 0xFFFFu;
    position = p + 1;
    return RuleAccepted;
}

int Parser::scanString(std::size_t& position, std::string& out)
{
    out.clear();
    if (position >= stripped.size() || stripped[position] != '"')
        return RuleNoMatch;
    std::size_t p = position + 1;
    for (;;) {
        // Copy the plain run at once; stop at the quote, a backslash or the end.
        std::size_t run = p;
        while (run < stripped.size() && stripped[run] != '"' && stripped[run] != '\\')
            ++run;
        out.append(stripped, p, run - p);
        p = run;
        if (p >= stripped.size()) {
            error(parsemsg::UnclosedString, p, parsemsg::unclosedString, position);
            position = p;
            return RuleError;
        }
        if (stripped[p] == '"')
            break;
        ++p;
        uint32_t value = 0;
        if (scanEscape(p, value) == RuleError) {
            position = p;
            return RuleError;
        }
        out.push_back(static_cast<char>(value & 0xFFu));
    }
    position = p + 1;
    return RuleAccepted;
}

int Parser::scanRawPointer(std::size_t& position, Literal& out)
{
    std::size_t p = position + 1;
    const std::size_t digits = p;
    if (!PT::skipSetNoCase(stripped, p, "0123456789abcdef")) {
        error(parsemsg::ExpectedHex, p, parsemsg::expectedHex);
        position = p;
        return RuleError;
    }
    uint32_t value = 0;
    for (std::size_t i = digits; i < p; ++i) {
        const char c = stripped[i];
        const uint32_t digit =
            PT::isDigit(c) ? static_cast<uint32_t>(c - '0') : static_cast<uint32_t>((c | 0x20) - 'a' + 10);
        value = (value << 4) | digit;
    }
    out.type = TypePointer;
    out.intValue = static_cast<int32_t>(value);
    position = p;
    return RuleAccepted;
}

int Parser::scanDescriptor(std::size_t& position, Literal& out)
{
    std::size_t p = position + 1;
    const std::size_t digits = p;
    while (p < stripped.size() && PT::isDigit(stripped[p]))
        ++p;
    if (p == digits) {
        error(parsemsg::ExpectedDescriptor, p, parsemsg::expectedDescriptor);
        position = p;
        return RuleError;
    }
    // Unsigned and wrapping, so that the writer's form of a negative descriptor reads back.
    uint64_t value = 0;
    for (std::size_t i = digits; i < p; ++i)
        value = value * 10 + static_cast<uint64_t>(stripped[i] - '0');
    out.type = TypeDescriptor;
    out.intValue = static_cast<int64_t>(value);
    position = p;
    return RuleAccepted;
}

int Parser::scanAddress(std::size_t& position, Literal& out)
{
    std::size_t p = position;
    const bool pointer = stripped[p] == '&';
    if (pointer)
        ++p;
    const std::size_t start = p;
    auto isRootMark = [this](std::size_t at) {
        return at + 1 < stripped.size() &&
               ((stripped[at] == '[' && stripped[at + 1] == ']') || (stripped[at] == '{' && stripped[at + 1] == '}'));
    };
    if (isRootMark(p)) {
        p += 2;
    } else if (p < stripped.size() && PT::isIdentifierStart(stripped[p])) {
        while (p < stripped.size() && PT::isIdentifierByte(stripped[p]))
            ++p;
    } else if (pointer) {
        error(parsemsg::ExpectedAddress, p, parsemsg::expectedAddress);
        position = p;
        return RuleError;
    } else {
        return RuleNoMatch;
    }
    for (;;) {
        std::size_t step = p;
        if (step < stripped.size() && stripped[step] == '.')
            step += 1;
        else if (step + 1 < stripped.size() && stripped[step] == '-' && stripped[step + 1] == '>')
            step += 2;
        else
            break;
        if (isRootMark(step)) {
            error(parsemsg::RootNotFirst, step, parsemsg::rootNotFirst);
            position = step;
            return RuleError;
        }
        if (step >= stripped.size() || !PT::isIdentifierStart(stripped[step])) {
            error(parsemsg::ExpectedStepName, step, parsemsg::expectedStepName);
            position = step;
            return RuleError;
        }
        p = step;
        while (p < stripped.size() && PT::isIdentifierByte(stripped[p]))
            ++p;
    }
    out.kind = pointer ? KindPointer : KindReference;
    out.text.assign(stripped, start, p - start);
    position = p;
    return RuleAccepted;
}

int Parser::scanDecimal(std::size_t& position, Literal& out)
{
    std::size_t p = position;
    skipSigns(stripped, p);
    const std::size_t digits = p;
    while (p < stripped.size() && PT::isDigit(stripped[p]))
        ++p;
    if (p == digits) {
        error(parsemsg::ExpectedValue, position, parsemsg::expectedValue);
        return RuleError;
    }
    if (!numberEnds(position, p, 10)) {
        position = p;
        return RuleError;
    }
    out.type = TypeInt;
    out.intValue = convertInteger(stripped, position, 10, out.clamped);
    position = p;
    return RuleAccepted;
}

bool Parser::storeLiteral(Tavric& field, const Literal& literal, std::size_t /*position*/)
{
    if (literal.nothing) {
        field.storeNothing();
        field.setKind(KindValue);
        return true;
    }
    if (literal.kind != KindValue) {
        // The declared levels of indirection belong to the declaration, not to the old value.
        const std::vector<int> levels = field.getPointerLevels();
        field.storeReference(literal.text, literal.kind == KindPointer);
        field.setPointerLevels(levels);
        return true;
    }
    if (!field.isUntyped() && field.getType() != literal.type) {
        field.report(ErrorTypeMismatch, modelmsg::typeMismatch(Tavric::typeDescription(KindValue, literal.type, {})));
        if (field.stopsOnWarnings()) {
            failed = true;
            return false;
        }
        return true;
    }
    switch (literal.type) {
    case TypeBool:
        field.storeBool(literal.boolValue);
        break;
    case TypeInt:
        field.storeInt(literal.intValue);
        break;
    case TypeReal:
        field.storeReal(literal.realValue);
        break;
    case TypeChar:
        field.storeChar(static_cast<uint16_t>(literal.intValue));
        break;
    case TypeString:
        field.storeString(literal.text);
        break;
    case TypeDescriptor:
        field.storeDescriptor(literal.intValue);
        break;
    case TypePointer:
        field.storePointer(static_cast<int32_t>(literal.intValue), false);
        break;
    default:
        break;
    }
    return true;
}

} // namespace zul
