// Memory: allocation failures on purpose, and the heap cost of a collection element.
// This file replaces the global allocation functions of the test program with counting ones that can
// be told to fail.

#include <cstdlib>
#include <gtest/gtest.h>
#include <malloc.h>
#include <new>

#include "TavricFixture.hpp"

using namespace zul;

namespace {

long allocationsUntilFailure = -1;
long long liveBytes = 0;

// The heap cost of a block: its usable size plus the allocator's header word.
long long blockCost(void* block)
{
    return static_cast<long long>(malloc_usable_size(block)) + static_cast<long long>(sizeof(void*));
}

// Fails the allocation numbered n (from 0) from now on, once.
struct FailAllocation {
    explicit FailAllocation(long n) { allocationsUntilFailure = n; }
    ~FailAllocation() { allocationsUntilFailure = -1; }
};

} // namespace

void* hookedAllocate(std::size_t size)
{
    if (allocationsUntilFailure >= 0 && allocationsUntilFailure-- == 0)
        return nullptr;
    void* block = std::malloc(size ? size : 1);
    if (block)
        liveBytes += blockCost(block);
    return block;
}

void hookedRelease(void* block) noexcept
{
    if (!block)
        return;
    liveBytes -= blockCost(block);
    std::free(block);
}

#include "../ReplacedAllocation.hpp"

namespace {

using Memory = tavrictest::Document;

TEST_F(Memory, ChildCreationReportsExhaustion)
{
    dictionary.idOf("x");
    Tavric* created = nullptr;
    {
        FailAllocation fail(0);
        created = &root["x"];
    }
    EXPECT_EQ(&nullField, created);
    EXPECT_EQ("[] : Memory exhausted. Cannot create object of size " + std::to_string(sizeof(Tavric)) + ".\n",
              lastLine());
    EXPECT_EQ(ErrorMemory, root.lastError());
    EXPECT_FALSE(root.exists("x"));
    EXPECT_NE(&nullField, &root["x"]);
}

TEST_F(Memory, AnyFailingAllocationLeavesAConsistentTree)
{
    const std::string text = "some longer text that does not fit a small string";
    const std::string inner = "inner";
    for (long n = 0; n < 12; ++n) {
        const std::string name = "field" + std::to_string(n);
        Tavric* field = nullptr;
        {
            FailAllocation fail(n);
            field = &root.child(name).child(inner);
            if (field != &nullField)
                field->setString(text);
        }
        if (field == &nullField) {
            EXPECT_NE(ErrorNone, root.lastError()) << n;
        }
        // Whatever failed, the tree is usable afterwards.
        root[name]["inner"] = 5;
        EXPECT_EQ(5, root[name]["inner"].getInt()) << n;
    }
}

TEST_F(Memory, DictionaryFailureIsReported)
{
    Tavric* created = nullptr;
    {
        FailAllocation fail(0);
        created = &root["brandNew"];
    }
    EXPECT_EQ(&nullField, created);
    EXPECT_EQ("[] : Cannot add 'brandNew' to the dictionnary. This error may occur when trying to access to a "
              "unexisting field in a constant node with a never encountered name.\n",
              lastLine());
    EXPECT_EQ(ErrorDictionary, root.lastError());
}

TEST_F(Memory, CollectionElementsStayLean)
{
    constexpr int count = 100000;
    Tavric& layer = root["layer"];
    layer.setKind(KindCollection);
    Collection* collection = layer.makeCollection();
    ASSERT_NE(nullptr, collection);
    const long long before = liveBytes;
    for (int i = 0; i < count; ++i) {
        Tavric* element = TavricAccess::makeChild(layer, 0);
        ASSERT_NE(nullptr, element);
        TavricAccess::storeInt(*element, i % 7);
        ASSERT_TRUE(collection->append(element));
    }
    long long sum = 0;
    for (int i = 0; i < count; ++i)
        sum += layer.childAt(static_cast<std::size_t>(i))->getInt();
    const double perElement = static_cast<double>(liveBytes - before) / count;
    RecordProperty("bytesPerElement", std::to_string(perElement));
    EXPECT_GT(sum, 0);
    EXPECT_LT(perElement, 200.0);
    EXPECT_TRUE(lines().empty());
}

} // namespace
