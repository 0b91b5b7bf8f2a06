// The owner every handle, DC and block lives in: each value reaches its Close exactly
// once, with what that Close carries, and never when empty, moved away or released.
#include <gtest/gtest.h>

#include <type_traits>
#include <utility>
#include <vector>

#include "base/unique_resource.h"

namespace {

// One Close call: what the closer carried (as a DC's window) and the value closed.
struct Closed {
    int context;
    int value;
    bool operator==(const Closed& o) const { return context == o.context && value == o.value; }
};
using Log = std::vector<Closed>;

struct RecordingClose {
    Log* log = nullptr;
    int context = 0;
    void operator()(int value) const { log->push_back({context, value}); }
};
using Owner = UniqueResource<int, RecordingClose>;

Owner Own(Log& log, int value, int context = 0) { return Owner(value, RecordingClose{&log, context}); }

// A kind whose empty value is -1 and for which 0 is a real value, as with files.
struct MinusOneIsInvalid {
    static int Value() { return -1; }
};
using FileLikeOwner = UniqueResource<int, RecordingClose, MinusOneIsInvalid>;

Log statelessLog;
struct StatelessClose {
    void operator()(int* value) const { statelessLog.push_back({0, *value}); }
};

static_assert(!std::is_copy_constructible<Owner>::value, "an owner is never copied");
static_assert(!std::is_copy_assignable<Owner>::value, "an owner is never copied");
static_assert(std::is_nothrow_move_constructible<Owner>::value, "containers move owners");

TEST(UniqueResource, ClosesItsValueOnceWhenItEnds)
{
    Log log;
    { Owner owner = Own(log, 7); }
    EXPECT_EQ(log, (Log{{0, 7}}));
}

TEST(UniqueResource, AnEmptyOwnerClosesNothing)
{
    Log log;
    {
        Owner byDefault;
        Owner fromNull(0, RecordingClose{&log, 1});
        EXPECT_FALSE(byDefault);
        EXPECT_FALSE(fromNull);
    }
    EXPECT_TRUE(log.empty());
}

TEST(UniqueResource, OnlyTheKindsOwnInvalidValueGoesUnclosed)
{
    Log log;
    {
        FileLikeOwner byDefault;
        EXPECT_EQ(byDefault.get(), -1);
        FileLikeOwner invalid(-1, RecordingClose{&log, 1});
        FileLikeOwner zero(0, RecordingClose{&log, 2});
        EXPECT_FALSE(invalid);
        EXPECT_TRUE(zero);
    }
    EXPECT_EQ(log, (Log{{2, 0}}));
}

TEST(UniqueResource, MovingHandsOverTheValueAndItsCloser)
{
    Log log;
    {
        Owner source = Own(log, 3, 30);
        Owner target(std::move(source));
        EXPECT_FALSE(source);
        EXPECT_EQ(target.get(), 3);
        EXPECT_EQ(target.closer().context, 30);
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(log, (Log{{30, 3}}));
}

TEST(UniqueResource, MoveAssignmentFirstClosesWhatTheTargetHeldWithItsOwnCloser)
{
    Log log;
    {
        Owner target = Own(log, 1, 10);
        Owner source = Own(log, 2, 20);
        target = std::move(source);
        EXPECT_EQ(log, (Log{{10, 1}}));
        EXPECT_FALSE(source);
        EXPECT_EQ(target.get(), 2);
    }
    EXPECT_EQ(log, (Log{{10, 1}, {20, 2}}));
}

TEST(UniqueResource, MoveAssignmentToItselfKeepsTheValue)
{
    Log log;
    {
        Owner owner = Own(log, 4);
        Owner& alias = owner;
        owner = std::move(alias);
        EXPECT_EQ(owner.get(), 4);
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(log, (Log{{0, 4}}));
}

TEST(UniqueResource, ReleaseGivesTheValueUpUnclosed)
{
    Log log;
    {
        Owner owner = Own(log, 5);
        EXPECT_EQ(owner.release(), 5);
        EXPECT_FALSE(owner);
    }
    EXPECT_TRUE(log.empty());
}

TEST(UniqueResource, ResetClosesTheOldValueAndHoldsTheNewOne)
{
    Log log;
    {
        Owner owner = Own(log, 6, 60);
        owner.reset(8);
        EXPECT_EQ(log, (Log{{60, 6}}));
        EXPECT_EQ(owner.get(), 8);
        owner.reset();
        EXPECT_EQ(log, (Log{{60, 6}, {60, 8}}));
        EXPECT_FALSE(owner);
    }
    EXPECT_EQ(log.size(), 2u);
}

TEST(UniqueResource, OwnersInAGrowingVectorEachCloseOnce)
{
    Log log;
    {
        std::vector<Owner> owners;
        for (int value = 1; value <= 20; ++value)
            owners.push_back(Own(log, value));
        EXPECT_TRUE(log.empty());
    }
    ASSERT_EQ(log.size(), 20u);
    for (int value = 1; value <= 20; ++value)
        EXPECT_EQ(log[value - 1].value, value);
}

TEST(UniqueResource, AStatelessCloserCostsNoSpace)
{
    using PointerOwner = UniqueResource<int*, StatelessClose>;
    EXPECT_EQ(sizeof(PointerOwner), sizeof(int*));
    statelessLog.clear();
    int held = 9;
    { PointerOwner owner(&held); }
    EXPECT_EQ(statelessLog, (Log{{0, 9}}));
}

}  // namespace
