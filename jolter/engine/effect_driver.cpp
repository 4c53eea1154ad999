#include "engine/effect_driver.h"

#include <new>

#include "link/pad_settings.h"
#include "server/module_count.h"

HRESULT EffectDriver::Create(PadEnvironment& environment, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    EffectDriver* driver = new (std::nothrow) EffectDriver(environment);
    if (!driver)
        return E_OUTOFMEMORY;
    InterlockedIncrement(&driver->refCount);
    const HRESULT result = driver->QueryInterface(riid, ppv);
    driver->Release();
    return result;
}

EffectDriver::EffectDriver(PadEnvironment& environment) : environment_(environment)
{
    moduleAddRef();
}

EffectDriver::~EffectDriver()
{
    moduleRelease();
}

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
    InterlockedIncrement(&refCount);
    return 0;
}

ULONG EffectDriver::Release()
{
    if (InterlockedDecrement(&refCount) == 0)
        delete this; // closes hidHandle and frees every slot
    return 0;
}

void EffectDriver::LoadSettings()
{
    const PadSettings settings = readPadSettings(externalId);
    autocenter = settings.autocenter;
    ffGain = settings.ffGain;
    ffEnabled = settings.ffEnabled;
}

DWORD EffectDriver::sendCommand(BYTE code, BYTE value)
{
    buildCommandReport(reportBuffer, code, value);
    return sendReport(hidHandle.get(), reportBuffer);
}
