#pragma once

enum class DriverState {
    NotInstalled = 0, // no present device lists the device id
    OtherDriver = 1,  // present, description differs from the INF's model description
    Installed = 2,    // present, description equals the INF's model description
};
