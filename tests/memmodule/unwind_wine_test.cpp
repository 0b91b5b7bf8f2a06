// x86-64 only: C++ exceptions crossing the frames of an image the loader mapped,
// which the system's unwinder finds only through the function table the loader
// registers. Thrown and caught inside the image, and thrown by a host callback
// through the image's frame back to the host.
#include <gtest/gtest.h>

#include <windows.h>

#include "memmodule/call_address.h"
#include "memmodule/memory_module.h"

extern "C" const ByteBuffer MmUnwindImage;

namespace {

constexpr intptr_t kThrowMark = 0x7000;

struct HostError {
    intptr_t value;
};

intptr_t Call(uint64_t proc, uintptr_t a1 = 0, uintptr_t a2 = 0)
{
    return static_cast<intptr_t>(CallAddress(static_cast<uintptr_t>(proc), a1, a2, 0, 0, 0, 0, 0, 0, 0, 0));
}

intptr_t AddOne(intptr_t value) { return value + 1; }

intptr_t ThrowFromHost(intptr_t value) { throw HostError{value + kThrowMark}; }

TEST(WineUnwind, AnExceptionThrownAndCaughtInsideTheImage)
{
    MemoryModule module;
    ASSERT_TRUE(module.Load(MmUnwindImage));
    EXPECT_EQ(Call(module.GetProc("CatchInside"), 41), 42);
    EXPECT_EQ(Call(module.GetProc("UnwoundGuards")), 1);
    EXPECT_EQ(Call(module.GetProc("CatchInside"), 0), 0);
    module.Unload();
}

TEST(WineUnwind, AHostExceptionUnwindsThroughTheImagesFrameToTheHost)
{
    MemoryModule module;
    ASSERT_TRUE(module.Load(MmUnwindImage));
    const uint64_t callThrough = module.GetProc("CallThrough");
    EXPECT_EQ(Call(callThrough, reinterpret_cast<uintptr_t>(&AddOne), 5), 7);
    const intptr_t guardsBefore = Call(module.GetProc("UnwoundGuards"));
    intptr_t caught = 0;
    try {
        Call(callThrough, reinterpret_cast<uintptr_t>(&ThrowFromHost), 9);
    } catch (const HostError& error) {
        caught = error.value;
    }
    EXPECT_EQ(caught, 9 + kThrowMark);
    EXPECT_EQ(Call(module.GetProc("UnwoundGuards")), guardsBefore + 1) << "the image's frame was not cleaned up";
    module.Unload();
}

TEST(WineUnwind, AReloadedImageUnwindsAgain)
{
    for (int round = 0; round < 2; ++round) {
        MemoryModule module;
        ASSERT_TRUE(module.Load(MmUnwindImage)) << round;
        EXPECT_EQ(Call(module.GetProc("CatchInside"), 1), 2) << round;
        module.Unload();
    }
}

}  // namespace
