#include "dialog/setup_error.h"

#include <windows.h>

#include <cstdio>

#include "dialog/message_box.h"

// SetupAPI's codes, which the system has no text for.
const SetupErrorName setupErrorNames[] = {
    {0xE0000000, "ERROR_EXPECTED_SECTION_NAME"},
    {0xE0000001, "ERROR_BAD_SECTION_NAME_LINE"},
    {0xE0000002, "ERROR_SECTION_NAME_TOO_LONG"},
    {0xE0000003, "ERROR_GENERAL_SYNTAX"},
    {0xE0000100, "ERROR_WRONG_INF_STYLE"},
    {0xE0000101, "ERROR_SECTION_NOT_FOUND"},
    {0xE0000102, "ERROR_LINE_NOT_FOUND"},
    {0xE0000200, "ERROR_NO_ASSOCIATED_CLASS"},
    {0xE0000201, "ERROR_CLASS_MISMATCH"},
    {0xE0000202, "ERROR_DUPLICATE_FOUND"},
    {0xE0000203, "ERROR_NO_DRIVER_SELECTED"},
    {0xE0000204, "ERROR_KEY_DOES_NOT_EXIST"},
    {0xE0000205, "ERROR_INVALID_DEVINST_NAME"},
    {0xE0000206, "ERROR_INVALID_CLASS"},
    {0xE0000207, "ERROR_DEVINST_ALREADY_EXISTS"},
    {0xE0000208, "ERROR_DEVINFO_NOT_REGISTERED"},
    {0xE0000209, "ERROR_INVALID_REG_PROPERTY"},
    {0xE000020A, "ERROR_NO_INF"},
    {0xE000020B, "ERROR_NO_SUCH_DEVINST"},
    {0xE000020C, "ERROR_CANT_LOAD_CLASS_ICON"},
    {0xE000020D, "ERROR_INVALID_CLASS_INSTALLER"},
    {0xE000020E, "ERROR_DI_DO_DEFAULT"},
    {0xE000020F, "ERROR_DI_NOFILECOPY"},
    {0xE0000210, "ERROR_INVALID_HWPROFILE"},
    {0xE0000211, "ERROR_NO_DEVICE_SELECTED"},
    {0xE0000212, "ERROR_DEVINFO_LIST_LOCKED"},
    {0xE0000213, "ERROR_DEVINFO_DATA_LOCKED"},
    {0xE0000214, "ERROR_DI_BAD_PATH"},
    {0xE0000215, "ERROR_NO_CLASSINSTALL_PARAMS"},
    {0xE0000216, "ERROR_FILEQUEUE_LOCKED"},
    {0xE0000217, "ERROR_BAD_SERVICE_INSTALLSECT"},
    {0xE0000218, "ERROR_NO_CLASS_DRIVER_LIST"},
    {0xE0000219, "ERROR_NO_ASSOCIATED_SERVICE"},
    {0xE000021A, "ERROR_NO_DEFAULT_DEVICE_INTERFACE"},
    {0xE000021B, "ERROR_DEVICE_INTERFACE_ACTIVE"},
    {0xE000021C, "ERROR_DEVICE_INTERFACE_REMOVED"},
    {0xE000021D, "ERROR_BAD_INTERFACE_INSTALLSECT"},
    {0xE000021E, "ERROR_NO_SUCH_INTERFACE_CLASS"},
    {0xE000021F, "ERROR_INVALID_REFERENCE_STRING"},
    {0xE0000220, "ERROR_INVALID_MACHINENAME"},
    {0xE0000221, "ERROR_REMOTE_COMM_FAILURE"},
    {0xE0000222, "ERROR_MACHINE_UNAVAILABLE"},
    {0xE0000223, "ERROR_NO_CONFIGMGR_SERVICES"},
    {0xE0000224, "ERROR_INVALID_PROPPAGE_PROVIDER"},
    {0xE0000225, "ERROR_NO_SUCH_DEVICE_INTERFACE"},
    {0xE0000226, "ERROR_DI_POSTPROCESSING_REQUIRED"},
    {0xE0000227, "ERROR_INVALID_COINSTALLER"},
    {0xE0000228, "ERROR_NO_COMPAT_DRIVERS"},
    {0xE0000229, "ERROR_NO_DEVICE_ICON"},
    {0xE000022A, "ERROR_INVALID_INF_LOGCONFIG"},
    {0xE000022B, "ERROR_DI_DONT_INSTALL"},
    {0xE000022C, "ERROR_INVALID_FILTER_DRIVER"},
    {0xE0001000, "ERROR_NOT_INSTALLED"},
    {0xE000022F, "User Does not Accept Uncertified Driver"},
};
const size_t setupErrorNameCount = sizeof(setupErrorNames) / sizeof(setupErrorNames[0]);

static const char* setupErrorName(DWORD code)
{
    for (size_t i = 0; i < setupErrorNameCount; ++i)
        if (setupErrorNames[i].code == code)
            return setupErrorNames[i].name;
    return nullptr;
}

std::string formatSetupError(const char* what, DWORD code)
{
    char text[MAX_ERROR_TEXT + 1] = {};
    char* system = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
                                  LANG_USER_DEFAULT, reinterpret_cast<char*>(&system), 0, nullptr);
    if (length != 0 && system) {
        if (code != 0)
            snprintf(text, sizeof(text), "Error %d in %s: \n\n %s\n", static_cast<int>(code), what, system);
        else
            snprintf(text, sizeof(text), "%s: \n\n %s\n", what, system);
    } else if (const char* name = setupErrorName(code)) {
        snprintf(text, sizeof(text), "Error %8.8lX in %s: \n\n %s\n", static_cast<unsigned long>(code), what,
                 name);
    } else {
        snprintf(text, sizeof(text), "Error %8.8lX in %s\n\n", static_cast<unsigned long>(code), what);
    }
    if (system)
        LocalFree(system);
    return text;
}

void showSetupError(HWND owner, const char* what, DWORD code)
{
    showBox(owner, formatSetupError(what, code).c_str(), code == 0 ? BoxKind::Information : BoxKind::Warning);
}
