#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "tavric/model/Expression.hpp"
#include "tavric/text/Operators.hpp"

namespace zul {

class NameDictionary;

// One node of a compiled expression: an operand (level 12: a literal or an address, held by a field)
// or every operand of one precedence level with the operators between them, so that a - b - c is
// one node of three operands.
class ExpressionNode : public Expression {
public:
    // An operand node; takes the field holding the literal or address.
    ExpressionNode(Tavric* operand, bool literal);
    // An operator node of a level below 12, without operands yet.
    ExpressionNode(int level, NameDictionary* dictionary);
    ~ExpressionNode() override;
    ExpressionNode(const ExpressionNode&) = delete;
    ExpressionNode& operator=(const ExpressionNode&) = delete;

    Tavric& evaluate(Tavric& context, int user) override;
    bool isConstant() const override;
    Expression* clone() const override;

    // ---- building (the expression parser) ----
    void addOperand(std::unique_ptr<ExpressionNode> child) { children.push_back(std::move(child)); }
    void addOperator(int index) { operators.push_back(index); }
    // Takes the only child out of a node that has no operator (the caller then deletes this node).
    ExpressionNode* releaseOnlyChild();
    // Evaluates a node whose operands are all constant, once, at parse time.
    void fold(Tavric& context);

    // ---- reading ----
    int getLevel() const { return level; }
    bool isOperand() const { return level == OperandLevel; }
    bool isLiteral() const { return literal; }
    bool isFolded() const { return folded; }
    // The result of the fold (nullField when it failed); meaningful when folded.
    const Tavric& foldedResult() const;
    const Tavric* getOperand() const { return operand.get(); }
    std::size_t operandCount() const { return children.size(); }
    const ExpressionNode& child(std::size_t i) const { return *children[i]; }
    int operatorAt(std::size_t i) const { return operators[i]; }

    // ---- evaluation (the level operations of the operator table) ----
    // Evaluates child i; nullField when it fails. Records whether it was constant.
    Tavric& evaluateChild(std::size_t i, Tavric& context, int user);
    Tavric& result();
    void setResultConstant(bool value) { resultConstant = value; }
    bool childrenConstant() const { return allConstant; }
    // Where a field's value comes from: references followed, computed fields refreshed.
    static const Tavric& valueSource(const Tavric& field, int user);
    const std::vector<int>& operatorList() const { return operators; }

private:
    int level;
    std::unique_ptr<Tavric> operand;
    bool literal = false;
    std::vector<std::unique_ptr<ExpressionNode>> children;
    std::vector<int> operators;
    std::unique_ptr<Tavric> resultField;
    NameDictionary* dictionary = nullptr;
    bool folded = false;
    bool foldFailed = false;
    bool resultConstant = false;
    bool allConstant = true;
    // Guards against an expression that reads itself through a reference (a = b + 1, b = a + 1).
    bool evaluating = false;
};

} // namespace zul
