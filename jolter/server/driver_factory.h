#pragma once
// The class factory DllGetClassObject hands out: it creates one EffectDriver per device, bound to
// the system's clock and HID devices.
#include <windows.h>
#include <unknwn.h>

#include <cstdlib>
#include <new>

class DriverFactory final : public IClassFactory {
public:
    // A new factory with one reference, counted in the module; null when out of memory.
    static DriverFactory* create();

    static void* operator new(size_t size, const std::nothrow_t&) noexcept { return std::malloc(size); }
    static void operator delete(void* memory) noexcept { std::free(memory); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    DriverFactory();
    ~DriverFactory();

    LONG refCount_ = 0;
};
