#include "core/drawing/UBStack.h"

#include <gtest/gtest.h>

namespace zobl {
namespace {

TEST(UBStackTest, GrowsByItsStepAndPopsInReverse) {
    CUBStack stack(2048);
    EXPECT_EQ(stack.Capacity(), 0);
    for (int i = 0; i < 2049; ++i) {
        ASSERT_TRUE(stack.Push(i * 3));
        if (i == 2047) {
            EXPECT_EQ(stack.Capacity(), 2048);
        }
    }
    EXPECT_EQ(stack.Capacity(), 4096);
    EXPECT_EQ(stack.Count(), 2049);
    for (int i = 2048; i >= 0; --i) {
        std::int32_t value = -1;
        ASSERT_TRUE(stack.Pop(value));
        ASSERT_EQ(value, i * 3);
    }
    std::int32_t untouched = 42;
    EXPECT_FALSE(stack.Pop(untouched));
    EXPECT_EQ(untouched, 42);

    // Emptied by popping, the storage is kept and reused.
    for (int i = 0; i < 4096; ++i) {
        ASSERT_TRUE(stack.Push(i));
    }
    EXPECT_EQ(stack.Capacity(), 4096);

    stack.Clear();
    EXPECT_EQ(stack.Count(), 0);
    EXPECT_EQ(stack.Capacity(), 0);
    EXPECT_FALSE(stack.Pop(untouched));
}

TEST(UBStackTest, StepBelowOneStillGrows) {
    CUBStack stack(0);
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(stack.Push(i));
    }
    std::int32_t value = 0;
    ASSERT_TRUE(stack.Pop(value));
    EXPECT_EQ(value, 9);
}

TEST(StackListTest, CountsOpenStacksAndReportsLeaks) {
    CStackList list;
    EXPECT_FALSE(list.LeakReport());
    auto first = list.CreateStack(2048);
    auto second = list.CreateStack(16);
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(first->GrowthStep(), 2048);
    EXPECT_EQ(list.OpenStacks(), 2);
    EXPECT_TRUE(list.DestroyStack(first));
    EXPECT_FALSE(first);
    EXPECT_FALSE(list.DestroyStack(first));  // nothing left to destroy
    EXPECT_EQ(list.LeakReport(), "1 Open Stacks found!");
    EXPECT_TRUE(list.DestroyStack(second));
    EXPECT_EQ(list.OpenStacks(), 0);
    EXPECT_FALSE(list.LeakReport());
}

}  // namespace
}  // namespace zobl
