// The real message box: its title and text bytes, its buttons, no owner, the
// result of each button, and the task-modal rule seen in its effect: a task-modal
// box disables the calling thread's other windows, a system-modal one does not.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/message_box.h"

namespace {

constexpr DWORD kHangGuardMs = 20000; // only ends a hung test, never judges speed
constexpr int kMessageTextId = 0xFFFF; // the box's static text control

const std::string kDefaultTitleGbk = "\xD0\xC5\xCF\xA2\xA3\xBA"; // 信息：
const std::string kHintTitleGbk = "\xCC\xE1\xCA\xBE";            // 提示

struct BoxCase {
    const char* name;
    const char* text;
    int flags;
    const char* title;           // nullptr: the default title
    std::string expectedTitle;
    std::vector<int> buttons;    // present in the box
    std::vector<int> absent;
    int press;
    int result;
    bool disablesOwnWindow;      // task-modal
};

const BoxCase kCases[] = {
    {"YesNoAnsweredYes", "\xBB\xB6\xD3\xAD", kMessageBoxYesNo, nullptr, kDefaultTitleGbk, {IDYES, IDNO},
     {IDOK, IDCANCEL}, IDYES, kAnswerYes, true},
    {"YesNoAnsweredNo", "question", kMessageBoxYesNo, nullptr, kDefaultTitleGbk, {IDYES, IDNO}, {IDOK, IDCANCEL},
     IDNO, kAnswerNo, true},
    {"InformationOk", "\xA1\xBE\xBB\xB6\xD3\xAD\xD6\xA7\xB3\xD6\xA1\xBF", kMessageBoxInformation, "提示",
     kHintTitleGbk, {IDOK}, {IDYES, IDNO, IDCANCEL}, IDOK, kAnswerOk, true},
    {"EmptyTextShowsEmptyMessage", "", kMessageBoxInformation, nullptr, kDefaultTitleGbk, {IDOK}, {IDYES}, IDOK,
     kAnswerOk, true},
    {"OkCancelAnsweredCancel", "x", kMessageBoxOkCancel, nullptr, kDefaultTitleGbk, {IDOK, IDCANCEL}, {IDYES},
     IDCANCEL, kAnswerCancel, true},
    {"RetryCancelAnsweredRetry", "x", kMessageBoxRetryCancel, nullptr, kDefaultTitleGbk, {IDRETRY, IDCANCEL},
     {IDOK}, IDRETRY, kAnswerRetry, true},
    {"AbortRetryIgnoreAnsweredAbort", "x", kMessageBoxAbortRetryIgnore, nullptr, kDefaultTitleGbk,
     {IDABORT, IDRETRY, IDIGNORE}, {IDOK}, IDABORT, kAnswerAbort, true},
    {"AbortRetryIgnoreAnsweredIgnore", "x", kMessageBoxAbortRetryIgnore, nullptr, kDefaultTitleGbk,
     {IDABORT, IDRETRY, IDIGNORE}, {IDOK}, IDIGNORE, kAnswerIgnore, true},
    {"SystemModalIsNotMadeTaskModal", "x", kMessageBoxSystemModal | kMessageBoxYesNo, nullptr, kDefaultTitleGbk,
     {IDYES, IDNO}, {IDOK}, IDNO, kAnswerNo, false},
};

std::string WindowText(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// What the answering thread saw of the box before pressing its button.
struct Observation {
    bool found = false;
    bool foundByTitle = false;
    std::string title;
    std::string message;
    bool ownedByNobody = false;
    bool onCallingThread = false;
    bool ownWindowEnabled = true;
    std::vector<int> missing;
    std::vector<int> unexpected;
};

struct Answerer {
    const BoxCase* box;
    HWND ownWindow;
    DWORD callingThread;
    Observation seen;

    static BOOL CALLBACK FindDialog(HWND window, LPARAM result)
    {
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        if (std::string(className) != "#32770")
            return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }

    static DWORD WINAPI Run(LPVOID p)
    {
        auto* self = static_cast<Answerer*>(p);
        self->Answer();
        return 0;
    }

    void Answer()
    {
        // Any dialog of the calling thread is taken and answered, so a wrong title fails
        // the test instead of leaving the box open for ever.
        const DWORD start = GetTickCount();
        HWND found = nullptr;
        while (!found && GetTickCount() - start < kHangGuardMs) {
            EnumThreadWindows(callingThread, FindDialog, reinterpret_cast<LPARAM>(&found));
            if (!found)
                Sleep(20);
        }
        if (!found)
            return;
        seen.found = true;
        seen.title = WindowText(found);
        seen.foundByTitle = FindWindowA("#32770", box->expectedTitle.c_str()) == found;
        seen.message = WindowText(GetDlgItem(found, kMessageTextId));
        seen.ownedByNobody = GetWindow(found, GW_OWNER) == nullptr;
        seen.onCallingThread = GetWindowThreadProcessId(found, nullptr) == callingThread;
        seen.ownWindowEnabled = IsWindowEnabled(ownWindow) != FALSE;
        for (int id : box->buttons)
            if (!GetDlgItem(found, id))
                seen.missing.push_back(id);
        for (int id : box->absent)
            if (GetDlgItem(found, id))
                seen.unexpected.push_back(id);
        PostMessageA(found, WM_COMMAND, MAKEWPARAM(box->press, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(found, box->press)));
    }
};

class MessageBoxCase : public testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxCase, ShowsTheBoxAndReturnsThePressedButton)
{
    const BoxCase& c = GetParam();
    // A window of the calling thread, to see what the box's modality does to it.
    HWND ownWindow = CreateWindowExA(0, "STATIC", "own window", WS_OVERLAPPED | WS_VISIBLE,
                                     0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(ownWindow, nullptr);
    Answerer answerer{&c, ownWindow, GetCurrentThreadId(), {}};
    const UniqueHandle thread(CreateThread(nullptr, 0, Answerer::Run, &answerer, 0, nullptr));
    ASSERT_TRUE(thread);

    const int result = c.title ? ShowMessageBox(c.text, c.flags, c.title) : ShowMessageBox(c.text, c.flags);

    WaitForSingleObject(thread.get(), kHangGuardMs);
    const Observation& seen = answerer.seen;
    ASSERT_TRUE(seen.found) << "no box appeared";
    EXPECT_EQ(seen.title, c.expectedTitle);
    EXPECT_TRUE(seen.foundByTitle);
    EXPECT_EQ(seen.message, c.text);
    EXPECT_TRUE(seen.ownedByNobody);
    EXPECT_TRUE(seen.onCallingThread);
    EXPECT_EQ(seen.ownWindowEnabled, !c.disablesOwnWindow);
    EXPECT_EQ(seen.missing, std::vector<int>{});
    EXPECT_EQ(seen.unexpected, std::vector<int>{});
    EXPECT_EQ(result, c.result);
    EXPECT_TRUE(IsWindowEnabled(ownWindow)) << "the box must give the window back";
    DestroyWindow(ownWindow);
}

INSTANTIATE_TEST_SUITE_P(Platform, MessageBoxCase, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
