#pragma once
// The per-device force-feedback driver object that DirectInput talks to.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "engine/driver_lock.h"
#include "engine/driver_state.h"
#include "link/direct_input.h"
#include "link/pad_environment.h"

// Private escapes (DIEFFESCAPE dwCommand).
constexpr DWORD ESCAPE_RAW_REPORT = 0;
constexpr DWORD ESCAPE_RELOAD_SETTINGS = 0x100;

// How the module counts its live drivers: `added` runs when a driver is made, `released` when it
// is gone. Null functions leave the driver uncounted.
struct ModuleCounter {
    void (*added)() = nullptr;
    void (*released)() = nullptr;
};

class EffectDriver final : public IDirectInputEffectDriver {
public:
    // Creates a driver in its initial state and hands out `riid` in *ppv (the object goes again
    // when `riid` is refused). `environment` must outlive the object.
    static HRESULT create(PadEnvironment& environment, ModuleCounter counter, REFIID riid, void** ppv);

    // The driver lives on the C heap: the DLL carries no C++ allocator or exception support.
    static void* operator new(size_t size, const std::nothrow_t&) noexcept { return std::malloc(size); }
    static void operator delete(void* memory) noexcept { std::free(memory); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // Device operations
    HRESULT STDMETHODCALLTYPE DeviceID(DWORD directInputVersion, DWORD externalId, DWORD begin,
                                       DWORD internalId, LPVOID reserved) override;
    HRESULT STDMETHODCALLTYPE GetVersions(LPDIDRIVERVERSIONS versions) override;
    HRESULT STDMETHODCALLTYPE Escape(DWORD id, DWORD effect, LPDIEFFESCAPE escape) override;
    HRESULT STDMETHODCALLTYPE SetGain(DWORD id, DWORD gain) override;
    HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD id, DWORD command) override;
    HRESULT STDMETHODCALLTYPE GetForceFeedbackState(DWORD id, LPDIDEVICESTATE state) override;

    // Effect operations
    HRESULT STDMETHODCALLTYPE DownloadEffect(DWORD id, DWORD effectType, LPDWORD effect, LPCDIEFFECT params,
                                             DWORD flags) override;
    HRESULT STDMETHODCALLTYPE DestroyEffect(DWORD id, DWORD effect) override;
    HRESULT STDMETHODCALLTYPE StartEffect(DWORD id, DWORD effect, DWORD mode, DWORD count) override;
    HRESULT STDMETHODCALLTYPE StopEffect(DWORD id, DWORD effect) override;
    HRESULT STDMETHODCALLTYPE GetEffectStatus(DWORD id, DWORD effect, LPDWORD status) override;

private:
    EffectDriver(PadEnvironment& environment, ModuleCounter counter);
    ~EffectDriver();

    // The only way to the state: the lock is held until the returned object goes.
    LockedState lockState() { return LockedState(lock_, state_); }

    LONG refCount_ = 0;
    PadEnvironment& environment_;
    const ModuleCounter counter_;
    DriverLock lock_;
    DriverState state_;
};
