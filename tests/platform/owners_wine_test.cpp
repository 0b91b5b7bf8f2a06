// The Windows owners against the real system: each gives what it holds back through
// the call its kind needs, a selection is put back while its DC and object still
// live, and a DC borrowed from a window remembers that window.
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "platform/gdi_handles.h"
#include "platform/handles.h"
#include "platform/memory_blocks.h"

namespace {

constexpr int kBitmapSide = 8;
constexpr SIZE_T kBlockBytes = 64 * 1024;   // an ordinary heap block: neither tiny nor a large one
constexpr SIZE_T kReservationBytes = 64 * 1024;

bool IsGdiObject(HGDIOBJ object) { return GetObjectType(object) != 0; }

bool IsOpenHandle(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

// Whether the process heap lists block as in use.
bool HeapHoldsBusy(const void* block)
{
    HANDLE heap = GetProcessHeap();
    PROCESS_HEAP_ENTRY entry = {};
    bool busy = false;
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        if (entry.lpData == block && (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY))
            busy = true;
    HeapUnlock(heap);
    return busy;
}

TEST(KernelOwners, AHandleIsClosedWhenItsOwnerEnds)
{
    HANDLE event = nullptr;
    {
        UniqueHandle owner(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(owner);
        event = owner.get();
        EXPECT_TRUE(IsOpenHandle(event));
    }
    EXPECT_FALSE(IsOpenHandle(event));
}

TEST(KernelOwners, AFileIsClosedAndAFailedOpenHoldsNothing)
{
    char folder[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
    ASSERT_NE(GetTempFileNameA(folder, "own", 0, path), 0u);
    {
        // Deleted by the system when its last handle closes: its going shows the close.
        UniqueFile file(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE,
                                    nullptr));
        ASSERT_TRUE(file);
        EXPECT_NE(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);

    UniqueFile missing(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);
}

TEST(MemoryOwners, AHeapBlockIsFreedWhenItsOwnerEnds)
{
    void* block = nullptr;
    {
        UniqueHeapBlock<uint8_t> owner = AllocateHeapBlock<uint8_t>(kBlockBytes, HEAP_ZERO_MEMORY);
        ASSERT_TRUE(owner);
        EXPECT_EQ(owner.get()[0], 0);
        EXPECT_EQ(owner.get()[kBlockBytes - 1], 0);
        block = owner.get();
        EXPECT_TRUE(HeapHoldsBusy(block));
    }
    EXPECT_FALSE(HeapHoldsBusy(block));
}

struct Tracked {
    Tracked(int* alive, int value) : alive(alive), value(value) { ++*alive; }
    ~Tracked() { --*alive; }
    int* alive;
    int value;
};

TEST(MemoryOwners, AHeapObjectIsBuiltFromItsArgumentsAndDestroyedBeforeItsBlockGoes)
{
    int alive = 0;
    void* block = nullptr;
    {
        UniqueHeapObject<Tracked> owner = MakeHeapObject<Tracked>(&alive, 42);
        ASSERT_TRUE(owner);
        EXPECT_EQ(owner.get()->value, 42);
        EXPECT_EQ(alive, 1);
        block = owner.get();
        EXPECT_TRUE(HeapHoldsBusy(block));
    }
    EXPECT_EQ(alive, 0);
    EXPECT_FALSE(HeapHoldsBusy(block));
}

TEST(MemoryOwners, AReservationIsReleasedWhole)
{
    void* base = nullptr;
    {
        UniqueVirtualMemory owner(VirtualAlloc(nullptr, kReservationBytes, MEM_RESERVE, PAGE_NOACCESS));
        ASSERT_TRUE(owner);
        base = owner.get();
        MEMORY_BASIC_INFORMATION held = {};
        ASSERT_NE(VirtualQuery(base, &held, sizeof held), 0u);
        EXPECT_EQ(held.State, static_cast<DWORD>(MEM_RESERVE));
    }
    MEMORY_BASIC_INFORMATION after = {};
    ASSERT_NE(VirtualQuery(base, &after, sizeof after), 0u);
    EXPECT_EQ(after.State, static_cast<DWORD>(MEM_FREE));
}

TEST(GdiOwners, AFontIsDeletedWhenItsOwnerEnds)
{
    LOGFONTA description = {};
    description.lfHeight = -12;
    HFONT font = nullptr;
    {
        UniqueFont owner = MakeFont(description);
        ASSERT_TRUE(owner);
        font = owner.get();
        EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_FALSE(IsGdiObject(font));
}

TEST(GdiOwners, ASelectionIsPutBackBeforeTheBitmapAndTheDcAreDeleted)
{
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ original = nullptr;
    {
        MemoryDc memory(CreateCompatibleDC(nullptr));
        ASSERT_TRUE(memory);
        UniqueBitmap owned(CreateCompatibleBitmap(memory.get(), kBitmapSide, kBitmapSide));
        ASSERT_TRUE(owned);
        dc = memory.get();
        bitmap = owned.get();
        original = GetCurrentObject(dc, OBJ_BITMAP);
        {
            SelectedObject selection = Select(dc, bitmap);
            ASSERT_TRUE(selection);
            EXPECT_EQ(selection.get(), original);
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
        }
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), original);
        EXPECT_TRUE(IsGdiObject(bitmap));
    }
    EXPECT_FALSE(IsGdiObject(bitmap));
    EXPECT_FALSE(IsGdiObject(dc));
    EXPECT_TRUE(IsGdiObject(original));   // the DC's stock bitmap stays
}

TEST(GdiOwners, AWindowDcRemembersTheWindowItGoesBackTo)
{
    HWND window = CreateWindowExA(0, "STATIC", "dc owner", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr, nullptr,
                                  nullptr);
    ASSERT_NE(window, nullptr);
    {
        WindowDc client = ClientDcOf(window);
        ASSERT_TRUE(client);
        EXPECT_EQ(client.closer().window, window);
        EXPECT_EQ(WindowFromDC(client.get()), window);
        WindowDc whole = WholeWindowDcOf(window);
        ASSERT_TRUE(whole);
        EXPECT_EQ(whole.closer().window, window);
        WindowDc moved(std::move(whole));
        EXPECT_FALSE(whole);
        EXPECT_EQ(moved.closer().window, window);
    }
    DestroyWindow(window);
}

}  // namespace
