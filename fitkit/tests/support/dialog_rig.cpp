#include "dialog_rig.h"

#include <gtest/gtest.h>

#include "testlib/window_search.h"

void DialogRig::open(const std::string& deviceId, const std::string& infName)
{
    std::string inf = dir.write("pad.inf", padInf());
    dialog.reset(new SetupDialog(GetModuleHandleA(nullptr), devices, platform,
                                 infName.empty() ? inf : infName, deviceId));
    window = dialog->create(nullptr);
}

std::string DialogRig::text(int id) const
{
    return controlText(window, id);
}

bool DialogRig::enabled(int id) const
{
    return controlEnabled(window, id);
}

DriverState DialogRig::state() const
{
    DeviceCondition shown = dialog->condition();
    const StateView& view = viewOf(shown.state);
    EXPECT_EQ(view.state, shown.state) << "a row for every state";
    EXPECT_EQ(text(IDC_STATUS), statusText(shown));
    EXPECT_EQ(text(IDC_INSTALL), view.installCaption);
    EXPECT_TRUE(enabled(IDC_INSTALL));
    EXPECT_EQ(enabled(IDC_UNINSTALL), view.uninstallEnabled);
    return shown.state;
}

bool DialogRig::timerRunning() const
{
    return KillTimer(window, ANIMATION_TIMER) != FALSE;
}

void DialogRig::click(int id)
{
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

HICON DialogRig::shownIcon() const
{
    return reinterpret_cast<HICON>(SendDlgItemMessageA(window, IDC_ANIMATION, STM_GETICON, 0, 0));
}

void expectBox(const SeenBox& box, const std::string& text, const char* icon, std::vector<int> buttons)
{
    EXPECT_EQ(box.caption, ownCaption());
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.icon, icon);
    EXPECT_EQ(box.buttons, buttons);
}
