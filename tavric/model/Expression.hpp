#pragma once

namespace zul {

class Tavric;

// The compiled expression of a computed field (or a program). The field owns it and deletes it
// through this interface; the expression language derives its node classes from it.
class Expression {
public:
    virtual ~Expression() = default;

    // Evaluates in the context field (the computed field's parent, or the field itself when it has
    // none) on behalf of user. Returns the result field, or nullField when the evaluation fails.
    virtual Tavric& evaluate(Tavric& context, int user) = 0;
    // True when the value can never change (every operand constant): the field then caches it.
    virtual bool isConstant() const = 0;
    // A deep copy, for copying a field; null when it cannot be had.
    virtual Expression* clone() const = 0;
};

} // namespace zul
