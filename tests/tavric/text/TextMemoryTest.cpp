// Parsing, evaluating and writing when memory runs out: every allocation is made to fail in turn.
// This file replaces the global allocation functions of the test program with ones that can be told
// to fail; they behave as usual otherwise.

#include <cstdlib>
#include <new>

#include "TextFixture.hpp"

namespace {

long allocationsUntilFailure = -1;
bool failureHappened = false;

// Fails the allocation numbered n (from 0) from now on, once.
struct FailAllocation {
    explicit FailAllocation(long n)
    {
        failureHappened = false;
        allocationsUntilFailure = n;
    }
    ~FailAllocation() { allocationsUntilFailure = -1; }
};

} // namespace

void* hookedAllocate(std::size_t size)
{
    if (allocationsUntilFailure >= 0 && allocationsUntilFailure-- == 0) {
        failureHappened = true;
        return nullptr;
    }
    return std::malloc(size ? size : 1);
}

void hookedRelease(void* block) noexcept
{
    std::free(block);
}

#include "../ReplacedAllocation.hpp"

namespace {

using texttest::Document;

const char* const document = "[s x = 1 y = \"text\" [t z = 'c']]\n"
                             "private int p = 3\nl = [Collection (4) 1 2 3 4 5 [m v = 2] \"s\"]\n"
                             "e = s.x + 2 * 3 ## \"!\"\nf = 2 .* 8\nr = s.y\nq = &s.x\n";

TEST(TextMemory, EveryFailedAllocationOfAParseEndsCleanly)
{
    const std::string source = document;
    for (long n = 0;; ++n) {
        Document text;
        bool accepted = false;
        bool failed = false;
        {
            FailAllocation failure(n);
            accepted = text.parseText(source, true);
            failed = failureHappened;
        }
        if (!failed) {
            // Past the last allocation: the parse is whole.
            EXPECT_TRUE(accepted) << text.messages();
            EXPECT_EQ(text.field("e").getString(), "7"); // 1 + 2 * ("3" ## "!")
            break;
        }
        // A failure anywhere gives a refused parse or a tree without the part that failed.
        if (accepted) {
            EXPECT_TRUE(text.root.exists("s"));
        }
        ASSERT_LT(n, 100000) << "the parse never completed";
    }
}

TEST(TextMemory, EveryFailedAllocationOfAWriteEndsCleanly)
{
    Document text;
    ASSERT_TRUE(text.parseText(document, true));
    const std::string whole = text.written(false, true);
    for (long n = 0;; ++n) {
        std::ostringstream out;
        bool written = false;
        bool failed = false;
        {
            FailAllocation failure(n);
            try {
                written = zul::write(text.root, out, texttest::asStored());
            } catch (const std::bad_alloc&) {
                // Only the stream itself may throw, when it cannot grow.
            }
            failed = failureHappened;
        }
        if (!failed) {
            EXPECT_TRUE(written);
            EXPECT_EQ(out.str(), whole);
            break;
        }
        ASSERT_LT(n, 100000);
    }
}

} // namespace
