#include "dialog/setup_error.h"

#include <windows.h>

#include <cstdio>

#include "dialog/message_box.h"

// What the user can do about a failure; the table names the code, these say what to do.
const char ADVICE_UNSIGNED[] =
    "The driver package is not signed for this Windows. Get a signed driver from the pad's maker.";
const char ADVICE_DEVICE_POLICY[] = "Device installation is blocked by policy. Ask your administrator.";
const char ADVICE_DRIVER_BLOCKED[] =
    "Memory integrity or driver signature enforcement blocked the driver. Get a signed driver from the "
    "pad's maker, or ask your administrator.";
const char ADVICE_STORE_ADD[] =
    "Windows could not add the package to its driver store. Restart Windows and install again.";
const char ADVICE_STORE_DELETE[] =
    "Windows could not remove the package from its driver store. Unplug the pad, restart Windows and "
    "uninstall again.";
const char ADVICE_IN_USE[] = "A device still uses the driver package. Unplug the pad and try again.";
const char ADVICE_WOW64[] = "On 64-bit Windows, use the 64-bit Pad Driver Setup.";

// SetupAPI's codes, which the system has no text for.
const SetupErrorName setupErrorNames[] = {
    {0xE0000000, "ERROR_EXPECTED_SECTION_NAME", nullptr},
    {0xE0000001, "ERROR_BAD_SECTION_NAME_LINE", nullptr},
    {0xE0000002, "ERROR_SECTION_NAME_TOO_LONG", nullptr},
    {0xE0000003, "ERROR_GENERAL_SYNTAX", nullptr},
    {0xE0000100, "ERROR_WRONG_INF_STYLE", nullptr},
    {0xE0000101, "ERROR_SECTION_NOT_FOUND", nullptr},
    {0xE0000102, "ERROR_LINE_NOT_FOUND", nullptr},
    {0xE0000200, "ERROR_NO_ASSOCIATED_CLASS", nullptr},
    {0xE0000201, "ERROR_CLASS_MISMATCH", nullptr},
    {0xE0000202, "ERROR_DUPLICATE_FOUND", nullptr},
    {0xE0000203, "ERROR_NO_DRIVER_SELECTED", nullptr},
    {0xE0000204, "ERROR_KEY_DOES_NOT_EXIST", nullptr},
    {0xE0000205, "ERROR_INVALID_DEVINST_NAME", nullptr},
    {0xE0000206, "ERROR_INVALID_CLASS", nullptr},
    {0xE0000207, "ERROR_DEVINST_ALREADY_EXISTS", nullptr},
    {0xE0000208, "ERROR_DEVINFO_NOT_REGISTERED", nullptr},
    {0xE0000209, "ERROR_INVALID_REG_PROPERTY", nullptr},
    {0xE000020A, "ERROR_NO_INF", nullptr},
    {0xE000020B, "ERROR_NO_SUCH_DEVINST", nullptr},
    {0xE000020C, "ERROR_CANT_LOAD_CLASS_ICON", nullptr},
    {0xE000020D, "ERROR_INVALID_CLASS_INSTALLER", nullptr},
    {0xE000020E, "ERROR_DI_DO_DEFAULT", nullptr},
    {0xE000020F, "ERROR_DI_NOFILECOPY", nullptr},
    {0xE0000210, "ERROR_INVALID_HWPROFILE", nullptr},
    {0xE0000211, "ERROR_NO_DEVICE_SELECTED", nullptr},
    {0xE0000212, "ERROR_DEVINFO_LIST_LOCKED", nullptr},
    {0xE0000213, "ERROR_DEVINFO_DATA_LOCKED", nullptr},
    {0xE0000214, "ERROR_DI_BAD_PATH", nullptr},
    {0xE0000215, "ERROR_NO_CLASSINSTALL_PARAMS", nullptr},
    {0xE0000216, "ERROR_FILEQUEUE_LOCKED", nullptr},
    {0xE0000217, "ERROR_BAD_SERVICE_INSTALLSECT", nullptr},
    {0xE0000218, "ERROR_NO_CLASS_DRIVER_LIST", nullptr},
    {0xE0000219, "ERROR_NO_ASSOCIATED_SERVICE", nullptr},
    {0xE000021A, "ERROR_NO_DEFAULT_DEVICE_INTERFACE", nullptr},
    {0xE000021B, "ERROR_DEVICE_INTERFACE_ACTIVE", nullptr},
    {0xE000021C, "ERROR_DEVICE_INTERFACE_REMOVED", nullptr},
    {0xE000021D, "ERROR_BAD_INTERFACE_INSTALLSECT", nullptr},
    {0xE000021E, "ERROR_NO_SUCH_INTERFACE_CLASS", nullptr},
    {0xE000021F, "ERROR_INVALID_REFERENCE_STRING", nullptr},
    {0xE0000220, "ERROR_INVALID_MACHINENAME", nullptr},
    {0xE0000221, "ERROR_REMOTE_COMM_FAILURE", nullptr},
    {0xE0000222, "ERROR_MACHINE_UNAVAILABLE", nullptr},
    {0xE0000223, "ERROR_NO_CONFIGMGR_SERVICES", nullptr},
    {0xE0000224, "ERROR_INVALID_PROPPAGE_PROVIDER", nullptr},
    {0xE0000225, "ERROR_NO_SUCH_DEVICE_INTERFACE", nullptr},
    {0xE0000226, "ERROR_DI_POSTPROCESSING_REQUIRED", nullptr},
    {0xE0000227, "ERROR_INVALID_COINSTALLER", nullptr},
    {0xE0000228, "ERROR_NO_COMPAT_DRIVERS", nullptr},
    {0xE0000229, "ERROR_NO_DEVICE_ICON", nullptr},
    {0xE000022A, "ERROR_INVALID_INF_LOGCONFIG", nullptr},
    {0xE000022B, "ERROR_DI_DONT_INSTALL", nullptr},
    {0xE000022C, "ERROR_INVALID_FILTER_DRIVER", nullptr},
    {0xE0001000, "ERROR_NOT_INSTALLED", nullptr},
    {0xE000022F, "User Does not Accept Uncertified Driver", nullptr},
    // Windows Vista and later: signing, trust, policy and the driver store.
    {0xE0000235, "ERROR_IN_WOW64", ADVICE_WOW64},
    {0xE000023C, "ERROR_NOT_AN_INSTALLED_OEM_INF", nullptr},
    {0xE000023D, "ERROR_INF_IN_USE_BY_DEVICES", ADVICE_IN_USE},
    {0xE000023F, "ERROR_NO_AUTHENTICODE_CATALOG", ADVICE_UNSIGNED},
    {0xE0000240, "ERROR_AUTHENTICODE_DISALLOWED", ADVICE_UNSIGNED},
    {0xE0000241, "ERROR_AUTHENTICODE_TRUSTED_PUBLISHER", nullptr},
    {0xE0000242, "ERROR_AUTHENTICODE_TRUST_NOT_ESTABLISHED", ADVICE_UNSIGNED},
    {0xE0000243, "ERROR_AUTHENTICODE_PUBLISHER_NOT_TRUSTED", ADVICE_UNSIGNED},
    {0xE0000244, "ERROR_SIGNATURE_OSATTRIBUTE_MISMATCH", ADVICE_UNSIGNED},
    {0xE0000245, "ERROR_ONLY_VALIDATE_VIA_AUTHENTICODE", ADVICE_UNSIGNED},
    {0xE0000247, "ERROR_DRIVER_STORE_ADD_FAILED", ADVICE_STORE_ADD},
    {0xE0000248, "ERROR_DEVICE_INSTALL_BLOCKED", ADVICE_DEVICE_POLICY},
    {0xE0000249, "ERROR_DRIVER_INSTALL_BLOCKED", ADVICE_DRIVER_BLOCKED},
    {0xE000024B, "ERROR_FILE_HASH_NOT_IN_CATALOG", ADVICE_UNSIGNED},
    {0xE000024C, "ERROR_DRIVER_STORE_DELETE_FAILED", ADVICE_STORE_DELETE},
    // The package check's trust and certificate results.
    {0x800B0001, "TRUST_E_PROVIDER_UNKNOWN", ADVICE_UNSIGNED},
    {0x800B0004, "TRUST_E_SUBJECT_NOT_TRUSTED", ADVICE_UNSIGNED},
    {0x800B0100, "TRUST_E_NOSIGNATURE", ADVICE_UNSIGNED},
    {0x800B0101, "CERT_E_EXPIRED", ADVICE_UNSIGNED},
    {0x800B0109, "CERT_E_UNTRUSTEDROOT", ADVICE_UNSIGNED},
    {0x800B010A, "CERT_E_CHAINING", ADVICE_UNSIGNED},
    {0x800B010B, "TRUST_E_FAIL", ADVICE_UNSIGNED},
    {0x800B010C, "CERT_E_REVOKED", ADVICE_UNSIGNED},
    {0x800B010E, "CERT_E_REVOCATION_FAILURE", ADVICE_UNSIGNED},
    {0x800B0110, "CERT_E_WRONG_USAGE", ADVICE_UNSIGNED},
    {0x800B0111, "TRUST_E_EXPLICIT_DISTRUST", ADVICE_UNSIGNED},
    {0x800B0112, "CERT_E_UNTRUSTEDCA", ADVICE_UNSIGNED},
    {0x80096010, "TRUST_E_BAD_DIGEST", ADVICE_UNSIGNED},
};
const size_t setupErrorNameCount = sizeof(setupErrorNames) / sizeof(setupErrorNames[0]);

