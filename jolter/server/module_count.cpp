#include "server/module_count.h"

namespace {
LONG volatile count = 0;
}

void moduleAddRef()
{
    InterlockedIncrement(&count);
}

void moduleRelease()
{
    InterlockedDecrement(&count);
}

LONG moduleCount()
{
    return InterlockedCompareExchange(&count, 0, 0);
}
