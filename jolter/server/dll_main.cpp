// The two exports of the in-process server.
#include <windows.h>
#include <objbase.h>

#include "server/class_id.h"
#include "server/driver_factory.h"
#include "server/module_count.h"

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_JolterEffectDriver))
        return CLASS_E_CLASSNOTAVAILABLE;
    if (!IsEqualIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    DriverFactory* factory = DriverFactory::create();
    if (!factory)
        return E_OUTOFMEMORY;
    const HRESULT result = factory->QueryInterface(riid, ppv);
    factory->Release();
    return result;
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    return moduleCount() == 0 ? S_OK : S_FALSE;
}
