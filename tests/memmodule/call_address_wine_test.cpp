// CallAddress with callees of 0, 2, 6 and 10 arguments, stdcall and cdecl: each
// sees its arguments in order, returns its result, and leaves the caller intact.
#include <gtest/gtest.h>

#include <cstdint>

#include "memmodule/call_address.h"

namespace {

uint32_t seen[10];
int seenCount;

void Record(std::initializer_list<uint32_t> args)
{
    seenCount = 0;
    for (uint32_t a : args)
        seen[seenCount++] = a;
}

uint32_t __stdcall Std0() { Record({}); return 100; }
uint32_t __stdcall Std2(uint32_t a, uint32_t b) { Record({a, b}); return 102; }
uint32_t __stdcall Std6(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f)
{
    Record({a, b, c, d, e, f});
    return 106;
}
uint32_t __stdcall Std10(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f, uint32_t g,
                         uint32_t h, uint32_t i, uint32_t j)
{
    Record({a, b, c, d, e, f, g, h, i, j});
    return 110;
}
uint32_t __cdecl Cdecl0() { Record({}); return 200; }
uint32_t __cdecl Cdecl2(uint32_t a, uint32_t b) { Record({a, b}); return 202; }
uint32_t __cdecl Cdecl6(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f)
{
    Record({a, b, c, d, e, f});
    return 206;
}
uint32_t __cdecl Cdecl10(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f, uint32_t g,
                         uint32_t h, uint32_t i, uint32_t j)
{
    Record({a, b, c, d, e, f, g, h, i, j});
    return 210;
}

template <typename F>
uint32_t AddressOf(F* f) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(f)); }

struct Callee {
    const char* what;
    uint32_t code;
    int arguments;
    uint32_t result;
};

const Callee kCallees[] = {
    {"stdcall 0", AddressOf(Std0), 0, 100},     {"stdcall 2", AddressOf(Std2), 2, 102},
    {"stdcall 6", AddressOf(Std6), 6, 106},     {"stdcall 10", AddressOf(Std10), 10, 110},
    {"cdecl 0", AddressOf(Cdecl0), 0, 200},     {"cdecl 2", AddressOf(Cdecl2), 2, 202},
    {"cdecl 6", AddressOf(Cdecl6), 6, 206},     {"cdecl 10", AddressOf(Cdecl10), 10, 210},
};

TEST(CallAddress, EachCalleeSeesItsArgumentsInOrderAndReturnsItsResult)
{
    for (const Callee& c : kCallees) {
        seenCount = -1;
        EXPECT_EQ(CallAddress(c.code, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20), c.result) << c.what;
        ASSERT_EQ(seenCount, c.arguments) << c.what;
        for (int i = 0; i < c.arguments; ++i)
            EXPECT_EQ(seen[i], uint32_t(11 + i)) << c.what << " argument " << i + 1;
    }
}

// A stack pointer left wrong by even one slot would drift over many calls and
// corrupt these locals or the return path; every callee runs repeatedly here.
TEST(CallAddress, TheCallersStackSurvivesManyCallsOfEveryKind)
{
    volatile uint32_t guard[4] = {0xA1, 0xB2, 0xC3, 0xD4};
    uint32_t total = 0;
    for (int round = 0; round < 1000; ++round)
        for (const Callee& c : kCallees)
            total += CallAddress(c.code, uint32_t(round), 0, 0, 0, 0, 0, 0, 0, 0, uint32_t(round));
    uint32_t expected = 0;
    for (const Callee& c : kCallees)
        expected += c.result;
    EXPECT_EQ(total, expected * 1000);
    EXPECT_EQ(guard[0], 0xA1u);
    EXPECT_EQ(guard[1], 0xB2u);
    EXPECT_EQ(guard[2], 0xC3u);
    EXPECT_EQ(guard[3], 0xD4u);
}

}  // namespace
