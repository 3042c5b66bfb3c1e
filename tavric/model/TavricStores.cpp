// Value slots, plain stores (no checks; for the parser and the evaluator) and checked writes.

#include "tavric/model/Tavric.hpp"

#include <new>

#include "tavric/model/ModelMessages.hpp"
#include "tavric/model/TavricInternal.hpp"

namespace zul {

namespace {

const std::vector<int> noLevels;

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

void Tavric::storeIntegerAs(int64_t value, FieldType storedType)
{
    if (isNull())
        return;
    clearValue();
    intValue = value;
    intValid = true;
    markStored(storedType);
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
    storeIntegerAs(value, TypeInt);
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
    storeIntegerAs(value, TypeChar);
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
    storeIntegerAs(value, TypeDescriptor);
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

bool Tavric::mayChange(int right, int user) const
{
    if (!hasRight(user, right)) {
        reportPermission(right, user);
        return false;
    }
    if (constant) {
        reportConstant(right);
        return false;
    }
    return true;
}

bool Tavric::writable(int user) const
{
    if (isNull() || !mayChange(RightWrite, user))
        return false;
    if (external) {
        report(ErrorExtern, modelmsg::externField);
        return false;
    }
    return true;
}

bool Tavric::writeCheck(int writeType, int user) const
{
    if (!writable(user))
        return false;
    if (untyped || (writeType == type && getPointerLevels().empty()))
        return true;
    report(ErrorTypeMismatch, modelmsg::typeMismatch(typeDescription(KindValue, writeType, noLevels)));
    return false;
}

bool Tavric::canWrite(int writeType, int user) const
{
    return writeCheck(writeType, user);
}

bool Tavric::canWritePointer(int targetType, int targetKind, const std::vector<int>& levels, int user) const
{
    if (!writable(user))
        return false;
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
        report(ErrorTypeMismatch, modelmsg::typeMismatch(typeDescription(targetKind, targetType, levels)));
    return accepted;
}

// Each checked write stores only when the check passes.
bool Tavric::setBool(bool value, int user)
{
    return writeCheck(TypeBool, user) && (storeBool(value), true);
}

bool Tavric::setInt(int64_t value, int user)
{
    return writeCheck(TypeInt, user) && (storeInt(value), true);
}

bool Tavric::setReal(double value, int user)
{
    return writeCheck(TypeReal, user) && (storeReal(value), true);
}

bool Tavric::setChar(uint16_t value, int user)
{
    return writeCheck(TypeChar, user) && (storeChar(value), true);
}

bool Tavric::setString(const std::string& value, int user)
{
    // A string that could not be stored (memory) is reported as not stored.
    return writeCheck(TypeString, user) && (storeString(value), stringValid);
}

bool Tavric::setStringId(int id, int user)
{
    return writeCheck(TypeString, user) && (storeStringId(id), true);
}

bool Tavric::setDescriptor(int64_t value, int user)
{
    return writeCheck(TypeDescriptor, user) && (storeDescriptor(value), true);
}

bool Tavric::setPointer(int32_t value, int user)
{
    return writeCheck(TypePointer, user) && (storePointer(value, false), true);
}

bool Tavric::setConstPointer(int32_t value, int user)
{
    return writeCheck(TypePointer, user) && (storePointer(value, true), true);
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

} // namespace zul
