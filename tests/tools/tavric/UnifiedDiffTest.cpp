// The unified diff of tavric fmt --diff, in the form diff -u and patch use.

#include <gtest/gtest.h>
#include <string>

#include "tools/tavric/UnifiedDiff.hpp"

namespace {

std::string numbered(int from, int to, const std::string& changed = "", int at = 0)
{
    std::string text;
    for (int i = from; i <= to; ++i)
        text += (i == at ? changed : "l" + std::to_string(i)) + "\n";
    return text;
}

int hunks(const std::string& diff)
{
    int count = 0;
    for (std::size_t at = diff.find("\n@@ "); at != std::string::npos; at = diff.find("\n@@ ", at + 1))
        ++count;
    return count;
}

TEST(UnifiedDiff, EqualTextsGiveNothing)
{
    EXPECT_EQ(tavrictool::unifiedDiff("a\nb\n", "a\nb\n", "x", "y"), "");
    EXPECT_EQ(tavrictool::unifiedDiff("", "", "x", "y"), "");
}

TEST(UnifiedDiff, OneChangeWithThreeLinesOfContext)
{
    EXPECT_EQ(tavrictool::unifiedDiff(numbered(1, 10), numbered(1, 10, "L5", 5), "a.tvr.orig", "a.tvr"),
              "--- a.tvr.orig\n+++ a.tvr\n@@ -2,7 +2,7 @@\n l2\n l3\n l4\n-l5\n+L5\n l6\n l7\n l8\n");
    // At the start of the text there is less context, and a one-line range has no count.
    EXPECT_EQ(tavrictool::unifiedDiff("a\n", "b\n", "x", "y"), "--- x\n+++ y\n@@ -1 +1 @@\n-a\n+b\n");
}

TEST(UnifiedDiff, NearChangesShareAHunkAndFarOnesDoNot)
{
    // Six equal lines between two changes: one hunk. Seven: two.
    std::string near = numbered(1, 20, "X2", 2);
    near.replace(near.find("l9\n"), 3, "X9\n");
    const std::string oneHunk = tavrictool::unifiedDiff(numbered(1, 20), near, "x", "y");
    EXPECT_EQ(hunks(oneHunk), 1) << oneHunk;
    EXPECT_NE(oneHunk.find("@@ -1,12 +1,12 @@\n"), std::string::npos) << oneHunk;
    std::string far = numbered(1, 20, "X2", 2);
    far.replace(far.find("l10\n"), 4, "X10\n");
    const std::string twoHunks = tavrictool::unifiedDiff(numbered(1, 20), far, "x", "y");
    EXPECT_EQ(hunks(twoHunks), 2) << twoHunks;
    EXPECT_NE(twoHunks.find("@@ -1,5 +1,5 @@\n"), std::string::npos) << twoHunks;
    EXPECT_NE(twoHunks.find("@@ -7,7 +7,7 @@\n"), std::string::npos) << twoHunks;
}

TEST(UnifiedDiff, AddedRemovedAndMissingLineEnd)
{
    EXPECT_EQ(tavrictool::unifiedDiff("", "a\nb\n", "x", "y"), "--- x\n+++ y\n@@ -0,0 +1,2 @@\n+a\n+b\n");
    EXPECT_EQ(tavrictool::unifiedDiff("a\n\n\nb\n", "a\n\nb\n", "x", "y"),
              "--- x\n+++ y\n@@ -1,4 +1,3 @@\n a\n \n-\n b\n");
    EXPECT_EQ(tavrictool::unifiedDiff("a\nb", "a\nb\n", "x", "y"),
              "--- x\n+++ y\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n");
}

} // namespace
