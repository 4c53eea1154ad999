#pragma once
// The setup dialog created in the test's thread over a scripted device table, with its message
// boxes answered and recorded.
#include <windows.h>

#include <memory>
#include <string>

#include "dialog/setup_dialog.h"
#include "fitkit_ids.h"
#include "inf_text.h"
#include "scripted_devices.h"
#include "testlib/message_boxes.h"
#include "testlib/temp_dir.h"

// {isWin9x, isWinMe, isNt5}; PlatformKind() is NT 4.
const PlatformKind NT5_PLATFORM{false, false, true};
const PlatformKind WIN9X_PLATFORM{true, false, false};
const PlatformKind WINME_PLATFORM{false, true, false};

struct DialogRig {
    explicit DialogRig(PlatformKind platform = NT5_PLATFORM) : platform(platform) {}

    TempDir dir;
    ScriptedDevices devices;
    BoxAnswerer boxes;
    PlatformKind platform;
    std::unique_ptr<SetupDialog> dialog;
    HWND window = nullptr;

    // Writes the pad INF and opens the dialog for `deviceId`; `infName` as given on the command line.
    void open(const std::string& deviceId = PAD_ID, const std::string& infName = "");
    std::string text(int id) const;
    bool enabled(int id) const;
    // The dialog's driver state; the status text and the buttons must show it.
    DriverState state() const;
    // Clicks a button as the user would; returns when its handler has run.
    void click(int id);
    HICON shownIcon() const;
    // Whether the animation timer still ran (it is stopped by asking).
    bool timerRunning() const;
};

// Asserts the form of a box: caption of this program, exact text, icon and buttons.
void expectBox(const SeenBox& box, const std::string& text, const char* icon, std::vector<int> buttons);
