// Tree building: children on first access, the dictionary, iteration, removal, links and copies.

#include <gtest/gtest.h>

#include "TavricFixture.hpp"

using namespace zul;

namespace {

using Tree = tavrictest::Document;

TEST(NameDictionaryTest, IdsStartAtTwentyAndNamesComeBack)
{
    NameDictionary dictionary;
    EXPECT_EQ(firstNameId, dictionary.idOf("first"));
    EXPECT_EQ(firstNameId + 1, dictionary.idOf("second"));
    EXPECT_EQ(firstNameId, dictionary.idOf("first"));
    EXPECT_EQ("first", dictionary.nameOf(firstNameId));
    for (int unknown : {firstNameId - 1, -1, 100000})
        EXPECT_EQ(&emptyString, &dictionary.nameOf(unknown)) << unknown;
}

TEST(NameDictionaryTest, ManyNamesKeepTheirIdsAndReferences)
{
    NameDictionary dictionary;
    const std::string& first = dictionary.nameOf(dictionary.idOf("n0"));
    for (int i = 1; i < 200; ++i)
        EXPECT_EQ(firstNameId + i, dictionary.idOf("n" + std::to_string(i)));
    EXPECT_EQ("n0", first);
    EXPECT_EQ("n199", dictionary.nameOf(firstNameId + 199));
}

TEST_F(Tree, FieldsKnowWhereTheyStand)
{
    // Each field by the names from the root; the id path is the root's 1 and the names' ids.
    struct Case {
        std::vector<const char*> path;
        const char* address;
        const char* parentAddress;
        std::size_t rightsEntries; // a child holds its parent's entry
    };
    const Case cases[] = {
        {{}, "[]", "", 0},
        {{"Users"}, "[].Users", "[]", 1},
        {{"Users", "Selected"}, "[].Users.Selected", "[].Users", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        Tavric* field = &root;
        std::vector<int> idPath{1};
        for (const char* name : c.path) {
            Tavric& next = field->child(name);
            ASSERT_NE(&nullField, &next);
            EXPECT_EQ(&next, &(*field)[name]) << "found again, not made again";
            EXPECT_EQ(field, next.getParent());
            field = &next;
            idPath.push_back(dictionary.idOf(name));
        }
        EXPECT_EQ(c.path.empty() ? "[]" : c.path.back(), field->getName());
        EXPECT_EQ(c.address, field->getAddress());
        EXPECT_EQ(idPath, field->getIdPath());
        EXPECT_EQ(c.parentAddress, field->getParentAddress());
        EXPECT_EQ(std::vector<int>(idPath.begin(), idPath.end() - 1), field->getParentIdPath());
        EXPECT_EQ(&root, &field->getRoot());
        EXPECT_EQ(static_cast<int>(c.path.size()), field->depth());
        EXPECT_EQ(c.rightsEntries, field->userRightsCount());
        EXPECT_TRUE(field->isEmpty());
        EXPECT_TRUE(field->isUntyped());
        EXPECT_EQ(rightsPublic, field->getDefaultRights());
        EXPECT_EQ(defaultOptionWord, field->getOptionWord());
    }
    EXPECT_EQ(1, root.getIdentity());
}

TEST_F(Tree, IdentityShiftsTheIdByTheParentsDepth)
{
    Tavric& c = root["a"]["b"]["c"];
    EXPECT_EQ(dictionary.idOf("a"), root["a"].getIdentity());
    EXPECT_EQ(dictionary.idOf("b") << 1, root["a"]["b"].getIdentity());
    EXPECT_EQ(dictionary.idOf("c") << 2, c.getIdentity());

    // Shifted into the sign bit, the identity is negated so it is never negative.
    Tavric* field = &root;
    for (int i = 0; i < 16; ++i)
        field = &field->child("d" + std::to_string(i));
    Tavric& deep = field->child("deep");
    const int32_t shifted = static_cast<int32_t>(static_cast<uint32_t>(dictionary.idOf("deep")) << (16 % 16));
    EXPECT_EQ(shifted, deep.getIdentity());
    for (int i = 0; i < 200; ++i)
        dictionary.idOf("filler" + std::to_string(i));
    Tavric* depth15 = &root;
    for (int i = 0; i < 15; ++i)
        depth15 = &depth15->child("e" + std::to_string(i));
    // An id of at least 2^16 shifted by 15 reaches bit 31.
    while (dictionary.firstFreeId() < 65536)
        dictionary.idOf("pad" + std::to_string(dictionary.firstFreeId()));
    Tavric& negative = depth15->child("big");
    const int64_t raw = static_cast<int32_t>(static_cast<uint32_t>(dictionary.idOf("big")) << 15);
    ASSERT_LT(raw, 0);
    EXPECT_EQ(-raw, negative.getIdentity());
}

TEST_F(Tree, ExistsAndRemoveEnterNewNamesInTheDictionary)
{
    const int before = dictionary.firstFreeId();
    EXPECT_FALSE(root.exists("neverSeen"));
    EXPECT_EQ(before + 1, dictionary.firstFreeId());
    EXPECT_FALSE(root.removeChild("alsoNew"));
    EXPECT_EQ(before + 2, dictionary.firstFreeId());
    root["x"];
    EXPECT_TRUE(root.exists("x"));
    EXPECT_TRUE(root.exists(dictionary.idOf("x")));
}

TEST_F(Tree, IterationIsInByteOrderOfNames)
{
    for (const char* name : {"beta", "alpha", "Zeta", "_under", "Alpha"})
        root[name] = 1;
    std::vector<std::string> names;
    for (auto it = root.childrenBegin(); it != root.childrenEnd(); ++it)
        names.push_back(it->first);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Zeta", "_under", "alpha", "beta"}), names);
    ASSERT_EQ(5u, root.childrenInOrder().size());
    EXPECT_EQ("beta", root.childrenInOrder().front()->getName());
}

TEST_F(Tree, RemoveChildDestroysIt)
{
    root["keep"] = 1;
    root["gone"]["below"] = 2;
    EXPECT_TRUE(root.removeChild("gone"));
    EXPECT_FALSE(root.exists("gone"));
    EXPECT_FALSE(root.removeChild("gone"));
    EXPECT_EQ(1u, root.childrenInOrder().size());
    EXPECT_EQ(1u, root.childCount());
    // Created again, the child starts over.
    EXPECT_TRUE(root["gone"].isEmpty());
    EXPECT_FALSE(root["gone"].exists("below"));
}

TEST_F(Tree, ConstantFieldReturnsExistingChildrenButCreatesNone)
{
    Tavric& fixed = root["fixed"];
    fixed["old"] = 1;
    fixed.setConstant(true);
    EXPECT_EQ(1, fixed["old"].getInt());
    EXPECT_EQ(&nullField, &fixed["new"]);
    EXPECT_EQ(ErrorConstant, root.lastError());
    EXPECT_FALSE(fixed.exists("new"));
}

TEST_F(Tree, CopyFromLinksChildrenWithoutOwningThem)
{
    NameDictionary* shared = &dictionary;
    auto source = std::make_unique<Tavric>(shared);
    Tavric& en = (*source)["Language"]["En"];
    en["Hello"] = "Hello";
    en["Bye"] = "Bye";
    {
        Tavric copy(shared);
        copy["Hello"] = "old";
        EXPECT_TRUE(copy.copyFrom(en));
        EXPECT_EQ("En", copy.getName());
        EXPECT_EQ("[]", copy.getAddress());
        EXPECT_EQ(&en["Hello"], &copy["Hello"]);
        EXPECT_EQ("Bye", copy["Bye"].getString());
        EXPECT_TRUE(copy.exists("Bye"));
        EXPECT_TRUE(copy.isLinked(dictionary.idOf("Bye")));
        // Links are found but neither listed nor iterated.
        EXPECT_TRUE(copy.childrenInOrder().empty());
        EXPECT_EQ(copy.childrenBegin(), copy.childrenEnd());
    }
    // The copy is gone; the source's children are intact.
    EXPECT_EQ("Hello", en["Hello"].getString());
    EXPECT_EQ("Bye", en["Bye"].getString());
}

TEST_F(Tree, CopyFromKeepsTheAddressOfARenamedChild)
{
    Tavric& target = root["target"];
    root["source"]["inner"] = 3;
    root["source"] = 7;
    target["own"] = 1;
    const int64_t identity = target.getIdentity();
    ASSERT_TRUE(target.copyFrom(root["source"]));
    EXPECT_EQ("source", target.getName());
    EXPECT_EQ("[].target", target.getAddress());
    EXPECT_EQ(identity, target.getIdentity());
    EXPECT_EQ(7, target.getInt());
    EXPECT_EQ(3, target["inner"].getInt());
    EXPECT_EQ(1, target["own"].getInt());
    // Removing a link leaves the linked field alone.
    EXPECT_TRUE(target.removeChild("inner"));
    EXPECT_EQ(3, root["source"]["inner"].getInt());
}

TEST_F(Tree, CopyFromAChildOfItselfDoesNotDestroyIt)
{
    root["a"]["a"] = 5;
    root["a"]["b"] = 6;
    ASSERT_FALSE(root.copyFrom(root["a"]));
    EXPECT_EQ(6, root["b"].getInt());
    EXPECT_EQ(5, root["a"]["a"].getInt());
    EXPECT_TRUE(root.copyFrom(root));
}

TEST_F(Tree, CopyConstructionCopiesValueAndCollection)
{
    Tavric& layer = root["layer"];
    layer.setKind(KindCollection);
    Collection* collection = layer.makeCollection();
    ASSERT_NE(nullptr, collection);
    collection->valuesPerLine = 4;
    for (int i = 0; i < 3; ++i) {
        Tavric* element = TavricAccess::makeChild(layer, 0);
        ASSERT_NE(nullptr, element);
        TavricAccess::storeInt(*element, i * 10);
        ASSERT_TRUE(collection->append(element));
    }
    Tavric copy(layer);
    ASSERT_NE(nullptr, copy.getCollection());
    EXPECT_NE(collection, copy.getCollection());
    EXPECT_EQ(4, copy.getCollection()->valuesPerLine);
    ASSERT_EQ(3u, copy.getCollection()->size());
    EXPECT_EQ(20, copy.childAt(2)->getInt());
    EXPECT_NE(layer.childAt(2), copy.childAt(2));
    EXPECT_EQ(&copy, copy.childAt(2)->getParent());
    EXPECT_EQ(nullptr, copy.childAt(3));
    EXPECT_EQ(nullptr, root.childAt(0));
    EXPECT_EQ("[].layer", copy.getAddress());
    EXPECT_EQ(0u, copy.childCount());
}

TEST_F(Tree, CopyConstructionClonesTheExpression)
{
    Tavric& sum = root["sum"];
    tavrictest::makeComputed(sum, false, tavrictest::givesInt(42));
    Tavric copy(sum);
    ASSERT_NE(nullptr, copy.getExpression());
    EXPECT_NE(sum.getExpression(), copy.getExpression());
    EXPECT_EQ(42, copy.getInt());
}

TEST_F(Tree, AdoptChildMergesARepeatedDeclaration)
{
    Tavric* first = TavricAccess::makeChild(root, dictionary.idOf("x"));
    ASSERT_NE(nullptr, first);
    TavricAccess::storeInt(*first, 1);
    Tavric* firstChild = TavricAccess::makeChild(*first, dictionary.idOf("inner"));
    TavricAccess::storeInt(*firstChild, 10);
    TavricAccess::adoptChild(*first, firstChild);
    EXPECT_EQ(first, TavricAccess::adoptChild(root, first));

    Tavric* second = TavricAccess::makeChild(root, dictionary.idOf("x"));
    second->declareType(TypeString);
    TavricAccess::storeString(*second, "two");
    Tavric* secondChild = TavricAccess::makeChild(*second, dictionary.idOf("other"));
    TavricAccess::storeInt(*secondChild, 20);
    TavricAccess::adoptChild(*second, secondChild);
    EXPECT_EQ(first, TavricAccess::adoptChild(root, second));

    EXPECT_EQ(1u, root.childCount());
    EXPECT_EQ("two", root["x"].getString());
    EXPECT_FALSE(root["x"].isUntyped());
    EXPECT_EQ(10, root["x"]["inner"].getInt());
    EXPECT_EQ(20, root["x"]["other"].getInt());
    EXPECT_EQ(&root["x"], root["x"]["other"].getParent());

    // A bare declaration keeps the value and merges only children.
    Tavric* bare = TavricAccess::makeChild(root, dictionary.idOf("x"));
    TavricAccess::adoptChild(*bare, TavricAccess::makeChild(*bare, dictionary.idOf("third")));
    TavricAccess::adoptChild(root, bare);
    EXPECT_EQ("two", root["x"].getString());
    EXPECT_TRUE(root["x"].exists("third"));
}

TEST_F(Tree, LaterDeclarationReplacesExpressionAndCollection)
{
    Tavric* computed = TavricAccess::makeChild(root, dictionary.idOf("v"));
    tavrictest::makeComputed(*computed, false, tavrictest::givesInt(1));
    Tavric* kept = TavricAccess::adoptChild(root, computed);

    Tavric* list = TavricAccess::makeChild(root, dictionary.idOf("v"));
    list->setKind(KindCollection);
    Collection* collection = list->makeCollection();
    Tavric* element = TavricAccess::makeChild(*list, 0);
    TavricAccess::storeInt(*element, 9);
    collection->append(element);
    EXPECT_EQ(kept, TavricAccess::adoptChild(root, list));

    EXPECT_EQ(nullptr, kept->getExpression());
    ASSERT_NE(nullptr, kept->getCollection());
    EXPECT_EQ(KindCollection, kept->getKind());
    EXPECT_EQ(kept, kept->childAt(0)->getParent());
    EXPECT_EQ(9, kept->childAt(0)->getInt());
}

TEST_F(Tree, DeclarationSettersLeaveNullFieldAlone)
{
    nullField.setConstant(true);
    nullField.setKind(KindCollection);
    TavricAccess::setNameId(nullField, 99);
    nullField.setSystemAccess(true);
    EXPECT_FALSE(nullField.isConstant());
    EXPECT_EQ(KindNone, nullField.getKind());
    EXPECT_EQ(0, nullField.getNameId());
    EXPECT_FALSE(nullField.hasSystemAccess());
}

TEST_F(Tree, NullFieldGivesDefaultsAndTouchesNothing)
{
    EXPECT_EQ(&nullField, &nullField["x"]);
    EXPECT_EQ(&nullField, &nullField.child(25));
    EXPECT_FALSE(nullField.exists("x"));
    EXPECT_EQ(0, nullField.getInt());
    EXPECT_EQ(&emptyString, &nullField.getString());
    EXPECT_FALSE(nullField.setInt(5));
    EXPECT_FALSE(nullField.getBool());
    EXPECT_EQ(0.0, nullField.getReal());
    EXPECT_EQ(&nullField, &nullField.resolve("a.b"));
    EXPECT_EQ(nullField.childrenBegin(), nullField.childrenEnd());
    EXPECT_FALSE(nullField.copyFrom(root));
    EXPECT_EQ(nullptr, TavricAccess::makeChild(nullField, 30));
    EXPECT_TRUE(nullField.messages().empty());
    EXPECT_EQ(0, nullField.getDefaultRights());
    EXPECT_FALSE(nullField.hasRight(publicUser, RightAccess));
    EXPECT_FALSE(root.copyFrom(nullField));
    EXPECT_TRUE(lines().empty());
}

TEST(TreeDefaultConstruction, OwnsADictionaryAndHasNoRights)
{
    Tavric field;
    ASSERT_NE(nullptr, field.getDictionary());
    EXPECT_EQ(0, field.getDefaultRights());
    EXPECT_EQ("", field.getAddress());
    EXPECT_EQ(0, field.getIdentity());
    EXPECT_EQ(&nullField, &field["x"]);
}

} // namespace
