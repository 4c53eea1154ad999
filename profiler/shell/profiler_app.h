#pragma once
// The application object: the settings file path, the store on it and the hidden main window.
#include <windows.h>

#include <memory>
#include <string>

#include "shell/auto_start.h"
#include "store/profile_store.h"

class MainDialog;

class ProfilerApp {
public:
    // Without `autoStart`, Auto Start is the running program's on this system.
    explicit ProfilerApp(const std::string& settingsFile, HINSTANCE resources = GetModuleHandleA(nullptr),
                         std::unique_ptr<AutoStart> autoStart = nullptr);
    ~ProfilerApp();
    ProfilerApp(const ProfilerApp&) = delete;
    ProfilerApp& operator=(const ProfilerApp&) = delete;

    // Creates the hidden main window, whose initialisation runs the rest of start-up.
    bool start();
    // Message loop until the main window is destroyed; returns the exit code.
    int run();

    ProfileStore& store() { return profiles; }
    AutoStart& autoStart() { return *autoStarter; }
    std::shared_ptr<AutoStart> sharedAutoStart() const { return autoStarter; }
    HINSTANCE instance() const { return resources; }
    MainDialog* mainDialog() const { return main.get(); }

private:
    std::string settingsPath;
    ProfileStore profiles;
    HINSTANCE resources;
    std::shared_ptr<AutoStart> autoStarter; // shared with the thread that reads its state
    std::unique_ptr<MainDialog> main;
};
