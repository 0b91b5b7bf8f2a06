// C++ exceptions that pass through the loaded image's own frames: thrown and caught
// inside it, and thrown by the host's callback through a frame of it back to the
// host. Both need the image's function table registered with the unwinder.
#include <cstdint>

namespace {

volatile int unwoundGuards;

// Counts, when destroyed during unwinding, that the image's cleanup code ran.
struct Guard {
    ~Guard() { unwoundGuards = unwoundGuards + 1; }
};

__attribute__((noinline)) void ThrowValue(int value)
{
    Guard guard;
    if (value != 0)
        throw value;
}

}  // namespace

// value + 1 when the throw two frames down was caught here, 0 otherwise.
extern "C" __declspec(dllexport) intptr_t CatchInside(intptr_t value)
{
    try {
        ThrowValue(static_cast<int>(value));
    } catch (int caught) {
        return caught + 1;
    }
    return 0;
}

// Calls back into the host; whatever the callback throws passes this frame.
extern "C" __declspec(dllexport) __attribute__((noinline)) intptr_t CallThrough(intptr_t (*callback)(intptr_t),
                                                                                  intptr_t value)
{
    Guard guard;
    const intptr_t result = callback(value);
    return result + 1;
}

extern "C" __declspec(dllexport) intptr_t UnwoundGuards() { return unwoundGuards; }

// The image's entry, in place of MinGW's start-up code (which expects the real
// module handle). That code also keeps the runtime's exit-time registrations, which
// the runtime's libraries make lazily: they are kept here and run at detach.
// Static constructors are not run: nothing here needs them.
namespace {

constexpr uint32_t kProcessDetach = 0;
constexpr int kMaxExitCalls = 32;
void (*exitCalls[kMaxExitCalls])();
int exitCallCount;

}  // namespace

extern "C" int atexit(void (*call)())
{
    if (exitCallCount == kMaxExitCalls)
        return -1;
    exitCalls[exitCallCount++] = call;
    return 0;
}

extern "C" int __stdcall LibraryEntry(void* handle, uint32_t reason, void* reserved);

extern "C" int __stdcall UnwindLibraryEntry(void* handle, uint32_t reason, void* reserved)
{
    if (reason == kProcessDetach) {
        while (exitCallCount > 0)
            exitCalls[--exitCallCount]();
    }
    return LibraryEntry(handle, reason, reserved);
}
