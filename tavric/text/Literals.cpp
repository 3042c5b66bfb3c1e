#include "tavric/text/Literals.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace zul {

namespace {

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

std::string octal(uint32_t value)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + (value & 7)));
        value >>= 3;
    } while (value != 0);
    return digits;
}

// One byte of a character or string. True when it was written as an octal escape, so that a
// following octal digit is escaped too (it would otherwise extend the number).
bool escapeByte(std::string& out, unsigned char c, QuoteForm form)
{
    switch (c) {
    case 0:
        out += "\\0";
        return true;
    case 7:
        out += "\\a";
        return false;
    case 8:
        out += "\\b";
        return false;
    case 9:
        out += "\\t";
        return false;
    case 10:
        out += "\\n";
        return false;
    case 11:
        out += "\\v";
        return false;
    case 12:
        out += "\\f";
        return false;
    case 13:
        out += "\\r";
        return false;
    case '"':
        out += "\\\"";
        return false;
    case '\'':
        out += form == QuoteForm::Ascii ? "\\'" : "'";
        return false;
    case '\\':
        out += "\\\\";
        return false;
    default:
        break;
    }
    if (c < 32 || c == 127 || (c > 127 && form == QuoteForm::Ascii)) {
        out += "\\0" + octal(c);
        return true;
    }
    out += static_cast<char>(c);
    return false;
}

bool readsBackAs(const char* first, const char* last, double value)
{
    double back = 0.0;
    const auto result = std::from_chars(first + (*first == '-' ? 1 : 0), last, back, std::chars_format::fixed);
    if (*first == '-')
        back = -back;
    return result.ec == std::errc() && back == value && std::signbit(back) == std::signbit(value);
}

// The shortest digits that read back as the same double, laid out without exponent: 1e300 is a 1,
// 300 zeros and ".0".
std::string shortestReal(double value)
{
    char written[64];
    const auto end = std::to_chars(written, written + sizeof written, value, std::chars_format::scientific).ptr;
    const std::string shortest(written, end);
    const std::size_t e = shortest.find('e');
    std::string digits;
    for (std::size_t i = 0; i < e; ++i)
        if (shortest[i] >= '0' && shortest[i] <= '9')
            digits += shortest[i];
    // The number of digits before the point.
    const long point = std::strtol(shortest.c_str() + e + 1, nullptr, 10) + 1;
    const long count = static_cast<long>(digits.size());
    std::string text = shortest[0] == '-' ? "-" : "";
    if (point <= 0)
        text += "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    else if (point >= count)
        text += digits + std::string(static_cast<std::size_t>(point - count), '0') + ".0";
    else
        text +=
            digits.substr(0, static_cast<std::size_t>(point)) + "." + digits.substr(static_cast<std::size_t>(point));
    return text;
}

} // namespace

const char* const nothingText = "Nothing";

const char* boolText(bool value)
{
    return value ? "True" : "False";
}

std::string quotedString(const std::string& text, QuoteForm form)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    bool afterOctal = false;
    for (const char c : text) {
        if (afterOctal && isOctalDigit(c)) {
            out += "\\0" + octal(static_cast<unsigned char>(c));
            afterOctal = true;
        } else {
            afterOctal = escapeByte(out, static_cast<unsigned char>(c), form);
        }
    }
    out += '"';
    return out;
}

std::string quotedChar(std::uint16_t value)
{
    std::string out = "'";
    const unsigned low = value & 0xFFu;
    const unsigned high = value >> 8;
    if (high == 0) {
        escapeByte(out, static_cast<unsigned char>(low), QuoteForm::Ascii);
    } else if (low >= 128) {
        // Two bytes, in the order the parser reads them: the first byte is the low half.
        out += static_cast<char>(low);
        out += static_cast<char>(high);
    } else {
        out += "\\0" + octal(value);
    }
    return out + "'";
}

std::string realText(double value, RealForm form)
{
    if (std::isnan(value))
        return "0.0";
    if (std::isinf(value))
        return std::string(value < 0 ? "-1" : "1") + std::string(309, '0') + ".0";
    if (form == RealForm::Shortest)
        return shortestReal(value);
    char buffer[1600];
    auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 16);
    if (written.ec == std::errc() && readsBackAs(buffer, written.ptr, value))
        return std::string(buffer, written.ptr);
    written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    std::string text(buffer, written.ptr);
    if (text.find('.') == std::string::npos)
        text += ".0";
    return text;
}

} // namespace zul
