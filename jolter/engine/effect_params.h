#pragma once
// Turning DirectInput's DIEFFECT into the parameters the pad's effect report carries.
#include "engine/effect_slot.h"
#include "link/direct_input.h"

// Force-feedback actuator axes of the pad as DirectInput object ids.
constexpr DWORD X_AXIS_ID = 0x01000002;
constexpr DWORD Y_AXIS_ID = 0x01000102;

// More axes than any force-feedback device has: such a DIEFFECT is refused.
constexpr DWORD MAX_EFFECT_AXES = 32;

// Fills durationMs, scale, the parameters of slot.typeId's category (CAT_* in link/device_report.h)
// and the reserved fields of `slot` from `effect`; parameters the conversion does not set keep their
// values. slot.typeId is DirectInput's dwEffectType, the id the pad's driver package registered for
// the effect: the driver reads only its category bits and sends its low byte to the pad unchanged.
// Returns false, and leaves the slot untouched, when the structure is null, shorter than
// DirectInput's smallest DIEFFECT, names an absurd number of axes, lacks the axis or direction
// array, or lacks the type-specific block the category needs.
bool convertEffectParams(EffectSlot& slot, const DIEFFECT* effect);
