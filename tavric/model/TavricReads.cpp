// Typed reads: the checks before a read, reads through references and computed fields, and the
// conversions between the value slots.

#include "tavric/model/Tavric.hpp"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale>
#include <locale.h>
#include <new>
#include <sstream>

#include "tavric/model/ModelMessages.hpp"
#include "tavric/model/TavricInternal.hpp"
#include "tavric/text/ParsingTools.hpp"

namespace zul {

int Tavric::ReadThrough::depth = 0;

int64_t truncateToInt64(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775807.0)
        return std::numeric_limits<int64_t>::max();
    if (value <= -9223372036854775808.0)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

namespace {

const std::vector<int> noLevels;

// C integer literal with automatic base, plus "0b" for binary.
int64_t parseInteger(const std::string& text)
{
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B'))
        return std::strtoll(text.c_str() + 2, nullptr, 2);
    return std::strtoll(text.c_str(), nullptr, 0);
}

// Documents are read the same whatever the user's locale: the decimal separator is always ".".
double parseReal(const std::string& text)
{
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (cLocale)
        return strtod_l(text.c_str(), nullptr, cLocale);
    return std::strtod(text.c_str(), nullptr);
}

std::string formatReal(double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

bool equalsNoCase(const std::string& text, const char* word)
{
    std::size_t position = 0;
    return ParsingTools::matchNoCase(text, position, word) && position == text.size();
}

} // namespace

// ---------------------------------------------------------------- reads

bool Tavric::readCheck(int readType, int user) const
{
    if (!hasRight(user, RightRead)) {
        reportPermission(RightRead, user);
        return false;
    }
    if (strict && (readType != type || !getPointerLevels().empty())) {
        report(ErrorStrict, modelmsg::strictField(kindNameOf(kind), typeNameOf(readType)));
        return false;
    }
    return true;
}

void Tavric::reportConversion(int readType) const
{
    report(ErrorConversion, modelmsg::conversion(typeDescription(KindValue, readType, noLevels)));
}

void Tavric::reportNotInitialized() const
{
    report(ErrorNotInitialized, modelmsg::notInitialized);
}

void Tavric::reportNotAddress() const
{
    report(ErrorNotAddress, modelmsg::notAddress(getAddress(), typeDescription(kind, type, getPointerLevels())));
}

bool Tavric::anySlotValid() const
{
    return boolValid || intValid || realValid || stringValid || stringIsId || pointerValid;
}

bool Tavric::refreshComputed(int user) const
{
    Expression* expression = getExpression();
    if (!expression)
        return true;
    if (expression->isConstant() && anySlotValid() && !empty)
        return true;
    if (ReadThrough::refused(*this)) {
        reportNotAddress();
        return false;
    }
    Tavric* self = const_cast<Tavric*>(this);
    Tavric* result = nullptr;
    {
        ReadThrough through(*this);
        const DiagnosticScope scope(*this);
        result = &expression->evaluate(parent ? *parent : *self, user);
    }
    if (result == &nullField)
        return false;
    // The result becomes this field's value; the field stays a computed one.
    self->takeSlots(*result);
    return true;
}

const Tavric* Tavric::referenceTarget() const
{
    if (ReadThrough::refused(*this)) {
        reportNotAddress();
        return nullptr;
    }
    const Tavric& from = parent ? *parent : *this;
    ReadThrough through(*this);
    const Tavric& target = from.resolveFrom(rawString(), publicUser, false);
    return &target == &nullField ? nullptr : &target;
}

Tavric::ReadStart Tavric::startRead(int readType, int user, bool mayEvaluate, const Tavric*& target) const
{
    if (isNull() || !readCheck(readType, user))
        return ReadRefused;
    const std::vector<int>& levels = getPointerLevels();
    if (!levels.empty()) {
        report(ErrorConversion, modelmsg::conversion(typeDescription(kind, readType, levels)));
        return ReadRefused;
    }
    if (kind == KindReference) {
        // A reference reads as its target, in the type asked.
        target = referenceTarget();
        return target ? ReadTarget : ReadRefused;
    }
    if (kind == KindComputed && getExpression()) {
        const bool stale = !getExpression()->isConstant() || !anySlotValid() || empty;
        if (stale && !mayEvaluate)
            return ReadRefused;
        if (!refreshComputed(user))
            return ReadRefused;
    }
    if (empty) {
        report(ErrorEmpty, modelmsg::fieldEmpty);
        return ReadRefused;
    }
    if (kind == KindPointer) {
        report(ErrorConversion, modelmsg::conversion(typeDescription(KindPointer, readType, noLevels)));
        return ReadRefused;
    }
    return ReadOwnSlots;
}

bool Tavric::convert(int readType) const
{
    if (type == TypeVoid) {
        reportNotInitialized();
        return false;
    }
    const std::string& text = rawString();
    switch (readType) {
    case TypeBool:
        switch (type) {
        case TypeInt:
            boolValue = intValue != 0;
            break;
        case TypeReal:
            boolValue = realValue != 0.0;
            break;
        case TypeChar:
            boolValue = (intValue & 0xFFFF) != 0;
            break;
        case TypeString:
            boolValue = equalsNoCase(text, "true");
            break;
        default:
            reportConversion(readType);
            return false;
        }
        boolValid = true;
        return true;
    case TypeInt:
    case TypeChar:
        switch (type) {
        case TypeBool:
            if (readType == TypeChar) {
                reportConversion(readType);
                return false;
            }
            intValue = boolValue ? 1 : 0;
            break;
        case TypeReal:
            // Truncated toward zero, for char reads as well (the char is its low 16 bits).
            intValue = truncateToInt64(realValue);
            break;
        case TypeString:
            if (readType == TypeChar) {
                reportConversion(readType);
                return false;
            }
            intValue = parseInteger(text);
            break;
        default:
            reportConversion(readType);
            return false;
        }
        intValid = true;
        return true;
    case TypeReal:
        switch (type) {
        case TypeBool:
            realValue = boolValue ? 1.0 : 0.0;
            break;
        case TypeInt:
            realValue = static_cast<double>(intValue);
            break;
        case TypeString:
            realValue = parseReal(text);
            break;
        default:
            reportConversion(readType);
            return false;
        }
        realValid = true;
        return true;
    case TypeString: {
        std::string converted;
        switch (type) {
        case TypeBool:
            converted = boolValue ? "true" : "false";
            break;
        case TypeInt:
            converted = std::to_string(intValue);
            break;
        case TypeReal:
            converted = formatReal(realValue);
            break;
        case TypeChar:
            converted = std::to_string(intValue & 0xFFFF);
            break;
        default:
            reportConversion(readType);
            return false;
        }
        std::string* slot = stringSlot();
        if (!slot)
            return false;
        slot->swap(converted);
        stringValid = true;
        return true;
    }
    case TypePointer:
        switch (type) {
        case TypeInt:
            pointerValue = static_cast<int32_t>(static_cast<uint32_t>(intValue));
            break;
        case TypeString:
            pointerValue = static_cast<int32_t>(static_cast<uint64_t>(parseInteger(text)));
            break;
        default:
            reportConversion(readType);
            return false;
        }
        pointerValid = true;
        return true;
    default:
        reportConversion(readType);
        return false;
    }
}

template <typename T, typename OwnSlots>
T Tavric::readPlain(int readType, int user, T (Tavric::*get)(int) const, OwnSlots ownSlots) const
{
    const Tavric* target = nullptr;
    const ReadStart start = startRead(readType, user, true, target);
    if (start == ReadTarget) {
        ReadThrough through(*this);
        return (target->*get)(user);
    }
    return start == ReadOwnSlots ? ownSlots() : T();
}

bool Tavric::getBool(int user) const
{
    return readPlain(TypeBool, user, &Tavric::getBool,
                     [this] { return (boolValid || convert(TypeBool)) ? boolValue : false; });
}

int64_t Tavric::readInt(int user, bool modifiable) const
{
    const Tavric* target = nullptr;
    switch (startRead(TypeInt, user, modifiable, target)) {
    case ReadRefused:
        return 0;
    case ReadTarget: {
        ReadThrough through(*this);
        return modifiable ? const_cast<Tavric*>(target)->getInt(user) : target->getInt(user);
    }
    default:
        break;
    }
    if (intValid)
        return intValue;
    // Programs, sequences, collections and xml nodes have no number.
    if (kind >= KindProgram)
        return 0;
    return convert(TypeInt) ? intValue : 0;
}

int64_t Tavric::getInt(int user)
{
    return readInt(user, true);
}

int64_t Tavric::getInt(int user) const
{
    return readInt(user, false);
}

double Tavric::getReal(int user) const
{
    return readPlain(TypeReal, user, &Tavric::getReal,
                     [this] { return (realValid || convert(TypeReal)) ? realValue : 0.0; });
}

uint16_t Tavric::getChar(int user) const
{
    return readPlain(TypeChar, user, &Tavric::getChar, [this] {
        return (intValid || convert(TypeChar)) ? static_cast<uint16_t>(intValue) : uint16_t(0);
    });
}

const std::string& Tavric::readString(int user, bool modifiable) const
{
    const Tavric* target = nullptr;
    switch (startRead(TypeString, user, true, target)) {
    case ReadRefused:
        return emptyString;
    case ReadTarget:
        break;
    default:
        target = nullptr;
        break;
    }
    if (target) {
        ReadThrough through(*this);
        return modifiable ? const_cast<Tavric*>(target)->getString(user) : target->getString(user);
    }
    if (stringIsId) {
        // An id is turned into its text on every read.
        std::string* slot = stringSlot();
        if (!slot)
            return rawString();
        const NameDictionary* dictionary = getDictionary();
        try {
            *slot = dictionary ? dictionary->nameOf(stringId) : emptyString;
        } catch (...) {
            return rawString();
        }
        return *slot;
    }
    if (stringValid)
        return rawString();
    if (!modifiable && type == TypeBool) {
        // The read-only form keeps the text of a bool as a dictionary id.
        NameDictionary* dictionary = getDictionary();
        const int id = dictionary ? dictionary->idOf(boolValue ? "true" : "false") : 0;
        if (id != 0) {
            stringId = id;
            stringIsId = true;
            stringValid = true;
            return dictionary->nameOf(id);
        }
    }
    return convert(TypeString) ? rawString() : emptyString;
}

const std::string& Tavric::getString(int user)
{
    return readString(user, true);
}

const std::string& Tavric::getString(int user) const
{
    return readString(user, false);
}

int32_t Tavric::readPointer(int user, bool modifiable) const
{
    const Tavric* target = nullptr;
    switch (startRead(TypePointer, user, true, target)) {
    case ReadRefused:
        return 0;
    case ReadTarget: {
        ReadThrough through(*this);
        return modifiable ? const_cast<Tavric*>(target)->getPointer(user) : target->getPointer(user);
    }
    default:
        break;
    }
    if (pointerValid) {
        if (pointerIsConst && modifiable) {
            report(ErrorConstPointer, modelmsg::constPointer);
            return 0;
        }
        return pointerValue;
    }
    return convert(TypePointer) ? pointerValue : 0;
}

int32_t Tavric::getPointer(int user)
{
    return readPointer(user, true);
}

int32_t Tavric::getPointer(int user) const
{
    return readPointer(user, false);
}

} // namespace zul
