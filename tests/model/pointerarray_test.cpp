#include <gtest/gtest.h>

#include "model/pointerarray.h"

using namespace qv;

namespace {
// A holder that indexes the block through its own items variable.
struct Holder {
    void** items = nullptr;
    struct Array : NTypedAr<int> {
        explicit Array(void*** ref) : NTypedAr<int>(ref) {}
    } array{&items};
};
} // namespace

TEST(NPointerAr, GrowsByTenAndKeepsTheHoldersVariableOnTheCurrentBlock) {
    Holder h;
    EXPECT_EQ(h.array.capacity(), 10);
    int values[11];
    for (int i = 0; i < 11; ++i)
        h.array.add(&values[i]);
    EXPECT_EQ(h.array.capacity(), 20);
    EXPECT_EQ(h.array.count(), 11);
    EXPECT_EQ(h.array.get(10), &values[10]);
    EXPECT_EQ(h.items[10], &values[10]); // the holder sees the new block
    for (int i = 0; i < 10; ++i)
        h.array.add(&values[0]);
    EXPECT_EQ(h.array.capacity(), 30);
    h.array.clear();
    EXPECT_EQ(h.array.capacity(), 30); // never shrinks
}

TEST(NPointerAr, RemoveTakesOnlyTheFirstOccurrence) {
    NTypedAr<int> a;
    int x = 1, y = 2;
    a.add(&x);
    a.add(&y);
    a.add(&x);
    EXPECT_TRUE(a.remove(&x));
    EXPECT_EQ(a.count(), 2);
    EXPECT_EQ(a.indexOf(&x), 1);
    EXPECT_EQ(a.get(0), &y);
    int z = 3;
    EXPECT_FALSE(a.remove(&z));
}

TEST(NPointerAr, GetAndPutOutsideTheRangeDoNothing) {
    NTypedAr<int> a;
    int x = 1, y = 2;
    a.add(&x);
    EXPECT_EQ(a.get(1), nullptr);
    EXPECT_EQ(a.get(-1), nullptr);
    a.put(1, &y);
    a.put(-1, &y);
    EXPECT_EQ(a.count(), 1);
    EXPECT_EQ(a.get(0), &x);
    a.put(0, &y);
    EXPECT_EQ(a.get(0), &y);
}
