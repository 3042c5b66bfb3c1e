// Typed reads and writes: the conversion table, cached slots, strict fields, kinds and comparison.

#include <clocale>
#include <cmath>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>

#include "TavricFixture.hpp"

using namespace zul;

namespace {

struct Conversion : tavrictest::Document {
    // After a row's reads: without a message, no line was added; with one, exactly it, with its code.
    void expectOutcome(std::size_t before, const char* message, int error, const char* name)
    {
        if (!message) {
            EXPECT_EQ(before, lines().size()) << name << ": " << lastLine();
            return;
        }
        ASSERT_EQ(before + 1, lines().size()) << name;
        EXPECT_EQ(message, lastLine()) << name;
        EXPECT_EQ(error, root.lastError()) << name;
    }
};

// Preparations of a field that only store a value.
using Prepare = std::function<void(Tavric&)>;
const auto stored = [](auto value) -> Prepare { return [value](Tavric& field) { field = value; }; };
const auto storedChar = [](uint16_t value) -> Prepare { return [value](Tavric& field) { field.setChar(value); }; };

// A read in the given type, as text; reals in full precision, so the text compares exactly.
std::string readAs(Tavric& field, FieldType type)
{
    switch (type) {
    case TypeInt:
        return std::to_string(field.getInt());
    case TypeChar:
        return std::to_string(field.getChar());
    case TypeBool:
        return field.getBool() ? "true" : "false";
    case TypeReal: {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", field.getReal());
        return text;
    }
    default:
        return field.getString();
    }
}

// Each row prepares a new field "v" and reads it once; a row without a preparation reads the previous
// row's field again, to see what the earlier read left in its slots. A refused read gives the default,
// one message and its code, and fills no slot.
TEST_F(Conversion, ReadsInEachType)
{
    struct Case {
        const char* name;
        Prepare prepare;
        FieldType as;
        std::string expected;
        const char* message = nullptr;
        DiagnosticCode error = ErrorNone;
    };
    const auto notConverted = [](const char* type) {
        return "[].v : Field cannot be converted into field " + std::string(type) + ". It may be a nonsense.\n";
    };
    const std::string toReal = notConverted("real"), toChar = notConverted("char"), toBool = notConverted("bool"),
                      toInt = notConverted("int");
    const Prepare pointerLevels = [](Tavric& f) { TavricAccess::storeReference(f, "x", true), f.setPointerLevels({1, 0}); };
    const Case cases[] = {
        // Reals truncate toward zero.
        {"real 3.9 to int", stored(3.9), TypeInt, "3"},
        {"real -3.9 to int", stored(-3.9), TypeInt, "-3"},
        {"huge real to int saturates", stored(1e300), TypeInt, std::to_string(INT64_MAX)},
        {"nan to int", stored(std::nan("")), TypeInt, "0"},
        {"real 65.9 to char", stored(65.9), TypeChar, "65"},
        {"real -1.5 to char keeps the low bits", stored(-1.5), TypeChar, std::to_string(0xFFFF)},
        {"then -1.5 to int", nullptr, TypeInt, "-1"},
        // Strings to int with the base the prefix gives.
        {"0x1F", stored("0x1F"), TypeInt, "31"},
        {"0b101", stored("0b101"), TypeInt, "5"},
        {"0B11", stored("0B11"), TypeInt, "3"},
        {"010 is octal", stored("010"), TypeInt, "8"},
        {"12abc", stored("12abc"), TypeInt, "12"},
        {"abc", stored("abc"), TypeInt, "0"},
        {"  -42", stored("  -42"), TypeInt, "-42"},
        {"empty string to int", stored(""), TypeInt, "0"},
        {"0x alone", stored("0x"), TypeInt, "0"},
        // Only "true", in any case, is a true string.
        {"TRUE", stored("TRUE"), TypeBool, "true"},
        {"tRuE", stored("tRuE"), TypeBool, "true"},
        {"1 to bool", stored("1"), TypeBool, "false"},
        {"Yes", stored("Yes"), TypeBool, "false"},
        {"true with a space", stored("true "), TypeBool, "false"},
        {"truex", stored("truex"), TypeBool, "false"},
        {"empty string to bool", stored(""), TypeBool, "false"},
        {"nothing to real", stored("nothing"), TypeReal, "0"},
        // Text forms.
        {"true to string", stored(true), TypeString, "true"},
        {"false to string", stored(false), TypeString, "false"},
        {"-7 to string", stored(-7), TypeString, "-7"},
        {"char to string", storedChar(65), TypeString, "65"},
        {"1.5 to string", stored(1.5), TypeString, "1.5"},
        {"1e20 to string", stored(1e20), TypeString, "1e+20"},
        // Bools and chars; a char has no real form, a bool has no char form until its int slot is filled.
        {"int to char keeps the low bits", stored(int64_t(0x12345)), TypeChar, std::to_string(0x2345)},
        {"true to int", stored(true), TypeInt, "1"},
        {"then true to real", nullptr, TypeReal, "1"},
        {"char to bool", storedChar(0x141), TypeBool, "true"},
        {"then char to int", nullptr, TypeInt, std::to_string(0x141)},
        {"then char to real is refused", nullptr, TypeReal, "0", toReal.c_str(), ErrorConversion},
        {"bool to char is refused", stored(true), TypeChar, "0", toChar.c_str(), ErrorConversion},
        {"then bool to int", nullptr, TypeInt, "1"},
        {"then bool to char through the int", nullptr, TypeChar, "1"},
        // Other types do not convert.
        {"descriptor to int", [](Tavric& f) { f.setDescriptor(9); }, TypeInt, "9"},
        {"then descriptor to bool is refused", nullptr, TypeBool, "false", toBool.c_str(), ErrorConversion},
        {"void to int", [](Tavric& f) { TavricAccess::storeInt(f, 3), f.declareType(TypeVoid); }, TypeInt, "3"},
        {"then void to string is refused", nullptr, TypeString, "",
         "[].v : Field is not initialized and the program try to read it. Default value will be returned.\n",
         ErrorNotInitialized},
        {"strict int to int", [](Tavric& f) { f.declareType(TypeInt), f.setStrict(true), f = 7; }, TypeInt, "7"},
        {"then strict int to real is refused", nullptr, TypeReal, "0",
         "strict int [].v : Field is strict and cannot be converted to field real.\n", ErrorStrict},
        // Pointer fields and containers do not read as scalars.
        {"pointer to int", [](Tavric& f) { TavricAccess::storeReference(f, "x", true); }, TypeInt, "0", toInt.c_str(),
         ErrorConversion},
        {"const pointer to pointer to string", pointerLevels, TypeString, "",
         "const : : [].v : Field cannot be converted into field string const ::. It may be a nonsense.\n",
         ErrorConversion},
        // A container with no integer slot reads as 0 without a message.
        {"collection to int", [](Tavric& f) { TavricAccess::storeReal(f, 2.5), f.setKind(KindCollection); }, TypeInt, "0"},
    };
    for (const Case& c : cases) {
        if (c.prepare) {
            root.removeChild("v");
            c.prepare(root["v"]);
        }
        Tavric& field = root["v"];
        const std::size_t before = lines().size();
        root.setLastError(ErrorNone);
        EXPECT_EQ(c.expected, readAs(field, c.as)) << c.name;
        expectOutcome(before, c.message, c.error, c.name);
        if (c.message) {
            EXPECT_FALSE(TavricAccess::isSlotValid(field, c.as)) << c.name;
        }
    }
}

TEST_F(Conversion, StringToRealIgnoresTheUsersLocale)
{
    root["s"] = "2.5e1xyz";
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    // The set-up generates this locale; without it the check would run in "C" and prove nothing.
    if (!std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") || std::string(std::localeconv()->decimal_point) != ",") {
        std::setlocale(LC_NUMERIC, saved.c_str());
        GTEST_SKIP() << "fr_FR.UTF-8 is not available here (tools/setup.sh generates it); the decimal point "
                        "cannot be checked against a comma locale";
    }
    const double value = root["s"].getReal();
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_DOUBLE_EQ(25.0, value);
}

TEST_F(Conversion, ConversionsAreCachedUntilTheNextWrite)
{
    Tavric& field = root["s"];
    field = "12";
    EXPECT_EQ(12, field.getInt());
    EXPECT_TRUE(TavricAccess::isSlotValid(field, TypeInt));
    EXPECT_TRUE(TavricAccess::isSlotValid(field, TypeString));
    EXPECT_FALSE(TavricAccess::isSlotValid(field, TypeReal));
    field = "13";
    EXPECT_FALSE(TavricAccess::isSlotValid(field, TypeInt));
    EXPECT_EQ(13, field.getInt());
    field = 2.5;
    EXPECT_TRUE(TavricAccess::isSlotValid(field, TypeReal));
    EXPECT_FALSE(TavricAccess::isSlotValid(field, TypeString));
    EXPECT_EQ(TypeReal, field.getType());
    EXPECT_EQ(KindValue, field.getKind());
}

TEST_F(Conversion, EmptyFieldIsReportedOnEveryRead)
{
    Tavric& field = root["x"];
    EXPECT_EQ(0, field.getInt());
    EXPECT_EQ(&emptyString, &field.getString());
    ASSERT_EQ(2u, lines().size());
    EXPECT_EQ("[].x : Field is empty.\n", lines()[0]);
    EXPECT_EQ("[].x : Field is empty.\n", lines()[1]);
    EXPECT_EQ(ErrorEmpty, root.lastError());
}

TEST_F(Conversion, TypedFieldRefusesAnotherType)
{
    Tavric& field = root["n"];
    field.declareType(TypeInt);
    EXPECT_FALSE(field.setString("x"));
    EXPECT_EQ("int [].n : Cannot assign data of type field string to current field. Type mismatch.\n", lastLine());
    EXPECT_EQ(ErrorTypeMismatch, root.lastError());
    EXPECT_TRUE(field.isEmpty());
    EXPECT_TRUE(field.setInt(4));
    EXPECT_EQ(4, field.getInt());

    Tavric& free = root["free"];
    EXPECT_TRUE(free.setInt(1));
    EXPECT_TRUE(free.setString("now a string"));
    EXPECT_EQ(TypeString, free.getType());
    EXPECT_TRUE(free.isUntyped());
}

TEST_F(Conversion, ConstantAndExternFieldsRefuseWrites)
{
    Tavric& fixed = root["c"];
    fixed = 1;
    fixed.setConstant(true);
    EXPECT_FALSE(fixed.setInt(2));
    EXPECT_EQ("const [].c : Node is constant. Cannot perform 'write' operation on it.\n", lastLine());
    EXPECT_EQ(1, fixed.getInt());
    Tavric& outside = root["e"];
    outside.setExternal(true);
    EXPECT_FALSE(outside.setInt(2));
    EXPECT_EQ("extern [].e : Field is extern. Cannot perform any 'write' operation on it.\n", lastLine());
    EXPECT_EQ(ErrorExtern, root.lastError());
}

TEST_F(Conversion, AssignmentOperatorsGiveBackWhatWasStored)
{
    Tavric& field = root["x"];
    field.declareType(TypeInt);
    EXPECT_EQ(5, field = 5);
    EXPECT_EQ(int64_t(1) << 40, field = int64_t(1) << 40);
    EXPECT_EQ(0.0, field = 2.5);
    EXPECT_EQ("", field = "text");
    EXPECT_EQ(&nullField, &(field = root["other"]));
    Tavric& free = root["free"];
    EXPECT_EQ("abc", free = std::string("abc"));
    EXPECT_EQ('A', free = 'A');
    EXPECT_EQ(65, free.getInt());
    EXPECT_EQ(TypeChar, free.getType());
    EXPECT_TRUE(free = true);
}

TEST_F(Conversion, FieldAssignmentCopiesEveryValidSlot)
{
    root["src"] = "42";
    root["src"].getInt();
    Tavric& copy = root["copy"];
    ASSERT_TRUE(copy.assign(root["src"]));
    EXPECT_EQ(TypeString, copy.getType());
    EXPECT_TRUE(TavricAccess::isSlotValid(copy, TypeInt));
    EXPECT_EQ(42, copy.getInt());
    EXPECT_EQ("42", copy.getString());
    EXPECT_EQ(&copy, &(copy = root["src"]));
}

TEST_F(Conversion, StringHeldAsIdIsReadThroughTheDictionary)
{
    Tavric& field = root["s"];
    ASSERT_TRUE(field.setStringId(dictionary.idOf("Tavric")));
    EXPECT_EQ("Tavric", field.getString());
    const Tavric& readOnly = field;
    EXPECT_EQ("Tavric", readOnly.getString());

    Tavric& flag = root["flag"];
    flag = true;
    EXPECT_EQ("true", static_cast<const Tavric&>(flag).getString());
    EXPECT_TRUE(TavricAccess::isStringId(flag));
    EXPECT_EQ(dictionary.idOf("true"), TavricAccess::getStringId(flag));
    EXPECT_EQ("true", flag.getString());
}

TEST_F(Conversion, RawPointerReads)
{
    Tavric& field = root["p"];
    field.setConstPointer(0x1234);
    EXPECT_EQ(0x1234, static_cast<const Tavric&>(field).getPointer());
    EXPECT_EQ(0, field.getPointer());
    EXPECT_EQ("[].p : Pointer stored inside field is constant and can only be get by a constant function member.\n",
              lastLine());
    EXPECT_EQ(ErrorConstPointer, root.lastError());
    field.setPointer(7);
    EXPECT_EQ(7, field.getPointer());
    root["i"] = int64_t(0x100000002);
    EXPECT_EQ(2, root["i"].getPointer());
    root["s"] = "0b11";
    EXPECT_EQ(3, root["s"].getPointer());
}

TEST_F(Conversion, ReferenceReadsItsTargetInEveryType)
{
    root["target"] = 12;
    Tavric& reference = root["ref"];
    TavricAccess::storeReference(reference, "target", false);
    for (const auto& [type, text] :
         {std::pair{TypeInt, "12"}, {TypeReal, "12"}, {TypeString, "12"}, {TypeBool, "true"}})
        EXPECT_EQ(text, readAs(reference, type)) << type;
    EXPECT_EQ("target", reference.getAddressText());
    root["target"] = 13;
    EXPECT_EQ(13, static_cast<const Tavric&>(reference).getInt());

    TavricAccess::storeReference(reference, "missing", false);
    EXPECT_EQ(0, reference.getInt());
    EXPECT_EQ("[] : Node is constant. Cannot perform 'create' operation on it.\n", lastLine());
}

TEST_F(Conversion, ReferenceCycleEndsInADiagnostic)
{
    TavricAccess::storeReference(root["a"], "b", false);
    TavricAccess::storeReference(root["b"], "a", false);
    EXPECT_EQ(0, root["a"].getInt());
    EXPECT_EQ(ErrorNotAddress, root.lastError());
    TavricAccess::storeReference(root["self"], "self", false);
    EXPECT_EQ("", root["self"].getString());
    EXPECT_EQ("[].self : Field '[].self' is not a tavric address but a field void. It cannot be dereferenced.\n",
              lastLine());
}

TEST_F(Conversion, ComputedFieldEvaluatesOnEveryReadUnlessConstant)
{
    root["base"] = 1;
    Tavric& computed = root["computed"];
    auto* moving = tavrictest::makeComputed(computed, false, [](Tavric& context, Tavric& result, int) {
        result.setInt(context["base"].getInt() + 1);
        return true;
    });
    EXPECT_EQ(2, computed.getInt());
    root["base"] = 5;
    EXPECT_EQ(6, computed.getInt());
    EXPECT_DOUBLE_EQ(6.0, computed.getReal());
    EXPECT_EQ("6", computed.getString());
    EXPECT_EQ(&root, moving->lastContext);
    EXPECT_EQ(KindComputed, computed.getKind());
    EXPECT_EQ(4, moving->evaluations);
    // The read-only integer form does not evaluate.
    EXPECT_EQ(0, static_cast<const Tavric&>(computed).getInt());
    EXPECT_EQ(4, moving->evaluations);

    Tavric& folded = root["folded"];
    auto* fixed = tavrictest::makeComputed(folded, true, tavrictest::givesInt(14));
    EXPECT_EQ(14, folded.getInt());
    EXPECT_EQ(14, folded.getInt());
    EXPECT_EQ("14", folded.getString());
    EXPECT_EQ(1, fixed->evaluations);
    EXPECT_EQ(14, static_cast<const Tavric&>(folded).getInt());
    EXPECT_TRUE(lines().empty());
}

TEST_F(Conversion, FailedOrSelfReadingEvaluationGivesTheDefault)
{
    Tavric& failing = root["failing"];
    tavrictest::makeComputed(failing, false, tavrictest::fails());
    EXPECT_EQ(0, failing.getInt());

    Tavric& loop = root["loop"];
    tavrictest::makeComputed(loop, false, [](Tavric& context, Tavric& result, int) {
        result.setInt(context["loop"].getInt() + 1);
        return true;
    });
    EXPECT_EQ(1, loop.getInt());
    EXPECT_EQ(ErrorNotAddress, root.lastError());
}

// ---------------------------------------------------------------- comparison

// Each row compares a new field "left" with a new field "right", or with itself when right is missing, by
// each of its tests in turn.
TEST_F(Conversion, Comparisons)
{
    struct Case {
        const char* name;
        Prepare left;
        Prepare right;
        std::vector<std::pair<ComparisonTest, bool>> results;
        const char* message = nullptr;
    };
    const Prepare voidField = [](Tavric& f) { TavricAccess::storeInt(f, 1), f.declareType(TypeVoid); };
    const Prepare referenceToThree = [](Tavric& f) {
        f.getRoot()["x"] = 3;
        TavricAccess::storeReference(f, "x", false);
    };
    const char* boolOrder = "[].left : Cannot test  difference  between field bool and field bool.\n";
    const char* voidEquality = "[].left : Cannot test  equality or inequality  between field void and field int.\n";
    const Case cases[] = {
        // Numbers compare by value across types.
        {"1 and 1.0", stored(1), stored(1.0), {{TestEqual, true}, {TestNotEqual, false}}},
        {"1 and 2.5", stored(1), stored(2.5), {{TestLess, true}, {TestGreater, false}}},
        {"2.5 and 1", stored(2.5), stored(1), {{TestGreaterOrEqual, true}}},
        {"char 65 and 65", storedChar(65), stored(65), {{TestEqual, true}}},
        {"1 and itself", stored(1), nullptr, {{TestLessOrEqual, true}}},
        {"reference to 3 and 3.0", referenceToThree, stored(3.0), {{TestEqual, true}}},
        // Strings in byte order; bools for equality only.
        {"ab and abc", stored("ab"), stored("abc"), {{TestLess, true}}},
        {"abc and b", stored("abc"), stored("b"), {{TestLess, true}}},
        {"true and true", stored(true), stored(true), {{TestEqual, true}}},
        {"true < true", stored(true), stored(true), {{TestLess, false}}, boolOrder},
        // A number and a string are equal only as text.
        {"1 and \"1\" by value", stored(1), stored("1"), {{TestEqual, false}, {TestNotEqual, true}}},
        {"1 and \"1\" in order", stored(1), stored("1"), {{TestLess, false}, {TestGreaterOrEqual, false}}},
        {"1 and \"1\" as text", stored(1), stored("1"), {{TestTextEqual, true}, {TestTextNotEqual, false}}},
        {"void == 1", voidField, stored(1), {{TestEqual, false}}, voidEquality},
    };
    for (const Case& c : cases) {
        root.removeChild("left");
        root.removeChild("right");
        c.left(root["left"]);
        if (c.right)
            c.right(root["right"]);
        Tavric& right = c.right ? root["right"] : root["left"];
        const std::size_t before = lines().size();
        root.setLastError(ErrorNone);
        for (const auto& [test, expected] : c.results)
            EXPECT_EQ(expected, root["left"].compare(right, test)) << c.name << " by test " << test;
        expectOutcome(before, c.message, ErrorComparison, c.name);
    }
}

} // namespace
