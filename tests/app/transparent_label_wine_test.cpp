// The transparent label's state has one owner at every step of its creation:
// a creation the label's own window refuses after WM_NCCREATE frees it once.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <new>

#include "app/transparent_label.h"

namespace {

// While counting, deletes are tallied and not carried out, so a second delete
// of the same state shows as a count instead of corrupting the heap.
bool counting = false;
int news = 0;
int deletes = 0;

WNDPROC labelProcedure = nullptr;
UINT refusedAt = 0;  // the creation message the test class fails

LRESULT CALLBACK RefusingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == refusedAt)
        return message == WM_NCCREATE ? FALSE : -1;
    return CallWindowProcA(labelProcedure, window, message, wParam, lParam);
}

const ControlRow kRow = {"label", ControlKind::Label, kInWindow, 0, 0, 80, 20, "text", ActionKind::None, 0,
                         {LabelFont::Statement, {1, 2, 3}, HorizontalAlign::Left, VerticalAlign::Top, false,
                          false}};

TEST(TransparentLabel, ACreationRefusedByTheWindowFreesTheStateOnce)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterTransparentLabelClass(instance));
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, instance, nullptr);
    ASSERT_TRUE(parent);
    HWND first = CreateTransparentLabel(parent, 1, kRow, nullptr, nullptr);
    ASSERT_TRUE(first);
    // Every later label of the class runs through the refusing procedure first.
    labelProcedure = reinterpret_cast<WNDPROC>(
        SetClassLongPtrA(first, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(RefusingProcedure)));
    ASSERT_TRUE(labelProcedure);

    for (UINT message : {UINT(WM_CREATE), UINT(WM_NCCREATE)}) {
        SCOPED_TRACE(message);
        refusedAt = message;
        news = deletes = 0;
        counting = true;
        HWND label = CreateTransparentLabel(parent, 2, kRow, nullptr, nullptr);
        counting = false;
        EXPECT_EQ(label, nullptr);
        EXPECT_EQ(news, 1);
        EXPECT_EQ(deletes, 1);
    }
    DestroyWindow(parent);
}

}  // namespace

void* operator new(size_t size)
{
    if (counting)
        ++news;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

namespace {

void Release(void* block)
{
    if (block && counting) {
        ++deletes;
        return;
    }
    std::free(block);
}

}  // namespace

void operator delete(void* block) noexcept { Release(block); }
void operator delete(void* block, size_t) noexcept { Release(block); }
