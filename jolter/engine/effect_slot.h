#pragma once
// One downloaded effect and the ordered list of them that each EffectDriver keeps.
#include <windows.h>

#include "link/device_report.h"

// Status bits of a slot.
constexpr DWORD SLOT_PLAYING = 0x1; // started and, as far as the driver knows, not ended
constexpr DWORD SLOT_HELD = 0x2;    // started while it could not be sent (scale or ffEnabled 0)
constexpr DWORD SLOT_PAUSED = 0x4;  // device paused; the remaining time is frozen

// durationMs of an effect that never ends.
constexpr DWORD INFINITE_DURATION_MS = 0xFFFF;

constexpr DWORD MAX_EFFECT_ID = 255;

// A downloaded effect: what its report carries (type id, duration, the parameters of its category)
// and the driver's bookkeeping around it.
struct EffectSlot : EffectReportFields {
    DWORD id = 0;
    DWORD status = 0;
    DWORD startTime = 0;
    DWORD pauseTime = 0;
    LONG scale = 0; // X-axis share, -10000..10000, or a condition's magnitude; 0: never sent
    EffectSlot* next = nullptr;
};

// True when a finite effect started at startTime has run its course at time t: the elapsed time
// t - startTime is compared unsigned, so an effect started just before the clock wraps keeps going.
bool hasRunOut(const EffectSlot& slot, DWORD t);

// Clears SLOT_PLAYING of a finite, unpaused slot that has run out. SLOT_HELD and SLOT_PAUSED stay.
void expireIfDone(EffectSlot& slot, DWORD t);

// Singly linked slots in ascending order of id, ids 1 to 255 unique. Owns its slots.
class SlotList {
public:
    SlotList() = default;
    ~SlotList() { freeAll(); }
    SlotList(const SlotList&) = delete;
    SlotList& operator=(const SlotList&) = delete;

    EffectSlot* findSlot(DWORD id);
    void removeSlot(DWORD id);
    void freeAll();
    size_t count() const;
    EffectSlot* head() const { return head_; }

    // Adds a copy of `params` under a new id: 1 for an empty list, else one above the end of the
    // consecutive run that starts at the head, linked in after that run. S_FALSE when the id would
    // pass 255, E_OUTOFMEMORY when no memory; the list is unchanged then.
    HRESULT addSlot(const EffectSlot& params, EffectSlot** added);

private:
    EffectSlot* head_ = nullptr;
};
