// Bench builds only: before WinMain, points a few entries of the program's own
// import table at wrappers that write a dated line, then call the platform.
// Calls made inside the platform or the skin engine are not seen, only ours.
#include "bench/stamps.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/handles.h"

namespace {

using PreciseTime = void(WINAPI*)(FILETIME*);
using CreateThreadFn = decltype(&CreateThread);
using CreateWindowFn = decltype(&CreateWindowExA);
using RegisterClassFn = decltype(&RegisterClassA);
using MessageBoxFn = decltype(&MessageBoxA);
using HeapAllocFn = decltype(&HeapAlloc);
using VirtualAllocFn = decltype(&VirtualAlloc);
using WaveOpenFn = decltype(&waveOutOpen);
using WaveWriteFn = decltype(&waveOutWrite);
using WaveCloseFn = decltype(&waveOutClose);

constexpr SIZE_T kSampleCopyAtLeast = 64 * 1024;  // smaller heap blocks are not a sound's
constexpr int kDevicesTracked = 512;

struct Originals {
    CreateThreadFn createThread;
    CreateWindowFn createWindow;
    RegisterClassFn registerClass;
    MessageBoxFn messageBox;
    HeapAllocFn heapAlloc;
    VirtualAllocFn virtualAlloc;
    WaveOpenFn waveOpen;
    WaveWriteFn waveWrite;
    WaveCloseFn waveClose;
} real;

PreciseTime preciseTime = nullptr;
UniqueFile out;
CriticalSection devicesLock;
HWAVEOUT devicesWritten[kDevicesTracked];
volatile LONG devicesWrittenCount = 0;
volatile LONG firstVirtualAlloc = 1;
volatile LONG firstRegisterClass = 1;

double WallSeconds()
{
    FILETIME now;
    if (preciseTime)
        preciseTime(&now);
    else
        GetSystemTimeAsFileTime(&now);
    const ULONGLONG ticks = (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return double(ticks) / 1e7 - 11644473600.0;  // from 1601 to the Unix epoch
}

void StampAt(double wall, const char* event, const char* detail)
{
    if (!out)
        return;
    char line[256];
    const int n = std::snprintf(line, sizeof line, "%.6f %s %s\n", wall, event, detail);
    DWORD written;
    WriteFile(out.get(), line, DWORD(n), &written, nullptr);
}

bool IsTopLevel(HWND window) { return GetAncestor(window, GA_PARENT) == GetDesktopWindow(); }

void ClassOf(HWND window, char* name, int size)
{
    if (!GetClassNameA(window, name, size))
        name[0] = 0;
}

struct ThreadStart {
    LPTHREAD_START_ROUTINE start;
    LPVOID parameter;
    bool suspended;
};

DWORD WINAPI StampedThread(LPVOID argument)
{
    const ThreadStart begin = *static_cast<ThreadStart*>(argument);
    delete static_cast<ThreadStart*>(argument);
    Stamp("thread-start", begin.suspended ? "player" : "action");
    return begin.start(begin.parameter);
}

// The players' threads are made suspended; the hotkey actions' are not.
HANDLE WINAPI StampCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack, LPTHREAD_START_ROUTINE start,
                                LPVOID parameter, DWORD flags, LPDWORD id)
{
    const bool suspended = (flags & CREATE_SUSPENDED) != 0;
    Stamp("thread-made", suspended ? "player" : "action");
    return real.createThread(security, stack, StampedThread, new ThreadStart{start, parameter, suspended}, flags,
                             id);
}

HWND WINAPI StampCreateWindow(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                              int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter)
{
    const bool top = parent == nullptr && HIWORD(reinterpret_cast<ULONG_PTR>(className)) != 0;
    if (top)
        Stamp("window-start", className);
    HWND window = real.createWindow(exStyle, className, title, style, x, y, width, height, parent, menu, instance,
                                    parameter);
    if (top)
        Stamp("window-made", className);
    return window;
}

ATOM WINAPI StampRegisterClass(const WNDCLASSA* windowClass)
{
    if (InterlockedExchange(&firstRegisterClass, 0))
        Stamp("first-class", windowClass->lpszClassName);
    return real.registerClass(windowClass);
}

int WINAPI StampMessageBox(HWND owner, LPCSTR text, LPCSTR title, UINT style)
{
    Stamp("box-call");
    return real.messageBox(owner, text, title, style);
}

LPVOID WINAPI StampHeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes)
{
    LPVOID block = real.heapAlloc(heap, flags, bytes);
    if (bytes >= kSampleCopyAtLeast) {
        char size[32];
        std::snprintf(size, sizeof size, "%lu", static_cast<unsigned long>(bytes));
        Stamp("heap-block", size);
    }
    return block;
}

