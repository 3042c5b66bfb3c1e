#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tavric/model/Tavric.hpp"

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

} // namespace tavrictest
