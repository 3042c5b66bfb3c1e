#include "tavric/text/ExpressionNode.hpp"

#include <cmath>
#include <limits>

#include "tavric/model/ModelMessages.hpp"
#include "tavric/model/Tavric.hpp"
#include "tavric/model/TavricInternal.hpp"
#include "tavric/text/ParseMessages.hpp"

namespace zul {

namespace {

// Diagnostics raised while a field is read land in its root; counting them tells whether a read
// was refused (the reads themselves only give a default).
class ReadWatch {
public:
    explicit ReadWatch(const Tavric& field) : root(field.getRoot()), before(root.messages().size()) {}
    bool clean() const { return root.messages().size() == before; }

private:
    const Tavric& root;
    std::size_t before;
};

// Operand and result fields are roots of their own; what they report is moved to the tree read.
void forwardMessages(Tavric& from, const Tavric& to)
{
    const std::vector<std::string>& lines = from.messages();
    if (lines.empty() || &from.getRoot() == &to.getRoot())
        return;
    const int code = from.lastError();
    for (const std::string& line : lines)
        to.addMessage(code, line);
    for (const Diagnostic& record : from.diagnostics())
        to.addDiagnostic(record);
    from.clearMessages();
}

int64_t wrapAdd(int64_t a, int64_t b)
{
    return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}

int64_t wrapSubtract(int64_t a, int64_t b)
{
    return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}

int64_t wrapMultiply(int64_t a, int64_t b)
{
    return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction

ExpressionNode::ExpressionNode(Tavric* operandField, bool isLiteral)
    : level(OperandLevel), operand(operandField), literal(isLiteral)
{
}

ExpressionNode::ExpressionNode(int nodeLevel, NameDictionary* names) : level(nodeLevel), dictionary(names) {}

ExpressionNode::~ExpressionNode() = default;

ExpressionNode* ExpressionNode::releaseOnlyChild()
{
    if (children.size() != 1 || !operators.empty())
        return nullptr;
    ExpressionNode* only = children.front().release();
    children.clear();
    return only;
}

Expression* ExpressionNode::clone() const
{
    ExpressionNode* copy = nullptr;
    if (isOperand()) {
        Tavric* field = new (std::nothrow) Tavric(*operand);
        if (!field)
            return nullptr;
        copy = new (std::nothrow) ExpressionNode(field, literal);
        if (!copy) {
            delete field;
            return nullptr;
        }
    } else {
        copy = new (std::nothrow) ExpressionNode(level, dictionary);
        if (!copy)
            return nullptr;
        try {
            copy->operators = operators;
            for (const auto& child : children) {
                ExpressionNode* duplicate = static_cast<ExpressionNode*>(child->clone());
                if (!duplicate) {
                    delete copy;
                    return nullptr;
                }
                copy->children.emplace_back(duplicate);
            }
            if (folded && resultField) {
                copy->result().storeFrom(*resultField);
                copy->folded = true;
                copy->foldFailed = foldFailed;
                copy->resultConstant = true;
            }
        } catch (...) {
            delete copy;
            return nullptr;
        }
    }
    return copy;
}

Tavric& ExpressionNode::result()
{
    if (!resultField)
        resultField.reset(new Tavric(dictionary));
    return *resultField;
}

const Tavric& ExpressionNode::foldedResult() const
{
    if (!folded || foldFailed)
        return nullField;
    if (isOperand())
        return *operand;
    return resultField ? *resultField : nullField;
}

bool ExpressionNode::isConstant() const
{
    if (isOperand())
        return literal || resultConstant;
    return folded || resultConstant;
}

void ExpressionNode::fold(Tavric& context)
{
    Tavric& value = evaluate(context, publicUser);
    // A constant expression that fails (7 / 0) fails the same way on every read: it reports once.
    folded = true;
    foldFailed = &value == &nullField;
    resultConstant = true;
}

// ---------------------------------------------------------------------------------------------
// Evaluation

Tavric& ExpressionNode::evaluate(Tavric& context, int user)
{
    if (folded)
        return foldFailed ? nullField : (isOperand() ? *operand : result());
    if (evaluating) {
        context.report(parsemsg::SelfReference, parsemsg::selfReference);
        return nullField;
    }
    evaluating = true;
    allConstant = true;
    Tavric* value = &nullField;
    try {
        value = &operatorTable[level].evaluate(*this, context, user);
    } catch (const std::bad_alloc&) {
        context.report(ErrorMemory, modelmsg::memoryExhausted(sizeof(Tavric)));
    }
    evaluating = false;
    if (operand)
        forwardMessages(*operand, context);
    if (resultField)
        forwardMessages(*resultField, context);
    return *value;
}

const Tavric& ExpressionNode::valueSource(const Tavric& field, int user)
{
    return field.valueSource(user);
}

Tavric& ExpressionNode::evaluateChild(std::size_t i, Tavric& context, int user)
{
    ExpressionNode& node = *children[i];
    Tavric& value = node.evaluate(context, user);
    if (&value != &nullField && !node.isConstant())
        allConstant = false;
    return value;
}

namespace evaluation {

namespace {

// Every operand evaluated, left to right; false when one fails.
bool evaluateAll(ExpressionNode& node, Tavric& context, int user, std::vector<Tavric*>& values)
{
    values.clear();
    for (std::size_t i = 0; i < node.operandCount(); ++i) {
        Tavric& value = node.evaluateChild(i, context, user);
        if (&value == &nullField)
            return false;
        values.push_back(&value);
    }
    return true;
}

// Reads an operand with one of the typed reads; false when the read was refused (its diagnostics
// then go to the tree being evaluated).
template <typename Value, typename Read>
bool readOperand(Tavric& field, const Tavric& context, Value& out, Read read)
{
    ReadWatch watch(field);
    out = read(field);
    const bool clean = watch.clean();
    forwardMessages(field, context);
    return clean;
}

bool readInt(Tavric& field, const Tavric& context, int user, int64_t& out)
{
    return readOperand(field, context, out, [user](Tavric& f) { return f.getInt(user); });
}

bool readReal(Tavric& field, const Tavric& context, int user, double& out)
{
    return readOperand(field, context, out, [user](Tavric& f) { return f.getReal(user); });
}

bool readBool(Tavric& field, const Tavric& context, int user, bool& out)
{
    return readOperand(field, context, out, [user](Tavric& f) { return f.getBool(user); });
}

bool readText(Tavric& field, const Tavric& context, int user, std::string& out)
{
    return readOperand(field, context, out, [user](Tavric& f) { return f.getString(user); });
}

Tavric& finish(ExpressionNode& node)
{
    node.setResultConstant(node.childrenConstant());
    return node.result();
}

Tavric& integerResult(ExpressionNode& node, int64_t value)
{
    TavricAccess::storeInt(node.result(), value);
    return finish(node);
}

// Combines two integers with a level operator; false (after a diagnostic) when it has no value.
bool combineIntegers(int level, int index, int64_t a, int64_t b, int64_t& out, const Tavric& context)
{
    switch (level) {
    case 2:
        out = index == op::Or ? ((a != 0) || (b != 0)) : ((a != 0) != (b != 0));
        return true;
    case 3:
        out = (a != 0) && (b != 0);
        return true;
    case 5:
        out = index == op::BitOr ? (a | b) : (a ^ b);
        return true;
    case 6:
        out = a & b;
        return true;
    case 7:
        if (b < 0) {
            context.report(parsemsg::NegativeShift, parsemsg::negativeShift);
            return false;
        }
        b %= 64;
        if (index == op::RotateLeftShift || index == op::ShiftLeft)
            out = static_cast<int64_t>(static_cast<uint64_t>(a) << b);
        else
            out = a >> b; // arithmetic: the sign is kept
        return true;
    case 8:
        out = index == op::Add ? wrapAdd(a, b) : wrapSubtract(a, b);
        return true;
    case 9:
        if (index == op::Multiply) {
            out = wrapMultiply(a, b);
            return true;
        }
        if (b == 0) {
            context.report(parsemsg::DivisionByZero, parsemsg::divisionByZero);
            return false;
        }
        // The one quotient beyond the range wraps, as the multiplication does; its remainder is 0.
        if (b == -1) {
            out = index == op::Divide ? wrapSubtract(0, a) : 0;
            return true;
        }
        out = index == op::Divide ? a / b : a % b;
        return true;
    case 10:
        out = truncateToInt64(std::pow(static_cast<double>(a), static_cast<double>(b)));
        return true;
    default:
        return false;
    }
}

bool combineReals(int level, int index, double a, double b, double& out, const Tavric& context)
{
    switch (level) {
    case 2:
    case 3:
    case 5:
    case 6:
    case 7: {
        int64_t value = 0;
        if (!combineIntegers(level, index, truncateToInt64(a), truncateToInt64(b), value, context))
            return false;
        out = static_cast<double>(value);
        return true;
    }
    case 8:
        out = index == op::Add ? a + b : a - b;
        return true;
    case 9:
        if (index == op::Multiply) {
            out = a * b;
            return true;
        }
        if (b == 0.0) {
            context.report(parsemsg::DivisionByZero, parsemsg::divisionByZero);
            return false;
        }
        out = index == op::Divide ? a / b : std::fmod(a, b);
        return true;
    case 10:
        out = std::pow(a, b);
        return true;
    default:
        return false;
    }
}

// The level and operator a compound assignment applies.
void compoundOperator(int index, int& level, int& combined)
{
    switch (index) {
    case op::OrAssign:
        level = 2;
        combined = op::Or;
        break;
    case op::XorAssign:
        level = 2;
        combined = op::Xor;
        break;
    case op::AndAssign:
        level = 3;
        combined = 0;
        break;
    case op::BitOrAssign:
        level = 5;
        combined = op::BitOr;
        break;
    case op::BitXorAssign:
        level = 5;
        combined = op::BitXor;
        break;
    case op::BitAndAssign:
        level = 6;
        combined = 0;
        break;
    case op::ShiftLeftAssign:
        level = 7;
        combined = op::ShiftLeft;
        break;
    case op::ShiftRightAssign:
        level = 7;
        combined = op::ShiftRight;
        break;
    case op::AddAssign:
        level = 8;
        combined = op::Add;
        break;
    case op::SubtractAssign:
        level = 8;
        combined = op::Subtract;
        break;
    case op::MultiplyAssign:
        level = 9;
        combined = op::Multiply;
        break;
    case op::DivideAssign:
        level = 9;
        combined = op::Divide;
        break;
    case op::RemainderAssign:
        level = 9;
        combined = op::Remainder;
        break;
    case op::PowerAssign:
        level = 10;
        combined = 0;
        break;
    default:
        level = -1;
        combined = 0;
        break;
    }
}

// The field an assignment writes: an address operand is resolved (created when missing), a pointer
// is followed to the field it designates.
Tavric& assignmentTarget(ExpressionNode& node, std::size_t i, Tavric& context, int user)
{
    const ExpressionNode& child = node.child(i);
    const Tavric* operand = child.isOperand() && !child.isLiteral() ? child.getOperand() : nullptr;
    Tavric* target = nullptr;
    if (operand && operand->getKind() == KindReference) {
        target = &context.resolve(operand->getAddressText(), user);
    } else if (operand && operand->getKind() == KindPointer && operand->getAddressText() != "nowhere") {
        // "&a = 5" stores into a: the address is the document's, read from where the expression
        // stands, not from the operand's own detached field.
        target = &context.resolve(operand->getAddressText(), user);
        return *target;
    } else {
        target = &node.evaluateChild(i, context, user);
        // A literal or a computed value is no field of the document: storing into it would rewrite
        // the expression itself ("1 = 2" would read "2 = 2" from then on).
        if (target != &nullField && target->getKind() != KindPointer && target->getPointerLevels().empty()) {
            context.report(ErrorConstant, modelmsg::nodeConstant(Tavric::rightName(RightWrite)));
            return nullField;
        }
    }
    if (target == &nullField)
        return nullField;
    if (target->getKind() == KindPointer || !target->getPointerLevels().empty()) {
        target = &target->dereference(user);
        // A pointer operand reports into its own field; the reader of the expression must see it.
        if (child.isOperand())
            forwardMessages(const_cast<Tavric&>(*child.getOperand()), context);
    }
    return *target;
}

} // namespace

Tavric& sequence(ExpressionNode& node, Tavric& context, int user)
{
    // Operands run from the last to the first; the first gives the value.
    Tavric* first = nullptr;
    for (std::size_t i = node.operandCount(); i-- > 0;) {
        Tavric& value = node.evaluateChild(i, context, user);
        if (&value == &nullField)
            return nullField;
        first = &value;
    }
    const Tavric& source = ExpressionNode::valueSource(*first, user);
    if (&source == &nullField)
        return nullField;
    TavricAccess::storeFrom(node.result(), source);
    return finish(node);
}

Tavric& assignment(ExpressionNode& node, Tavric& context, int user)
{
    const std::size_t last = node.operandCount() - 1;
    Tavric* value = &node.evaluateChild(last, context, user);
    if (value == &nullField)
        return nullField;
    for (std::size_t i = last; i-- > 0;) {
        Tavric& target = assignmentTarget(node, i, context, user);
        if (&target == &nullField)
            return nullField;
        const int index = node.operatorAt(i);
        ReadWatch watch(target);
        bool stored = false;
        if (index == op::Assign) {
            const Tavric& source = ExpressionNode::valueSource(*value, user);
            stored = &source != &nullField && target.assign(source, user);
        } else if (index == op::ConcatAssign) {
            std::string left;
            std::string right;
            stored = readText(target, context, user, left) && readText(*value, context, user, right) &&
                     target.setString(left + right, user);
        } else {
            int level = 0;
            int combined = 0;
            compoundOperator(index, level, combined);
            const Tavric& source = ExpressionNode::valueSource(*value, user);
            const int type = &source != &nullField ? source.getType() : TypeVoid;
            if (type == TypeInt || type == TypeChar) {
                int64_t a = 0;
                int64_t b = 0;
                int64_t out = 0;
                stored = readInt(target, context, user, a) && readInt(*value, context, user, b) &&
                         combineIntegers(level, combined, a, b, out, context) && target.setInt(out, user);
            } else {
                double a = 0.0;
                double b = 0.0;
                double out = 0.0;
                stored = readReal(target, context, user, a) && readReal(*value, context, user, b) &&
                         combineReals(level, combined, a, b, out, context) && target.setReal(out, user);
            }
        }
        if (!stored || !watch.clean())
            return nullField;
        value = &target;
    }
    // Assignments change the tree: never a constant result.
    const Tavric& assigned = ExpressionNode::valueSource(*value, user);
    if (&assigned == &nullField)
        return nullField;
    TavricAccess::storeFrom(node.result(), assigned);
    node.setResultConstant(false);
    return node.result();
}

Tavric& logicalOr(ExpressionNode& node, Tavric& context, int user)
{
    std::vector<Tavric*> values;
    if (!evaluateAll(node, context, user, values))
        return nullField;
    bool accumulated = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        bool value = false;
        if (!readBool(*values[i], context, user, value))
            return nullField;
        accumulated =
            i == 0 ? value : (node.operatorAt(i - 1) == op::Or ? (accumulated || value) : (accumulated != value));
    }
    TavricAccess::storeBool(node.result(), accumulated);
    return finish(node);
}

Tavric& logicalAnd(ExpressionNode& node, Tavric& context, int user)
{
    std::vector<Tavric*> values;
    if (!evaluateAll(node, context, user, values))
        return nullField;
    bool accumulated = true;
    for (Tavric* field : values) {
        bool value = false;
        if (!readBool(*field, context, user, value))
            return nullField;
        accumulated = accumulated && value;
    }
    TavricAccess::storeBool(node.result(), accumulated);
    return finish(node);
}

Tavric& comparison(ExpressionNode& node, Tavric& context, int user)
{
    std::vector<Tavric*> values;
    if (!evaluateAll(node, context, user, values))
        return nullField;
    // A chain holds when every adjacent pair holds, each read as written: left, operator, right.
    bool holds = true;
    for (std::size_t i = 0; holds && i + 1 < values.size(); ++i) {
        holds = values[i]->compare(*values[i + 1], node.operatorAt(i), user);
        forwardMessages(*values[i], context);
        forwardMessages(*values[i + 1], context);
    }
    TavricAccess::storeBool(node.result(), holds);
    return finish(node);
}

// Levels 5 to 9 fold their operands left to right on 64-bit integers.
Tavric& integerLevel(ExpressionNode& node, Tavric& context, int user)
{
    std::vector<Tavric*> values;
    if (!evaluateAll(node, context, user, values))
        return nullField;
    const int level = node.getLevel();
    int64_t accumulated = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        int64_t value = 0;
        if (!readInt(*values[i], context, user, value))
            return nullField;
        if (i == 0)
            accumulated = value;
        else if (!combineIntegers(level, node.operatorAt(i - 1), accumulated, value, accumulated, context))
            return nullField;
    }
    return integerResult(node, accumulated);
}

Tavric& bitwiseOr(ExpressionNode& node, Tavric& context, int user)
{
    return integerLevel(node, context, user);
}

Tavric& bitwiseAnd(ExpressionNode& node, Tavric& context, int user)
{
    return integerLevel(node, context, user);
}

Tavric& shift(ExpressionNode& node, Tavric& context, int user)
{
    return integerLevel(node, context, user);
}

Tavric& additive(ExpressionNode& node, Tavric& context, int user)
{
    return integerLevel(node, context, user);
}

Tavric& multiplicative(ExpressionNode& node, Tavric& context, int user)
{
    return integerLevel(node, context, user);
}

Tavric& power(ExpressionNode& node, Tavric& context, int user)
{
    // On doubles throughout, left to right; only the result is truncated.
    std::vector<Tavric*> values;
    if (!evaluateAll(node, context, user, values))
        return nullField;
    double accumulated = 0.0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        double value = 0.0;
        if (!readReal(*values[i], context, user, value))
            return nullField;
        accumulated = i == 0 ? value : std::pow(accumulated, value);
    }
    return integerResult(node, truncateToInt64(accumulated));
}

Tavric& concatenation(ExpressionNode& node, Tavric& context, int user)
{
    std::vector<Tavric*> values;
    if (!evaluateAll(node, context, user, values))
        return nullField;
    std::string text;
    for (Tavric* field : values) {
        std::string part;
        if (!readText(*field, context, user, part))
            return nullField;
        text += part;
    }
    TavricAccess::storeString(node.result(), text);
    return finish(node);
}

Tavric& operand(ExpressionNode& node, Tavric& context, int user)
{
    Tavric& field = const_cast<Tavric&>(*node.getOperand());
    if (node.isLiteral() || field.getKind() != KindReference) {
        node.setResultConstant(true);
        return field;
    }
    // An address is read where it points, from the computed field's parent, without creating.
    const Tavric& target = static_cast<const Tavric&>(context).resolve(field.getAddressText(), user);
    forwardMessages(field, context);
    if (&target == &nullField)
        return nullField;
    node.setResultConstant(target.isConstant());
    return const_cast<Tavric&>(target);
}

} // namespace evaluation

} // namespace zul
