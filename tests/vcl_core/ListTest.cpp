#include <gtest/gtest.h>

#include <thread>

#include "vcl/Classes.h"
#include "vcl/SysUtils.h"

using namespace vcl;

TEST(TList, IndexErrorsNameTheIndexAndLeaveTheListAlone) {
    TList l;
    int a = 1, b = 2;
    l.Add(&a);
    l.Add(&b);
    try {
        l.Get(2);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (2)");
    }
    EXPECT_THROW(l.Delete(-1), EListError);
    EXPECT_THROW(l.Insert(3, &a), EListError);
    EXPECT_EQ(l.Count(), 2);
    l.Insert(2, &a); // at the end is allowed
    EXPECT_EQ(l.Remove(&a), 0);
    EXPECT_EQ(l.IndexOf(&a), 1);
}

TEST(TThreadList, HolderMayLockAgainAndOthersWait) {
    TThreadList tl;
    int x = 0;
    TList* l = tl.LockList();
    TList* again = tl.LockList(); // re-entrant for its holder
    EXPECT_EQ(l, again);
    bool added = false;
    std::thread other([&] {
        tl.Add(&x);
        added = true;
    });
    tl.UnlockList();
    EXPECT_FALSE(added); // still held once
    tl.UnlockList();
    other.join();
    EXPECT_TRUE(added);
    TThreadListLock guard(tl);
    EXPECT_EQ(guard->Count(), 1);
}
