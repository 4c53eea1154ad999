#include "dialog_rig.h"

#include <gtest/gtest.h>

#include "testlib/window_search.h"

PlatformKind nt5Platform()
{
    PlatformKind kind;
    kind.isNt5 = true;
    return kind;
}

PlatformKind win9xPlatform()
{
    PlatformKind kind;
    kind.isWin9x = true;
    return kind;
}

PlatformKind winMePlatform()
{
    PlatformKind kind;
    kind.isWinMe = true;
    return kind;
}

void DialogRig::open(const std::string& deviceId, const std::string& infName)
{
    std::string inf = dir.write("pad.inf", padInf());
    dialog.reset(new SetupDialog(GetModuleHandleA(nullptr), devices, platform));
    dialog->infName = infName.empty() ? inf : infName;
    dialog->deviceId = deviceId;
    dialog->create(nullptr);
}

void DialogRig::close()
{
    dialog.reset();
}

std::string DialogRig::text(int id) const
{
    return controlText(dialog->window, id);
}

bool DialogRig::enabled(int id) const
{
    return controlEnabled(dialog->window, id);
}

void DialogRig::click(int id)
{
    SendMessageA(dialog->window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog->window, id)));
}

HICON DialogRig::shownIcon() const
{
    return reinterpret_cast<HICON>(SendDlgItemMessageA(dialog->window, IDC_ANIMATION, STM_GETICON, 0, 0));
}

void expectBox(const SeenBox& box, const std::string& text, const char* icon, std::vector<int> buttons)
{
    EXPECT_EQ(box.caption, ownCaption());
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.icon, icon);
    EXPECT_EQ(box.buttons, buttons);
}
