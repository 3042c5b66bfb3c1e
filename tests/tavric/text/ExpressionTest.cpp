// Expressions: the operator table, longest-match recognition, the tree, folding, each level's
// evaluation and the choices made where the language leaves room.

#include <limits>

#include "TextFixture.hpp"
#include "tavric/text/ExpressionNode.hpp"
#include "tavric/text/Operators.hpp"

using texttest::Text;
using namespace zul;

namespace {

struct Expressions : Text {
    // Parses "x = EXPRESSION" and gives x.
    Tavric& x(const std::string& expression)
    {
        root.clearMessages();
        EXPECT_TRUE(parseText("x = " + expression + "\n")) << expression << "\n" << messages();
        return field("x");
    }
    const ExpressionNode* tree(const std::string& address)
    {
        return dynamic_cast<const ExpressionNode*>(at(address).getExpression());
    }
};

// ---- the table ----

TEST(OperatorTable, LevelsAndTheirEvaluations)
{
    for (int level = 0; level < OperatorLevelCount; ++level)
        EXPECT_NE(operatorTable[level].evaluate, nullptr) << level;
    EXPECT_STREQ(operatorTable[OperandLevel].operators[0][0], "");
    EXPECT_STREQ(operatorSpelling(1, op::ConcatAssign), "##=");
    EXPECT_STREQ(operatorSpelling(4, op::NotEqual), "!=");
    EXPECT_STREQ(operatorSpelling(9, op::Divide), "/");
    EXPECT_STREQ(operatorTable[4].operators[op::Equal][3], "\xC3\xA9gal \xC3\xA0 ");
}

TEST(OperatorTable, LongestMatchWins)
{
    struct Expected {
        const char* text;
        int level;
        int index;
        std::size_t length;
    };
    const Expected cases[] = {
        {"<<= 1", 1, op::ShiftLeftAssign, 3},
        {"<<> 1", 7, op::RotateLeftShift, 3},
        {"<< 1", 7, op::ShiftLeft, 2},
        {"<= 1", 4, op::LessOrEqual, 2},
        {"<- 1", 1, op::Assign, 2},
        {"< 1", 4, op::Less, 1},
        {"<> 1", 4, op::NotEqual, 2},
        {".or. b", 2, op::Or, 4},
        {"OR b", 2, op::Or, 3},
        {"xor b", 2, op::Xor, 4},
        {"x b", 9, op::Multiply, 2},
        {".* 2", 10, 0, 2},
        {".*= 2", 1, op::PowerAssign, 3},
        {"## b", 11, 0, 2},
        {"##= b", 1, op::ConcatAssign, 3},
        {": 2", 9, op::Divide, 1},
        {"~!= b", 4, op::TextNotEqual, 3},
        {"inf\xC3\xA9rieur \xC3\xA0 2", 4, op::Less, 14},
    };
    for (const Expected& c : cases) {
        OperatorMatch match;
        ASSERT_TRUE(matchOperator(c.text, 0, match)) << c.text;
        EXPECT_EQ(match.level, c.level) << c.text;
        EXPECT_EQ(match.index, c.index) << c.text;
        EXPECT_EQ(match.length, c.length) << c.text;
    }
    OperatorMatch none;
    EXPECT_FALSE(matchOperator("xylophone", 0, none));
    EXPECT_FALSE(matchOperator("orange", 0, none));
    EXPECT_FALSE(matchOperator("", 0, none));
}

// ---- the tree and folding ----

TEST_F(Expressions, ConstantTreesFoldAtParseTime)
{
    Tavric& field = x("2 + 3 * 4");
    EXPECT_EQ(field.getKind(), KindComputed);
    const ExpressionNode* node = tree("x");
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(node->isFolded());
    EXPECT_EQ(node->foldedResult().getType(), TypeInt);
    EXPECT_EQ(node->foldedResult().rawInt(), 14);
    EXPECT_EQ(field.getInt(), 14);
}

TEST_F(Expressions, OneNodeHoldsEveryOperandOfItsLevel)
{
    ASSERT_TRUE(parseText("[s a = 10 b = 3 c = 2 d = a - b - c]\n")) << messages();
    const ExpressionNode* node = tree("s.d");
    ASSERT_NE(node, nullptr);
    // Nodes without operator are gone: the root is the subtraction itself.
    EXPECT_EQ(node->getLevel(), 8);
    EXPECT_EQ(node->operandCount(), 3u);
    EXPECT_TRUE(node->child(0).isOperand());
    EXPECT_FALSE(node->isFolded());
    EXPECT_EQ(field("s.d").getInt(), 5);
}

TEST_F(Expressions, ConstantSubtreesFoldInsideOthers)
{
    ASSERT_TRUE(parseText("[s a = 1 b = a + 2 * 3]\n")) << messages();
    const ExpressionNode* node = tree("s.b");
    ASSERT_NE(node, nullptr);
    EXPECT_FALSE(node->isFolded());
    EXPECT_TRUE(node->child(1).isFolded());
    EXPECT_EQ(node->child(1).foldedResult().rawInt(), 6);
    EXPECT_EQ(field("s.b").getInt(), 7);
}

TEST_F(Expressions, NonConstantExpressionsFollowTheirOperands)
{
    ASSERT_TRUE(parseText("[s a = 1 b = a + 1]\n", true)) << messages();
    EXPECT_EQ(field("s.b").getInt(), 2);
    ASSERT_TRUE(field("s.a").setInt(41));
    EXPECT_EQ(field("s.b").getInt(), 42);
}

TEST_F(Expressions, ReferenceToAConstantField)
{
    ASSERT_TRUE(parseText("const c = 6\ny = c * 7\n", true)) << messages();
    EXPECT_EQ(field("y").getInt(), 42);
    EXPECT_TRUE(at("y").getExpression()->isConstant());
}

// ---- each level ----

TEST_F(Expressions, Sequence)
{
    ASSERT_TRUE(parseText("[s b = 4 c = 5 a = b, c]\n", true)) << messages();
    EXPECT_EQ(field("s.a").getInt(), 4);
    EXPECT_EQ(x("1, 2, 3").getInt(), 1);
}

TEST_F(Expressions, AssignmentWritesItsTargets)
{
    ASSERT_TRUE(parseText("[s a = 1 t = 10 b = a = 5 u = t += 5]\n", true)) << messages();
    EXPECT_EQ(field("s.a").getInt(), 5);
    EXPECT_EQ(field("s.b").getInt(), 5);
    // The resolution evaluated u once; every read evaluates it again.
    EXPECT_EQ(field("s.t").getInt(), 15);
    EXPECT_EQ(field("s.u").getInt(), 20);
    EXPECT_EQ(field("s.t").getInt(), 20);
}

TEST_F(Expressions, CompoundAssignments)
{
    ASSERT_TRUE(parseText("[s a = 1 b = a <<= 4 c = 16 d = c >>= 2 e = \"ab\" f = e ##= 12 g = 7 h = g %= 4\n"
                      " r = 1.5 q = r *= 2 v = 3 w = v *= 0.5 k = 3 m = k .*= 2]\n",
                      true))
        << messages();
    EXPECT_EQ(field("s.a").getInt(), 16);
    EXPECT_EQ(field("s.c").getInt(), 4);
    EXPECT_EQ(field("s.e").getString(), "ab12");
    EXPECT_EQ(field("s.g").getInt(), 3);
    // An integer value combines on integers, anything else on reals.
    EXPECT_EQ(field("s.r").getType(), TypeInt);
    EXPECT_EQ(field("s.r").getInt(), 2);
    EXPECT_EQ(field("s.v").getType(), TypeReal);
    EXPECT_DOUBLE_EQ(field("s.v").getReal(), 1.5);
    EXPECT_EQ(field("s.k").getInt(), 9);
}

// Logic, equality and ordering on literals: each expression is a bool, true or false as listed.
TEST_F(Expressions, TruthsOnLiterals)
{
    struct Case {
        const char* name;
        std::vector<const char*> holds;
        std::vector<const char*> fails;
    };
    const Case cases[] = {
        {"Logical",
         {"yes || no", "no or yes", "no OU yes", "yes .xor. no", "yes AND 1 et 2"},
         {"no .OR. no", "yes ^^ yes", "yes && no"}},
        {"Equality",
         {"1 == 1 == 1", "1 != 2", "1 <> 2", "1 .eq. 1", "1 equal to 1", "1 \xC3\xA9gal \xC3\xA0 1", "1 is unlike 2",
          "\"a\" == \"a\"", "12 ~== \"12\"", "12 ~!= \"13\"", "12 ~<> \"13\""},
         {"1 == 2"}},
        {"OrderingFollowsTheWords",
         {"1 < 2", "2 > 1", "1 <= 1", "2 >= 2", "1 .LT. 2", "1 lesser than 2", "1 inf\xC3\xA9rieur \xC3\xA0 2",
          "2 greater than 1", "2 sup\xC3\xA9rieur \xC3\xA0 1", "2 .GE. 2", "1 .le. 2", "1 < 2 < 3", "\"abc\" < \"abd\"",
          "1 < 2.5"},
         {"2 < 1", "1 > 2", "2 <= 1", "1 >= 2", "1 < 3 < 2"}},
    };
    for (const Case& c : cases)
        for (const bool truth : {true, false})
            for (const char* expression : truth ? c.holds : c.fails) {
                EXPECT_EQ(x(expression).getBool(), truth) << c.name << ": " << expression;
                EXPECT_EQ(at("x").getType(), TypeBool) << c.name << ": " << expression;
            }
}

// The integer levels on literals: each result is an int.
TEST_F(Expressions, IntegersOnLiterals)
{
    constexpr int64_t lowest = std::numeric_limits<int64_t>::min();
    constexpr int64_t highest = std::numeric_limits<int64_t>::max();
    struct Case {
        const char* name;
        const char* expression;
        int64_t value;
    };
    const Case cases[] = {
        {"Bitwise", "6 | 1", 7},
        {"Bitwise", "6 ^ 3", 5},
        {"Bitwise", "6 & 3", 2},
        {"Bitwise", "1 | 2 & 3", 3},
        {"Shifts", "1 << 4", 16},
        {"Shifts", "16 >> 2", 4},
        {"Shifts", "1 <<> 3", 8},
        {"Shifts", "-16 >>< 2", -4},
        {"Shifts", "1 << 65", 2},
        {"Shifts", "-1 << 63", lowest},
        {"ArithmeticOnIntegers", "7 / 2", 3},
        {"ArithmeticOnIntegers", "-7 / 2", -3},
        {"ArithmeticOnIntegers", "7 % 3", 1},
        {"ArithmeticOnIntegers", "7 : 2", 3},
        {"ArithmeticOnIntegers", "3 x 4", 12},
        {"ArithmeticOnIntegers", "7.0 + 1", 8},
        {"ArithmeticOnIntegers", "10 - 2 - 3", 5},
        {"ArithmeticOnIntegers", "5 - -3", 8},
        {"ArithmeticOnIntegers", "'A' + 1", 66},
        {"IntegerEdgesWrapInsteadOfTrapping", "9223372036854775807 + 1", lowest},
        {"IntegerEdgesWrapInsteadOfTrapping", "-9223372036854775808 / -1", lowest},
        {"IntegerEdgesWrapInsteadOfTrapping", "-9223372036854775808 % -1", 0},
        {"IntegerEdgesWrapInsteadOfTrapping", "4611686018427387904 * 4", 0},
        {"Power", "2 .* 10", 1024},
        {"Power", "2 pow 3", 8},
        {"Power", "9 .* 0.5", 3},
        {"Power", "2 .* 3 .* 2", 64},
        {"Power", "10 .* 30", highest},
        {"Power", "-8 .* 0.5", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(x(c.expression).getInt(), c.value) << c.name << ": " << c.expression;
        EXPECT_EQ(at("x").getType(), TypeInt) << c.name << ": " << c.expression;
    }
}

TEST_F(Expressions, BoolsDoNotOrder)
{
    EXPECT_FALSE(x("yes < no").getBool());
    // Raised on the literal operand, a field of its own: its address is a root's.
    EXPECT_EQ(messages(), "[] : Cannot test  difference  between field bool and field bool.\n");
}

TEST_F(Expressions, Concatenation)
{
    Tavric& value = x("\"ab\" ## 12");
    EXPECT_EQ(value.getString(), "ab12");
    EXPECT_EQ(value.getType(), TypeString);
    EXPECT_EQ(x("1 ## 2 ## yes").getString(), "12true");
    // "##" binds tighter than "+": 1 + "23".
    EXPECT_EQ(x("1 + 2 ## 3").getString(), "24");
}

// ---- what has no value ----

// A value the operation cannot give: one message at x, and 0 when read.
TEST_F(Expressions, OperationsWithoutAValue)
{
    struct Case {
        const char* name;
        const char* expression;
        const char* message;
    };
    const Case cases[] = {
        {"DivisionByZero", "7 / 0", "[].x : Division by zero. The expression has no value.\n"},
        {"DivisionByZero", "7 % 0", "[].x : Division by zero. The expression has no value.\n"},
        {"NegativeShift", "1 << -1", "[].x : Shift by a negative amount. The expression has no value.\n"},
    };
    for (const Case& c : cases) {
        Tavric& value = x(c.expression);
        EXPECT_EQ(messages(), c.message) << c.name << ": " << c.expression;
        EXPECT_EQ(value.getInt(), 0) << c.name << ": " << c.expression;
        EXPECT_EQ(messages(), c.message) << c.name << ": " << c.expression;
    }
}

// Operands that cannot be read: the parse goes on, the read gives 0 with a message (the whole text where
// given), and the tree does not finalize.
TEST(ExpressionFailures, AtReadTime)
{
    struct Case {
        const char* name;
        const char* text;
        const char* address;
        const char* message;
    };
    const Case cases[] = {
        {"DivisionByZeroAtReadTime", "[s z = 0 q = 1 / z]\n", "s.q",
         "[].s : Division by zero. The expression has no value.\n"},
        {"PointerOperandsFail", "[s a = 1 p = &a q = p + 1]\n", "s.q", nullptr},
        {"ExpressionsThatReadThemselvesFailCleanly", "[s a = b + 1 b = a + 1]\n", "s.a", nullptr},
        // The missing operand is not created.
        {"MissingOperandFieldFails", "[s b = absent + 1]\n", "s.b",
         "[].s : Node is constant. Cannot perform 'create' operation on it.\n"},
        {"TheReadingUserNeedsTheReadRight", "[s private a = 1 b = a + 1]\n", "s.b",
         "private [].s.a : Permission denied. Cannot perform 'read' operation. Public user rights are "
         "insufficient.\n"},
    };
    for (const Case& c : cases) {
        texttest::Document document;
        ASSERT_TRUE(document.parseText(c.text)) << c.name << "\n" << document.messages();
        EXPECT_EQ(document.field(c.address).getInt(), 0) << c.name;
        if (c.message)
            EXPECT_EQ(document.messages(), c.message) << c.name;
        else
            EXPECT_FALSE(document.lines().empty()) << c.name;
        EXPECT_FALSE(document.root.exists("absent")) << c.name;
        EXPECT_FALSE(document.root.finalize()) << c.name;
        EXPECT_EQ(document.field(c.address).getInt(), 0) << c.name;
    }
}

TEST_F(Expressions, DeclaredTypeOfAFoldedResult)
{
    EXPECT_TRUE(parseText("int x = 1 + 2\nstring s = 1 + 2\n"));
    EXPECT_EQ(field("x").getInt(), 3);
    EXPECT_EQ(messages(), "string [].s : Cannot assign data of type field int to current field. Type mismatch.\n");
}

TEST_F(Expressions, CopiesOfAComputedFieldEvaluateAlike)
{
    ASSERT_TRUE(parseText("c = [Collection [m = 2 + 3] 1]\n")) << messages();
    Tavric copy(at("c"));
    ASSERT_NE(copy.childAt(0), nullptr);
    EXPECT_EQ(copy.childAt(0)->getInt(), 5);
}

} // namespace
