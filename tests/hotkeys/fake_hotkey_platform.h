// A keyboard, timer and action runner made of plain data, so the hotkey rules
// can be driven tick by tick and every query, timer start and firing observed.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "hotkeys/hotkey_state.h"

constexpr int16_t kDown = static_cast<int16_t>(0x8000);
constexpr int16_t kPressedSince = 1;
constexpr int kF1 = 112;
constexpr int kF2 = 113;
constexpr int kShift = 16;
constexpr int kCtrl = 17;
constexpr int kAlt = 18;
constexpr int kLeftWin = 91;
constexpr int kRightWin = 92;
constexpr int kKeyA = 65;

struct TimerStart {
    uint32_t timerId;
    uint32_t intervalMs;
};

struct Firing {
    int32_t id;
    HotkeyActionRef action;
    int32_t callDirectly;
};

class FakeHotkeyPlatform : public HotkeyPlatform {
public:
    int16_t QueryKeyState(int virtualKey) override
    {
        queries.push_back(virtualKey);
        const auto found = keys.find(virtualKey);
        return found == keys.end() ? 0 : found->second;
    }
    void StartTimer(uint32_t timerId, uint32_t intervalMs) override
    {
        timers.push_back({timerId, intervalMs});
    }
    void RunAction(const HotkeyRecord& record) override
    {
        firings.push_back({record.id, record.action, record.callDirectly});
    }

    std::map<int, int16_t> keys; // codes absent are up
    std::vector<int> queries;
    std::vector<TimerStart> timers;
    std::vector<Firing> firings;
};
