// The hotkey rules tick by tick: transitions, exact modifiers, second key,
// registration and the timer start, driven through a fake keyboard.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "tests/hotkeys/fake_hotkey_platform.h"

namespace {

constexpr HotkeyActionRef kActionA = 0xA1;
constexpr HotkeyActionRef kActionB = 0xB2;

using KeyStates = std::map<int, int16_t>;

// Ids fired by one tick with the given keys.
std::vector<int32_t> Tick(HotkeyCore& core, FakeHotkeyPlatform& platform, const KeyStates& keys)
{
    platform.keys = keys;
    platform.firings.clear();
    core.Poll();
    std::vector<int32_t> ids;
    for (const Firing& f : platform.firings)
        ids.push_back(f.id);
    return ids;
}

// --- the transition table, one cell per row ---------------------------------

struct TransitionCase {
    const char* name;
    int32_t keyCode;
    std::vector<int16_t> before; // ticks that bring the record to its starting state
    uint8_t startState;
    int16_t key;                 // the entry of the tick under test
    uint8_t endState;
    bool fires;
};

const TransitionCase kTransitions[] = {
    {"PressIdleUp", kF1, {}, Idle, 0, Idle, false},
    {"PressIdleDown", kF1, {}, Idle, kDown, Fired, true},
    {"PressIdlePressedSince", kF1, {}, Idle, kPressedSince, Idle, false},
    {"PressFiredUp", kF1, {kDown}, Fired, 0, Idle, false},
    {"PressFiredDown", kF1, {kDown}, Fired, kDown, Fired, false},
    {"PressFiredPressedSince", kF1, {kDown}, Fired, kPressedSince, Fired, false},
    {"ReleaseIdleUp", -kF1, {}, Idle, 0, Idle, false},
    {"ReleaseIdleDown", -kF1, {}, Idle, kDown, Held, false},
    {"ReleaseIdlePressedSince", -kF1, {}, Idle, kPressedSince, Idle, false},
    {"ReleaseHeldUp", -kF1, {kDown}, Held, 0, Fired, true},
    {"ReleaseHeldDown", -kF1, {kDown}, Held, kDown, Held, false},
    {"ReleaseHeldPressedSince", -kF1, {kDown}, Held, kPressedSince, Fired, true},
    {"ReleaseFiredUp", -kF1, {kDown, 0}, Fired, 0, Idle, false},
    {"ReleaseFiredDown", -kF1, {kDown, 0}, Fired, kDown, Fired, false},
    {"ReleaseFiredPressedSince", -kF1, {kDown, 0}, Fired, kPressedSince, Fired, false},
};

class Transition : public testing::TestWithParam<TransitionCase> {};

TEST_P(Transition, MovesTheRecordAndFiresAsTheTableSays)
{
    const TransitionCase& c = GetParam();
    FakeHotkeyPlatform platform;
    HotkeyCore core(platform);
    ASSERT_EQ(core.Register(kActionA, c.keyCode, 0, 0, 0, false), kFirstHotkeyId);
    for (int16_t key : c.before)
        Tick(core, platform, {{kF1, key}});
    ASSERT_EQ(core.record(0).state, c.startState);

    const std::vector<int32_t> fired = Tick(core, platform, {{kF1, c.key}});

    EXPECT_EQ(core.record(0).state, c.endState);
    EXPECT_EQ(fired, c.fires ? std::vector<int32_t>{kFirstHotkeyId} : std::vector<int32_t>{});
}

INSTANTIATE_TEST_SUITE_P(HotkeyCore, Transition, testing::ValuesIn(kTransitions),
                         [](const auto& info) { return std::string(info.param.name); });

// --- whole key sequences ------------------------------------------------------

struct Registration {
    int32_t keyCode;
    int32_t modifiers;
    int32_t secondKey;
};

struct SequenceCase {
    const char* name;
    std::vector<Registration> registrations; // ids 1000001.. in this order
    std::vector<KeyStates> ticks;
    std::vector<std::vector<int32_t>> fired; // per tick
};

std::vector<KeyStates> Repeat(const KeyStates& keys, size_t count)
{
    return std::vector<KeyStates>(count, keys);
}

std::vector<SequenceCase> SequenceCases()
{
    constexpr int32_t first = kFirstHotkeyId;
    constexpr int32_t second = kFirstHotkeyId + 1;
    std::vector<SequenceCase> cases = {
        {"PressFiresAgainOnlyAfterBeingSeenUp",
         {{kF1, 0, 0}},
         {{{kF1, kDown}}, {}, {{kF1, kDown}}},
         {{first}, {}, {first}}},
        {"ReleaseTriggeredFiresOnceWhenLetGo",
         {{-kF1, 0, 0}},
         {{{kF1, kDown}}, {{kF1, kDown}}, {}, {}},
         {{}, {}, {first}, {}}},
        {"PressAndReleaseBetweenTicksIsNotSeen",
         {{kF1, 0, 0}},
         {{{kF1, kPressedSince}}, {}},
         {{}, {}}},
        {"CtrlF1DoesNotFireF1",
         {{kF1, 0, 0}},
         {{{kCtrl, kDown}, {kF1, kDown}}},
         {{}}},
        {"LettingGoOfCtrlWhileF1IsHeldDoesNotFire",
         {{kF1, 0, 0}},
         {{{kCtrl, kDown}, {kF1, kDown}}, {{kF1, kDown}}, {{kF1, kDown}}, {}, {{kF1, kDown}}},
         {{}, {}, {}, {}, {first}}},
        {"RightWindowsKeyDoesNotBlock",
         {{kF1, 0, 0}},
         {{{kRightWin, kDown}, {kF1, kDown}}},
         {{first}}},
        {"LeftWindowsKeyBlocks",
         {{kF1, 0, 0}},
         {{{kLeftWin, kDown}, {kF1, kDown}}},
         {{}}},
        {"WinModifierCountsOnlyTheLeftKey",
         {{kF1, ModWin, 0}},
         {{{kRightWin, kDown}, {kF1, kDown}}, {}, {{kLeftWin, kDown}, {kF1, kDown}}},
         {{}, {}, {first}}},
        {"ModifiersMustMatchExactly",
         {{kF1, ModCtrl + ModShift, 0}},
         {{{kCtrl, kDown}, {kF1, kDown}},
          {},
          {{kCtrl, kDown}, {kShift, kDown}, {kAlt, kDown}, {kF1, kDown}},
          {},
          {{kCtrl, kDown}, {kShift, kDown}, {kF1, kDown}}},
         {{}, {}, {}, {}, {first}}},
        {"ModifierPressedSinceIsNotDown",
         {{kF1, ModAlt, 0}},
         {{{kAlt, kPressedSince}, {kF1, kDown}}, {}, {{kAlt, kDown}, {kF1, kDown}}},
         {{}, {}, {first}}},
        {"SecondKeyMustBeDownWhenTheKeyIsFirstSeen",
         {{kF1, 0, kKeyA}},
         {{{kF1, kDown}}, {{kF1, kDown}, {kKeyA, kDown}}, {}, {{kF1, kDown}, {kKeyA, kDown}}},
         {{}, {}, {}, {first}}},
        {"SecondKeyIsReducedLikeTheKey",
         {{kF1, 0, -(kKeyA + 256)}},
         {{{kF1, kDown}, {kKeyA, kDown}}},
         {{first}}},
        {"SameKeyWithOtherModifiersIsItsOwnRecord",
         {{kF1, 0, 0}, {kF1, ModCtrl, 0}},
         {{{kCtrl, kDown}, {kF1, kDown}}, {}, {{kF1, kDown}}},
         {{second}, {}, {first}}},
        {"Code368PollsF1AsASeparateRecord",
         {{kF1, 0, 0}, {kF1 + 256, 0, 0}},
         {{{kF1, kDown}}, {{kF1, kDown}}},
         {{first, second}, {}}},
        {"PressAndReleaseCodesAreSeparateRecords",
         {{kF1, 0, 0}, {-kF1, 0, 0}},
         {{{kF1, kDown}}, {}},
         {{first}, {second}}},
        {"RecordsFiringInOneTickFireInTableOrder",
         {{kF2, 0, 0}, {kF1, 0, 0}},
         {{{kF1, kDown}, {kF2, kDown}}},
         {{first, second}}},
        {"EachRecordKeepsItsOwnState",
         {{kF1, 0, 0}, {kF2, 0, 0}},
         {{{kF1, kDown}}, {{kF1, kDown}, {kF2, kDown}}, {{kF2, kDown}}, {{kF1, kDown}, {kF2, kDown}}},
         {{first}, {second}, {}, {first}}},
    };
    SequenceCase hold{"HoldingForManyTicksFiresOnce", {{kF1, 0, 0}}, Repeat({{kF1, kDown}}, 500), {}};
    hold.fired.assign(hold.ticks.size(), {});
    hold.fired[0] = {first};
    cases.push_back(hold);
    return cases;
}

class Sequence : public testing::TestWithParam<SequenceCase> {};

TEST_P(Sequence, FiresExactlyTheExpectedRecordsAtEachTick)
{
    const SequenceCase& c = GetParam();
    ASSERT_EQ(c.ticks.size(), c.fired.size());
    FakeHotkeyPlatform platform;
    HotkeyCore core(platform);
    for (const Registration& r : c.registrations)
        ASSERT_NE(core.Register(kActionA, r.keyCode, r.modifiers, r.secondKey, 0, false), 0);
    for (size_t tick = 0; tick < c.ticks.size(); ++tick)
        EXPECT_EQ(Tick(core, platform, c.ticks[tick]), c.fired[tick]) << "tick " << tick;
}

INSTANTIATE_TEST_SUITE_P(HotkeyCore, Sequence, testing::ValuesIn(SequenceCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// --- registration and the timer ----------------------------------------------

TEST(HotkeyCore, IdsCountFromTheFirstRecord)
{
    FakeHotkeyPlatform platform;
    HotkeyCore core(platform);
    EXPECT_EQ(core.Register(kActionA, kF1, 0, 0, 0, false), 1000001);
    EXPECT_EQ(core.Register(kActionB, kF2, 0, 0, 0, false), 1000002);
    EXPECT_EQ(core.size(), 2u);
}

TEST(HotkeyCore, ReRegistrationReturnsTheSameIdAndReplacesActionAndCallDirectly)
{
    FakeHotkeyPlatform platform;
    HotkeyCore core(platform);
    const int32_t id = core.Register(kActionA, kF1, ModCtrl, kKeyA, 0, false);
    Tick(core, platform, {{kF1, kDown}}); // used up: Fired

    EXPECT_EQ(core.Register(kActionB, kF1, ModCtrl, kKeyA, 99, true), id);

    ASSERT_EQ(core.size(), 1u);
    const HotkeyRecord& r = core.record(0);
    EXPECT_EQ(r.action, kActionB);
    EXPECT_NE(r.callDirectly, 0);
    EXPECT_EQ(r.state, Fired);
    ASSERT_EQ(platform.timers.size(), 1u);
    EXPECT_EQ(platform.timers[0].intervalMs, static_cast<uint32_t>(kDefaultPollIntervalMs));

    Tick(core, platform, {});
    Tick(core, platform, {{kCtrl, kDown}, {kKeyA, kDown}, {kF1, kDown}});
    ASSERT_EQ(platform.firings.size(), 1u);
    EXPECT_EQ(platform.firings[0].action, kActionB);
    EXPECT_NE(platform.firings[0].callDirectly, 0);
}

TEST(HotkeyCore, RefusedCodesChangeNothing)
{
    for (int32_t refused : {0, 256, -256, 512, INT_MIN}) {
        FakeHotkeyPlatform platform;
        HotkeyCore core(platform);
        EXPECT_EQ(core.Register(kActionA, refused, 0, 0, 50, false), 0) << refused;
        EXPECT_EQ(core.size(), 0u);
        EXPECT_TRUE(platform.timers.empty()) << refused;

        EXPECT_EQ(core.Register(kActionA, kF1, 0, 0, 50, false), kFirstHotkeyId);
        ASSERT_EQ(platform.timers.size(), 1u);
        EXPECT_EQ(platform.timers[0].intervalMs, 50u);
    }
}

TEST(HotkeyCore, SecondKeyThatReducesToZeroIsRefused)
{
    FakeHotkeyPlatform platform;
    HotkeyCore core(platform);
    EXPECT_EQ(core.Register(kActionA, kF1, 0, 256, 0, false), 0);
    EXPECT_EQ(core.size(), 0u);
    EXPECT_TRUE(platform.timers.empty());
}

TEST(HotkeyCore, ExtremeCodesReduceToTheirLowByte)
{
    struct Case { int32_t raw; int reduced; };
    const Case cases[] = {{112, 112}, {-112, 112}, {368, 112}, {-368, 112}, {255, 255},
                          {256, 0}, {INT_MAX, 255}, {INT_MIN, 0}, {INT_MIN + 1, 255}};
    for (const Case& c : cases)
        EXPECT_EQ(ReduceKeyCode(c.raw), c.reduced) << c.raw;
}

struct IntervalCase {
    int32_t requested;
    uint32_t used;
};

class TimerInterval : public testing::TestWithParam<IntervalCase> {};

TEST_P(TimerInterval, FirstRegistrationStartsTheOneTimer)
{
    FakeHotkeyPlatform platform;
    HotkeyCore core(platform);
    core.Register(kActionA, kF1, 0, 0, GetParam().requested, false);
    core.Register(kActionA, kF2, 0, 0, 1000, false);
    core.Register(kActionA, kF1, 0, 0, 1000, true);

    ASSERT_EQ(platform.timers.size(), 1u);
    EXPECT_EQ(platform.timers[0].timerId, 16661u);
    EXPECT_EQ(platform.timers[0].intervalMs, GetParam().used);
}

INSTANTIATE_TEST_SUITE_P(HotkeyCore, TimerInterval,
                         testing::Values(IntervalCase{0, 10}, IntervalCase{-5, 10},
                                         IntervalCase{INT_MIN, 10}, IntervalCase{1, 1},
                                         IntervalCase{50, 50}));

TEST(HotkeyCore, EveryPollQueriesEveryKeyOnceInAscendingOrder)
{
    std::vector<int> expected;
    for (int key = 1; key <= 255; ++key)
        expected.push_back(key);

    FakeHotkeyPlatform platform;
    HotkeyCore core(platform);
    core.Poll(); // even with an empty table
    EXPECT_EQ(platform.queries, expected);

    core.Register(kActionA, kF1, 0, 0, 0, false);
    core.Register(kActionA, kF1 + 256, ModCtrl, kKeyA, 0, false);
    platform.queries.clear();
    core.Poll();
    EXPECT_EQ(platform.queries, expected);
}

TEST(HotkeyCore, FiringCarriesTheRecordsActionIdAndMode)
{
    FakeHotkeyPlatform platform;
    HotkeyCore core(platform);
    core.Register(kActionA, kF1, 0, 0, 0, true);
    core.Register(kActionB, kF2, 0, 0, 0, false);
    Tick(core, platform, {{kF1, kDown}, {kF2, kDown}});

    ASSERT_EQ(platform.firings.size(), 2u);
    EXPECT_EQ(platform.firings[0].id, kFirstHotkeyId);
    EXPECT_EQ(platform.firings[0].action, kActionA);
    EXPECT_NE(platform.firings[0].callDirectly, 0);
    EXPECT_EQ(platform.firings[1].id, kFirstHotkeyId + 1);
    EXPECT_EQ(platform.firings[1].action, kActionB);
    EXPECT_EQ(platform.firings[1].callDirectly, 0);
}

} // namespace
