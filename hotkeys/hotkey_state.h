// The portable heart of the hotkey table: the records, the registration rules and
// the per-tick Idle/Held/Fired machine. It sees the keyboard, the timer and the
// running of actions only through HotkeyPlatform, so it runs without Windows.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Modifier sum a combination requires, exactly.
constexpr int32_t ModAlt = 1;
constexpr int32_t ModCtrl = 2;
constexpr int32_t ModShift = 4;
constexpr int32_t ModWin = 8;

constexpr int32_t kFirstHotkeyId = 1000001;
constexpr uint32_t kHotkeyTimerId = 16661;
constexpr int32_t kDefaultPollIntervalMs = 10;
constexpr int kFirstPolledKey = 1;
constexpr int kLastPolledKey = 255;

enum HotkeyState : uint8_t { Idle = 0, Held = 1, Fired = 88 };

// What to run when a record fires; the Windows edge stores its routine's address here.
using HotkeyActionRef = std::uintptr_t;

struct HotkeyRecord {
    int32_t id;
    HotkeyActionRef action;
    int32_t keyCode;      // raw; negative fires on release
    int32_t modifiers;
    int32_t secondKey;    // 0: none
    uint8_t state;        // HotkeyState
    int32_t callDirectly; // nonzero: run on the polling thread, inside the poll
};

// The virtual-key code polled for a raw code: |code|, low 8 bits; 0 means unusable.
int ReduceKeyCode(int32_t keyCode);

// The outside world of the table. Called only on the thread that registers and polls.
class HotkeyPlatform {
public:
    virtual int16_t QueryKeyState(int virtualKey) = 0;
    virtual void StartTimer(uint32_t timerId, uint32_t intervalMs) = 0;
    virtual void RunAction(const HotkeyRecord& record) = 0;

protected:
    ~HotkeyPlatform() = default;
};

// Key states of codes 1..255 taken in one pass; entry 0 stays 0.
class KeySnapshot {
public:
    void Take(HotkeyPlatform& platform);
    int16_t operator[](int virtualKey) const { return states_[virtualKey]; }

private:
    int16_t states_[kLastPolledKey + 1] = {};
};

// The table itself. Not thread-safe by design: registration and polling share one thread.
class HotkeyCore {
public:
    explicit HotkeyCore(HotkeyPlatform& platform) : platform_(platform) {}

    // Id of the new or matched record, or 0 when the key code (or second key) is refused.
    int32_t Register(HotkeyActionRef action, int32_t keyCode, int32_t modifiers,
                     int32_t secondKey, int32_t intervalMs, bool callDirectly);
    // One tick: a fresh snapshot, then every record in table order.
    void Poll();

    size_t size() const { return records_.size(); }
    const HotkeyRecord& record(size_t position) const { return *records_[position]; }

private:
    // Moves one record through the tick and runs its action if it fires.
    void Step(HotkeyRecord& record, const KeySnapshot& keys);

    HotkeyPlatform& platform_;
    std::vector<std::unique_ptr<HotkeyRecord>> records_; // one allocation per record, ids stay put
    KeySnapshot snapshot_;                               // reused from tick to tick
};
