// Typed reads and writes, conversions between the value slots, and comparison of values.

#include "tavric/model/Tavric.hpp"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale>
#include <locale.h>
#include <new>
#include <sstream>

#include "tavric/model/TavricInternal.hpp"

namespace zul {

namespace {

// Reference chains and computed fields that read each other are followed this deep at most, so a
// cycle ends in a diagnostic instead of exhausting the stack.
constexpr int maxIndirectionDepth = 256;
int indirectionDepth = 0;

const std::vector<int> noLevels;

int64_t truncateReal(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775807.0)
        return std::numeric_limits<int64_t>::max();
    if (value <= -9223372036854775808.0)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

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

bool isNumberType(int type)
{
    return type == TypeInt || type == TypeChar || type == TypeReal;
}

} // namespace

// ---------------------------------------------------------------- slots

std::string* Tavric::stringSlot() const
{
    if (!stringValue)
        stringValue = new (std::nothrow) std::string;
    return stringValue;
}

const std::string& Tavric::rawString() const
{
    if (stringIsId) {
        const NameDictionary* dictionary = getDictionary();
        return dictionary ? dictionary->nameOf(stringId) : emptyString;
    }
    return stringValue ? *stringValue : emptyString;
}

bool Tavric::isSlotValid(int slotType) const
{
    switch (slotType) {
    case TypeBool:
        return boolValid;
    case TypeInt:
    case TypeChar:
    case TypeDescriptor:
        return intValid;
    case TypeReal:
        return realValid;
    case TypeString:
        return stringValid || stringIsId;
    case TypePointer:
        return pointerValid;
    default:
        return false;
    }
}

const std::vector<int>& Tavric::getPointerLevels() const
{
    return extra ? extra->pointerLevels : noLevels;
}

void Tavric::setPointerLevels(const std::vector<int>& levels)
{
    if (isNull())
        return;
    levelsTaken = false;
    if (levels.empty() && !extra)
        return;
    if (Extra* block = extraBlock()) {
        try {
            block->pointerLevels = levels;
        } catch (...) {
        }
    }
}

Tavric* Tavric::getTarget() const
{
    return extra && extra->targetEpoch == fieldsRemoved ? extra->target : nullptr;
}

void Tavric::cacheTarget(Tavric* target) const
{
    if (Extra* block = extraBlock()) {
        block->target = target;
        block->targetEpoch = fieldsRemoved;
        targetValid = true;
    }
}

void Tavric::declareType(int value)
{
    type = static_cast<uint8_t>(value);
    untyped = value == TypeVoid;
}

void Tavric::invalidateSlots()
{
    boolValid = intValid = realValid = stringValid = pointerValid = targetValid = false;
    stringIsId = false;
    pointerIsConst = false;
}

void Tavric::clearValue()
{
    invalidateSlots();
    if (extra) {
        extra->pointerLevels.clear();
        extra->target = nullptr;
    }
}

// ---------------------------------------------------------------- stores (no checks)

void Tavric::markStored(FieldType storedType)
{
    type = static_cast<uint8_t>(storedType);
    kind = KindValue;
    empty = false;
}

void Tavric::storeBool(bool value)
{
    if (isNull())
        return;
    clearValue();
    boolValue = value;
    boolValid = true;
    markStored(TypeBool);
}

void Tavric::storeInt(int64_t value)
{
    if (isNull())
        return;
    clearValue();
    intValue = value;
    intValid = true;
    markStored(TypeInt);
}

void Tavric::storeReal(double value)
{
    if (isNull())
        return;
    clearValue();
    realValue = value;
    realValid = true;
    markStored(TypeReal);
}

void Tavric::storeChar(uint16_t value)
{
    if (isNull())
        return;
    clearValue();
    intValue = value;
    intValid = true;
    markStored(TypeChar);
}

void Tavric::storeString(const std::string& value)
{
    if (isNull())
        return;
    std::string* slot = stringSlot();
    if (!slot)
        return;
    // value may live in this very slot (x = x.getString()).
    if (slot != &value) {
        try {
            *slot = value;
        } catch (...) {
            return;
        }
    }
    clearValue();
    stringValid = true;
    markStored(TypeString);
}

void Tavric::storeStringId(int id)
{
    if (isNull())
        return;
    clearValue();
    stringId = id;
    stringIsId = true;
    stringValid = true;
    markStored(TypeString);
}

void Tavric::storeDescriptor(int64_t value)
{
    if (isNull())
        return;
    clearValue();
    intValue = value;
    intValid = true;
    markStored(TypeDescriptor);
}

void Tavric::storePointer(int32_t value, bool toConstant)
{
    if (isNull())
        return;
    clearValue();
    pointerValue = value;
    pointerValid = true;
    pointerIsConst = toConstant;
    markStored(TypePointer);
}

void Tavric::storeReference(const std::string& address, bool pointer)
{
    if (isNull())
        return;
    std::string* slot = stringSlot();
    if (!slot)
        return;
    if (slot != &address) {
        try {
            *slot = address;
        } catch (...) {
            return;
        }
    }
    // The address text is kept in the string slot but is not the field's value.
    clearValue();
    kind = pointer ? KindPointer : KindReference;
    empty = false;
}

void Tavric::storeNothing()
{
    if (isNull())
        return;
    clearValue();
    kind = KindValue;
    empty = true;
}

void Tavric::storeFrom(const Tavric& other)
{
    if (isNull() || &other == this)
        return;
    takeSlots(other);
    kind = other.kind;
}

void Tavric::takeSlots(const Tavric& other)
{
    const bool needsText = other.stringValid || other.kind == KindReference || other.kind == KindPointer;
    if (needsText && !other.stringIsId) {
        std::string* slot = stringSlot();
        if (slot) {
            try {
                *slot = other.stringValue ? *other.stringValue : std::string();
            } catch (...) {
            }
        }
    }
    type = other.type;
    empty = other.empty;
    boolValue = other.boolValue;
    boolValid = other.boolValid;
    intValue = other.intValue;
    intValid = other.intValid;
    realValue = other.realValue;
    realValid = other.realValid;
    stringValid = other.stringValid && (stringValue || other.stringIsId);
    stringIsId = other.stringIsId;
    stringId = other.stringId;
    pointerValue = other.pointerValue;
    pointerValid = other.pointerValid;
    pointerIsConst = other.pointerIsConst;
    targetValid = other.targetValid;
    const std::vector<int>& levels = other.getPointerLevels();
    if (other.targetValid || !levels.empty() || extra) {
        if (Extra* block = extraBlock()) {
            block->target = other.getTarget();
            block->targetEpoch = fieldsRemoved;
            try {
                block->pointerLevels = levels;
            } catch (...) {
            }
        }
    }
}

// ---------------------------------------------------------------- writes

bool Tavric::writeCheck(int writeType, int user) const
{
    if (isNull())
        return false;
    if (!hasRight(user, RightWrite)) {
        reportPermission(RightWrite, user);
        return false;
    }
    if (constant) {
        reportConstant(RightWrite);
        return false;
    }
    if (external) {
        report(ErrorExtern, ": Field is extern. Cannot perform any 'write' operation on it.");
        return false;
    }
    if (untyped || (writeType == type && getPointerLevels().empty()))
        return true;
    report(ErrorTypeMismatch, ": Cannot assign data of type " + typeDescription(KindValue, writeType, noLevels) +
                                  " to current field. Type mismatch.");
    return false;
}

bool Tavric::canWrite(int writeType, int user) const
{
    return writeCheck(writeType, user);
}

bool Tavric::canWritePointer(int targetType, int targetKind, const std::vector<int>& levels, int user) const
{
    if (isNull())
        return false;
    if (!hasRight(user, RightWrite)) {
        reportPermission(RightWrite, user);
        return false;
    }
    if (constant) {
        reportConstant(RightWrite);
        return false;
    }
    if (external) {
        report(ErrorExtern, ": Field is extern. Cannot perform any 'write' operation on it.");
        return false;
    }
    // A pointer field never has the kind of the field it designates, so only type and levels count.
    const std::vector<int>& own = getPointerLevels();
    bool accepted = true;
    if (!untyped && targetType != type)
        accepted = false;
    if (accepted && !(untyped && own.empty())) {
        if (own.size() != levels.size()) {
            accepted = false;
        } else {
            for (std::size_t i = 0; i < own.size(); ++i)
                if (own[i] == 0 && levels[i] != 0)
                    accepted = false;
        }
    }
    if (!accepted)
        report(ErrorTypeMismatch, ": Cannot assign data of type " + typeDescription(targetKind, targetType, levels) +
                                      " to current field. Type mismatch.");
    return accepted;
}

bool Tavric::setBool(bool value, int user)
{
    if (!writeCheck(TypeBool, user))
        return false;
    storeBool(value);
    return true;
}

bool Tavric::setInt(int64_t value, int user)
{
    if (!writeCheck(TypeInt, user))
        return false;
    storeInt(value);
    return true;
}

bool Tavric::setReal(double value, int user)
{
    if (!writeCheck(TypeReal, user))
        return false;
    storeReal(value);
    return true;
}

bool Tavric::setChar(uint16_t value, int user)
{
    if (!writeCheck(TypeChar, user))
        return false;
    storeChar(value);
    return true;
}

bool Tavric::setString(const std::string& value, int user)
{
    if (!writeCheck(TypeString, user))
        return false;
    storeString(value);
    return stringValid;
}

bool Tavric::setStringId(int id, int user)
{
    if (!writeCheck(TypeString, user))
        return false;
    storeStringId(id);
    return true;
}

bool Tavric::setDescriptor(int64_t value, int user)
{
    if (!writeCheck(TypeDescriptor, user))
        return false;
    storeDescriptor(value);
    return true;
}

bool Tavric::setPointer(int32_t value, int user)
{
    if (!writeCheck(TypePointer, user))
        return false;
    storePointer(value, false);
    return true;
}

bool Tavric::setConstPointer(int32_t value, int user)
{
    if (!writeCheck(TypePointer, user))
        return false;
    storePointer(value, true);
    return true;
}

bool Tavric::assign(const Tavric& other, int user)
{
    if (isNull() || other.isNull())
        return false;
    if (&other == this)
        return true;
    const std::vector<int>& levels = other.getPointerLevels();
    const bool allowed =
        levels.empty() ? writeCheck(other.type, user) : canWritePointer(other.type, other.kind, levels, user);
    if (!allowed)
        return false;
    storeFrom(other);
    return true;
}

Tavric& Tavric::operator=(const Tavric& other)
{
    return assign(other, publicUser) ? *this : nullField;
}

bool Tavric::operator=(bool value)
{
    return setBool(value, publicUser) ? value : false;
}

int Tavric::operator=(int value)
{
    return setInt(value, publicUser) ? value : 0;
}

int64_t Tavric::operator=(int64_t value)
{
    return setInt(value, publicUser) ? value : 0;
}

double Tavric::operator=(double value)
{
    return setReal(value, publicUser) ? value : 0.0;
}

char Tavric::operator=(char value)
{
    return setChar(static_cast<unsigned char>(value), publicUser) ? value : '\0';
}

const std::string& Tavric::operator=(const std::string& value)
{
    return setString(value, publicUser) ? rawString() : emptyString;
}

const std::string& Tavric::operator=(const char* value)
{
    return *this = std::string(value ? value : "");
}

// ---------------------------------------------------------------- reads

bool Tavric::readCheck(int readType, int user) const
{
    if (!hasRight(user, RightRead)) {
        reportPermission(RightRead, user);
        return false;
    }
    if (strict && (readType != type || !getPointerLevels().empty())) {
        report(ErrorStrict, std::string(": Field is strict and cannot be converted to ") + kindNameOf(kind) + " " +
                                typeNameOf(readType) + ".");
        return false;
    }
    return true;
}

void Tavric::reportConversion(int readType) const
{
    report(ErrorConversion, ": Field cannot be converted into " + typeDescription(KindValue, readType, noLevels) +
                                ". It may be a nonsense.");
}

void Tavric::reportNotInitialized() const
{
    report(ErrorNotInitialized,
           ": Field is not initialized and the program try to read it. Default value will be returned.");
}

void Tavric::reportCycle() const
{
    report(ErrorNotAddress, ": Field '" + getAddress() + "' is not a tavric address but a " +
                                typeDescription(kind, type, getPointerLevels()) + ". It cannot be dereferenced.");
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
    if (busy || indirectionDepth >= maxIndirectionDepth) {
        reportCycle();
        return false;
    }
    Tavric* self = const_cast<Tavric*>(this);
    busy = true;
    ++indirectionDepth;
    Tavric& result = expression->evaluate(parent ? *parent : *self, user);
    --indirectionDepth;
    busy = false;
    if (&result == &nullField)
        return false;
    // The result becomes this field's value; the field stays a computed one.
    self->takeSlots(result);
    return true;
}

const Tavric* Tavric::referenceTarget() const
{
    if (busy || indirectionDepth >= maxIndirectionDepth) {
        reportCycle();
        return nullptr;
    }
    const Tavric& from = parent ? *parent : *this;
    busy = true;
    ++indirectionDepth;
    const Tavric& target = from.resolveFrom(rawString(), publicUser, false);
    --indirectionDepth;
    busy = false;
    return &target == &nullField ? nullptr : &target;
}

int Tavric::startRead(int readType, int user, bool mayEvaluate, const Tavric*& target) const
{
    if (isNull() || !readCheck(readType, user))
        return 0;
    const std::vector<int>& levels = getPointerLevels();
    if (!levels.empty()) {
        report(ErrorConversion, ": Field cannot be converted into " + typeDescription(kind, readType, levels) +
                                    ". It may be a nonsense.");
        return 0;
    }
    if (kind == KindReference) {
        // A reference reads as its target, in the type asked.
        target = referenceTarget();
        return target ? 2 : 0;
    }
    if (kind == KindComputed && getExpression()) {
        const bool stale = !getExpression()->isConstant() || !anySlotValid() || empty;
        if (stale && !mayEvaluate)
            return 0;
        if (!refreshComputed(user))
            return 0;
    }
    if (empty) {
        report(ErrorEmpty, ": Field is empty.");
        return 0;
    }
    if (kind == KindPointer) {
        report(ErrorConversion, ": Field cannot be converted into " + typeDescription(KindPointer, readType, noLevels) +
                                    ". It may be a nonsense.");
        return 0;
    }
    return 1;
}

// Runs a read on the target of a reference, with the reference marked busy against cycles.
#define TAVRIC_READ_TARGET(expression)                                                                                 \
    do {                                                                                                               \
        busy = true;                                                                                                   \
        ++indirectionDepth;                                                                                            \
        auto value = (expression);                                                                                     \
        --indirectionDepth;                                                                                            \
        busy = false;                                                                                                  \
        return value;                                                                                                  \
    } while (false)

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
            intValue = truncateReal(realValue);
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

bool Tavric::getBool(int user) const
{
    const Tavric* target = nullptr;
    switch (startRead(TypeBool, user, true, target)) {
    case 0:
        return false;
    case 2:
        TAVRIC_READ_TARGET(target->getBool(user));
    default:
        break;
    }
    if (boolValid || convert(TypeBool))
        return boolValue;
    return false;
}

int64_t Tavric::readInt(int user, bool modifiable) const
{
    const Tavric* target = nullptr;
    switch (startRead(TypeInt, user, modifiable, target)) {
    case 0:
        return 0;
    case 2:
        if (modifiable)
            TAVRIC_READ_TARGET(const_cast<Tavric*>(target)->getInt(user));
        TAVRIC_READ_TARGET(target->getInt(user));
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
    const Tavric* target = nullptr;
    switch (startRead(TypeReal, user, true, target)) {
    case 0:
        return 0.0;
    case 2:
        TAVRIC_READ_TARGET(target->getReal(user));
    default:
        break;
    }
    if (realValid || convert(TypeReal))
        return realValue;
    return 0.0;
}

uint16_t Tavric::getChar(int user) const
{
    const Tavric* target = nullptr;
    switch (startRead(TypeChar, user, true, target)) {
    case 0:
        return 0;
    case 2:
        TAVRIC_READ_TARGET(target->getChar(user));
    default:
        break;
    }
    if (intValid || convert(TypeChar))
        return static_cast<uint16_t>(intValue);
    return 0;
}

const std::string& Tavric::readString(int user, bool modifiable) const
{
    const Tavric* target = nullptr;
    switch (startRead(TypeString, user, true, target)) {
    case 0:
        return emptyString;
    case 2:
        break;
    default:
        target = nullptr;
        break;
    }
    if (target) {
        busy = true;
        ++indirectionDepth;
        const std::string& value = modifiable ? const_cast<Tavric*>(target)->getString(user) : target->getString(user);
        --indirectionDepth;
        busy = false;
        return value;
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
    case 0:
        return 0;
    case 2:
        if (modifiable)
            TAVRIC_READ_TARGET(const_cast<Tavric*>(target)->getPointer(user));
        TAVRIC_READ_TARGET(target->getPointer(user));
    default:
        break;
    }
    if (pointerValid) {
        if (pointerIsConst && modifiable) {
            report(ErrorConstPointer,
                   ": Pointer stored inside field is constant and can only be get by a constant function member.");
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

#undef TAVRIC_READ_TARGET

// ---------------------------------------------------------------- comparison

const Tavric& Tavric::valueSource(int user) const
{
    if (kind == KindReference) {
        const Tavric* target = referenceTarget();
        if (!target)
            return nullField;
        busy = true;
        ++indirectionDepth;
        const Tavric& source = target->valueSource(user);
        --indirectionDepth;
        busy = false;
        return source;
    }
    if (kind == KindComputed && !refreshComputed(user))
        return nullField;
    return *this;
}

std::string Tavric::textForm(int user) const
{
    switch (type) {
    case TypeDescriptor:
        return std::to_string(intValue);
    case TypePointer:
        return std::to_string(pointerValue);
    default:
        return getString(user);
    }
}

bool Tavric::compare(const Tavric& other, int test, int user) const
{
    if (isNull() || other.isNull())
        return false;
    const Tavric& left = valueSource(user);
    const Tavric& right = other.valueSource(user);
    if (&left == &nullField || &right == &nullField)
        return false;
    for (const Tavric* operand : {&left, &right}) {
        if (!operand->readCheck(operand->type, user))
            return false;
        if (operand->empty) {
            operand->report(ErrorEmpty, ": Field is empty.");
            return false;
        }
    }
    if (test == TestTextEqual || test == TestTextNotEqual) {
        const bool same = left.textForm(user) == right.textForm(user);
        return test == TestTextEqual ? same : !same;
    }
    const bool equality = test == TestEqual || test == TestNotEqual;
    const int leftType = left.type;
    const int rightType = right.type;
    const bool orderless = leftType == TypeBool || rightType == TypeBool;
    if (leftType == TypeVoid || rightType == TypeVoid || leftType == TypeStruct || rightType == TypeStruct ||
        (orderless && !equality)) {
        report(ErrorComparison, std::string(": Cannot test ") +
                                    (test <= TestTextEqual ? " equality or inequality " : " difference ") +
                                    " between " + typeDescription(left.kind, leftType, left.getPointerLevels()) +
                                    " and " + typeDescription(right.kind, rightType, right.getPointerLevels()) + ".");
        return false;
    }
    // order < 0, 0 or > 0 once the operands are comparable.
    int order = 0;
    bool comparable = true;
    if (isNumberType(leftType) && isNumberType(rightType)) {
        if (leftType == TypeReal || rightType == TypeReal) {
            const double a = leftType == TypeReal ? left.realValue : static_cast<double>(left.intValue);
            const double b = rightType == TypeReal ? right.realValue : static_cast<double>(right.intValue);
            if (std::isnan(a) || std::isnan(b))
                comparable = false;
            else
                order = a < b ? -1 : (a > b ? 1 : 0);
        } else {
            const int64_t a = leftType == TypeChar ? (left.intValue & 0xFFFF) : left.intValue;
            const int64_t b = rightType == TypeChar ? (right.intValue & 0xFFFF) : right.intValue;
            order = a < b ? -1 : (a > b ? 1 : 0);
        }
    } else if (leftType != rightType) {
        comparable = false;
    } else if (leftType == TypeString) {
        const int c = left.rawString().compare(right.rawString());
        order = c < 0 ? -1 : (c > 0 ? 1 : 0);
    } else if (leftType == TypeBool) {
        order = left.boolValue == right.boolValue ? 0 : 1;
    } else if (leftType == TypeDescriptor) {
        order = left.intValue < right.intValue ? -1 : (left.intValue > right.intValue ? 1 : 0);
    } else if (leftType == TypePointer) {
        order = left.pointerValue < right.pointerValue ? -1 : (left.pointerValue > right.pointerValue ? 1 : 0);
    } else {
        comparable = false;
    }
    switch (test) {
    case TestEqual:
        return comparable && order == 0;
    case TestNotEqual:
        return !comparable || order != 0;
    case TestLessOrEqual:
        return comparable && order <= 0;
    case TestGreaterOrEqual:
        return comparable && order >= 0;
    case TestLess:
        return comparable && order < 0;
    case TestGreater:
        return comparable && order > 0;
    default:
        return false;
    }
}

} // namespace zul
