// Expressions on the right of "=": precedence climbing over the levels of the operator table.

#include <memory>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/ExpressionNode.hpp"
#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/ParseMessages.hpp"
#include "tavric/text/Parser.hpp"

namespace zul {

int Parser::expressionLevel(Tavric& field, int level, std::size_t& position, std::unique_ptr<ExpressionNode>& made)
{
    made.reset();
    if (level == OperandLevel)
        return expressionOperand(field, position, made);
    std::size_t p = position;
    ParsingTools::skipBlanks(stripped, p);
    std::unique_ptr<ExpressionNode> first;
    if (expressionLevel(field, level + 1, p, first) != RuleAccepted) {
        position = p;
        return RuleError;
    }
    std::unique_ptr<ExpressionNode> node(new ExpressionNode(level, field.getDictionary()));
    node->addOperand(std::move(first));
    for (;;) {
        // The longest operator of any level wins; it continues this node only if it is of this level.
        std::size_t q = p;
        ParsingTools::skipBlanks(stripped, q);
        OperatorMatch match;
        // The "/" of a comment never closed is no division.
        if (ParsingTools::unclosedCommentAt(stripped, q) || !matchOperator(stripped, q, match)) {
            // Recorded once, by the innermost level that looked.
            if (tokens != nullptr && (tokens->empty() || tokens->back().role != TokenRole::ValueEnd))
                token(q, q, TokenRole::ValueEnd);
            break;
        }
        if (match.level != level)
            break;
        // A word operator's own blank belongs to the space after it.
        const bool wordBlank = match.length > 1 && stripped[q + match.length - 1] == ' ';
        token(q, q + match.length - (wordBlank ? 1 : 0), match.level == 0 ? TokenRole::Sequence : TokenRole::Operator);
        q += match.length;
        ParsingTools::skipBlanks(stripped, q);
        std::unique_ptr<ExpressionNode> next;
        if (expressionLevel(field, level + 1, q, next) != RuleAccepted) {
            position = q;
            return RuleError;
        }
        node->addOperator(match.index);
        node->addOperand(std::move(next));
        p = q;
    }
    position = p;
    if (node->operandCount() == 1) {
        made.reset(node->releaseOnlyChild());
        return RuleAccepted;
    }
    bool constant = true;
    for (std::size_t i = 0; i < node->operandCount() && constant; ++i) {
        const ExpressionNode& child = node->child(i);
        constant = child.isOperand() ? child.isLiteral() : child.isFolded();
    }
    if (constant)
        node->fold(field);
    made = std::move(node);
    return RuleAccepted;
}

int Parser::expressionOperand(Tavric& field, std::size_t& position, std::unique_ptr<ExpressionNode>& made)
{
    const std::size_t at = position;
    Literal literal;
    if (scanValue(position, literal) != RuleAccepted) {
        error(parsemsg::ExpectedOperand, at, parsemsg::expectedOperand(textAt(at)));
        return RuleError;
    }
    std::unique_ptr<Tavric> operand(new Tavric(field.getDictionary()));
    if (literal.nothing)
        operand->storeNothing();
    else if (literal.kind != KindValue)
        operand->storeReference(literal.text, literal.kind == KindPointer);
    else
        storeLiteral(*operand, literal, at);
    made.reset(new ExpressionNode(operand.get(), literal.kind == KindValue));
    operand.release();
    return RuleAccepted;
}

} // namespace zul