static const SetupErrorName* setupErrorRow(DWORD code)
{
    for (size_t i = 0; i < setupErrorNameCount; ++i)
        if (setupErrorNames[i].code == code)
            return &setupErrorNames[i];
    return nullptr;
}

std::string formatSetupError(const char* what, DWORD code)
{
    char text[MAX_ERROR_TEXT + 1] = {};
    const SetupErrorName* row = setupErrorRow(code);
    char* system = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
                                  LANG_USER_DEFAULT, reinterpret_cast<char*>(&system), 0, nullptr);
    if (length != 0 && system) {
        if (code != 0)
            snprintf(text, sizeof(text), "Error %d in %s: \n\n %s\n", static_cast<int>(code), what, system);
        else
            snprintf(text, sizeof(text), "%s: \n\n %s\n", what, system);
    } else if (row) {
        snprintf(text, sizeof(text), "Error %8.8lX in %s: \n\n %s\n", static_cast<unsigned long>(code), what,
                 row->name);
    } else {
        snprintf(text, sizeof(text), "Error %8.8lX in %s\n\n", static_cast<unsigned long>(code), what);
    }
    if (system)
        LocalFree(system);
    std::string message = text;
    // Whatever text the system has, the table's advice follows it.
    if (row && row->advice)
        message = (message + "\n " + row->advice + "\n").substr(0, MAX_ERROR_TEXT);
    return message;
}

void showSetupError(HWND owner, const char* what, DWORD code)
{
    showBox(owner, formatSetupError(what, code).c_str(), code == 0 ? BoxKind::Information : BoxKind::Warning);
}
