#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tavric/model/Tavric.hpp"
// The model tests build trees as the parser does, and look at the slots.
#include "tavric/model/TavricInternal.hpp"

namespace tavrictest {

// One document with its own dictionary.
struct Document : ::testing::Test {
    zul::NameDictionary dictionary;
    zul::Tavric root{&dictionary};

    const std::vector<std::string>& lines() const { return root.messages(); }
    std::string lastLine() const { return lines().empty() ? std::string() : lines().back(); }
};

// An expression whose evaluation the test writes: body fills the result, or fails.
class ScriptedExpression : public zul::Expression {
public:
    using Body = std::function<bool(zul::Tavric& context, zul::Tavric& result, int user)>;

    ScriptedExpression(zul::NameDictionary* dictionary, bool constant, Body body)
        : result(dictionary), constant(constant), body(std::move(body)), dictionary(dictionary)
    {
    }

    zul::Tavric& evaluate(zul::Tavric& context, int user) override
    {
        ++evaluations;
        lastContext = &context;
        return body(context, result, user) ? result : zul::nullField;
    }
    bool isConstant() const override { return constant; }
    zul::Expression* clone() const override { return new ScriptedExpression(dictionary, constant, body); }

    zul::Tavric result;
    bool constant;
    Body body;
    int evaluations = 0;
    zul::Tavric* lastContext = nullptr;

private:
    zul::NameDictionary* dictionary;
};

// Makes field computed by a scripted expression, which the field then owns.
inline ScriptedExpression* makeComputed(zul::Tavric& field, bool constant, ScriptedExpression::Body body)
{
    auto* expression = new ScriptedExpression(field.getDictionary(), constant, std::move(body));
    field.setKind(zul::KindComputed);
    field.setExpression(expression);
    return expression;
}

// Bodies most tests need: a fixed integer, or a failed evaluation.
inline ScriptedExpression::Body givesInt(int64_t value)
{
    return [value](zul::Tavric&, zul::Tavric& result, int) {
        result.setInt(value);
        return true;
    };
}
inline ScriptedExpression::Body fails()
{
    return [](zul::Tavric&, zul::Tavric&, int) { return false; };
}

} // namespace tavrictest
