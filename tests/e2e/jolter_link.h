// jolter.dll loaded the way DirectInput loads an effect driver: LoadLibrary, DllGetClassObject for
// the driver's class, the class factory's CreateInstance for IDirectInputEffectDriver.
#pragma once

#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>
#include <dinputd.h>

#include <string>

#include "testlib/owned.h"

class JolterLink {
public:
    explicit JolterLink(const std::string& dllPath);
    ~JolterLink();
    JolterLink(const JolterLink&) = delete;
    JolterLink& operator=(const JolterLink&) = delete;

    // The driver object, or null; why() says what failed.
    IDirectInputEffectDriver* driver() const { return driver_; }
    const std::string& why() const { return why_; }

private:
    testlib::Library library_;
    IDirectInputEffectDriver* driver_ = nullptr;
    std::string why_;
};
