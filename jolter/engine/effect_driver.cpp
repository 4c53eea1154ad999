#include "engine/effect_driver.h"

#include <new>

HRESULT EffectDriver::create(PadEnvironment& environment, ModuleCounter counter, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    EffectDriver* driver = new (std::nothrow) EffectDriver(environment, counter);
    if (!driver)
        return E_OUTOFMEMORY;
    InterlockedIncrement(&driver->refCount_);
    const HRESULT result = driver->QueryInterface(riid, ppv);
    driver->Release();
    return result;
}

EffectDriver::EffectDriver(PadEnvironment& environment, ModuleCounter counter)
    : environment_(environment), counter_(counter)
{
    if (counter_.added)
        counter_.added();
}

EffectDriver::~EffectDriver() = default;

HRESULT EffectDriver::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDirectInputEffectDriver))
        return E_NOINTERFACE;
    *ppv = static_cast<IDirectInputEffectDriver*>(this);
    AddRef();
    return S_OK;
}

// The driver's AddRef and Release report 0, not the count.
ULONG EffectDriver::AddRef()
{
    InterlockedIncrement(&refCount_);
    return 0;
}

ULONG EffectDriver::Release()
{
    if (InterlockedDecrement(&refCount_) != 0)
        return 0;
    // The module count drops last, once the pad's handle is closed, every slot and the object are
    // freed: until then DllCanUnloadNow must not let the DLL go.
    const ModuleCounter counter = counter_;
    delete this;
    if (counter.released)
        counter.released();
    return 0;
}
