// Addresses: parsing into steps, both walking forms, pointers, and the post-parse resolution.

#include <gtest/gtest.h>

#include "TavricFixture.hpp"

using namespace zul;

namespace {

using Address = tavrictest::Document;

TEST_F(Address, StepsOfTheAddressForms)
{
    const int a = dictionary.idOf("a");
    const int b = dictionary.idOf("b");
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"[].a->b._", {1, -a, b, 2}},
        {"[]->a", {-1, a}},
        {"_->{}a.", {-2, a}},
        {"", {}},
        {"{}{", {}},
        {"_private", {dictionary.idOf("_private")}},
    };
    // One vector throughout, so each parse must replace what the one before left.
    std::vector<int> steps;
    for (const auto& [address, expected] : cases) {
        ASSERT_TRUE(root.parseAddress(address, steps)) << address;
        EXPECT_EQ(expected, steps) << address;
    }
    EXPECT_TRUE(lines().empty());
}

TEST_F(Address, SyntaxErrors)
{
    for (const char* address : {"[]a", "a b", "a{}", "{}.a", "a..b", "9a", "a-b", "[]_", "_ "}) {
        std::vector<int> steps;
        EXPECT_FALSE(root.parseAddress(address, steps)) << address;
        EXPECT_EQ("[] : Syntax error while resolving address '" + std::string(address) + "'.\n", lastLine()) << address;
        EXPECT_EQ(&nullField, &root.resolve(address)) << address;
        EXPECT_EQ(ErrorAddressSyntax, root.lastError()) << address;
    }
}

TEST_F(Address, RootMarkAndParent)
{
    Tavric& b = root["a"]["b"];
    const std::pair<const char*, Tavric*> targets[] = {{"[]", &root}, {"[].", &root}, {"_", &root["a"]},
                                                       {"", &b},      {"{}", &b},     {"_.b", &b}};
    for (const auto& [address, target] : targets)
        EXPECT_EQ(target, &b.resolve(address)) << address;
    EXPECT_EQ(&nullField, &root.resolve("_"));
    EXPECT_EQ("[] : Cannot go higher than field '[]'.\n", lastLine());
    EXPECT_EQ(ErrorTooHigh, root.lastError());
}

TEST_F(Address, BothFormsWalkExistingFields)
{
    Tavric& b = root["a"]["b"];
    const Tavric& readOnly = root;
    EXPECT_EQ(&b, &root.resolve("a.b"));
    EXPECT_EQ(&b, &readOnly.resolve("a.b"));
    EXPECT_EQ(ErrorNone, root.lastError());

    const int before = dictionary.firstFreeId();
    EXPECT_EQ(&nullField, &readOnly.resolve("x.y"));
    EXPECT_EQ("[] : Node is constant. Cannot perform 'create' operation on it.\n", lastLine());
    // The names entered the dictionary all the same.
    EXPECT_EQ(before + 2, dictionary.firstFreeId());
    EXPECT_FALSE(root.exists("x"));

    Tavric& created = root.resolve("x.y");
    ASSERT_NE(&nullField, &created);
    EXPECT_EQ("[].x.y", created.getAddress());
}

TEST_F(Address, ChildByIdForms)
{
    const int known = dictionary.idOf("known");
    EXPECT_EQ(&nullField, &root.child(19));
    EXPECT_EQ("[] : Unknown string id '19'. String id should not be used manually.\n", lastLine());
    EXPECT_EQ(ErrorUnknownId, root.lastError());
    const Tavric& readOnly = root;
    EXPECT_EQ(&nullField, &readOnly.child(known));
    EXPECT_EQ(ErrorConstant, root.lastError());
    Tavric& made = root.child(known);
    EXPECT_EQ("known", made.getName());
    EXPECT_EQ(&made, &readOnly[known]);
    EXPECT_EQ(ErrorNone, root.lastError());
}

TEST_F(Address, FollowingAStringAddress)
{
    root["a"]["b"]["c"] = 3;
    // A string is resolved from its own field.
    root["link"] = "[].a.b";
    EXPECT_EQ(&root["a"]["b"]["c"], &root.resolve("link->c"));
    EXPECT_EQ(&root["a"]["b"], &root["link"].dereference());
    // The string stays readable after being followed.
    EXPECT_EQ("[].a.b", root["link"].getString());
}

TEST_F(Address, FollowingAnIntIsRefused)
{
    root["a"] = 5;
    EXPECT_EQ(&nullField, &root.resolve("a->b"));
    ASSERT_GE(lines().size(), 2u);
    EXPECT_EQ("[].a : Field cannot be converted into field pointer. It may be a nonsense.\n",
              lines()[lines().size() - 2]);
    EXPECT_EQ("[].a : Field '[].a' is not a tavric address but a field int. It cannot be dereferenced.\n", lastLine());
    EXPECT_EQ(ErrorNotAddress, root.lastError());

    root["empty"];
    EXPECT_EQ(&nullField, &root.resolve("empty->b"));
    EXPECT_EQ("[].empty : Field '[].empty' is not a tavric address but a  void. It cannot be dereferenced.\n",
              lastLine());
}

TEST_F(Address, FollowNeedsTheReadRight)
{
    root["a"]["b"] = 1;
    root["p"] = "a";
    root["p"].setDefaultRights(RightExecute);
    EXPECT_EQ(&nullField, &root.resolve("p->b"));
    EXPECT_EQ(ErrorNotAddress, root.lastError());
}

// ---------------------------------------------------------------- post-parse resolution

