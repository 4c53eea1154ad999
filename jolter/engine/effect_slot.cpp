#include "engine/effect_slot.h"

#include <cstdlib>
#include <new>

bool hasRunOut(const EffectSlot& slot, DWORD t)
{
    return t - slot.startTime >= slot.durationMs;
}

void expireIfDone(EffectSlot& slot, DWORD t)
{
    if (slot.durationMs == INFINITE_DURATION_MS)
        return;
    if ((slot.status & SLOT_PLAYING) && !(slot.status & SLOT_PAUSED) && hasRunOut(slot, t))
        slot.status &= ~SLOT_PLAYING;
}

EffectSlot* SlotList::findSlot(DWORD id)
{
    for (EffectSlot* slot = head_; slot; slot = slot->next)
        if (slot->id == id)
            return slot;
    return nullptr;
}

void SlotList::removeSlot(DWORD id)
{
    for (EffectSlot** link = &head_; *link; link = &(*link)->next) {
        if ((*link)->id == id) {
            EffectSlot* gone = *link;
            *link = gone->next;
            std::free(gone);
            return;
        }
    }
}

void SlotList::freeAll()
{
    while (head_) {
        EffectSlot* gone = head_;
        head_ = gone->next;
        std::free(gone);
    }
}

size_t SlotList::count() const
{
    size_t n = 0;
    for (const EffectSlot* slot = head_; slot; slot = slot->next)
        ++n;
    return n;
}

HRESULT SlotList::addSlot(const EffectSlot& params, EffectSlot** added)
{
    *added = nullptr;
    EffectSlot* after = head_;
    DWORD id = 1;
    if (after) {
        while (after->next && after->next->id - after->id <= 1)
            after = after->next;
        id = after->id + 1;
        if (id > MAX_EFFECT_ID)
            return S_FALSE;
    }
    void* memory = std::malloc(sizeof(EffectSlot));
    if (!memory)
        return E_OUTOFMEMORY;
    EffectSlot* slot = new (memory) EffectSlot(params);
    slot->id = id;
    if (after) {
        slot->next = after->next;
        after->next = slot;
    } else {
        slot->next = nullptr;
        head_ = slot;
    }
    *added = slot;
    return S_OK;
}