LPVOID WINAPI StampVirtualAlloc(LPVOID address, SIZE_T bytes, DWORD type, DWORD protect)
{
    if (InterlockedExchange(&firstVirtualAlloc, 0))
        Stamp("first-virtual-alloc");
    return real.virtualAlloc(address, bytes, type, protect);
}

MMRESULT WINAPI StampWaveOpen(LPHWAVEOUT device, UINT id, LPCWAVEFORMATEX format, DWORD_PTR callback,
                              DWORD_PTR instance, DWORD flags)
{
    const MMRESULT result = real.waveOpen(device, id, format, callback, instance, flags);
    Stamp("opened", result == MMSYSERR_NOERROR ? "ok" : "refused");
    return result;
}

// The first write of each open device; a closed device's handle may come back for a new one.
MMRESULT WINAPI StampWaveWrite(HWAVEOUT device, LPWAVEHDR header, UINT size)
{
    const MMRESULT result = real.waveWrite(device, header, size);
    const double wall = WallSeconds();
    bool first = true;
    {
        ScopedLock hold(devicesLock);
        for (int i = 0; i < kDevicesTracked && first; ++i)
            first = devicesWritten[i] != device;
        for (int i = 0; i < kDevicesTracked && first; ++i)
            if (devicesWritten[i] == nullptr) {
                devicesWritten[i] = device;
                break;
            }
    }
    if (first) {
        InterlockedIncrement(&devicesWrittenCount);
        StampAt(wall, "first-write", "");
    }
    return result;
}

MMRESULT WINAPI StampWaveClose(HWAVEOUT device)
{
    {
        ScopedLock hold(devicesLock);
        for (HWAVEOUT& known : devicesWritten)
            if (known == device)
                known = nullptr;
    }
    return real.waveClose(device);
}

// Sent messages: a button's click as its window receives it.
LRESULT CALLBACK BeforeProcedure(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_COMMAND && HIWORD(sent->wParam) == BN_CLICKED &&
        IsTopLevel(sent->hwnd)) {
        char id[16];
        std::snprintf(id, sizeof id, "%u", unsigned(LOWORD(sent->wParam)));
        Stamp("click", id);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A top-level window of this thread, the message box among them, once it is shown.
LRESULT CALLBACK AfterProcedure(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_WINDOWPOSCHANGED &&
        (reinterpret_cast<const WINDOWPOS*>(sent->lParam)->flags & SWP_SHOWWINDOW) && IsTopLevel(sent->hwnd)) {
        char name[64];
        ClassOf(sent->hwnd, name, sizeof name);
        Stamp("shown", name);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

template <typename Fn>
void Redirect(const char* name, Fn replacement, Fn& original)
{
    auto* base = reinterpret_cast<uint8_t*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name;
         ++library) {
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
            base + (library->OriginalFirstThunk ? library->OriginalFirstThunk : library->FirstThunk));
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0)
                continue;
            DWORD was;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &was);
            original = reinterpret_cast<Fn>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, was, &was);
        }
    }
}

struct Install {
    Install()
    {
        preciseTime = reinterpret_cast<PreciseTime>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
        char path[MAX_PATH];
        if (GetEnvironmentVariableA("BOARD_BENCH_STAMPS", path, sizeof path) - 1 < sizeof path - 1)
            out.reset(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        FILETIME created, ended, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
        const ULONGLONG ticks = (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime;
        StampAt(double(ticks) / 1e7 - 11644473600.0, "process", "");
        Stamp("static-init");
        real = Originals{CreateThread, CreateWindowExA, RegisterClassA, MessageBoxA, HeapAlloc, VirtualAlloc,
                         waveOutOpen, waveOutWrite, waveOutClose};
        Redirect("CreateThread", &StampCreateThread, real.createThread);
        Redirect("CreateWindowExA", &StampCreateWindow, real.createWindow);
        Redirect("RegisterClassA", &StampRegisterClass, real.registerClass);
        Redirect("MessageBoxA", &StampMessageBox, real.messageBox);
        Redirect("HeapAlloc", &StampHeapAlloc, real.heapAlloc);
        Redirect("VirtualAlloc", &StampVirtualAlloc, real.virtualAlloc);
        Redirect("waveOutOpen", &StampWaveOpen, real.waveOpen);
        Redirect("waveOutWrite", &StampWaveWrite, real.waveWrite);
        Redirect("waveOutClose", &StampWaveClose, real.waveClose);
        SetWindowsHookExA(WH_CALLWNDPROC, BeforeProcedure, nullptr, GetCurrentThreadId());
        SetWindowsHookExA(WH_CALLWNDPROCRET, AfterProcedure, nullptr, GetCurrentThreadId());
    }
} install;

}  // namespace

long DevicesWritten() { return devicesWrittenCount; }

void Stamp(const char* event, const char* detail) { StampAt(WallSeconds(), event, detail); }
