#pragma once
// The About box: the program's picture, name and version, and the processes running when it opens.
#include <windows.h>

#include "ui/dialog.h"

class AboutDialog : public Dialog {
protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int notifyCode) override;

private:
    static const CommandEntry<AboutDialog> COMMANDS[];
    void onClose(int id);

    HWND processList = nullptr;
};
