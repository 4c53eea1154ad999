// The constant force that the end-to-end tests play: 8000 on the pad's X axis for 2 s, as a game
// hands it to DirectInput.
#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>

struct ConstantForceEffect {
    DWORD axes[1] = {0x01000002}; // the X axis actuator's object id
    LONG directions[1] = {0};
    DICONSTANTFORCE force = {8000};
    DIEFFECT effect{};

    ConstantForceEffect()
    {
        effect.dwSize = sizeof(effect);
        effect.dwFlags = DIEFF_CARTESIAN;
        effect.dwDuration = 2000000;
        effect.cAxes = 1;
        effect.rgdwAxes = axes;
        effect.rglDirection = directions;
        effect.cbTypeSpecificParams = sizeof(force);
        effect.lpvTypeSpecificParams = &force;
    }
    ConstantForceEffect(const ConstantForceEffect&) = delete; // the effect points into this object
    ConstantForceEffect& operator=(const ConstantForceEffect&) = delete;
};
