// fitkit.exe started with an INF and a device id, its setup dialog read and its buttons pressed
// from outside, as a user would.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "testlib/process.h"

class FitkitSession {
public:
    FitkitSession(const std::string& infPath, const std::string& deviceId);
    ~FitkitSession(); // Exit, or the process ended when it does not close

    bool opened() const { return dialog_ != nullptr; }
    std::string status() const;
    bool enabled(int button) const;
    // Presses a button and answers the message boxes it raises, in order, with the given buttons;
    // returns the texts of the boxes (empty text where a box did not appear).
    std::vector<std::string> press(int button, std::initializer_list<int> answers);
    // Waits until the status text begins with prefix.
    bool waitStatus(const std::string& prefix, unsigned timeoutMs) const;
    // Exit; returns whether the program ended.
    bool exit();

private:
    Process process_;
    HWND dialog_ = nullptr;
};
