#pragma once
// The About box: the program's picture, name and version, and the processes running when it opens.
#include <windows.h>

#include "ui/dialog.h"
#include "ui/handles.h"

class AboutDialog : public Dialog {
protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int notifyCode) override;

private:
    static const CommandEntry<AboutDialog> COMMANDS[];
    void onClose(int id);

    void showBanner();

    HWND processList = nullptr;
    OwnedBitmap banner; // the banner drawn for the window's DPI, when that is not the template's
};
