#include "inf_text.h"

#include <windows.h>

std::string padInf(const std::string& padId)
{
    return std::string("[Version]\r\n"
                       "Signature=\"$Windows NT$\"\r\n"
                       "Class=FitkitTestPad\r\n"
                       "ClassGuid={2B7C41E0-5A3D-4E19-8F62-0D9B3C7A1E54}\r\n"
                       "Provider=%Maker%\r\n") +
           "\r\n"
           "[Manufacturer]\r\n"
           "%Maker%=PadModels\r\n"
           "%Other%=OtherModels\r\n"
           "\r\n"
           "[PadModels]\r\n"
           "%PadName%=Pad_Install," +
           padId +
           ",HID\\VID_1F3A&PID_240B\r\n"
           "\r\n"
           "[OtherModels]\r\n"
           "%SecondName%=Pad_Install,USB\\VID_1F3A&PID_9999\r\n"
           "\r\n"
           "[Pad_Install]\r\n"
           "AddReg=Pad_AddReg\r\n"
           "\r\n"
           "[Pad_Install.Services]\r\n"
           "AddService=,2\r\n"
           "\r\n"
           "[Pad_AddReg]\r\n"
           "HKR,,FitkitTestInstalled,0x00010001,1\r\n"
           "\r\n"
           "[Strings]\r\n"
           "Maker=\"Fitkit Tests\"\r\n"
           "Other=\"Other Maker\"\r\n"
           "PadName=\"Fitkit Test Pad\"\r\n"
           "SecondName=\"Fitkit Second Pad\"\r\n";
}

std::string windowsInfPath(const std::string& name)
{
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\INF\\" + name;
}

std::string pnfPath(const std::string& infPath)
{
    return infPath.substr(0, infPath.size() - 3) + "PNF";
}