TEST_F(Address, FinalizeBindsPointersAndReferences)
{
    root["data"]["value"] = 4;
    Tavric& pointer = root["p"];
    TavricAccess::storeReference(pointer, "data.value", true);
    Tavric& nowhere = root["n"];
    TavricAccess::storeReference(nowhere, "nowhere", true);
    Tavric& reference = root["r"];
    TavricAccess::storeReference(reference, "data.value", false);
    Tavric& toMissing = root["m"];
    TavricAccess::storeReference(toMissing, "later.made", false);
    root.setSystemAccess(true);

    ASSERT_TRUE(root.finalize());
    EXPECT_FALSE(root.hasSystemAccess());
    EXPECT_TRUE(TavricAccess::isTargetValid(pointer));
    EXPECT_EQ(&root["data"]["value"], pointer.getTarget());
    EXPECT_EQ(std::vector<int>{0}, pointer.getPointerLevels());
    EXPECT_EQ(&root["data"]["value"], &root.resolve("p->"));
    EXPECT_FALSE(TavricAccess::isTargetValid(nowhere));
    EXPECT_EQ(TypeInt, reference.getType());
    EXPECT_EQ(4, reference.getInt());
    // Missing targets of references are created by the resolution.
    EXPECT_TRUE(root["later"].exists("made"));
    EXPECT_TRUE(lines().empty());
}

// An int field that designates the string field "text", by pointer or by reference.
Tavric& intOnText(Tavric& root, const char* name, bool pointer)
{
    root["text"] = "x";
    Tavric& field = root[name];
    field.declareType(TypeInt);
    TavricAccess::storeReference(field, "text", pointer);
    return field;
}

TEST_F(Address, FinalizeRemovesAPointerOfTheWrongType)
{
    intOnText(root, "p", true);
    ASSERT_FALSE(root.finalize());
    EXPECT_FALSE(root.exists("p"));
    EXPECT_EQ("int [].p : Cannot assign data of type field string: to current field. Type mismatch.\n", lastLine());
}

TEST_F(Address, FinalizeChecksDeclaredLevelsAndConstTargets)
{
    Tavric& fixed = root["fixed"];
    fixed = 1;
    fixed.setConstant(true);
    Tavric& plain = root["plain"];
    plain.declareType(TypeInt);
    plain.setPointerLevels({0});
    TavricAccess::storeReference(plain, "fixed", true);
    plain.setPointerLevels({0});
    // A const level may not be stored into a plain one.
    EXPECT_FALSE(root.finalize());
    EXPECT_FALSE(root.exists("plain"));

    Tavric& accepting = root["accepting"];
    accepting.declareType(TypeInt);
    TavricAccess::storeReference(accepting, "fixed", true);
    accepting.setPointerLevels({1});
    accepting.setConstant(true);
    EXPECT_TRUE(root.finalize());
    EXPECT_TRUE(accepting.isConstant());
    EXPECT_EQ(&fixed, accepting.getTarget());
}

TEST_F(Address, FinalizeReportsATypedReferenceMismatch)
{
    Tavric& reference = intOnText(root, "r", false);
    EXPECT_TRUE(root.finalize());
    EXPECT_EQ("int [].r : Cannot assign data of type field string to current field. Type mismatch.\n", lastLine());
    EXPECT_EQ(TypeString, reference.getType());

    root.setOptionWord(3);
    intOnText(root, "r2", false);
    EXPECT_FALSE(root.finalize());
}

TEST_F(Address, FinalizeEvaluatesComputedFieldsInNameOrder)
{
    std::vector<std::string> order;
    std::vector<int> users;
    auto computed = [&](const char* name, bool constant, int64_t value) {
        Tavric& field = root["group"][name];
        tavrictest::makeComputed(field, constant,
                                 [&order, &users, name, value](Tavric& context, Tavric& result, int user) {
                                     order.push_back(name);
                                     users.push_back(user);
                                     EXPECT_EQ("[].group", context.getAddress());
                                     result.setInt(value);
                                     return true;
                                 });
        return &field;
    };
    Tavric* b = computed("b", true, 2);
    Tavric* a = computed("a", false, 1);
    a->setConstant(true);
    a->setDefaultRights(rightsPrivate);
    ASSERT_TRUE(root.finalize());
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), order);
    EXPECT_EQ((std::vector<int>{publicUser, publicUser}), users);
    EXPECT_EQ(KindComputed, a->getKind());
    EXPECT_EQ(KindComputed, b->getKind());
    EXPECT_EQ(2, b->getInt());
    EXPECT_EQ(2u, order.size());
    EXPECT_EQ(1, a->getInt(static_cast<int>(root["group"].getIdentity())));
    EXPECT_EQ(3u, order.size());
    // A read evaluates as the reading user.
    EXPECT_EQ(static_cast<int>(root["group"].getIdentity()), users.back());
}

TEST_F(Address, FinalizeFailsOnAFailedEvaluationOrATypeMismatch)
{
    Tavric& failing = root["f"];
    tavrictest::makeComputed(failing, true, tavrictest::fails());
    root.setSystemAccess(true);
    EXPECT_FALSE(root.finalize());
    EXPECT_FALSE(root.hasSystemAccess());
    root.removeChild("f");

    Tavric& typed = root["t"];
    typed.declareType(TypeReal);
    tavrictest::makeComputed(typed, true, tavrictest::givesInt(3));
    EXPECT_FALSE(root.finalize());
    EXPECT_EQ("real [].t : Cannot assign data of type field int to current field. Type mismatch.\n", lastLine());
}

} // namespace
