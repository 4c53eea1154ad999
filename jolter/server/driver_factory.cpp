#include "server/driver_factory.h"

#include <new>

#include "engine/effect_driver.h"
#include "server/module_count.h"

DriverFactory* DriverFactory::create()
{
    DriverFactory* factory = new (std::nothrow) DriverFactory();
    if (factory)
        factory->AddRef();
    return factory;
}

DriverFactory::DriverFactory()
{
    moduleAddRef();
}

DriverFactory::~DriverFactory() = default;

HRESULT DriverFactory::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG DriverFactory::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG DriverFactory::Release()
{
    const LONG remaining = InterlockedDecrement(&refCount_);
    if (remaining == 0) {
        // The module count drops only once the factory is freed.
        delete this;
        moduleRelease();
    }
    return static_cast<ULONG>(remaining);
}

HRESULT DriverFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return EffectDriver::create(systemEnvironment(), ModuleCounter{moduleAddRef, moduleRelease}, riid, ppv);
}

HRESULT DriverFactory::LockServer(BOOL lock)
{
    if (lock)
        moduleAddRef();
    else
        moduleRelease();
    return S_OK;
}
