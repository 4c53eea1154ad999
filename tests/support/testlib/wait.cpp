#include "testlib/wait.h"

#include <windows.h>

bool waitUntil(const std::function<bool()>& condition, unsigned timeoutMs, unsigned stepMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(stepMs);
    }
    return true;
}
