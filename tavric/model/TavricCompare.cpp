// Comparison of values: equality, order and text equality across the value types.

#include "tavric/model/Tavric.hpp"

#include <cmath>

#include "tavric/model/ModelMessages.hpp"
#include "tavric/model/TavricInternal.hpp"

namespace zul {

namespace {

bool isNumberType(int type)
{
    return type == TypeInt || type == TypeChar || type == TypeReal;
}

} // namespace

// ---------------------------------------------------------------- comparison

const Tavric& Tavric::valueSource(int user) const
{
    if (kind == KindReference) {
        const Tavric* target = referenceTarget();
        if (!target)
            return nullField;
        ReadThrough through(*this);
        return target->valueSource(user);
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
            operand->report(ErrorEmpty, modelmsg::fieldEmpty);
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
        report(ErrorComparison, modelmsg::comparison(test <= TestTextEqual,
                                                     typeDescription(left.kind, leftType, left.getPointerLevels()),
                                                     typeDescription(right.kind, rightType, right.getPointerLevels())));
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
