#pragma once

#include <cstddef>
#include <string>

namespace zul {

class Tavric;
class ExpressionNode;

// Precedence levels of the expression language, 0 binding loosest. The last level holds operands.
constexpr int OperatorLevelCount = 13;
constexpr int OperandLevel = 12;
constexpr int MaxOperatorsPerLevel = 32;
constexpr int MaxSynonymsPerOperator = 8;

// One evaluation per level: the node's operands are evaluated and combined with its operators.
// Returns the node's result field, or nullField when the evaluation fails.
using LevelFunction = Tavric&(ExpressionNode& node, Tavric& context, int user);
using LevelEvaluation = LevelFunction*;

// An empty (or absent) synonym ends the operators of a level and the synonyms of an operator.
struct OperatorLevel {
    const char* operators[MaxOperatorsPerLevel][MaxSynonymsPerOperator];
    LevelEvaluation evaluate;
};

extern const OperatorLevel operatorTable[OperatorLevelCount];

// The evaluations of the levels, in level order (defined with the expression nodes).
namespace evaluation {
LevelFunction sequence, assignment, logicalOr, logicalAnd, comparison, bitwiseOr, bitwiseAnd, shift, additive,
    multiplicative, power, concatenation, operand;
} // namespace evaluation

struct OperatorMatch {
    int level = -1;
    int index = -1;
    std::size_t length = 0;
};

// Longest synonym of any operator of levels 0 to 11 at pos, the first in table order among equally
// long ones. False when none lies there.
bool matchOperator(const std::string& text, std::size_t pos, OperatorMatch& match);

// The first synonym of an operator: the spelling the writer uses.
const char* operatorSpelling(int level, int index);

// Operator indexes used by the evaluators.
namespace op {
enum Assignment {
    Assign,
    OrAssign,
    XorAssign,
    AndAssign,
    BitOrAssign,
    BitXorAssign,
    BitAndAssign,
    ShiftLeftAssign,
    ShiftRightAssign,
    AddAssign,
    SubtractAssign,
    MultiplyAssign,
    DivideAssign,
    RemainderAssign,
    PowerAssign,
    ConcatAssign
};
enum Logical { Or, Xor };
enum Comparison { Equal, NotEqual, TextEqual, TextNotEqual, LessOrEqual, GreaterOrEqual, Less, Greater };
enum Bitwise { BitOr, BitXor };
enum Shift { RotateLeftShift, RotateRightShift, ShiftLeft, ShiftRight };
enum Additive { Add, Subtract };
enum Multiplicative { Multiply, Divide, Remainder };
} // namespace op

} // namespace zul
