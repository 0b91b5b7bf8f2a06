// CallAddress with callees of 0, 2, 6 and 10 pointer-sized arguments, stdcall and
// cdecl (one convention on x64, where the register and stack slots are what is
// checked): each sees its arguments in order, returns its result, and leaves the
// caller intact.
#include <gtest/gtest.h>

#include <cstdint>

#include "memmodule/call_address.h"

namespace {

uintptr_t seen[10];
int seenCount;

void Record(std::initializer_list<uintptr_t> args)
{
    seenCount = 0;
    for (uintptr_t a : args)
        seen[seenCount++] = a;
}

uintptr_t __stdcall Std0() { Record({}); return 100; }
uintptr_t __stdcall Std2(uintptr_t a, uintptr_t b) { Record({a, b}); return 102; }
uintptr_t __stdcall Std6(uintptr_t a, uintptr_t b, uintptr_t c, uintptr_t d, uintptr_t e, uintptr_t f)
{
    Record({a, b, c, d, e, f});
    return 106;
}
uintptr_t __stdcall Std10(uintptr_t a, uintptr_t b, uintptr_t c, uintptr_t d, uintptr_t e, uintptr_t f, uintptr_t g,
                         uintptr_t h, uintptr_t i, uintptr_t j)
{
    Record({a, b, c, d, e, f, g, h, i, j});
    return 110;
}
uintptr_t __cdecl Cdecl0() { Record({}); return 200; }
uintptr_t __cdecl Cdecl2(uintptr_t a, uintptr_t b) { Record({a, b}); return 202; }
uintptr_t __cdecl Cdecl6(uintptr_t a, uintptr_t b, uintptr_t c, uintptr_t d, uintptr_t e, uintptr_t f)
{
    Record({a, b, c, d, e, f});
    return 206;
}
uintptr_t __cdecl Cdecl10(uintptr_t a, uintptr_t b, uintptr_t c, uintptr_t d, uintptr_t e, uintptr_t f, uintptr_t g,
                         uintptr_t h, uintptr_t i, uintptr_t j)
{
    Record({a, b, c, d, e, f, g, h, i, j});
    return 210;
}

template <typename F>
uintptr_t AddressOf(F* f) { return reinterpret_cast<uintptr_t>(f); }

struct Callee {
    const char* what;
    uintptr_t code;
    int arguments;
    uintptr_t result;
};

const Callee kCallees[] = {
    {"stdcall 0", AddressOf(Std0), 0, 100},     {"stdcall 2", AddressOf(Std2), 2, 102},
    {"stdcall 6", AddressOf(Std6), 6, 106},     {"stdcall 10", AddressOf(Std10), 10, 110},
    {"cdecl 0", AddressOf(Cdecl0), 0, 200},     {"cdecl 2", AddressOf(Cdecl2), 2, 202},
    {"cdecl 6", AddressOf(Cdecl6), 6, 206},     {"cdecl 10", AddressOf(Cdecl10), 10, 210},
};

// Every slot carries its top bits too: a slot passed at half width shows.
uintptr_t Slot(int n) { return (~uintptr_t{0} << 24) | uintptr_t(10 + n); }

TEST(CallAddress, EachCalleeSeesItsArgumentsInOrderAndReturnsItsResult)
{
    for (const Callee& c : kCallees) {
        seenCount = -1;
        EXPECT_EQ(CallAddress(c.code, Slot(1), Slot(2), Slot(3), Slot(4), Slot(5), Slot(6), Slot(7), Slot(8),
                              Slot(9), Slot(10)),
                  c.result)
            << c.what;
        ASSERT_EQ(seenCount, c.arguments) << c.what;
        for (int i = 0; i < c.arguments; ++i)
            EXPECT_EQ(seen[i], Slot(i + 1)) << c.what << " argument " << i + 1;
    }
}

// A stack pointer left wrong by even one slot would drift over many calls and
// corrupt these locals or the return path; every callee runs repeatedly here.
TEST(CallAddress, TheCallersStackSurvivesManyCallsOfEveryKind)
{
    volatile uintptr_t guard[4] = {0xA1, 0xB2, 0xC3, 0xD4};
    uintptr_t total = 0;
    for (int round = 0; round < 1000; ++round)
        for (const Callee& c : kCallees)
            total += CallAddress(c.code, uintptr_t(round), 0, 0, 0, 0, 0, 0, 0, 0, uintptr_t(round));
    uintptr_t expected = 0;
    for (const Callee& c : kCallees)
        expected += c.result;
    EXPECT_EQ(total, expected * 1000);
    EXPECT_EQ(guard[0], 0xA1u);
    EXPECT_EQ(guard[1], 0xB2u);
    EXPECT_EQ(guard[2], 0xC3u);
    EXPECT_EQ(guard[3], 0xD4u);
}

}  // namespace
