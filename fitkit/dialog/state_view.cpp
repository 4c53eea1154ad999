#include "dialog/state_view.h"

#include <cfgmgr32.h>

#include <cstdio>
#include <cstring>
#include <vector>

const char STATUS_INSTALLED[] =
    "Driver already installed, Click \"Reinstall\" to upgrade\n\nor Click Uninstall to remove the driver";
const char STATUS_OTHER_DRIVER[] =
    "Other Driver installed, Click \"Install\" to install vender suppied driver.";
const char STATUS_NOT_INSTALLED[] = "Driver not installed, Click \"Install\" to Install new driver";
const char STATUS_NOT_WORKING[] = "Driver installed, but the pad does not work (code %lu). %s\n\n"
                                  "Click \"Reinstall\" to install it again or Uninstall to remove the driver";
const char STATUS_RESTART_PENDING[] = "Driver installed, but Windows needs a restart before the pad works.\n\n"
                                      "Restart Windows, or Click \"Reinstall\" or Uninstall";
const char CAPTION_INSTALL[] = "&Install";
const char CAPTION_REINSTALL[] = "Re&Install";

static const StateView VIEWS[] = {
    {DriverState::NotInstalled, STATUS_NOT_INSTALLED, CAPTION_INSTALL, false},
    {DriverState::OtherDriver, STATUS_OTHER_DRIVER, CAPTION_INSTALL, false},
    {DriverState::Installed, STATUS_INSTALLED, CAPTION_REINSTALL, true},
    {DriverState::NotWorking, STATUS_NOT_WORKING, CAPTION_REINSTALL, true},
    {DriverState::RestartPending, STATUS_RESTART_PENDING, CAPTION_REINSTALL, true},
};

const StateView& viewOf(DriverState state)
{
    for (const StateView& view : VIEWS)
        if (view.state == state)
            return view;
    return VIEWS[0];
}

static const struct {
    ULONG problem;
    const char* advice;
} ADVICE[] = {
    {CM_PROB_UNSIGNED_DRIVER,
     "Windows blocked the driver: its signature is not trusted here (driver signature enforcement or "
     "memory integrity). Get a driver signed for this Windows from the maker."},
    {CM_PROB_FAILED_START,
     "The pad failed to start. Unplug it and plug it in again; if that does not help, reinstall the driver."},
    {CM_PROB_FAILED_INSTALL, "Windows did not finish installing the driver. Reinstall the driver."},
    {CM_PROB_FAILED_ADD,
     "Windows could not load the driver for the pad. Restart Windows; if it still fails, reinstall the driver."},
    {CM_PROB_DRIVER_FAILED_LOAD,
     "The driver could not be loaded: it may be missing, damaged or blocked. Reinstall the driver."},
    {CM_PROB_FAILED_POST_START,
     "Windows stopped the pad after it reported a fault. Unplug it and plug it in again."},
};

const char* problemAdvice(ULONG problem)
{
    for (const auto& row : ADVICE)
        if (row.problem == problem)
            return row.advice;
    return "Device Manager shows what Windows reports for it.";
}

std::string statusText(const DeviceCondition& condition)
{
    const StateView& view = viewOf(condition.state);
    if (condition.state != DriverState::NotWorking)
        return view.status;
    const char* advice = problemAdvice(condition.problem);
    std::vector<char> text(sizeof(STATUS_NOT_WORKING) + strlen(advice) + 16);
    snprintf(text.data(), text.size(), view.status, condition.problem, advice);
    return text.data();
}
