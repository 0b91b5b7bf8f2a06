// Registration rules and the per-tick state machine of the hotkey table;
// everything the machine reads comes from the snapshot of the current tick.
#include "hotkeys/hotkey_state.h"

namespace {

constexpr int kShiftKey = 16;
constexpr int kCtrlKey = 17;
constexpr int kAltKey = 18;
constexpr int kLeftWinKey = 91; // the right one (92) is deliberately not counted
constexpr int kVirtualKeyMask = 0xFF;

bool IsDown(int16_t keyState) { return keyState < 0; }

int32_t ModifierSum(const KeySnapshot& keys)
{
    int32_t sum = 0;
    if (IsDown(keys[kAltKey])) sum += ModAlt;
    if (IsDown(keys[kCtrlKey])) sum += ModCtrl;
    if (IsDown(keys[kShiftKey])) sum += ModShift;
    if (IsDown(keys[kLeftWinKey])) sum += ModWin;
    return sum;
}

} // namespace

int ReduceKeyCode(int32_t keyCode)
{
    // Widen first: the magnitude of INT32_MIN does not fit 32 bits.
    const int64_t wide = keyCode;
    const int64_t magnitude = wide < 0 ? -wide : wide;
    return static_cast<int>(magnitude & kVirtualKeyMask);
}

void KeySnapshot::Take(HotkeyPlatform& platform)
{
    for (int key = kFirstPolledKey; key <= kLastPolledKey; ++key)
        states_[key] = platform.QueryKeyState(key);
}

int32_t HotkeyCore::Register(HotkeyActionRef action, int32_t keyCode, int32_t modifiers,
                             int32_t secondKey, int32_t intervalMs, bool callDirectly)
{
    // A second key that reduces to 0 could never be looked up: refused like a bad key.
    if (ReduceKeyCode(keyCode) == 0 || (secondKey != 0 && ReduceKeyCode(secondKey) == 0))
        return 0;
    for (auto& existing : records_) {
        if (existing->keyCode == keyCode && existing->modifiers == modifiers &&
            existing->secondKey == secondKey) {
            existing->action = action;
            existing->callDirectly = callDirectly;
            return existing->id;
        }
    }
    const int32_t id = kFirstHotkeyId + static_cast<int32_t>(records_.size());
    records_.push_back(std::make_unique<HotkeyRecord>(
        HotkeyRecord{id, action, keyCode, modifiers, secondKey, Idle, callDirectly}));
    if (id == kFirstHotkeyId) {
        const int32_t interval = intervalMs > 0 ? intervalMs : kDefaultPollIntervalMs;
        platform_.StartTimer(kHotkeyTimerId, static_cast<uint32_t>(interval));
    }
    return id;
}

void HotkeyCore::Poll()
{
    snapshot_.Take(platform_);
    // By index: a direct action may register more records while the tick runs.
    for (size_t position = 0; position < records_.size(); ++position)
        Step(*records_[position], snapshot_);
}

void HotkeyCore::Step(HotkeyRecord& record, const KeySnapshot& keys)
{
    const int16_t k = keys[ReduceKeyCode(record.keyCode)];
    if (k == 0) {
        if (record.state != Held) {
            record.state = Idle;
            return;
        }
    } else if (k < 0) {
        if (record.state == Idle)
            record.state = Held;
        if (record.keyCode < 0)
            return;
    }
    if (record.state != Held)
        return;
    // Used up now, so a press that fails the tests below waits for the key to come up.
    record.state = Fired;
    if (ModifierSum(keys) != record.modifiers)
        return;
    if (record.secondKey != 0 && !IsDown(keys[ReduceKeyCode(record.secondKey)]))
        return;
    platform_.RunAction(record);
}
