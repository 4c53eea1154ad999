// Skeleton of the effect driver's COM server: the exports exist; the class factory comes next.
#include <windows.h>
#include <objbase.h>

#include "platform_checks.h"

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, void** ppv)
{
    if (ppv)
        *ppv = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    return S_OK;
}
