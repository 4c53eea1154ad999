#include "jolter_link.h"

// The class identifier under which the pad's driver package registers jolter.
const CLSID jolterClassId = {0x5C3A9E21, 0x7D4B, 0x4F08, {0xB6, 0xE2, 0x91, 0xA0, 0xD4, 0x7C, 0x3F, 0x15}};

JolterLink::JolterLink(const std::string& dllPath) : library_(LoadLibraryA(dllPath.c_str()))
{
    if (!library_.valid()) {
        why_ = "LoadLibrary failed: " + std::to_string(GetLastError());
        return;
    }
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(library_.get(), "DllGetClassObject")));
    if (!getClassObject) {
        why_ = "no DllGetClassObject";
        return;
    }
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(jolterClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr) || !factory) {
        why_ = "DllGetClassObject: " + std::to_string(hr);
        return;
    }
    hr = factory->CreateInstance(nullptr, IID_IDirectInputEffectDriver, reinterpret_cast<void**>(&driver_));
    factory->Release();
    if (FAILED(hr) || !driver_) {
        driver_ = nullptr;
        why_ = "CreateInstance: " + std::to_string(hr);
    }
}

JolterLink::~JolterLink()
{
    if (driver_)
        driver_->Release();
}
