// Stand-in force-feedback game: ff_game.exe <OEM key name> <external id> <report file>
// Reads the effect driver's class from the joystick OEM entry (OEMForceFeedback, CLSID), creates it
// with CoCreateInstance as DirectInput does, binds it to the external id, downloads and starts a
// constant force of 8000 for 2 s and lets the device go again. The report file gets the lines
// "dll=<path of the module that serves the object>", "machine=<its PE machine type, hex>" and
// "result=<the first failing step, or ok>". Exit code 0 when every step succeeded.
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <cstdio>
#include <string>

#include "constant_force.h"
#include "pad_reports/effect_types.h"

namespace {
const char OEM_ROOT[] =
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\";

std::string oemClass(const std::string& oemName)
{
    char text[64] = {};
    DWORD size = sizeof(text) - 1;
    const std::string key = OEM_ROOT + oemName + "\\OEMForceFeedback";
    LONG rc = RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "CLSID", RRF_RT_ANY, nullptr, text, &size);
    return rc == ERROR_SUCCESS ? text : "";
}

// The module that holds the object's code (its vtable), with its machine type.
void describeServer(void* object, std::string& path, WORD& machine)
{
    HMODULE module = nullptr;
    void* code = *static_cast<void**>(object);
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(code), &module))
        return;
    char name[MAX_PATH] = {};
    GetModuleFileNameA(module, name, MAX_PATH);
    path = name;
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    auto nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(module) + dos->e_lfanew);
    machine = nt->FileHeader.Machine;
}

const char* play(const std::string& oemName, DWORD externalId, std::string& path, WORD& machine)
{
    std::string text = oemClass(oemName);
    if (text.empty())
        return "no OEMForceFeedback CLSID";
    wchar_t wide[64] = {};
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 64);
    CLSID classId;
    if (FAILED(CLSIDFromString(wide, &classId)))
        return "bad CLSID";
    IDirectInputEffectDriver* driver = nullptr;
    if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInputEffectDriver,
                                reinterpret_cast<void**>(&driver))) ||
        !driver)
        return "CoCreateInstance";
    describeServer(driver, path, machine);
    ConstantForceEffect constant;
    const char* failed = nullptr;
    DWORD id = 0;
    if (driver->DeviceID(DIRECTINPUT_VERSION, externalId, TRUE, 0, nullptr) != S_OK)
        failed = "DeviceID";
    else if (driver->DownloadEffect(externalId, TYPE_CONSTANT, &id, &constant.effect, 0) != S_OK)
        failed = "DownloadEffect";
    else if (driver->StartEffect(externalId, id, 0, 1) != S_OK)
        failed = "StartEffect";
    driver->DeviceID(DIRECTINPUT_VERSION, externalId, FALSE, 0, nullptr);
    driver->Release();
    return failed;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    CoInitialize(nullptr);
    std::string path;
    WORD machine = 0;
    const char* failed = play(argv[1], static_cast<DWORD>(atoi(argv[2])), path, machine);
    CoUninitialize();
    FILE* report = fopen(argv[3], "wb");
    if (!report)
        return 3;
    fprintf(report, "dll=%s\nmachine=0x%04x\nresult=%s\n", path.c_str(), machine, failed ? failed : "ok");
    fclose(report);
    return failed ? 1 : 0;
}
